// ctest-label: audio
// ctest-timeout: 240
// Playback on the private sound server: generated WAV, MP3 and WMA files; length, position
// (never ahead of the time since play was asked for), pause, resume, seek, the end, and what
// the speaker really plays (captured back from its monitor).
#include "audio/Engine.h"
#include "platform/MixerBackend.h"
#include "support/audio_files.h"
#include "support/audio_signals.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>

using namespace std::chrono;
using namespace testsupport;

namespace {

// Lists the speaker's monitor as the one recording line, so a capture hears the playback.
class MonitorMixer : public platform::MixerBackend {
public:
    QStringList devices() override { return {"test"}; }
    bool open(int) override { return true; }
    void close() override {}
    QStringList recordingLines() override { return {"Monitor of Speaker"}; }
    QString lineName(int line) override { return line == 0 ? "speaker.monitor" : QString(); }
    int selectedLine() override { return 0; }
    int setSelectedLine(int) override { return 0; }
    int lineVolume(int) override { return 65535; }
    int setLineVolume(int, int) override { return 0; }
    int speakerVolume() override { return 65535; }
    int setSpeakerVolume(int) override { return 0; }
    int speakerMute() override { return 0; }
    int setSpeakerMute(bool) override { return 0; }
};

struct Heard {
    std::mutex mutex;
    Pcm samples;
};

bool hear(audio::HRECORD, const void* buffer, std::uint32_t length, void* user)
{
    auto* heard = static_cast<Heard*>(user);
    std::lock_guard<std::mutex> lock(heard->mutex);
    const auto* s = static_cast<const std::int16_t*>(buffer);
    heard->samples.insert(heard->samples.end(), s, s + length / 2);
    return true;
}

void waitFor(milliseconds ms) { std::this_thread::sleep_for(ms); }

double since(steady_clock::time_point t)
{
    return duration<double>(steady_clock::now() - t).count();
}

// The channel's position once it has passed `from` (the device is taking the sound), or the last
// one read after half a minute. On a busy machine that can be a while after play returned.
std::int64_t advancedPast(audio::Engine& engine, audio::HSTREAM h, std::int64_t from)
{
    const auto until = steady_clock::now() + seconds(30);
    std::int64_t pos = engine.channelGetPosition(h);
    while (pos <= from && steady_clock::now() < until) {
        std::this_thread::sleep_for(microseconds(500));
        pos = engine.channelGetPosition(h);
    }
    return pos;
}

// How far the position may be ahead of the time since the call that set it was made: the part
// of a device block the latency figure cannot see.
constexpr double Ahead = 0.050;

struct Kind {
    const char* name;
    unsigned rate;
    unsigned channels;
    double lengthToleranceMs;
};

class Playback : public ::testing::TestWithParam<Kind> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(engine.recordInit(-1));
        ASSERT_TRUE(engine.init(-1, 44100));
        const Kind k = GetParam();
        path = dir.filePath(QString("tone.") + k.name);
        const Pcm pcm = sine(frequency, k.rate, k.channels, fileSeconds, 0.5);
        if (QString(k.name) == "wav")
            ASSERT_TRUE(writeWav(path, pcm, k.rate, k.channels));
        else
            ASSERT_TRUE(encodeFile(path, k.name, pcm, k.rate, k.channels, 128000));
    }
    audio::HSTREAM open()
    {
        return QString(GetParam().name) == "wma" ? engine.wmaStreamCreateFile(path)
                                                 : engine.streamCreateFile(path);
    }
    double seconds(audio::HSTREAM h, std::int64_t bytes) { return engine.channelBytes2Seconds(h, bytes); }

    MonitorMixer mixer;
    audio::Engine engine{nullptr, &mixer};
    QTemporaryDir dir;
    QString path;
    const double frequency = 1000.0;
    const double fileSeconds = 3.0;
};

} // namespace

