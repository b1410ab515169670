#pragma once
// Work that may wait for the sound server without a deadline of its own (RtAudio and libpulse
// wait for a stopped or hung server for a minute or for ever): it runs on a thread of its own
// and the caller waits at most `deadline`. Work given up goes on (or stays stuck) on its thread;
// whatever it returns then is dropped there. The work must own what it touches (copies, shared
// pointers): the caller may be long gone when it ends.
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

namespace audio {

// The work's result, or nothing when it had not finished by the deadline.
template <typename T, typename Work>
std::optional<T> boundedCall(std::chrono::milliseconds deadline, Work work)
{
    struct Call {
        std::mutex mutex;
        std::condition_variable done;
        bool abandoned = false;
        std::optional<T> result;
    };
    auto call = std::make_shared<Call>();
    std::thread([call, work = std::move(work)]() mutable {
        T result = work();
        std::unique_lock<std::mutex> lock(call->mutex);
        if (call->abandoned)
            return; // `result` ends here, on this thread (after the lock is let go)
        call->result = std::move(result);
        call->done.notify_all();
    }).detach();
    std::unique_lock<std::mutex> lock(call->mutex);
    if (!call->done.wait_for(lock, deadline, [&] { return call->result.has_value(); })) {
        call->abandoned = true;
        return std::nullopt;
    }
    return std::move(call->result);
}

} // namespace audio
