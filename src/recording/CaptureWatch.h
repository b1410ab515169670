#pragma once
// What the recording keeps an eye on while it runs, as plain counters fed from the capture
// thread (no locks, no allocation) and read on the GUI thread once the capture has stopped:
// - ClipCounter: runs of at least three consecutive samples at full scale in one channel.
// - GapCounter: audio the capture lost, found as delivered samples falling behind the clock.
// - FreeSpaceRule: how much recording time the free space of the disk still holds.
// - SilenceRule: a take that starts in digital silence (read by the GUI thread's tick while the
//   capture runs, through one atomic).
// Positions and lengths are in frames from the start of the take (silence written for a gap
// included), so they are positions in the file.
#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace recording {

class ClipCounter {
public:
    static constexpr int MinRun = 3;

    explicit ClipCounter(int channels = 2);
    void reset(int channels);

    // Interleaved 16-bit samples, frames frames.
    void feed(const std::int16_t* samples, std::size_t frames);
    // Frames of silence inserted in the timeline (a gap): runs end there.
    void skip(std::uint64_t frames);

    std::uint64_t count() const { return count_; }
    // Frame where the first counted run starts (meaningful when count() > 0).
    std::uint64_t firstAt() const { return firstAt_; }
    std::uint64_t frames() const { return position_; }

private:
    static constexpr int MaxChannels = 8;
    int channels_ = 2;
    std::uint64_t position_ = 0;
    std::uint64_t count_ = 0;
    std::uint64_t firstAt_ = 0;
    std::uint32_t run_[MaxChannels] = {};
    std::uint64_t runStart_[MaxChannels] = {};
};

// Compares the frames delivered with the time that passed. Blocks that arrive late but
// complete (the sound server kept them) bring the count back level; audio that the server had
// to throw away leaves the count behind for good. The earliest a block ever arrived is the
// reference, so a capture that started late or a device clock that runs a little off does not
// count.
//
// A shortfall is taken for a gap only once it has stayed the same (within about a block) over
// `settle` of audio: a capture that catches up after a stall, however slowly a loaded machine
// lets it, keeps shrinking the shortfall and is never taken for one.
//
// Where the gap goes: a stalled reader's server keeps what it can hold and has to drop what
// comes after, so of a stall of S with L lost, the first S - L are in the stream and the gap
// follows them. While a shortfall lasts, the newest blocks are held back (up to `hold` of
// audio, the oldest written out beyond that), so the silence can be put at that place even when
// the capture took long to catch up; the counter says what to write in which order (Step).
class GapCounter {
public:
    // What to do with a block, in this order: write the `spill` oldest held frames; write the
    // `before` oldest held frames, then `silence` frames of silence; write all that is still
    // held if `release`; then hold this block if `hold`, or write it.
    struct Step {
        std::uint64_t spill = 0;
        std::uint64_t before = 0;
        std::uint64_t silence = 0;
        bool release = false;
        bool hold = false;
    };

    // rate: frames per second; threshold: the smallest shortfall taken for a gap; settle: how
    // much audio the shortfall must stay the same over; hold: the most audio held back.
    explicit GapCounter(std::uint32_t rate = 44100, std::int64_t thresholdNs = 60'000'000,
                        std::int64_t settleNs = 1'000'000'000, std::int64_t holdNs = 5'000'000'000);
    void reset(std::uint32_t rate);
    // The clock jumps (a pause): the next block starts a new reference, no gap counted. The
    // caller writes what it held first.
    void rebase();

    // A block of frames arrived at nowNs (any monotonic clock).
    Step block(std::int64_t nowNs, std::uint32_t frames);

    // Frames held back now; at most holdFrames(), or one block if a block is larger.
    std::uint64_t heldFrames() const { return held_; }
    std::uint64_t holdFrames() const { return toFrames(hold_); }
    std::uint64_t settleFrames() const { return toFrames(settle_); }

    std::uint64_t count() const { return count_; }
    std::uint64_t totalFrames() const { return total_; }
    std::uint64_t firstAt() const { return firstAt_; }
    std::uint64_t firstLength() const { return firstLength_; }
    // Frames in the timeline so far (silence and held blocks included).
    std::uint64_t frames() const { return seen_; }

private:
    std::uint64_t toFrames(std::int64_t ns) const { return std::uint64_t(double(ns) * double(rate_) / 1e9); }
    void endShortfall() { shortfall_ = false; held_ = 0; }

