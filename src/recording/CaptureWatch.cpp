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

GapCounter::GapCounter(std::uint32_t rate, std::int64_t thresholdNs, std::int64_t settleNs)
    : rate_(rate), threshold_(thresholdNs), settle_(settleNs)
{
}

void GapCounter::reset(std::uint32_t rate)
{
    rate_ = rate;
    started_ = false;
    seen_ = seen0_ = 0;
    count_ = total_ = firstAt_ = firstLength_ = 0;
    candidate_ = false;
    held_ = 0;
}

void GapCounter::rebase()
{
    started_ = false;
    candidate_ = false;
    held_ = 0;
}

std::uint64_t GapCounter::settleFrames() const
{
    return std::uint64_t(double(settle_) * double(rate_) / 1e9);
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
        candidate_ = false;
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
        held_ = 0;
        candidate_ = false;
    } else if (!candidate_ || std::fabs(excess - candidateLag_) > tolerance) {
        // A new level (a stall began, or the capture is still catching up): what was held
        // came before it; this block is the first at the new level.
        step.release = held_ > 0;
        candidate_ = true;
        candidateLag_ = excess;
        held_ = frames;
        step.hold = true;
    } else if (held_ + frames < settleFrames()) {
        held_ += frames;
        step.hold = true;
    } else {
        // The same shortfall over the whole wait: that audio is gone. Its silence goes where
        // the level settled, before the blocks held since.
        const std::uint64_t gap = std::uint64_t(std::llround(excess));
        const std::uint64_t at = seen_ - held_;
        if (count_ == 0) {
            firstAt_ = at;
            firstLength_ = gap;
        }
        ++count_;
        total_ += gap;
        seen_ += gap;
        step.silence = gap;
        step.release = true;
        held_ = 0;
        candidate_ = false;
    }
    seen_ += frames;
    return step;
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

} // namespace recording
