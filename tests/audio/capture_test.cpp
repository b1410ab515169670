// ctest-label: audio
// ctest-timeout: 240
// Capture on the private sound server, whose default source hears a 440 Hz tone: every rate
// and channel count, pause, the end by the callback, and the guarantee that no callback runs
// after stop has returned.
#include "audio/Engine.h"
#include "support/audio_signals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

using namespace std::chrono;
using testsupport::Pcm;

namespace {

struct Sink {
    std::mutex mutex;
    Pcm samples;
    std::vector<std::pair<steady_clock::time_point, std::size_t>> marks; // time, frames so far
    std::atomic<int> calls{0};
    std::atomic<int> stopAfter{-1}; // return false on this call number
    std::atomic<bool> overlapping{false};
    std::atomic<bool> inside{false};
    unsigned channels = 1;
};

bool record(audio::HRECORD, const void* buffer, std::uint32_t length, void* user)
{
    auto* sink = static_cast<Sink*>(user);
    if (sink->inside.exchange(true))
        sink->overlapping = true;
    const int call = ++sink->calls;
    {
        std::lock_guard<std::mutex> lock(sink->mutex);
        const auto* s = static_cast<const std::int16_t*>(buffer);
        sink->samples.insert(sink->samples.end(), s, s + length / 2);
        sink->marks.emplace_back(steady_clock::now(), sink->samples.size() / sink->channels);
    }
    sink->inside = false;
    return call != sink->stopAfter.load();
}

void waitFor(milliseconds ms) { std::this_thread::sleep_for(ms); }

class CaptureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(engine.recordInit(-1)) << "no sound server (PULSE_SERVER)";
    }
    audio::Engine engine;
};

struct Format {
    unsigned rate;
    unsigned channels;
};

class CaptureFormats : public CaptureTest, public ::testing::WithParamInterface<Format> {};

} // namespace

TEST_P(CaptureFormats, DeliversTheRequestedRateAndTheTone)
{
    const Format f = GetParam();
    Sink sink;
    sink.channels = f.channels;
    const audio::HRECORD h = engine.recordStart(f.rate, f.channels, &record, &sink);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(engine.channelIsActive(h), 1);
    audio::ChannelInfo info;
    ASSERT_TRUE(engine.channelGetInfo(h, info));
    EXPECT_EQ(info.freq, f.rate);
    EXPECT_EQ(info.chans, f.channels);
    waitFor(milliseconds(2200));
    ASSERT_TRUE(engine.channelStop(h));
    const std::int64_t position = engine.channelGetPosition(h);
    ASSERT_TRUE(engine.streamFree(h));

    std::lock_guard<std::mutex> lock(sink.mutex);
    ASSERT_GT(sink.marks.size(), 10u);
    EXPECT_FALSE(sink.overlapping);
    EXPECT_EQ(position, std::int64_t(sink.samples.size() * 2));
    // Frames per second of wall time, from the frames delivered (positions) between blocks at
    // least a second apart. A block that arrives late (a busy machine) spoils only the spans
    // it ends or starts: the median over every such span ignores it, and the tolerance allows
    // a whole block of delay even on a span of one second.
    std::vector<double> rates;
    std::size_t blockFrames = 0;
    for (std::size_t i = 3, j = 3; i < sink.marks.size(); ++i) {
        blockFrames = std::max(blockFrames, sink.marks[i].second - sink.marks[i - 1].second);
        while (j < sink.marks.size() && sink.marks[j].first - sink.marks[i].first < seconds(1))
            ++j;
        if (j == sink.marks.size())
            continue;
        const double span = duration<double>(sink.marks[j].first - sink.marks[i].first).count();
        rates.push_back(double(sink.marks[j].second - sink.marks[i].second) / span);
    }
    ASSERT_GT(rates.size(), 10u);
    std::nth_element(rates.begin(), rates.begin() + rates.size() / 2, rates.end());
    const double tolerance = std::max(f.rate * 0.01, double(blockFrames));
    EXPECT_NEAR(rates[rates.size() / 2], double(f.rate), tolerance);
    EXPECT_NEAR(testsupport::dominantFrequency(sink.samples, f.channels, f.rate), 440.0, 3.0);
    EXPECT_GT(testsupport::peak(sink.samples), 1000);
}

INSTANTIATE_TEST_SUITE_P(EveryRate, CaptureFormats,
                         ::testing::Values(Format{48000, 1}, Format{48000, 2}, Format{44100, 1},
                                           Format{44100, 2}, Format{22050, 1}, Format{22050, 2},
                                           Format{11025, 1}, Format{11025, 2}, Format{8000, 1},
                                           Format{8000, 2}),
                         [](const ::testing::TestParamInfo<Format>& i) {
                             return std::to_string(i.param.rate) + (i.param.channels == 1 ? "mono" : "stereo");
                         });