    std::uint32_t rate_;
    std::int64_t threshold_;
    std::int64_t settle_;
    std::int64_t hold_;
    bool started_ = false;
    std::int64_t t0_ = 0;       // clock of the reference
    std::uint64_t seen0_ = 0;   // frames at the reference
    std::uint64_t seen_ = 0;    // frames in the timeline so far
    double baseline_ = 0;       // the smallest lag seen since the reference (drifting up
                                // slowly, as a device clock a little slow would make it)
    std::int64_t last_ = 0;     // clock of the previous block
    bool shortfall_ = false;    // behind the clock by more than the threshold
    std::uint64_t shortfallAt_ = 0; // timeline position where it began
    double peak_ = 0;           // the largest shortfall since (the stall's length)
    double level_ = 0;          // the shortfall's current level ...
    std::uint64_t steady_ = 0;  // ... and the frames it has stayed there
    std::uint64_t held_ = 0;
    std::uint64_t count_ = 0;
    std::uint64_t total_ = 0;
    std::uint64_t firstAt_ = 0;
    std::uint64_t firstLength_ = 0;
};

// The bytes held back for the gap counter: first in, first out, in a buffer reserved at the
// start of a take (untouched pages cost no memory until a stall fills them).
class HeldAudio {
public:
    void reserve(std::size_t bytes);
    void release(); // gives the memory back
    std::size_t size() const { return size_; }
    void push(const char* data, std::size_t length);
    // Hands the oldest length bytes (at most size()) to sink(const char*, std::size_t), in one
    // or two pieces, and drops them. False as soon as sink fails.
    template <class Sink>
    bool pop(std::size_t length, Sink&& sink)
    {
        length = std::min(length, size_);
        bool ok = true;
        while (ok && length > 0) {
            const std::size_t n = std::min(length, capacity_ - head_);
            ok = sink(ring_.get() + head_, n);
            head_ = (head_ + n) % capacity_;
            size_ -= n;
            length -= n;
        }
        if (size_ == 0)
            head_ = 0;
        return ok;
    }

private:
    std::unique_ptr<char[]> ring_; // not zeroed: untouched pages are not resident
    std::size_t capacity_ = 0;
    std::size_t head_ = 0;
    std::size_t size_ = 0;
};

// Free space against the format's byte rate.
class FreeSpaceRule {
public:
    static constexpr double StartSeconds = 10.0; // Record refuses below this
    static constexpr double NoteSeconds = 300.0; // the note once below this
    static constexpr double StopSeconds = 5.0;   // the recording ends below this

    enum class Verdict { Fine, Note, Stop };

    // bytesPerSecond > 0.
    explicit FreeSpaceRule(double bytesPerSecond) : rate_(bytesPerSecond) {}
    double secondsLeft(std::int64_t freeBytes) const;
    bool canStart(std::int64_t freeBytes) const { return freeBytes < 0 || secondsLeft(freeBytes) >= StartSeconds; }
    // A reading while recording; Note only the first time it is due. freeBytes < 0: unknown.
    Verdict check(std::int64_t freeBytes);

private:
    double rate_;
    bool noted_ = false;
};

// Every sample zero over the first Seconds of a take: a muted line, or one with nothing
// connected, records digital silence. Live input is never exactly zero throughout, however
// quiet, so the rule needs no level: one sample that is not zero decides it. Fed on the
// capture thread; check() on the GUI thread tells it once.
class SilenceRule {
public:
    static constexpr double Seconds = 3.0;

    explicit SilenceRule(std::uint32_t rate = 44100, int channels = 2) { reset(rate, channels); }
    // Before the capture starts.
    void reset(std::uint32_t rate, int channels);
    // Interleaved 16-bit samples, frames frames (capture thread). Nothing to do once decided.
    void feed(const std::int16_t* samples, std::size_t frames);
    // True the first time it is asked after the take's first Seconds came in all silent.
    bool check();
    // The user has been told already (the line was muted at Record): check() stays false.
    void told() { told_ = true; }

private:
    enum Verdict : int { Open, Sound, Silent };
    std::uint64_t limit_ = 0; // frames in Seconds
    std::uint64_t seen_ = 0;  // capture thread
    int channels_ = 2;
    std::atomic<int> verdict_{Open};
    bool told_ = false; // GUI thread
};

} // namespace recording