TEST_P(Playback, LengthPositionPauseResumeSeekAndEnd)
{
    const Kind k = GetParam();
    const audio::HSTREAM h = open();
    ASSERT_NE(h, 0u);
    const std::int64_t length = engine.channelGetLength(h);
    EXPECT_EQ(length % (2 * k.channels), 0);
    // WMA: the container's duration in whole codec frames (2048 samples): the frame of silence
    // the generated file is led in with, and up to one frame of padding at the end.
    const double over = QString(k.name) == "wma" ? 2 * 2048.0 * 1000 / k.rate : k.lengthToleranceMs;
    EXPECT_GE(seconds(h, length) * 1000.0, fileSeconds * 1000.0 - k.lengthToleranceMs);
    EXPECT_LE(seconds(h, length) * 1000.0, fileSeconds * 1000.0 + over);
    EXPECT_EQ(engine.channelIsActive(h), 0);

    // The position is what is heard: it moves on, and it is never further than the time since
    // play was asked for. Both hold on a busy machine, whose delays only make the sound (and
    // so the position) later; how far behind the clock it is depends on the machine and is not
    // checked here (the end below comes exactly, and the speaker plays the tone at its pitch).
    const auto playing = steady_clock::now();
    ASSERT_TRUE(engine.channelPlay(h, true));
    EXPECT_EQ(engine.channelIsActive(h), 1);
    std::int64_t pos = 0;
    for (int i = 0; i < 5; ++i) {
        const std::int64_t next = advancedPast(engine, h, pos);
        EXPECT_GT(next, pos) << "sample " << i;
        EXPECT_LT(seconds(h, next), since(playing) + Ahead) << "sample " << i;
        pos = next;
        waitFor(milliseconds(200));
    }

    // Pause holds the position; resume goes on from there.
    ASSERT_TRUE(engine.channelPause(h));
    const std::int64_t held = engine.channelGetPosition(h);
    EXPECT_EQ(engine.channelIsActive(h), 3);
    EXPECT_GE(held, pos);
    EXPECT_LT(seconds(h, held), since(playing) + Ahead);
    waitFor(milliseconds(300));
    EXPECT_EQ(engine.channelGetPosition(h), held);
    const auto resuming = steady_clock::now();
    ASSERT_TRUE(engine.channelPlay(h, false));
    // On from the held position: no further than the time since the resume was asked for.
    const std::int64_t resumed = advancedPast(engine, h, held);
    EXPECT_GT(resumed, held);
    EXPECT_LT(seconds(h, resumed), seconds(h, held) + since(resuming) + Ahead);
    waitFor(milliseconds(300));
    const std::int64_t later = engine.channelGetPosition(h);
    EXPECT_GE(later, resumed);
    EXPECT_LT(seconds(h, later), seconds(h, held) + since(resuming) + Ahead);

    // Seek to the middle: from there (a compressed file lands within 30 ms of it), and no
    // further than the time since the seek was asked for.
    const std::int64_t middle = length / 2 / (2 * k.channels) * (2 * k.channels);
    const auto jumping = steady_clock::now();
    ASSERT_TRUE(engine.channelSetPosition(h, middle));
    const std::int64_t landed = engine.channelGetPosition(h);
    EXPECT_GT(seconds(h, landed), seconds(h, middle) - 0.030);
    EXPECT_LT(seconds(h, landed), seconds(h, middle) + 0.030 + since(jumping));
    const std::int64_t moved = advancedPast(engine, h, std::max(landed, middle));
    EXPECT_GT(moved, middle);
    EXPECT_LT(seconds(h, moved), seconds(h, middle) + 0.030 + since(jumping) + Ahead);

    // Near the end: the channel becomes inactive by itself, at the end (0.3 s of sound; the
    // wait only ends a test whose stream never stops).
    const std::int64_t nearEnd = length - std::int64_t(0.3 * k.rate) * 2 * k.channels;
    ASSERT_TRUE(engine.channelSetPosition(h, nearEnd));
    int active = 1;
    for (const auto until = steady_clock::now() + std::chrono::seconds(30);
         active && steady_clock::now() < until;) {
        waitFor(milliseconds(20));
        active = engine.channelIsActive(h);
    }
    EXPECT_EQ(active, 0);
    EXPECT_NEAR(seconds(h, engine.channelGetPosition(h)), seconds(h, length), 0.030);

    // Play with restart starts again from the beginning.
    const auto restarting = steady_clock::now();
    ASSERT_TRUE(engine.channelPlay(h, true));
    EXPECT_LT(seconds(h, engine.channelGetPosition(h)), since(restarting) + Ahead);
    EXPECT_TRUE(engine.channelStop(h));
    EXPECT_EQ(engine.channelIsActive(h), 0);
    EXPECT_TRUE(engine.streamFree(h));
    EXPECT_EQ(engine.channelIsActive(h), 0);
}

