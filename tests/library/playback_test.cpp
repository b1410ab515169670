// Playback transitions against a scripted engine: play, pause, continue, stop, previous, next,
// seeking and the 100 ms step that ends a track.
#include "support/LibraryBench.h"

#include <gtest/gtest.h>

using namespace librarytest;
using library::Playback;

class PlaybackTest : public ::testing::Test, protected LibraryBench {
protected:
    void SetUp() override
    {
        for (const char* n : {"one.mp3", "two.wav", "three.wma"}) {
            const QString name = QString::fromLatin1(n);
            view.addItem(name, 0, "00:00");
            writeFile(host.folder + name, canonicalWav(2, 44100, 16, 176400));
            engine.addFile(host.folder + name, {1000000, 44100, 2, 0, 1000044});
        }
    }
    const FakeEngine::Stream* current() const { return engine.stream(host.channelHandle); }
};

TEST_F(PlaybackTest, PlayPausesAndContinuesWhereItStopped)
{
    view.setSelectedIndex(1);
    playback.Play();
    EXPECT_EQ(host.state, Playing);
    ASSERT_NE(current(), nullptr);
    EXPECT_EQ(current()->path, host.folder + "two.wav");
    EXPECT_EQ(playback.PlayFilePath(), host.folder + "two.wav");
    EXPECT_EQ(playback.PlayLength(), 1000000u);
    engine.advance(host.channelHandle, 300000);

    playback.Play();
    EXPECT_EQ(host.state, PlayPaused);
    EXPECT_EQ(current()->active, audio::Paused);
    const audio::Handle paused = host.channelHandle;

    playback.Play();
    EXPECT_EQ(host.state, Playing);
    EXPECT_EQ(host.channelHandle, paused) << "the same stream continues";
    EXPECT_EQ(current()->active, audio::Playing);
    EXPECT_EQ(current()->pos, 300000) << "not from the start";
    EXPECT_EQ(engine.opened.size(), 1);
}

TEST_F(PlaybackTest, PlayWithoutSelectionDoesNothingAndWmaUsesItsEntry)
{
    playback.Play();
    EXPECT_EQ(host.state, Idle);
    EXPECT_TRUE(host.states.isEmpty());
    EXPECT_TRUE(engine.opened.isEmpty());

    view.setSelectedIndex(2);
    playback.Play();
    ASSERT_EQ(engine.openedAsWma.size(), 1);
    EXPECT_TRUE(engine.openedAsWma[0]);
}

TEST_F(PlaybackTest, EndOfTrackStopsOnTheNextTick)
{
    view.setSelectedIndex(0);
    playback.Play();
    view.setSelectedIndex(2); // the user clicked elsewhere meanwhile
    engine.advance(host.channelHandle, 500000);
    EXPECT_EQ(playback.Tick(), 2u); // 500000 bytes of 44.1 kHz stereo
    EXPECT_EQ(host.slider, 50);
    engine.advance(host.channelHandle, 600000); // past the end: the stream stops by itself
    const audio::Handle stream = host.channelHandle;
    EXPECT_EQ(playback.Tick(), 0u);
    EXPECT_EQ(host.state, Idle);
    EXPECT_EQ(view.selectedCaption(), "one.mp3") << "the played file is selected again";
    EXPECT_EQ(host.slider, 0);
    EXPECT_TRUE(engine.freed.contains(stream));
    EXPECT_EQ(engine.opened.size(), 1) << "nothing else starts";
    EXPECT_EQ(playback.PlayFilePath(), host.folder + "one.mp3") << "Stop keeps the played path";
    playback.Tick();
    EXPECT_EQ(host.states.size(), 2) << "an idle tick changes nothing";
}

