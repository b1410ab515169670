// ctest-label: unit
// The counters the recording keeps while it runs, over generated blocks: runs at full scale
// per channel and across block boundaries, gaps between delivered samples and the clock (a
// stall the server rode out, a stall that lost audio, jitter, a slow device clock, a pause),
// the free-space rule's three thresholds, and digital silence at the start of a take.
#include "recording/CaptureWatch.h"

#include <gtest/gtest.h>

#include <deque>

#include <cstdint>
#include <vector>

namespace {

using recording::ClipCounter;
using recording::FreeSpaceRule;
using recording::GapCounter;
using recording::SilenceRule;

// Stereo frames of a quiet signal with full-scale samples put in by (frame, channel, value).
struct Clip {
    std::size_t frame;
    int channel;
    std::int16_t value;
};
std::vector<std::int16_t> stereo(std::size_t frames, std::initializer_list<Clip> clips = {})
{
    std::vector<std::int16_t> s(frames * 2);
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = std::int16_t((i * 37) % 2000 - 1000);
    for (const Clip& c : clips)
        s[c.frame * 2 + std::size_t(c.channel)] = c.value;
    return s;
}

struct ClipCase {
    const char* name;
    std::vector<std::int16_t> samples;
    std::vector<std::size_t> blocks; // frames per block, fed in order
    std::uint64_t count;
    std::uint64_t firstAt;
};

class ClipCounting : public ::testing::TestWithParam<int> {};

std::vector<ClipCase> clipCases()
{
    const std::int16_t hi = 32767, lo = -32768;
    return {
        {"no clipping", stereo(100), {100}, 0, 0},
        {"two samples are not a run", stereo(100, {{10, 0, hi}, {11, 0, hi}}), {100}, 0, 0},
        {"three at +full scale", stereo(100, {{10, 0, hi}, {11, 0, hi}, {12, 0, hi}}), {100}, 1, 10},
        {"three at -32768", stereo(100, {{40, 1, lo}, {41, 1, lo}, {42, 1, lo}}), {100}, 1, 40},
        {"-32767 is full scale too", stereo(100, {{5, 0, -32767}, {6, 0, lo}, {7, 0, -32767}}), {100}, 1, 5},
        {"a long run counts once", stereo(100, {{20, 0, hi}, {21, 0, hi}, {22, 0, hi}, {23, 0, hi}, {24, 0, hi}}), {100}, 1, 20},
        {"alternating channels are no run", stereo(100, {{10, 0, hi}, {11, 1, hi}, {12, 0, hi}}), {100}, 0, 0},
        {"each channel counts", stereo(100, {{30, 1, hi}, {31, 1, hi}, {32, 1, hi}, {60, 0, lo}, {61, 0, lo}, {62, 0, lo}}), {100}, 2, 30},
        {"a run across two blocks", stereo(100, {{48, 0, hi}, {49, 0, hi}, {50, 0, hi}}), {49, 51}, 1, 48},
        {"a run across three blocks", stereo(100, {{49, 1, lo}, {50, 1, lo}, {51, 1, lo}}), {50, 1, 49}, 1, 49},
        {"broken at a block boundary", stereo(100, {{48, 0, hi}, {49, 0, hi}, {51, 0, hi}, {52, 0, hi}}), {50, 50}, 0, 0},
        {"first is the earliest of many", stereo(200, {{150, 0, hi}, {151, 0, hi}, {152, 0, hi}, {90, 1, lo}, {91, 1, lo}, {92, 1, lo}}), {64, 64, 72}, 2, 90},
    };
}

TEST(ClipCounter, CountsRunsOfFullScaleSamplesPerChannel)
{
    for (const ClipCase& c : clipCases()) {
        SCOPED_TRACE(c.name);
        ClipCounter counter(2);
        std::size_t at = 0;
        for (std::size_t n : c.blocks) {
            counter.feed(c.samples.data() + at * 2, n);
            at += n;
        }
        EXPECT_EQ(counter.count(), c.count);
        if (c.count > 0) {
            EXPECT_EQ(counter.firstAt(), c.firstAt);
        }
        EXPECT_EQ(counter.frames(), at);
    }
}

TEST(ClipCounter, SilenceOfAGapEndsARunAndMovesThePosition)
{
    ClipCounter counter(2);
    const auto a = stereo(10, {{8, 0, 32767}, {9, 0, 32767}});
    const auto b = stereo(10, {{0, 0, 32767}, {5, 1, 32767}, {6, 1, 32767}, {7, 1, 32767}});
    counter.feed(a.data(), 10);
    counter.skip(1000); // the gap's silence breaks the run of two plus one
    counter.feed(b.data(), 10);
    EXPECT_EQ(counter.count(), 1u);
    EXPECT_EQ(counter.firstAt(), 1015u);
}

TEST(ClipCounter, MonoCountsItsOneChannel)
{
    std::vector<std::int16_t> m(20, 100);
    m[3] = m[4] = m[5] = -32768;
    ClipCounter counter(1);
    counter.feed(m.data(), 20);
    EXPECT_EQ(counter.count(), 1u);
    EXPECT_EQ(counter.firstAt(), 3u);
}

// A capture at 44100 Hz in blocks of 441 frames (10 ms), with the clock in nanoseconds.
constexpr std::uint32_t Rate = 44100;
constexpr std::uint32_t Block = 441;
constexpr std::int64_t Ms = 1'000'000;

// Feeds the counter and writes as the recording does (Step's order), so the tests see the
// file's timeline: runs of frames of numbered blocks, and silence (block -1).
struct Feeder {
    struct Run {
        int block;
        std::uint64_t frames;
    };
    GapCounter counter{Rate};
    std::int64_t now = 0;
    int next = 0;
    std::deque<Run> held;
    std::vector<Run> file;
    std::uint64_t silence = 0;
    std::uint64_t maxHeld = 0;

