#include "recording/BackgroundSync.h"

#include "platform/FileSync.h"

namespace recording {

BackgroundSync::BackgroundSync(std::function<bool(int)> syncHandle)
    : syncHandle_(syncHandle ? std::move(syncHandle) : std::function<bool(int)>(&platform::syncHandle)),
      thread_([this] { run(); })
{
}

BackgroundSync::~BackgroundSync()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

bool BackgroundSync::request(int handle)
{
    bool ok;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        wanted_ = handle;
        ok = !failed_;
    }
    wake_.notify_one();
    return ok;
}

bool BackgroundSync::finish()
{
    std::unique_lock<std::mutex> lock(mutex_);
    idle_.wait(lock, [this] { return !busy_ && wanted_ < 0; });
    const bool ok = !failed_;
    failed_ = false;
    return ok;
}

std::uint64_t BackgroundSync::completed() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return completed_;
}

void BackgroundSync::run()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || wanted_ >= 0; });
        if (wanted_ < 0) // stopping, nothing left to do
            return;
        const int handle = wanted_;
        wanted_ = -1;
        busy_ = true;
        lock.unlock();
        const bool ok = syncHandle_(handle);
        lock.lock();
        busy_ = false;
        failed_ = failed_ || !ok;
        ++completed_;
        idle_.notify_all();
    }
}

} // namespace recording
