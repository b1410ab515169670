#pragma once
// An AudioApi that forwards every call to a real engine and taps the capture callback on its
// way: it counts the bytes the engine delivers and notes when the first block arrived, so tests
// and benchmarks can compare a file with what was really captured.
#include "audio/AudioApi.h"

#include <atomic>
#include <chrono>
#include <cstdint>

namespace fakes {

class TappedAudio : public audio::AudioApi {
public:
    using Clock = std::chrono::steady_clock;

    explicit TappedAudio(audio::AudioApi& engine) : e_(engine) {}

    std::int64_t capturedBytes() const { return bytes_.load(); }
    int blocks() const { return blocks_.load(); }
    // When the first block of the last capture reached the callback (epoch if none yet).
    Clock::time_point firstBlockAt() const { return Clock::time_point(Clock::duration(first_.load())); }

    bool recordInit(int device) override { return e_.recordInit(device); }
    bool init(int device, std::uint32_t freq) override { return e_.init(device, freq); }
    void recordFree() override { e_.recordFree(); }
    void free() override { e_.free(); }
    bool recordSetInput(int line, std::uint32_t flags, float level) override
    {
        return e_.recordSetInput(line, flags, level);
    }
    audio::HRECORD recordStart(std::uint32_t freq, std::uint32_t chans, audio::RecordProc proc,
                               void* user) override
    {
        proc_ = proc;
        user_ = user;
        bytes_ = 0;
        blocks_ = 0;
        first_ = 0;
        return e_.recordStart(freq, chans, &tap, this);
    }
    audio::HSTREAM streamCreateFile(const QString& p) override { return e_.streamCreateFile(p); }
    audio::HSTREAM wmaStreamCreateFile(const QString& p) override { return e_.wmaStreamCreateFile(p); }
    bool streamFree(audio::HSTREAM h) override { return e_.streamFree(h); }
    std::int64_t streamGetFilePosition(audio::HSTREAM h, int m) override
    {
        return e_.streamGetFilePosition(h, m);
    }
    bool channelPlay(audio::Handle h, bool r) override { return e_.channelPlay(h, r); }
    bool channelPause(audio::Handle h) override { return e_.channelPause(h); }
    bool channelStop(audio::Handle h) override { return e_.channelStop(h); }
    int channelIsActive(audio::Handle h) override { return e_.channelIsActive(h); }
    std::int64_t channelGetLength(audio::Handle h) override { return e_.channelGetLength(h); }
    std::int64_t channelGetPosition(audio::Handle h) override { return e_.channelGetPosition(h); }
    bool channelSetPosition(audio::Handle h, std::int64_t p) override
    {
        return e_.channelSetPosition(h, p);
    }
    double channelBytes2Seconds(audio::Handle h, std::int64_t p) override
    {
        return e_.channelBytes2Seconds(h, p);
    }
    std::uint32_t channelGetLevel(audio::Handle h) override { return e_.channelGetLevel(h); }
    int channelGetData(audio::Handle h, void* b, std::uint32_t l) override
    {
        return e_.channelGetData(h, b, l);
    }
    bool channelGetInfo(audio::Handle h, audio::ChannelInfo& i) override
    {
        return e_.channelGetInfo(h, i);
    }

private:
    static bool tap(audio::HRECORD h, const void* buffer, std::uint32_t length, void* user)
    {
        auto* self = static_cast<TappedAudio*>(user);
        if (self->blocks_.fetch_add(1) == 0)
            self->first_ = Clock::now().time_since_epoch().count();
        const bool goOn = self->proc_(h, buffer, length, self->user_);
        self->bytes_ += length;
        return goOn;
    }

    audio::AudioApi& e_;
    audio::RecordProc proc_ = nullptr;
    void* user_ = nullptr;
    std::atomic<std::int64_t> bytes_{0};
    std::atomic<int> blocks_{0};
    std::atomic<Clock::rep> first_{0};
};

} // namespace fakes