    void writeHeld(std::uint64_t frames)
    {
        while (frames > 0 && !held.empty()) {
            Run& r = held.front();
            const std::uint64_t n = std::min(frames, r.frames);
            file.push_back({r.block, n});
            frames -= n;
            if ((r.frames -= n) == 0)
                held.pop_front();
        }
    }
    std::uint64_t heldFrames() const
    {
        std::uint64_t n = 0;
        for (const Run& r : held)
            n += r.frames;
        return n;
    }
    // n blocks that arrive every stepNs.
    void blocks(int n, std::int64_t stepNs = 10 * Ms)
    {
        for (int i = 0; i < n; ++i) {
            now += stepNs;
            const GapCounter::Step s = counter.block(now, Block);
            writeHeld(s.spill);
            if (s.silence > 0) {
                writeHeld(s.before);
                file.push_back({-1, s.silence});
            }
            silence += s.silence;
            if (s.release)
                writeHeld(~std::uint64_t(0));
            (s.hold ? held.push_back({next, Block}) : file.push_back({next, Block}));
            ++next;
            EXPECT_EQ(counter.heldFrames(), heldFrames());
            maxHeld = std::max(maxHeld, heldFrames());
        }
    }
    // The process stands still for ms.
    void stall(std::int64_t ms) { now += ms * Ms; }
    // Stop: what was held is written as it is.
    void finish() { writeHeld(~std::uint64_t(0)); }
    // Every frame of every block once and in order.
    ::testing::AssertionResult inOrder() const
    {
        int block = 0;
        std::uint64_t frames = 0;
        for (const Run& r : file) {
            if (r.block < 0)
                continue;
            if (r.block != block)
                return ::testing::AssertionFailure() << "block " << r.block << " where " << block << " belongs";
            if ((frames += r.frames) == Block) {
                ++block;
                frames = 0;
            }
        }
        if (block != next || frames != 0)
            return ::testing::AssertionFailure() << block << " of " << next << " blocks written";
        return ::testing::AssertionSuccess();
    }
    // Frames written before the first silence (~0: none).
    std::uint64_t framesBeforeSilence() const
    {
        std::uint64_t n = 0;
        for (const Run& r : file) {
            if (r.block < 0)
                return n;
            n += r.frames;
        }
        return ~std::uint64_t(0);
    }
};

TEST(GapCounter, SteadyCaptureHasNoGap)
{
    Feeder f;
    f.blocks(1000);
    EXPECT_EQ(f.counter.count(), 0u);
    EXPECT_EQ(f.silence, 0u);
    EXPECT_EQ(f.counter.frames(), 1000u * Block);
}

TEST(GapCounter, JitterAndLateBlocksThatCatchUpAreNoGap)
{
    Feeder f;
    f.blocks(50);
    for (int i = 0; i < 20; ++i) {
        f.stall(150);       // the capture thread waits 150 ms (a busy machine) ...
        f.blocks(15, 100);  // ... then takes what the server kept, at once
        f.blocks(30);
    }
    EXPECT_EQ(f.counter.count(), 0u);
    EXPECT_EQ(f.silence, 0u);
}

TEST(GapCounter, StallTheServerRodeOutIsNoGap)
{
    Feeder f;
    f.blocks(100);
    f.stall(3000);               // stopped for 3 s; the server kept all of it
    f.blocks(300, 50'000);       // the kept 3 s arrive in 15 ms
    f.blocks(200);
    EXPECT_EQ(f.counter.count(), 0u);
}

TEST(GapCounter, StallThatLostAudioIsOneGapOfItsLengthWhereTheAudioStops)
{
    Feeder f;
    f.blocks(100);               // 1 s
    f.stall(3000);               // 3 s stopped; the server kept 1 s and threw 2 s away
    f.blocks(100, 50'000);       // the kept second, at once
    f.blocks(300);
    f.finish();
    ASSERT_EQ(f.counter.count(), 1u);
    EXPECT_NEAR(double(f.counter.totalFrames()), 2.0 * Rate, 0.01 * Rate);
    EXPECT_EQ(f.counter.firstLength(), f.counter.totalFrames());
    // The silence goes in where the kept audio ends, not where the counter made up its mind
    // a second later.
    EXPECT_NEAR(double(f.counter.firstAt()), 2.0 * Rate, 2.0 * Block);
    EXPECT_EQ(f.counter.firstAt(), f.framesBeforeSilence());
    EXPECT_TRUE(f.inOrder());
    const double clockFrames = double(f.now) * Rate / 1e9; // what the clock says was captured
    EXPECT_NEAR(double(f.counter.frames()), clockFrames, 0.02 * Rate);
    EXPECT_LE(f.maxHeld, f.counter.holdFrames());
}

TEST(GapCounter, SlowCatchUpOnABusyMachineIsNoGap)
{
    // After a 3 s stop the machine is so busy that the capture takes what the server kept
    // only a little faster than it plays: 5 % and 20 %, for many seconds. Nothing was lost.
    for (std::int64_t step : {std::int64_t(9'500'000), std::int64_t(8'000'000)}) {
        Feeder f;
        f.blocks(100);
        f.stall(3000);
        f.blocks(int(3000.0 / (10.0 - double(step) / 1e6)), step); // until caught up
        f.blocks(300);
        f.finish();
        EXPECT_EQ(f.counter.count(), 0u) << step;
        EXPECT_EQ(f.silence, 0u) << step;
        EXPECT_TRUE(f.inOrder()) << step;
    }
}

TEST(GapCounter, LossFoundAfterASlowCatchUpStillGoesWhereTheKeptAudioEnds)
{
    // 26 s stopped, the server kept 24 s and dropped what came after; the loaded machine then
    // takes 27 s of audio back in 3 s (the kept 24 s, and 3 s that came in meanwhile).
    Feeder f;
    f.blocks(100);
    f.stall(26000);
    f.blocks(2700, 1'111'111);
    f.blocks(300);
    f.finish();
    ASSERT_EQ(f.counter.count(), 1u);
    const double lost = double(f.counter.totalFrames()) / Rate;
    EXPECT_NEAR(lost, 2.0, 0.03);
    EXPECT_NEAR(double(f.counter.firstAt()) / Rate, 1.0 + 26.0 - lost, 0.03);
    EXPECT_EQ(f.counter.firstAt(), f.framesBeforeSilence());
    EXPECT_TRUE(f.inOrder());
    EXPECT_LE(f.maxHeld, f.counter.holdFrames());
}

TEST(GapCounter, TakeEndingWhileTheLevelSettlesKeepsEveryBlock)
{
    Feeder f;
    f.blocks(100);
    f.stall(2000);      // lost, and the take ends half a second later
    f.blocks(50);
    EXPECT_GT(f.counter.heldFrames(), 0u);
    f.finish();
    EXPECT_EQ(f.counter.count(), 0u);
    EXPECT_TRUE(f.inOrder());
}

TEST(GapCounter, EveryLossCountsWithTheFirstKept)
{
    Feeder f;
    f.blocks(100);
    f.stall(500);   // lost entirely (no catch-up)
    f.blocks(100);
    f.stall(1200);
    f.blocks(100);
    ASSERT_EQ(f.counter.count(), 2u);
    EXPECT_NEAR(double(f.counter.firstLength()), 0.5 * Rate, 0.015 * Rate);
    EXPECT_NEAR(double(f.counter.totalFrames()), 1.7 * Rate, 0.03 * Rate);
    EXPECT_NEAR(double(f.counter.firstAt()), 1.0 * Rate, 0.08 * Rate);
}

TEST(GapCounter, ShortLossUnderTheThresholdIsNotCounted)
{
    Feeder f;
    f.blocks(100);
    f.stall(30);
    f.blocks(100);
    EXPECT_EQ(f.counter.count(), 0u);
}

TEST(GapCounter, SlowOrFastDeviceClockIsNoGap)
{
    for (std::int64_t step : {10 * Ms + 1000, 10 * Ms - 1000}) { // +-100 ppm, 10 minutes
        Feeder f;
        f.blocks(60000, step);
        EXPECT_EQ(f.counter.count(), 0u) << step;
    }
}

TEST(GapCounter, LateStartAndEarlyBurstAreNoGap)
{
    Feeder f;
    f.blocks(30, 0);  // the server hands over what it had at the start at once
    f.blocks(500);
    EXPECT_EQ(f.counter.count(), 0u);
}

TEST(GapCounter, PauseWithRebaseIsNoGap)
{
    Feeder f;
    f.blocks(100);
    f.counter.rebase();
    f.stall(5000); // paused: nothing delivered, on purpose
    f.blocks(100);
    EXPECT_EQ(f.counter.count(), 0u);
    EXPECT_EQ(f.counter.frames(), 200u * Block);
}

TEST(HeldAudio, FirstInFirstOutAcrossTheWrapAndWhenItMustGrow)
{
    // Pushes and pops of uneven sizes against a plain queue; the ring wraps many times, and
    // pushes beyond what was reserved make it grow without losing the order.
    for (std::size_t reserved : {std::size_t(0), std::size_t(1000), std::size_t(4096)}) {
        SCOPED_TRACE(reserved);
        recording::HeldAudio held;
        held.reserve(reserved);
        std::deque<char> model;
        std::uint32_t seed = 12345;
        const auto random = [&seed](std::uint32_t n) { seed = seed * 1103515245u + 12345u; return (seed >> 8) % n; };
        char next = 0;
        for (int round = 0; round < 2000; ++round) {
            std::vector<char> block(random(round % 97 == 0 ? 3000 : 700));
            for (char& c : block)
                model.push_back(c = next++);
            held.push(block.data(), block.size());
            std::size_t want = random(900);
            std::vector<char> out;
            ASSERT_TRUE(held.pop(want, [&out](const char* d, std::size_t n) {
                out.insert(out.end(), d, d + n);
                return true;
            }));
            want = std::min(want, model.size() + 0);
            ASSERT_EQ(out.size(), want);
            ASSERT_TRUE(std::equal(out.begin(), out.end(), model.begin()));
            model.erase(model.begin(), model.begin() + std::ptrdiff_t(want));
            ASSERT_EQ(held.size(), model.size());
        }
        // A failing sink stops the hand-over.
        const char tail[8] = {};
        held.push(tail, sizeof(tail));
        int calls = 0;
        EXPECT_FALSE(held.pop(held.size(), [&calls](const char*, std::size_t) { ++calls; return false; }));
        EXPECT_EQ(calls, 1);
    }
}

TEST(FreeSpaceRule, ThresholdsAtTheFormatsRate)
{
    const double wav = 176400.0; // 44.1 kHz stereo 16-bit
    struct Case {
        std::int64_t bytes;
        bool canStart;
        FreeSpaceRule::Verdict first;
    };
    const Case cases[] = {
        {std::int64_t(wav * 400), true, FreeSpaceRule::Verdict::Fine},
        {std::int64_t(wav * 300), true, FreeSpaceRule::Verdict::Fine},
        {std::int64_t(wav * 299), true, FreeSpaceRule::Verdict::Note},
        {std::int64_t(wav * 10), true, FreeSpaceRule::Verdict::Note},
        {std::int64_t(wav * 9.9), false, FreeSpaceRule::Verdict::Note},
        {std::int64_t(wav * 5), false, FreeSpaceRule::Verdict::Note},
        {std::int64_t(wav * 4.9), false, FreeSpaceRule::Verdict::Stop},
        {0, false, FreeSpaceRule::Verdict::Stop},
        {-1, true, FreeSpaceRule::Verdict::Fine}, // unknown: never stops a recording
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        FreeSpaceRule rule(wav);
        EXPECT_EQ(rule.canStart(c.bytes), c.canStart);
        EXPECT_EQ(rule.check(c.bytes), c.first);
    }
}

TEST(FreeSpaceRule, NoteOnceThenStop)
{
    FreeSpaceRule rule(16000.0); // MP3 at 128 kbit/s
    EXPECT_EQ(rule.check(16000 * 1000), FreeSpaceRule::Verdict::Fine);
    EXPECT_EQ(rule.check(16000 * 200), FreeSpaceRule::Verdict::Note);
    EXPECT_EQ(rule.check(16000 * 100), FreeSpaceRule::Verdict::Fine);
    EXPECT_EQ(rule.check(16000 * 400), FreeSpaceRule::Verdict::Fine); // space freed: still once
    EXPECT_EQ(rule.check(16000 * 200), FreeSpaceRule::Verdict::Fine);
    EXPECT_EQ(rule.check(16000 * 4), FreeSpaceRule::Verdict::Stop);
}

} // namespace

// Blocks of 10 ms fed in turn, the tick asking after each: a note once the take's first three
// seconds were all zero, in mono and stereo and at any rate; none for live input however quiet,
// nor when sound came first, nor after the user was told at Record; once per take, and again
// for a new take.
TEST(SilenceRule, NoteOnceWhenTheFirstThreeSecondsAreDigitalSilence)
{
    enum Signal { Zero, OneSample, QuietNoise, ZeroThenTone };
    struct Case {
        const char* name;
        Signal signal;
        std::uint32_t rate;
        int channels;
        bool toldAtRecord;
        int notes;      // over 5 s
        double firstAt; // seconds of audio fed when the note came
    };
    const Case cases[] = {
        {"all zero", Zero, 44100, 2, false, 1, 3.0},
        {"all zero, mono 8 kHz", Zero, 8000, 1, false, 1, 3.0},
        {"one sample not zero", OneSample, 44100, 2, false, 0, 0},
        {"quiet noise", QuietNoise, 44100, 2, false, 0, 0},
        {"zero, then a tone before 3 s", ZeroThenTone, 48000, 2, false, 0, 0},
        {"all zero, muted line told at Record", Zero, 44100, 2, true, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SilenceRule rule(c.rate, c.channels);
        for (int take = 0; take < 2; ++take) {
            rule.reset(c.rate, c.channels);
            if (c.toldAtRecord)
                rule.told();
            const std::size_t frames = c.rate / 100;
            std::uint32_t noise = 12345;
            int notes = 0;
            double firstAt = 0;
            for (int block = 0; block < 500; ++block) {
                std::vector<std::int16_t> samples(frames * std::size_t(c.channels), 0);
                for (std::size_t i = 0; i < samples.size(); ++i) {
                    noise = noise * 1103515245u + 12345u;
                    if (c.signal == QuietNoise)
                        samples[i] = std::int16_t(int((noise >> 16) % 3) - 1); // -1, 0 or 1
                    else if (c.signal == ZeroThenTone && block >= 290)
                        samples[i] = std::int16_t(i % 20 < 10 ? 1000 : -1000);
                }
                if (c.signal == OneSample && block == 150)
                    samples[7] = 1;
                rule.feed(samples.data(), frames);
                if (rule.check() && ++notes == 1)
                    firstAt = double(block + 1) / 100.0;
            }
            EXPECT_EQ(notes, c.notes) << "take " << take;
            EXPECT_NEAR(firstAt, c.firstAt, 0.011) << "take " << take;
        }
    }
}
