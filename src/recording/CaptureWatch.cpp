#include "recording/CaptureWatch.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace recording {

ClipCounter::ClipCounter(int channels)
{
    reset(channels);
}

void ClipCounter::reset(int channels)
{
    channels_ = std::clamp(channels, 1, MaxChannels);
    position_ = 0;
    count_ = 0;
    firstAt_ = 0;
    std::fill(std::begin(run_), std::end(run_), 0u);
    std::fill(std::begin(runStart_), std::end(runStart_), std::uint64_t(0));
}

void ClipCounter::feed(const std::int16_t* samples, std::size_t frames)
{
    const int channels = channels_;
    for (std::size_t f = 0; f < frames; ++f) {
        const std::int16_t* frame = samples + f * std::size_t(channels);
        for (int c = 0; c < channels; ++c) {
            const std::int16_t v = frame[c];
            if (v >= 32767 || v <= -32767) {
                if (run_[c] == 0)
                    runStart_[c] = position_ + f;
                if (++run_[c] == MinRun) {
                    if (count_ == 0)
                        firstAt_ = runStart_[c]; // runs end in order of their starts
                    ++count_;
                }
            } else {
                run_[c] = 0;
            }
        }
    }
    position_ += frames;
}

void ClipCounter::skip(std::uint64_t frames)
{
    std::fill(std::begin(run_), std::end(run_), 0u);
    position_ += frames;
}

GapCounter::GapCounter(std::uint32_t rate, std::int64_t thresholdNs, std::int64_t settleNs,
                       std::int64_t holdNs)
    : rate_(rate), threshold_(thresholdNs), settle_(settleNs), hold_(std::max(holdNs, settleNs))
{
}

void GapCounter::reset(std::uint32_t rate)
{
    rate_ = rate;
    started_ = false;
    seen_ = seen0_ = 0;
    count_ = total_ = firstAt_ = firstLength_ = 0;
    endShortfall();
}

void GapCounter::rebase()
{
    started_ = false;
    endShortfall();
}

GapCounter::Step GapCounter::block(std::int64_t nowNs, std::uint32_t frames)
{
    Step step;
    if (!started_) {
        started_ = true;
        t0_ = last_ = nowNs;
        seen_ += frames;
        seen0_ = seen_;
        baseline_ = 0;
        return step;
    }
    const double rate = double(rate_);
    const double expected = double(seen0_) + double(nowNs - t0_) * rate / 1e9;
    const double lag = expected - double(seen_ + frames);
    // The reference may drift up by 200 ppm of the time passed: a device clock that runs a
    // little slow is not a gap; a gap comes all at once.
    baseline_ = std::min(lag, baseline_ + double(std::max<std::int64_t>(nowNs - last_, 0)) * rate * 200e-6 / 1e9);
    last_ = nowNs;
    const double excess = lag - baseline_;
    const double threshold = double(threshold_) * rate / 1e9;
    const double tolerance = double(frames) + rate / 100.0;

    if (excess <= threshold) {
        // Level again (or never far off): what was held is ordinary audio.
        step.release = held_ > 0;
        endShortfall();
        seen_ += frames;
        return step;
    }
    if (!shortfall_) {
        shortfall_ = true;
        shortfallAt_ = seen_;
        peak_ = level_ = excess;
        steady_ = 0;
    } else if (std::fabs(excess - level_) > tolerance) {
        level_ = excess; // still catching up, or a new stall
        steady_ = 0;
    }
    peak_ = std::max(peak_, excess);
    steady_ += frames;

    if (steady_ < settleFrames()) {
        step.hold = true;
        held_ += frames;
        const std::uint64_t most = std::max<std::uint64_t>(holdFrames(), frames);
        if (held_ > most) {
            step.spill = held_ - most;
            held_ = most;
        }
        seen_ += frames;
        return step;
    }

    // The same shortfall all along the wait: that audio is gone. The server kept the first
    // (stall - lost) of it, so the silence goes that far after the shortfall began; if that is
    // no longer held, as near to it as what is held allows.
    const std::uint64_t gap = std::uint64_t(std::llround(excess));
    const std::uint64_t heldFrom = seen_ - held_;
    const double kept = std::max(0.0, peak_ - double(gap));
    const std::uint64_t at = std::clamp<std::uint64_t>(shortfallAt_ + std::uint64_t(std::llround(kept)), heldFrom, seen_);
    step.before = at - heldFrom;
    step.silence = gap;
    step.release = true;
    if (count_ == 0) {
        firstAt_ = at;
        firstLength_ = gap;
    }
    ++count_;
    total_ += gap;
    seen_ += gap + frames;
    endShortfall();
    return step;
}

void HeldAudio::reserve(std::size_t bytes)
{
    ring_.reset(bytes ? new char[bytes] : nullptr); // default-initialised: nothing written
    capacity_ = bytes;
    head_ = size_ = 0;
}

void HeldAudio::release()
{
    ring_.reset();
    capacity_ = head_ = size_ = 0;
}

void HeldAudio::push(const char* data, std::size_t length)
{
    if (length == 0)
        return;
    if (size_ + length > capacity_) {
        // More than reserved (a block larger than usual): grow, keeping the order.
        const std::size_t capacity = size_ + length;
        std::unique_ptr<char[]> bigger(new char[capacity]);
        std::size_t at = 0;
        pop(size_, [&](const char* d, std::size_t n) {
            std::copy(d, d + n, bigger.get() + at);
            at += n;
            return true;
        });
        ring_ = std::move(bigger);
        capacity_ = capacity;
        head_ = 0;
        size_ = at;
    }
    std::size_t tail = (head_ + size_) % capacity_;
    while (length > 0) {
        const std::size_t n = std::min(length, capacity_ - tail);
        std::copy(data, data + n, ring_.get() + tail);
        data += n;
        length -= n;
        size_ += n;
        tail = (tail + n) % capacity_;
    }
}

double FreeSpaceRule::secondsLeft(std::int64_t freeBytes) const
{
    return double(std::max<std::int64_t>(freeBytes, 0)) / rate_;
}

FreeSpaceRule::Verdict FreeSpaceRule::check(std::int64_t freeBytes)
{
    if (freeBytes < 0)
        return Verdict::Fine;
    const double left = secondsLeft(freeBytes);
    if (left < StopSeconds)
        return Verdict::Stop;
    if (left < NoteSeconds && !noted_) {
        noted_ = true;
        return Verdict::Note;
    }
    return Verdict::Fine;
}

void SilenceRule::reset(std::uint32_t rate, int channels)
{
    limit_ = std::uint64_t(std::llround(Seconds * double(rate)));
    seen_ = 0;
    channels_ = std::max(channels, 1);
    verdict_.store(Open, std::memory_order_relaxed);
    told_ = false;
}

void SilenceRule::feed(const std::int16_t* samples, std::size_t frames)
{
    if (verdict_.load(std::memory_order_relaxed) != Open)
        return;
    const std::int16_t* end = samples + frames * std::size_t(channels_);
    if (std::any_of(samples, end, [](std::int16_t v) { return v != 0; })) {
        verdict_.store(Sound, std::memory_order_relaxed);
        return;
    }
    seen_ += frames;
    if (seen_ >= limit_)
        verdict_.store(Silent, std::memory_order_relaxed);
}

bool SilenceRule::check()
{
    if (told_ || verdict_.load(std::memory_order_relaxed) != Silent)
        return false;
    told_ = true;
    return true;
}

} // namespace recording