TEST_F(CaptureTest, PausedSpanIsAbsent)
{
    Sink sink;
    sink.channels = 2;
    const audio::HRECORD h = engine.recordStart(44100, 2, &record, &sink);
    ASSERT_NE(h, 0u);
    const auto start = steady_clock::now();
    waitFor(milliseconds(1000));
    const auto pausedAt = steady_clock::now();
    ASSERT_TRUE(engine.channelPause(h));
    const int callsAtPause = sink.calls;
    EXPECT_EQ(engine.channelIsActive(h), 3);
    const std::int64_t heldPosition = engine.channelGetPosition(h);
    waitFor(milliseconds(500));
    EXPECT_EQ(sink.calls, callsAtPause);
    EXPECT_EQ(engine.channelGetPosition(h), heldPosition);
    ASSERT_TRUE(engine.channelPlay(h, false));
    // The span really paused (a busy machine may sleep longer than asked).
    const double paused = duration<double>(steady_clock::now() - pausedAt).count();
    EXPECT_EQ(engine.channelIsActive(h), 1);
    waitFor(milliseconds(1000));
    ASSERT_TRUE(engine.channelStop(h));
    const double wall = duration<double>(steady_clock::now() - start).count();
    engine.streamFree(h);
    std::lock_guard<std::mutex> lock(sink.mutex);
    const double captured = double(sink.samples.size() / 2) / 44100.0;
    // About 2 s captured out of 2.5 s: the paused half second is not in it.
    EXPECT_NEAR(captured, wall - paused, 0.06);
}

TEST_F(CaptureTest, FalseFromTheCallbackEndsTheCapture)
{
    Sink sink;
    sink.stopAfter = 5;
    const audio::HRECORD h = engine.recordStart(22050, 1, &record, &sink);
    ASSERT_NE(h, 0u);
    for (int i = 0; i < 100 && sink.calls < 5; ++i)
        waitFor(milliseconds(10));
    waitFor(milliseconds(200));
    EXPECT_EQ(sink.calls, 5);
    EXPECT_EQ(engine.channelIsActive(h), 0);
    EXPECT_TRUE(engine.channelStop(h));
    EXPECT_TRUE(engine.streamFree(h));
}

TEST_F(CaptureTest, NoCallbackAfterStopReturns)
{
    // Stop at varying moments relative to the blocks; count calls after the return.
    for (int round = 0; round < 12; ++round) {
        Sink sink;
        const audio::HRECORD h = engine.recordStart(48000, 1, &record, &sink);
        ASSERT_NE(h, 0u);
        waitFor(milliseconds(40 + 7 * round));
        ASSERT_TRUE(engine.channelStop(h));
        const int calls = sink.calls;
        EXPECT_FALSE(sink.inside);
        waitFor(milliseconds(60));
        EXPECT_EQ(sink.calls, calls) << "round " << round;
        EXPECT_EQ(engine.channelIsActive(h), 0);
        EXPECT_TRUE(engine.streamFree(h));
        EXPECT_EQ(sink.calls, calls);
    }
}

TEST_F(CaptureTest, StopWhilePaused)
{
    Sink sink;
    const audio::HRECORD h = engine.recordStart(44100, 1, &record, &sink);
    ASSERT_NE(h, 0u);
    waitFor(milliseconds(200));
    ASSERT_TRUE(engine.channelPause(h));
    const int calls = sink.calls;
    ASSERT_TRUE(engine.channelStop(h));
    EXPECT_EQ(engine.channelIsActive(h), 0);
    EXPECT_FALSE(engine.channelPlay(h, false)); // a stopped capture does not come back
    waitFor(milliseconds(100));
    EXPECT_EQ(sink.calls, calls);
    EXPECT_TRUE(engine.streamFree(h));
}

TEST_F(CaptureTest, LevelAndSpectrumFollowTheCapture)
{
    Sink sink;
    const audio::HRECORD h = engine.recordStart(44100, 2, &record, &sink);
    ASSERT_NE(h, 0u);
    waitFor(milliseconds(400));
    const std::uint32_t level = engine.channelGetLevel(h);
    EXPECT_GT(level & 0xFFFF, 1000u);
    EXPECT_GT(level >> 16, 1000u);
    float fft[512];
    ASSERT_EQ(engine.channelGetData(h, fft, audio::DataFft1024), 2048);
    int best = 0;
    for (int k = 1; k < 512; ++k)
        if (fft[k] > fft[best])
            best = k;
    EXPECT_NEAR(best, 440.0 * 1024 / 44100, 1.0);
    engine.channelPause(h);
    EXPECT_EQ(engine.channelGetLevel(h), 0u);
    engine.channelStop(h);
    engine.streamFree(h);
}
