// ctest-label: audio
// Playback through the real engine on the private sound server: play, pause and continue, the
// end of a track, seeking, Next while playing, Stop while paused.
#include "GeneratedAudio.h"
#include "audio/Engine.h"
#include "library/FileInfo.h"
#include "library/FileSelection.h"
#include "library/Playback.h"
#include "support/RecordingMessageSink.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <chrono>

using namespace librarytest;
using library::Playback;
using Clock = std::chrono::steady_clock;

namespace {
constexpr std::int64_t kBytesPerSecond = 44100 * 4;

// A position is never further than the time since the call that set it was made, plus the part
// of a device block the latency figure cannot see. A busy machine only makes that time longer,
// so these bounds hold under any load; the positions a test waits for are counted in sound.
std::int64_t notAfter(std::int64_t from, Clock::time_point asked)
{
    const double seconds = std::chrono::duration<double>(Clock::now() - asked).count() + 0.050;
    return from + std::int64_t(seconds * kBytesPerSecond);
}
} // namespace

class PlaybackEngine : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(engine.init(-1, 44100)) << "no output device: is the private sound server running?";
        host.folder = dir.path() + "/";
        host.lang.open(writeLanguage(dir.path()));
        // Three files of different lengths, so a stream tells which one it plays.
        const std::vector<std::pair<QString, QByteArray>> files = {
            {"1 first.wav", sineWav(3.0, 440)},
            {"2 second.wav", sineWav(4.0, 660)},
            {"3 third.wav", sineWav(5.0, 880)},
            {"short.wav", sineWav(0.4, 440)},
        };
        for (const auto& [name, bytes] : files) {
            ASSERT_TRUE(writeFile(host.folder + name, bytes));
            view.addItem(name, 0, "00:00");
        }
    }
    void TearDown() override
    {
        if (host.state == Playing || host.state == PlayPaused)
            playback.stopStream();
        engine.free();
    }
    // Runs the 100 ms step until the predicate holds; false when it still does not after half a
    // minute (a stream that never gets there).
    template <class Pred> bool tickUntil(Pred done)
    {
        const auto until = Clock::now() + std::chrono::seconds(30);
        while (!done()) {
            if (Clock::now() > until)
                return false;
            QThread::msleep(100);
            playback.Tick();
        }
        return true;
    }
    std::int64_t position() { return engine.channelGetPosition(host.channelHandle); }

    QTemporaryDir dir;
    audio::Engine engine;
    FakeHost host;
    FakeListView view;
    FakePanel panel;
    testsupport::RecordingMessageSink sink;
    library::FileInfo info{engine, sink};
    library::FileSelection selection{host, view, panel, info};
    library::Playback playback{host, engine, view, selection, info, sink};
};

TEST_F(PlaybackEngine, PlayPlayPlay)
{
    view.setSelectedIndex(0);
    playback.Play();
    ASSERT_EQ(host.state, Playing);
    ASSERT_NE(host.channelHandle, 0u);
    EXPECT_EQ(playback.PlayLength(), std::uint32_t(3 * kBytesPerSecond));
    ASSERT_TRUE(tickUntil([this] { return position() > kBytesPerSecond / 2; }));
    const audio::Handle stream = host.channelHandle;

    playback.Play();
    EXPECT_EQ(host.state, PlayPaused);
    EXPECT_EQ(engine.channelIsActive(stream), audio::Paused);
    QThread::msleep(150);
    const std::int64_t paused = position();
    EXPECT_GT(paused, kBytesPerSecond / 2);
    QThread::msleep(300);
    EXPECT_EQ(position(), paused) << "a paused stream stays where it is";

    const auto resuming = Clock::now();
    playback.Play();
    EXPECT_EQ(host.state, Playing);
    EXPECT_EQ(host.channelHandle, stream);
    ASSERT_TRUE(tickUntil([&] { return position() > paused; }));
    const std::int64_t resumed = position();
    EXPECT_GT(resumed, paused);
    EXPECT_LT(resumed, notAfter(paused, resuming))
        << "continued, not restarted from 0 and not skipped";
}