// The end of a track, a stream that never opened and an output that went away all stop at the
// next tick; only the lost output is worth a word, once, and the next Play works again.
TEST_F(PlaybackTest, LostOutputStopsAtTheNextTickAndIsSaidOnce)
{
    struct Case {
        const char* what;
        bool lose;
        std::int64_t advance;
        int messages;
    };
    const Case cases[] = {
        {"output lost mid-track", true, 300000, 1},
        {"track ended", false, 2000000, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sink.clear();
        view.setSelectedIndex(0);
        playback.Play();
        ASSERT_EQ(host.state, Playing);
        const audio::Handle stream = host.channelHandle;
        engine.advance(stream, c.advance);
        if (c.lose)
            engine.loseDevice(stream);
        EXPECT_EQ(playback.Tick(), 0u);
        EXPECT_EQ(host.state, Idle);
        EXPECT_TRUE(engine.freed.contains(stream));
        playback.Tick();
        ASSERT_EQ(int(sink.messages().size()), c.messages);
        if (c.messages) {
            EXPECT_EQ(sink.messages()[0].text, QStringLiteral("Output gone"));
        }
        playback.Play();
        EXPECT_EQ(host.state, Playing) << "playing again needs no restart";
        playback.Stop();
    }
}

TEST_F(PlaybackTest, AStreamThatDidNotOpenEndsOnTheNextTick)
{
    engine.files.remove(host.folder + "two.wav");
    view.setSelectedIndex(1);
    playback.Play();
    EXPECT_EQ(host.state, Playing);
    EXPECT_EQ(host.channelHandle, 0u);
    EXPECT_EQ(playback.Tick(), 0u);
    EXPECT_EQ(host.state, Idle);
    EXPECT_EQ(view.selectedCaption(), "two.wav");
}

TEST_F(PlaybackTest, SeekOnlyWhilePlaying)
{
    view.setSelectedIndex(0);
    playback.Play();
    engine.advance(host.channelHandle, 100000);
    playback.Seek(50);
    EXPECT_EQ(engine.seeks, QList<std::int64_t>({500000}));
    EXPECT_EQ(current()->pos, 500000);

    engine.advance(host.channelHandle, 100000);
    playback.Play(); // pause at 600000
    playback.Seek(20);
    EXPECT_EQ(engine.seeks.size(), 1) << "a seek while paused is ignored";
    host.slider = 20; // where the user left the thumb
    playback.Tick();
    EXPECT_EQ(host.slider, 60) << "the thumb returns to the paused position";
}

TEST_F(PlaybackTest, PositionArithmetic)
{
    EXPECT_EQ(Playback::bytePosition(50, 1000000), 500000u);
    EXPECT_EQ(Playback::bytePosition(100, 4294967295u), 4294967295u);
    EXPECT_EQ(Playback::bytePosition(33, 1000), 330u);
    EXPECT_EQ(Playback::bytePosition(0, 0), 0u);
    EXPECT_EQ(Playback::sliderPosition(500000, 1000000), 50);
    EXPECT_EQ(Playback::sliderPosition(999999, 1000000), 99);
    EXPECT_EQ(Playback::sliderPosition(4294967295u, 4294967295u), 100);
    EXPECT_EQ(Playback::sliderPosition(1234, 0), 0) << "a stream of length 0 keeps the slider at 0";
}

TEST_F(PlaybackTest, ZeroLengthStreamKeepsTheSliderAtZero)
{
    engine.addFile(host.folder + "one.mp3", {0, 44100, 2, 0, 100});
    view.setSelectedIndex(0);
    playback.Play();
    // Playing although empty (a stream still starting): the tick must not divide by zero.
    engine.streams[host.channelHandle].active = audio::Playing;
    engine.streams[host.channelHandle].pos = 4096;
    playback.Tick();
    EXPECT_EQ(host.slider, 0);
    playback.Seek(50);
    EXPECT_EQ(engine.seeks, QList<std::int64_t>({0}));
}

TEST_F(PlaybackTest, PreviousAndNext)
{
    struct StepCase {
        const char* name;
        TransportState state; // before the step
        int selected;
        bool next;
        int expectSelected;
        TransportState expectState;
        QString expectPlaying; // file of the open stream, empty for none
    };
    const std::vector<StepCase> cases = {
        {"Next while playing item 1 of 3", Playing, 0, true, 1, Playing, "two.wav"},
        {"Next while paused on item 2 of 3", PlayPaused, 1, true, 2, Playing, "three.wma"},
        {"Previous while playing item 3", Playing, 2, false, 1, Playing, "two.wav"},
        {"Next in Idle", Idle, 0, true, 1, Idle, ""},
        {"Next without selection", Idle, -1, true, 0, Idle, ""},
        {"Previous without selection", Idle, -1, false, -1, Idle, ""},
        {"Previous on the first item", Playing, 0, false, 0, Playing, "one.mp3"},
        {"Next on the last item", Playing, 2, true, 2, Playing, "three.wma"},
    };
    for (const StepCase& c : cases) {
        SCOPED_TRACE(c.name);
        host.arrange(Idle);
        host.states.clear();
        engine.streams.clear();
        host.model.setChannel(0);
        view.setSelectedIndex(c.selected);
        if (c.state != Idle) {
            playback.Play();
            engine.advance(host.channelHandle, 1000);
            if (c.state == PlayPaused)
                playback.Play();
        }
        const audio::Handle before = host.channelHandle;
        host.states.clear();
        panel.updates = 0;
        c.next ? playback.Next() : playback.Previous();
        EXPECT_EQ(view.selected, c.expectSelected);
        EXPECT_EQ(host.state, c.expectState);
        if (c.expectPlaying.isEmpty()) {
            EXPECT_EQ(engine.openStreams(), 0);
        } else {
            ASSERT_NE(current(), nullptr);
            EXPECT_EQ(current()->path, host.folder + c.expectPlaying);
            EXPECT_EQ(current()->active, audio::Playing);
            const bool moved = c.expectSelected != c.selected;
            EXPECT_EQ(current()->pos, moved ? 0 : 1000) << "a new file plays from its start";
            EXPECT_EQ(host.channelHandle != before, moved);
            EXPECT_EQ(engine.openStreams(), 1) << "the old stream is freed";
            if (moved) {
                EXPECT_EQ(host.states, QList<TransportState>({Idle, Playing}));
                EXPECT_EQ(panel.updates, 0) << "the panel is not refreshed while playing";
            }
        }
        if (c.state == Idle && c.expectSelected >= 0) {
            EXPECT_EQ(panel.updates, 1) << "in Idle the panel follows";
        }
    }
}

TEST_F(PlaybackTest, StopWhilePausedSelectsThePlayedFile)
{
    view.setSelectedIndex(1);
    playback.Play();
    playback.Play();
    ASSERT_EQ(host.state, PlayPaused);
    const audio::Handle stream = host.channelHandle;
    view.setSelectedIndex(2); // the user clicked another item
    playback.Stop();
    EXPECT_EQ(host.state, Idle);
    EXPECT_TRUE(engine.stopped.contains(stream));
    EXPECT_TRUE(engine.freed.contains(stream));
    EXPECT_EQ(engine.openStreams(), 0);
    EXPECT_EQ(view.selectedCaption(), "two.wav");
    EXPECT_EQ(panel.updates, 0) << "selected while still paused: the panel is not refreshed";

    host.states.clear();
    playback.Stop();
    EXPECT_TRUE(host.states.isEmpty()) << "Stop in Idle does nothing";
}
