// ctest-label: unit
// The display's tick over the real engine on a fake device whose frames the test moves: a
// captured 440 Hz tone lights band 5 and both meters; and the bad cases (a stream whose data
// turns to garbage half-way, a capture that ends from its callback, a paused capture, a freed
// handle, an engine without devices) leave the box drawing its background and counter, with
// the bars falling back, and nothing crashing.
#include "VisualImages.h"

#include "audio/Engine.h"
#include "support/audio_fake_devices.h"
#include "support/audio_files.h"
#include "support/audio_signals.h"
#include "visual/DisplayTick.h"
#include "visual/Led.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>

using namespace testsupport;
using visualtest::patternedWindow;
using visualtest::sameRegion;

namespace {

const QRect SpectrumBox(10, 56, 88, 44);
const QRect MeterBox(104, 90, 154, 10);

bool keepGoing(audio::HRECORD, const void*, std::uint32_t, void* user)
{
    auto* left = static_cast<int*>(user);
    return *left < 0 || --*left > 0;
}

class DisplayOverEngine : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(engine.recordInit(-1));
        ASSERT_TRUE(engine.init(-1, 44100));
    }
    void tick(audio::Handle h, TransportState state) { display.step(h, state, box, meters); }
    bool boxShowsOnlyTheCounter(std::uint32_t seconds, TransportState state)
    {
        QImage expected = display.spectrum().Background.copy();
        visual::DrawLedTime(expected, seconds, state, 0xffffff00, 4);
        return sameRegion(box, expected, box.rect());
    }
    bool metersShowOnlyTheirPeaksAtRest()
    {
        QImage expected = display.volume().Background.copy();
        for (int y : {0, 1, 2, 7, 8, 9})
            expected.setPixel(0, y, 0xffffff00);
        return sameRegion(meters, expected, meters.rect());
    }
    // Ticks in the state until every bar and peak has fallen (at most 50 frames), then expects
    // the box to show only the counter at `seconds` and the meters only their peaks at rest.
    void expectFallenBackToTheCounter(audio::Handle h, TransportState state, std::uint32_t seconds)
    {
        for (int k = 0; k < 80; ++k)
            tick(h, state);
        EXPECT_TRUE(boxShowsOnlyTheCounter(seconds, state));
        EXPECT_TRUE(metersShowOnlyTheirPeaksAtRest());
    }
    audio::HRECORD startCapture(int blocksUntilEnd = -1)
    {
        blocksLeft_ = blocksUntilEnd;
        const audio::HRECORD h = engine.recordStart(44100, 2, &keepGoing, &blocksLeft_);
        const Pcm zeros(2 * 512, 0);
        devices->pushInput(zeros.data(), 512); // the device's silent first block
        return h;
    }

    std::shared_ptr<FakeDeviceBackend> devices = std::make_shared<FakeDeviceBackend>();
    audio::Engine engine{devices};
    QImage window = patternedWindow();
    visual::DisplayTick display{engine, window, SpectrumBox, MeterBox};
    QImage box;
    QImage meters;
    int blocksLeft_ = -1;
};

} // namespace

TEST_F(DisplayOverEngine, ACapturedToneLightsItsBandAndBothMeters)
{
    const audio::HRECORD h = startCapture();
    ASSERT_NE(h, 0u);
    const Pcm tone = sine(440, 44100, 2, 3.2, 0.5);
    ASSERT_TRUE(devices->pushInput(tone.data(), std::uint32_t(tone.size() / 2)));
    tick(h, Recording);
    // Band 5 (bin 10) is full; a band far from the tone is empty.
    EXPECT_EQ(display.spectrum().Bars[5], 44);
    EXPECT_EQ(display.spectrum().Bars[60], 0);
    EXPECT_EQ(box.pixel(5, 43), display.spectrum().gradient(43));
    // 3.2 s captured: "00:03" (no bars stand under the counter).
    QImage counter = display.spectrum().Background.copy();
    visual::DrawLedTime(counter, 3, Recording, 0xffffff00, 4);
    EXPECT_TRUE(sameRegion(box, counter, QRect(40, 0, 48, 16)));
    // A peak of 16383 (just under half scale): 49 %, bars of 75 pixels on both meters.
    EXPECT_EQ(display.volume().BarLeft, 75);
    EXPECT_EQ(display.volume().BarRight, 75);
    EXPECT_TRUE(engine.streamFree(h));
}