TEST_F(PlaybackEngine, EndOfTrackStopsAtTheNextTick)
{
    view.setSelectedIndex(3); // 0.4 s
    QElapsedTimer clock;
    clock.start();
    playback.Play();
    view.setSelectedIndex(1);
    ASSERT_EQ(host.state, Playing);
    const audio::Handle stream = host.channelHandle;
    int ticksAfterEnd = -1;
    // 0.4 s of sound; the half minute only ends a test whose stream never stops.
    for (const auto until = Clock::now() + std::chrono::seconds(30);
         Clock::now() < until && host.state == Playing;) {
        QThread::msleep(100);
        const bool ended = engine.channelIsActive(stream) == audio::Stopped;
        playback.Tick();
        if (ended) {
            ticksAfterEnd = 0;
            break;
        }
    }
    EXPECT_EQ(ticksAfterEnd, 0) << "the first tick that finds the stream ended stops";
    EXPECT_EQ(host.state, Idle);
    EXPECT_GE(clock.elapsed(), 400) << "not before the whole file played";
    EXPECT_EQ(view.selectedCaption(), "short.wav");
    EXPECT_EQ(host.slider, 0);
    EXPECT_EQ(engine.channelCount(), 0u) << "the stream is freed and nothing else starts";
    EXPECT_EQ(engine.channelIsActive(stream), audio::Stopped);
}

TEST_F(PlaybackEngine, SeekAtFiftyWhilePlayingAndWhilePaused)
{
    view.setSelectedIndex(2); // 5 s: 882,000 bytes
    playback.Play();
    ASSERT_TRUE(tickUntil([this] { return position() > 0; }));
    const auto seeking = Clock::now();
    playback.Seek(50);
    const std::int64_t target = 5 * kBytesPerSecond / 2;
    const std::int64_t at = position();
    EXPECT_GE(at, target - kBytesPerSecond * 30 / 1000);
    EXPECT_LT(at, notAfter(target, seeking));
    playback.Tick();
    EXPECT_GE(host.slider, 49);
    EXPECT_LE(
        host.slider,
        Playback::sliderPosition(std::uint32_t(notAfter(target, seeking)), playback.PlayLength()));

    // Paused: the click changes nothing and the next tick puts the thumb back.
    const auto seekingBack = Clock::now();
    playback.Seek(10);
    playback.Play();
    ASSERT_EQ(host.state, PlayPaused);
    const std::int64_t tenth = notAfter(5 * kBytesPerSecond / 10, seekingBack);
    QThread::msleep(150);
    const std::int64_t paused = position();
    const int pausedSlider = Playback::sliderPosition(std::uint32_t(paused), playback.PlayLength());
    host.slider = 90;
    playback.Seek(90);
    EXPECT_EQ(position(), paused);
    playback.Tick();
    EXPECT_EQ(host.slider, pausedSlider);
    // The earlier seek to 10 while playing took effect: paused at most the time since it on
    // from there, not on from the middle.
    EXPECT_GE(paused, 5 * kBytesPerSecond / 10 - kBytesPerSecond * 30 / 1000);
    EXPECT_LT(paused, tenth);
}

TEST_F(PlaybackEngine, NextWhilePlayingItemOneOfThree)
{
    view.setSelectedIndex(0);
    playback.Play();
    const audio::Handle first = host.channelHandle;
    ASSERT_TRUE(tickUntil([this] { return position() > kBytesPerSecond / 4; }));

    const auto next = Clock::now();
    playback.Next();
    EXPECT_EQ(view.selected, 1);
    EXPECT_EQ(host.state, Playing);
    EXPECT_NE(host.channelHandle, first);
    EXPECT_EQ(engine.channelGetLength(first), -1) << "the first stream is freed";
    EXPECT_EQ(engine.channelGetLength(host.channelHandle), 4 * kBytesPerSecond) << "the second file plays";
    EXPECT_EQ(engine.channelIsActive(host.channelHandle), audio::Playing);
    EXPECT_LT(position(), notAfter(0, next)) << "from its start";
    EXPECT_EQ(engine.channelCount(), 1u);
    // Previous and Next both enabled by the selection rule: item 2 of 4 listed.
    EXPECT_GT(view.selected, 0);
    EXPECT_LT(view.selected, view.count() - 1);
}

TEST_F(PlaybackEngine, StopWhilePausedSelectsThePlayedFile)
{
    view.setSelectedIndex(1);
    playback.Play();
    ASSERT_TRUE(tickUntil([this] { return position() > 0; }));
    playback.Play();
    ASSERT_EQ(host.state, PlayPaused);
    const audio::Handle stream = host.channelHandle;
    view.setSelectedIndex(2);
    playback.Stop();
    EXPECT_EQ(host.state, Idle);
    EXPECT_EQ(view.selectedCaption(), "2 second.wav");
    EXPECT_EQ(engine.channelGetLength(stream), -1);
    EXPECT_EQ(engine.channelCount(), 0u);
}
