// ctest-label: unit
// The display's tick over a scripted engine: the elapsed time from the whole 64-bit position,
// what is fetched in each mode, Idle that leaves the engine alone, and the bad readings (a
// failed level, failed data, a short read, a paused channel) that leave the box drawing its
// background and counter with the picture falling back instead of freezing.
#include "VisualImages.h"

#include "visual/DisplayTick.h"
#include "visual/Led.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

using namespace visual;
using visualtest::patternedWindow;
using visualtest::sameRegion;

namespace {

const QRect SpectrumBox(10, 56, 88, 44);
const QRect MeterBox(104, 90, 154, 10);
constexpr audio::Handle Channel = 7;

// An engine with one channel whose readings the test sets; every call is counted.
class ScriptedAudio : public audio::AudioApi {
public:
    int active = audio::Playing;
    std::int64_t position = 0;
    double bytesPerSecond = 44100 * 4;
    std::uint32_t level = 0;
    std::vector<float> fft = std::vector<float>(512, 0.0f);
    std::vector<std::uint8_t> samples = std::vector<std::uint8_t>(2048, 0);
    bool failData = false;
    int calls = 0;
    std::vector<std::uint32_t> dataRequests;

    bool recordInit(int) override { return true; }
    bool init(int, std::uint32_t) override { return true; }
    void recordFree() override {}
    void free() override {}
    bool recordSetInput(int, std::uint32_t, float) override { return false; }
    audio::HRECORD recordStart(std::uint32_t, std::uint32_t, audio::RecordProc, void*) override { return 0; }
    audio::HSTREAM streamCreateFile(const QString&) override { return 0; }
    audio::HSTREAM wmaStreamCreateFile(const QString&) override { return 0; }
    bool streamFree(audio::HSTREAM) override { return false; }
    std::int64_t streamGetFilePosition(audio::HSTREAM, int) override { return -1; }
    bool channelPlay(audio::Handle, bool) override { return false; }
    bool channelPause(audio::Handle) override { return false; }
    bool channelStop(audio::Handle) override { return false; }
    int channelIsActive(audio::Handle h) override
    {
        ++calls;
        return h == Channel ? active : audio::Stopped;
    }
    std::int64_t channelGetLength(audio::Handle) override { return -1; }
    std::int64_t channelGetPosition(audio::Handle h) override
    {
        ++calls;
        return h == Channel ? position : -1;
    }
    bool channelSetPosition(audio::Handle, std::int64_t) override { return false; }
    double channelBytes2Seconds(audio::Handle h, std::int64_t pos) override
    {
        ++calls;
        return h == Channel && pos >= 0 ? double(pos) / bytesPerSecond : -1.0;
    }
    std::uint32_t channelGetLevel(audio::Handle h) override
    {
        ++calls;
        return h == Channel ? level : 0xFFFFFFFFu;
    }
    int channelGetData(audio::Handle h, void* buffer, std::uint32_t length) override
    {
        ++calls;
        dataRequests.push_back(length);
        if (h != Channel || failData)
            return -1;
        if (length == audio::DataFft1024) {
            std::memcpy(buffer, fft.data(), 512 * sizeof(float));
            return 512 * sizeof(float);
        }
        const std::size_t n = std::min<std::size_t>(length, samples.size());
        std::memcpy(buffer, samples.data(), n);
        return int(n);
    }
    bool channelGetInfo(audio::Handle, audio::ChannelInfo&) override { return false; }
};

class Tick : public ::testing::Test {
protected:
    void tick(TransportState state, audio::Handle channel = Channel)
    {
        display.step(channel, state, spectrumFrame, meterFrame);
    }
    QImage counterOnBackground(std::uint32_t seconds, TransportState state)
    {
        QImage image = display.spectrum().Background.copy();
        DrawLedTime(image, seconds, state, 0xffffff00, 4);
        return image;
    }
    bool spectrumShowsOnly(std::uint32_t seconds, TransportState state)
    {
        return sameRegion(spectrumFrame, counterOnBackground(seconds, state), spectrumFrame.rect());
    }
    bool metersShowOnlyTheBackground() { return sameRegion(meterFrame, display.volume().Background, meterFrame.rect()); }

    ScriptedAudio audio;
    QImage window = patternedWindow();
    DisplayTick display{audio, window, SpectrumBox, MeterBox};
    QImage spectrumFrame;
    QImage meterFrame;
};

} // namespace

TEST(DisplayElapsed, UsesTheWholePositionAndSaysZeroWhenTheChannelCannot)
{
    const std::int64_t sixHours = std::int64_t(1) << 32; // 22369.6 s at 48 kHz stereo
    const struct {
        int active;
        std::int64_t position;
        double bytesPerSecond;
        std::uint32_t seconds;
    } cases[] = {
        {audio::Playing, 0, 176400, 0},
        {audio::Playing, 176400 * 7 + 100, 176400, 7},
        {audio::Paused, 176400 * 8, 176400, 8},
        {audio::Stopped, 176400 * 8, 176400, 0},
        {audio::Playing, -1, 176400, 0},
        {audio::Playing, sixHours + 192000 * 10, 192000, 22379}, // not 10: the high bits count
        {audio::Playing, std::int64_t(1) << 62, 1, std::numeric_limits<std::uint32_t>::max()},
    };
    for (const auto& c : cases) {
        ScriptedAudio audio;
        audio.active = c.active;
        audio.position = c.position;
        audio.bytesPerSecond = c.bytesPerSecond;
        EXPECT_EQ(DisplayTick::ElapsedSeconds(audio, Channel), c.seconds) << c.position;
    }
    ScriptedAudio audio;
    audio.position = 176400 * 3;
    EXPECT_EQ(DisplayTick::ElapsedSeconds(audio, Channel + 1), 0u); // a freed handle
}

