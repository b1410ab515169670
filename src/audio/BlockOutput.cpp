#include "audio/BlockOutput.h"

#include "audio/RtAudioBackend.h"

#include <algorithm>
#include <cstring>

namespace audio {

BlockOutput::BlockOutput(std::shared_ptr<DeviceBackend> backend)
    : backend_(backend ? std::move(backend) : std::make_shared<RtAudioBackend>())
{
}

BlockOutput::~BlockOutput() { close(); }

int BlockOutput::deviceCount() { return backend_->hasOutput() ? 1 : 0; }

bool BlockOutput::open(Format format, DoneProc done)
{
    close();
    if ((format.bits != 8 && format.bits != 16) || format.channels == 0 || format.rate == 0)
        return false;
    format_ = format;
    done_ = std::move(done);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.clear();
        finished_.clear();
        paused_ = false;
        quit_ = false;
    }
    device_ = backend_->openOutput(DeviceFormat{format.rate, format.channels},
                                   [this](std::int16_t* out, std::uint32_t n, std::uint32_t) { onOutput(out, n); });
    if (!device_)
        return false;
    thread_ = std::thread([this] { notifier(); });
    if (!device_->start()) {
        close();
        return false;
    }
    return true;
}

bool BlockOutput::isOpen() const { return device_ != nullptr; }

bool BlockOutput::write(int id, const std::uint8_t* data, std::size_t bytes)
{
    if (!device_ || device_->failed())
        return false;
    Block block;
    block.id = id;
    block.data.assign(data, data + bytes);
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(std::move(block));
    return true;
}

bool BlockOutput::pause()
{
    if (!device_)
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    paused_ = true;
    return true;
}

bool BlockOutput::restart()
{
    if (!device_)
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    paused_ = false;
    return true;
}

bool BlockOutput::reset()
{
    if (!device_)
        return false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const Block& b : queue_)
            finished_.push_back(b.id);
        queue_.clear();
        paused_ = false;
    }
    cv_.notify_one();
    return true;
}

void BlockOutput::close()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
        queue_.clear();
        finished_.clear();
    }
    cv_.notify_one();
    if (thread_.joinable()) {
        if (std::this_thread::get_id() == notifierId_.load())
            thread_.detach(); // closed from a report: that report is the last one
        else
            thread_.join();
    }
    device_.reset();
}

void BlockOutput::onOutput(std::int16_t* out, std::uint32_t frames)
{
    const std::size_t samples = std::size_t(frames) * format_.channels;
    const std::size_t bytesPerSample = format_.bits / 8;
    std::size_t done = 0;
    bool reported = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        while (!paused_ && done < samples && !queue_.empty()) {
            Block& b = queue_.front();
            const std::size_t available = (b.data.size() - b.pos) / bytesPerSample;
            const std::size_t take = std::min(available, samples - done);
            if (bytesPerSample == 2) {
                std::memcpy(out + done, b.data.data() + b.pos, take * 2);
            } else {
                for (std::size_t i = 0; i < take; ++i)
                    out[done + i] = std::int16_t((int(b.data[b.pos + i]) - 128) << 8);
            }
            done += take;
            b.pos += take * bytesPerSample;
            if (b.data.size() - b.pos < bytesPerSample) {
                finished_.push_back(b.id);
                queue_.pop_front();
                reported = true;
            }
        }
    }
    std::fill(out + done, out + samples, std::int16_t(0));
    if (reported)
        cv_.notify_one();
}

void BlockOutput::notifier()
{
    notifierId_ = std::this_thread::get_id();
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        cv_.wait(lock, [this] { return quit_ || !finished_.empty(); });
        if (quit_)
            return;
        const int id = finished_.front();
        finished_.pop_front();
        lock.unlock();
        if (done_)
            done_(id);
        lock.lock();
    }
}

} // namespace audio
