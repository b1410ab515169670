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

using namespace librarytest;
using library::Playback;

namespace {
constexpr std::int64_t kBytesPerSecond = 44100 * 4;
}

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
    // Runs the 100 ms step until the predicate holds or the time is up; returns the ticks run.
    template <class Pred>
    int tickUntil(Pred done, int maxTicks)
    {
        int ticks = 0;
        while (!done() && ticks < maxTicks) {
            QThread::msleep(100);
            playback.Tick();
            ++ticks;
        }
        return ticks;
    }
    std::int64_t position() { return engine.channelGetPosition(host.channelHandle); }

    QTemporaryDir dir;
    audio::Engine engine;
    FakeHost host;
    FakeListView view;
    FakePanel panel;
    platform::RecordingMessageSink sink;
    library::FileInfo info{engine, sink};
    library::FileSelection selection{host, view, panel, info};
    library::Playback playback{host, engine, view, selection, sink};
};

TEST_F(PlaybackEngine, PlayPlayPlay)
{
    view.setSelectedIndex(0);
    playback.Play();
    ASSERT_EQ(host.state, Playing);
    ASSERT_NE(host.channelHandle, 0u);
    EXPECT_EQ(playback.PlayLength(), std::uint32_t(3 * kBytesPerSecond));
    tickUntil([this] { return position() > kBytesPerSecond / 2; }, 30);
    const audio::Handle stream = host.channelHandle;

    playback.Play();
    EXPECT_EQ(host.state, PlayPaused);
    EXPECT_EQ(engine.channelIsActive(stream), audio::Paused);
    QThread::msleep(150);
    const std::int64_t paused = position();
    EXPECT_GT(paused, kBytesPerSecond / 4);
    QThread::msleep(300);
    EXPECT_EQ(position(), paused) << "a paused stream stays where it is";

    playback.Play();
    EXPECT_EQ(host.state, Playing);
    EXPECT_EQ(host.channelHandle, stream);
    tickUntil([&] { return position() > paused; }, 20);
    const std::int64_t resumed = position();
    EXPECT_GT(resumed, paused);
    EXPECT_LT(resumed, paused + kBytesPerSecond) << "continued, not restarted from 0 and not skipped";
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
    for (int i = 0; i < 50 && host.state == Playing; ++i) {
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
    tickUntil([this] { return position() > 0; }, 20);
    playback.Seek(50);
    const std::int64_t target = 5 * kBytesPerSecond / 2;
    const std::int64_t at = position();
    EXPECT_GE(at, target - kBytesPerSecond * 30 / 1000);
    EXPECT_LT(at, target + kBytesPerSecond / 2);
    playback.Tick();
    EXPECT_GE(host.slider, 49);
    EXPECT_LE(host.slider, 60);

    // Paused: the click changes nothing and the next tick puts the thumb back.
    playback.Seek(10);
    playback.Play();
    ASSERT_EQ(host.state, PlayPaused);
    QThread::msleep(150);
    const std::int64_t paused = position();
    const int pausedSlider = Playback::sliderPosition(std::uint32_t(paused), playback.PlayLength());
    host.slider = 90;
    playback.Seek(90);
    EXPECT_EQ(position(), paused);
    playback.Tick();
    EXPECT_EQ(host.slider, pausedSlider);
    EXPECT_LT(pausedSlider, 40) << "the earlier seek to 10 while playing took effect";
}

TEST_F(PlaybackEngine, NextWhilePlayingItemOneOfThree)
{
    view.setSelectedIndex(0);
    playback.Play();
    const audio::Handle first = host.channelHandle;
    tickUntil([this] { return position() > kBytesPerSecond / 4; }, 20);

    playback.Next();
    EXPECT_EQ(view.selected, 1);
    EXPECT_EQ(host.state, Playing);
    EXPECT_NE(host.channelHandle, first);
    EXPECT_EQ(engine.channelGetLength(first), -1) << "the first stream is freed";
    EXPECT_EQ(engine.channelGetLength(host.channelHandle), 4 * kBytesPerSecond) << "the second file plays";
    EXPECT_EQ(engine.channelIsActive(host.channelHandle), audio::Playing);
    EXPECT_LT(position(), kBytesPerSecond / 4) << "from its start";
    EXPECT_EQ(engine.channelCount(), 1u);
    // Previous and Next both enabled by the selection rule: item 2 of 4 listed.
    EXPECT_GT(view.selected, 0);
    EXPECT_LT(view.selected, view.count() - 1);
}

TEST_F(PlaybackEngine, StopWhilePausedSelectsThePlayedFile)
{
    view.setSelectedIndex(1);
    playback.Play();
    tickUntil([this] { return position() > 0; }, 20);
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