TEST_F(Tick, IdleLeavesTheEngineAloneAndShowsTheBackgroundAndCounter)
{
    audio.fft.assign(512, 1.0f);
    audio.level = 0x80008000u;
    audio.position = 176400 * 5;
    tick(Idle);
    EXPECT_EQ(audio.calls, 0);
    EXPECT_TRUE(spectrumShowsOnly(0, Idle));
    EXPECT_TRUE(metersShowOnlyTheBackground());
    EXPECT_EQ(spectrumFrame.pixel(41, 4), LedIdleColour);
}

TEST_F(Tick, RecordingAfterSixHoursShowsTheFullTime)
{
    audio.bytesPerSecond = 192000;
    audio.position = (std::int64_t(1) << 32) + 192000 * 10;
    tick(Recording);
    EXPECT_TRUE(spectrumShowsOnly(22379, Recording)); // 6:12:59, silence: no bars
    EXPECT_EQ(LedTimeText(22379), QStringLiteral("6:12:59"));
}

TEST_F(Tick, EachModeFetchesItsDataAndDrawsIt)
{
    audio.fft[5 + 5] = 0.2f; // band 5 full
    audio.level = 16384u | (16384u << 16);
    tick(Playing);
    EXPECT_EQ(audio.dataRequests, std::vector<std::uint32_t>{audio::DataFft1024});
    EXPECT_EQ(display.spectrum().Bars[5], 44);
    EXPECT_EQ(spectrumFrame.pixel(5, 43), display.spectrum().gradient(43));
    EXPECT_EQ(display.volume().BarLeft, 77);
    EXPECT_EQ(meterFrame.pixel(76, 0), display.volume().colour(76));

    display.SetMode(SpectrumMode::Waveform);
    audio.dataRequests.clear();
    tick(Playing);
    EXPECT_EQ(audio.dataRequests, std::vector<std::uint32_t>{2048u});
    EXPECT_EQ(spectrumFrame.pixel(60, 22), 0xffffffffu); // the silent line in the middle
}

TEST_F(Tick, AFailedLevelReadingIsSilenceNotFullMeters)
{
    audio.level = 0xFFFFFFFFu;
    tick(Recording);
    EXPECT_EQ(display.volume().BarLeft, 0);
    EXPECT_EQ(display.volume().BarRight, 0);
    // Nothing but the two peak markers resting at column 0.
    QImage expected = display.volume().Background.copy();
    for (int y : {0, 1, 2, 7, 8, 9})
        expected.setPixel(0, y, 0xffffff00);
    EXPECT_TRUE(sameRegion(meterFrame, expected, meterFrame.rect()));
}

TEST_F(Tick, FailedDataCountsAsSilenceSoTheBarsFallInsteadOfFreezing)
{
    audio.fft.assign(512, 0.2f);
    audio.samples.assign(2048, 0x40);
    tick(Playing);
    EXPECT_EQ(display.spectrum().Bars[0], 44);
    audio.failData = true; // the stream's decoding failed, or the handle was freed
    for (int k = 1; k <= 44; ++k) {
        tick(Playing);
        ASSERT_EQ(display.spectrum().Bars[0], std::max(44 - 3 * k, 0)) << k;
    }
    // All fallen: the background and the counter remain.
    EXPECT_TRUE(spectrumShowsOnly(0, Playing));
    // The waveform of a failed read is the silent line.
    display.SetMode(SpectrumMode::Waveform);
    tick(Playing);
    for (int x = 0; x < 88; x += 10)
        EXPECT_EQ(spectrumFrame.pixel(x, 22), 0xffffffffu) << x;
}

TEST_F(Tick, AShortSampleReadLeavesTheRestSilent)
{
    constexpr QRgb White = 0xffffffff;
    display.SetMode(SpectrumMode::Waveform);
    display.spectrum().BandStep = 2;
    display.spectrum().OriginX = 40 - 255; // point 255 (element 510) stands at x 40
    audio.samples.assign(2048, 0x40);      // every sample 16448: the line 11 rows below the middle
    tick(Playing);
    EXPECT_EQ(spectrumFrame.pixel(40, 33), White);
    // Six channels give whole frames only, 2040 bytes: elements 510 and 511 must not keep the
    // loud data of the read before.
    audio.samples.resize(2040);
    tick(Playing);
    EXPECT_EQ(spectrumFrame.pixel(39, 33), White);
    EXPECT_EQ(spectrumFrame.pixel(40, 22), White);
    EXPECT_NE(spectrumFrame.pixel(40, 33), White);
}

TEST_F(Tick, APausedChannelsLevelsAreIgnored)
{
    audio.level = 32768u | (32768u << 16);
    tick(Recording);
    EXPECT_EQ(display.volume().BarLeft, 154);
    audio.active = audio::Paused;
    for (int k = 1; k <= 11; ++k)
        tick(RecordPaused);
    EXPECT_EQ(display.volume().BarLeft, 0);
    EXPECT_EQ(display.volume().BarRight, 0);
    EXPECT_EQ(spectrumFrame.pixel(43, 4), LedRecordColour); // the paused symbol always shows
}