TEST_P(Playback, TheSpeakerPlaysTheFile)
{
    const Kind k = GetParam();
    ASSERT_TRUE(engine.recordSetInput(0, audio::InputOn, 1.0f));
    Heard heard;
    const audio::HRECORD rec = engine.recordStart(44100, 1, &hear, &heard);
    ASSERT_NE(rec, 0u);
    const audio::HSTREAM h = open();
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(engine.channelPlay(h, true));
    waitFor(milliseconds(300));
    {
        std::lock_guard<std::mutex> lock(heard.mutex);
        heard.samples.clear();
    }
    waitFor(milliseconds(1000));
    // What the engine says is playing is the tone too.
    std::vector<std::int16_t> data(1024);
    ASSERT_EQ(engine.channelGetData(h, data.data(), 2048), 2048);
    EXPECT_NEAR(dominantFrequency(data.data(), 1024 / k.channels, k.channels, k.rate), frequency, 50.0);
    float fft[512];
    ASSERT_EQ(engine.channelGetData(h, fft, audio::DataFft1024), 2048);
    const int expectedBin = int(std::lround(frequency * 1024 / k.rate));
    int best = 0;
    for (int i = 1; i < 512; ++i)
        if (fft[i] > fft[best])
            best = i;
    EXPECT_NEAR(best, expectedBin, 1);
    const std::uint32_t level = engine.channelGetLevel(h);
    EXPECT_NEAR(double(level & 0xFFFF), 16384.0, 16384 * 0.1);

    // What the speaker played: wait for enough of it (a busy machine delivers it later; once
    // the file has ended the monitor goes on with silence, so this wait ends).
    const auto until = steady_clock::now() + std::chrono::seconds(30);
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(heard.mutex);
            if (heard.samples.size() > 30000u || steady_clock::now() > until)
                break;
        }
        waitFor(milliseconds(10));
    }
    engine.channelStop(rec);
    engine.streamFree(rec);
    engine.channelStop(h);
    engine.streamFree(h);
    std::lock_guard<std::mutex> lock(heard.mutex);
    ASSERT_GT(heard.samples.size(), 30000u);
    EXPECT_NEAR(dominantFrequency(heard.samples, 1, 44100), frequency, 3.0);
    // At its pitch to 10 ppm: the file plays at its own rate (from the data, so whatever the
    // load; the median step leaves out what an underrun of a busy machine spoils).
    const ToneTrack tone = trackTone(heard.samples, 1, 44100);
    EXPECT_NEAR(tone.frequency, frequency, 0.01);
    EXPECT_LT(tone.breaks, tone.steps / 4);
    EXPECT_GT(peak(heard.samples), 8000);
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, Playback,
                         ::testing::Values(Kind{"wav", 44100, 2, 0.0}, Kind{"wav", 22050, 1, 0.0},
                                           Kind{"mp3", 44100, 2, 30.0}, Kind{"mp3", 48000, 1, 30.0},
                                           Kind{"wma", 44100, 2, 30.0}),
                         [](const ::testing::TestParamInfo<Kind>& i) {
                             return std::string(i.param.name) + std::to_string(i.param.rate) + "x"
                                    + std::to_string(i.param.channels);
                         });