TEST_F(DisplayOverEngine, ACaptureEndedFromItsCallbackFallsBackToTheCounter)
{
    const audio::HRECORD h = startCapture(2);
    const Pcm tone = sine(440, 44100, 2, 0.1, 0.5);
    ASSERT_TRUE(devices->pushInput(tone.data(), 2205));
    tick(h, Recording);
    ASSERT_GT(display.spectrum().Bars[5], 0);
    EXPECT_FALSE(devices->pushInput(tone.data(), 2205)); // the callback says: no more
    ASSERT_EQ(engine.channelIsActive(h), 0);
    expectFallenBackToTheCounter(h, Recording, 0);
    EXPECT_TRUE(engine.streamFree(h));
}

TEST_F(DisplayOverEngine, APausedCaptureShowsSilenceWithTheTimeItHolds)
{
    const audio::HRECORD h = startCapture();
    const Pcm tone = sine(440, 44100, 2, 2.5, 0.5);
    ASSERT_TRUE(devices->pushInput(tone.data(), std::uint32_t(tone.size() / 2)));
    tick(h, Recording);
    ASSERT_TRUE(engine.channelPause(h));
    devices->pushInput(tone.data(), 4410); // the device runs on; the capture ignores it
    expectFallenBackToTheCounter(h, RecordPaused, 2);
    EXPECT_TRUE(engine.streamFree(h));
}

TEST_F(DisplayOverEngine, AFreedHandleAndAnEngineWithoutDevicesDrawTheCounter)
{
    const audio::HRECORD h = startCapture();
    const Pcm tone = sine(440, 44100, 2, 0.1, 0.5);
    ASSERT_TRUE(devices->pushInput(tone.data(), 2205));
    tick(h, Recording);
    ASSERT_TRUE(engine.streamFree(h));
    expectFallenBackToTheCounter(h, Recording, 0); // the transport has not caught up yet

    auto none = std::make_shared<FakeDeviceBackend>();
    none->withInput = false;
    none->withOutput = false;
    audio::Engine deaf(none);
    EXPECT_FALSE(deaf.recordInit(-1));
    EXPECT_FALSE(deaf.init(-1, 44100));
    EXPECT_EQ(deaf.recordStart(44100, 2, &keepGoing, &blocksLeft_), 0u);
    visual::DisplayTick quiet(deaf, window, SpectrumBox, MeterBox);
    for (TransportState state : {Idle, Playing, Idle}) {
        quiet.step(0, state, box, meters);
        QImage expected = quiet.spectrum().Background.copy();
        visual::DrawLedTime(expected, 0, state, 0xffffff00, 4);
        EXPECT_TRUE(sameRegion(box, expected, box.rect())) << int(state);
    }
}

TEST_F(DisplayOverEngine, AStreamWhoseDataTurnsToGarbageHalfWayEndsWithTheCounter)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("broken.mp3");
    ASSERT_TRUE(encodeFile(path, "mp3", sine(440, 44100, 2, 3.0, 0.5), 44100, 2, 128000));
    {
        // The second half of the file overwritten with noise: the decoder fails there.
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        const qint64 size = f.size();
        QByteArray noise(int(size / 2), '\0');
        std::mt19937 random(4);
        for (char& c : noise)
            c = char(random());
        f.seek(size / 2);
        f.write(noise);
    }
    const audio::HSTREAM h = engine.streamCreateFile(path);
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(engine.channelPlay(h, true));
    bool lit = false;
    for (int i = 0; i < 2000 && engine.channelIsActive(h); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        devices->pullOutput(1102);
        tick(h, Playing);
        lit = lit || display.spectrum().Bars[5] > 0;
    }
    EXPECT_TRUE(lit); // the good half was shown
    ASSERT_EQ(engine.channelIsActive(h), 0);
    expectFallenBackToTheCounter(h, Playing, 0); // the stream ended before the transport noticed
    EXPECT_TRUE(engine.streamFree(h));
}
