// ctest-label: audio
// ctest-timeout: 240
// Playback on the private sound server: generated WAV, MP3 and WMA files; length, position
// against the wall clock, pause, resume, seek, the end, and what the speaker really plays
// (captured back from its monitor).
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

// The moment the channel's position first passes `from` (the device has begun to take the
// sound), and the position then; on a busy machine that can be a while after play returned.
std::pair<steady_clock::time_point, std::int64_t> moving(audio::Engine& engine, audio::HSTREAM h,
                                                         std::int64_t from)
{
    std::int64_t pos = engine.channelGetPosition(h);
    for (int i = 0; i < 5000 && pos <= from; ++i) {
        std::this_thread::sleep_for(microseconds(500));
        pos = engine.channelGetPosition(h);
    }
    return {steady_clock::now(), pos};
}

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

    // Position follows the wall clock from the moment the sound starts.
    const auto playing = steady_clock::now();
    ASSERT_TRUE(engine.channelPlay(h, true));
    EXPECT_EQ(engine.channelIsActive(h), 1);
    const auto [start, startPos] = moving(engine, h, 0);
    EXPECT_LT(seconds(h, startPos), duration<double>(start - playing).count() + 0.050);
    // Never ahead of the clock; behind it by at most a few device blocks, which a busy machine
    // delays (the sound itself is then late by as much).
    for (int i = 0; i < 4; ++i) {
        waitFor(milliseconds(200));
        const double wall = duration<double>(steady_clock::now() - start).count();
        const double pos = seconds(h, engine.channelGetPosition(h));
        EXPECT_LT(pos, seconds(h, startPos) + wall + 0.050) << "sample " << i;
        EXPECT_GT(pos, seconds(h, startPos) + wall - 0.100) << "sample " << i;
    }

    // Pause holds the position; resume goes on from there.
    ASSERT_TRUE(engine.channelPause(h));
    const std::int64_t held = engine.channelGetPosition(h);
    EXPECT_EQ(engine.channelIsActive(h), 3);
    waitFor(milliseconds(300));
    EXPECT_EQ(engine.channelGetPosition(h), held);
    const auto resuming = steady_clock::now();
    ASSERT_TRUE(engine.channelPlay(h, false));
    const auto [resumed, resumedPos] = moving(engine, h, held);
    // On from the held position: no further than the time it has been playing.
    EXPECT_LT(seconds(h, resumedPos),
              seconds(h, held) + duration<double>(resumed - resuming).count() + 0.050);
    waitFor(milliseconds(300));
    const double since = duration<double>(steady_clock::now() - resumed).count();
    EXPECT_NEAR(seconds(h, engine.channelGetPosition(h)), seconds(h, resumedPos) + since, 0.050);

    // Seek to the middle.
    const std::int64_t middle = length / 2 / (2 * k.channels) * (2 * k.channels);
    ASSERT_TRUE(engine.channelSetPosition(h, middle));
    const auto jumped = steady_clock::now();
    EXPECT_NEAR(seconds(h, engine.channelGetPosition(h)), seconds(h, middle), 0.030);
    waitFor(milliseconds(200));
    const double afterJump = duration<double>(steady_clock::now() - jumped).count();
    EXPECT_NEAR(seconds(h, engine.channelGetPosition(h)), seconds(h, middle) + afterJump, 0.050);

    // Near the end: the channel becomes inactive by itself, at the end.
    const std::int64_t nearEnd = length - std::int64_t(0.3 * k.rate) * 2 * k.channels;
    ASSERT_TRUE(engine.channelSetPosition(h, nearEnd));
    int active = 1;
    for (int i = 0; i < 100 && active; ++i) {
        waitFor(milliseconds(20));
        active = engine.channelIsActive(h);
    }
    EXPECT_EQ(active, 0);
    EXPECT_NEAR(seconds(h, engine.channelGetPosition(h)), seconds(h, length), 0.030);

    // Play with restart starts again from the beginning.
    ASSERT_TRUE(engine.channelPlay(h, true));
    EXPECT_LT(seconds(h, engine.channelGetPosition(h)), 0.05);
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

    engine.channelStop(rec);
    engine.streamFree(rec);
    engine.channelStop(h);
    engine.streamFree(h);
    std::lock_guard<std::mutex> lock(heard.mutex);
    ASSERT_GT(heard.samples.size(), 30000u);
    EXPECT_NEAR(dominantFrequency(heard.samples, 1, 44100), frequency, 3.0);
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
