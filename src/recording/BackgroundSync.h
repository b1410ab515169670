#pragma once
// Hands a file's written data to the disk on a thread of its own. A recording asks for that once
// a second from the capture thread, and fdatasync can take half a second and more on a busy
// disk: the capture thread must not wait that long, or the sound server keeps the blocks it
// captured meanwhile in further slots of its shared memory pool, and every slot the capture
// reads afterwards stays mapped in (and counted as resident memory of) this process until the
// stream closes.
//
// request() comes from the thread that writes the file and never waits for the disk; requests
// made while a sync runs are merged into the next one, which covers everything written by then.
// finish() (on the thread that owns the file, before it closes or replaces it) waits until no
// sync is running or wanted.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace recording {

class BackgroundSync {
public:
    // syncHandle(handle): stores the file's data on the disk; false on failure. The default is
    // platform::syncHandle; tests pass one they can hold up or make fail.
    explicit BackgroundSync(std::function<bool(int)> syncHandle = {});
    // Waits for a running sync and ends the thread (a wanted one that has not started is done
    // first, so nothing asked for is skipped).
    ~BackgroundSync();

    BackgroundSync(const BackgroundSync&) = delete;
    BackgroundSync& operator=(const BackgroundSync&) = delete;

    // Asks for the data written to handle so far to be stored. Returns at once: false only when
    // an earlier sync failed since the last finish() (the caller's "best effort" report).
    bool request(int handle);
    // Waits until every requested sync is done. True when all of them since the last finish()
    // succeeded; the failure mark is cleared.
    bool finish();
    // Syncs carried out so far (merged requests count once).
    std::uint64_t completed() const;

private:
    void run();

    std::function<bool(int)> syncHandle_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    int wanted_ = -1;  // the handle to sync next, -1: none
    bool busy_ = false;
    bool failed_ = false;
    bool stop_ = false;
    std::uint64_t completed_ = 0;
    std::thread thread_; // last: starts once the members above exist
};

} // namespace recording
