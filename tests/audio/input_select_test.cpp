// ctest-label: audio
// Choosing the recording line through the mixer backend: the capture records from the chosen
// source, and the level becomes that source's volume.
#include "audio/Engine.h"
#include "platform/PulseMixerBackend.h"
#include "support/audio_signals.h"
#include "support/sound_server.h"

#include <QProcess>
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>

namespace {

struct Heard {
    std::mutex mutex;
    testsupport::Pcm samples;
};

bool hear(audio::HRECORD, const void* buffer, std::uint32_t length, void* user)
{
    auto* heard = static_cast<Heard*>(user);
    std::lock_guard<std::mutex> lock(heard->mutex);
    const auto* s = static_cast<const std::int16_t*>(buffer);
    heard->samples.insert(heard->samples.end(), s, s + length / 2);
    return true;
}

// Captures `ms` of sound at 44100 Hz mono. Counted in data, not in time: a busy machine
// delivers it later, not less of it (the limit only ends a capture that delivers nothing).
testsupport::Pcm captureFor(audio::Engine& engine, int ms)
{
    Heard heard;
    const audio::HRECORD h = engine.recordStart(44100, 1, &hear, &heard);
    EXPECT_NE(h, 0u);
    const std::size_t frames = std::size_t(44100) * std::size_t(ms) / 1000;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(heard.mutex);
            if (heard.samples.size() >= frames)
                break;
        }
        if (h == 0 || std::chrono::steady_clock::now() > until) {
            ADD_FAILURE() << "the capture delivered less than " << ms << " ms of sound";
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    engine.channelStop(h);
    engine.streamFree(h);
    std::lock_guard<std::mutex> lock(heard.mutex);
    return heard.samples;
}

} // namespace

TEST(InputSelection, CaptureRecordsFromTheChosenLine)
{
    platform::PulseMixerBackend mixer;
    ASSERT_TRUE(mixer.open(0));
    audio::Engine engine(nullptr, &mixer);
    ASSERT_TRUE(engine.recordInit(-1));
    const QStringList lines = mixer.recordingLines();
    const int silence = lines.indexOf("Silence");
    const int mic = lines.indexOf("Monitor of MicSink");
    ASSERT_GE(silence, 0);
    ASSERT_GE(mic, 0);

    ASSERT_TRUE(engine.recordSetInput(silence, audio::InputOn, 1.0f));
    EXPECT_EQ(mixer.selectedLine(), silence);
    EXPECT_LT(testsupport::peak(captureFor(engine, 500)), 50);

    ASSERT_TRUE(engine.recordSetInput(mic, audio::InputOn, 0.5f));
    EXPECT_EQ(mixer.selectedLine(), mic);
    EXPECT_NEAR(mixer.lineVolume(mic), 32768, 1);
    const testsupport::Pcm tone = captureFor(engine, 500);
    EXPECT_NEAR(testsupport::dominantFrequency(tone, 1, 44100), 440.0, 3.0);
    EXPECT_GT(testsupport::peak(tone), 100);

    // An index outside the list is ignored: nothing changes.
    EXPECT_FALSE(engine.recordSetInput(lines.size(), audio::InputOn, 0.1f));
    EXPECT_FALSE(engine.recordSetInput(-1, audio::InputOn, 0.1f));
    EXPECT_EQ(mixer.selectedLine(), mic);
    EXPECT_NEAR(mixer.lineVolume(mic), 32768, 1);

    mixer.setLineVolume(mic, 65535);
    testsupport::setDefaultSource("micsink.monitor");
}

TEST(InputSelection, TheChosenLineRecordsWhateverTheDefaultSourceIs)
{
    platform::PulseMixerBackend mixer;
    ASSERT_TRUE(mixer.open(0));
    audio::Engine engine(nullptr, &mixer);
    ASSERT_TRUE(engine.recordInit(-1));
    const QStringList lines = mixer.recordingLines();
    const int tone = lines.indexOf("Monitor of ToneSink");
    const int mic = lines.indexOf("Monitor of MicSink");
    ASSERT_GE(tone, 0);
    ASSERT_GE(mic, 0);

    // The chosen line is recorded even when someone sets another default right after.
    ASSERT_TRUE(engine.recordSetInput(tone, audio::InputOn, 1.0f));
    EXPECT_TRUE(testsupport::setDefaultSource("micsink.monitor"));
    EXPECT_NEAR(testsupport::dominantFrequency(captureFor(engine, 500), 1, 44100), 1000.0, 5.0);
    ASSERT_TRUE(engine.recordSetInput(mic, audio::InputOn, 1.0f));
    EXPECT_TRUE(testsupport::setDefaultSource("tonesink.monitor"));
    EXPECT_NEAR(testsupport::dominantFrequency(captureFor(engine, 500), 1, 44100), 440.0, 3.0);

    // No line chosen: the default source.
    EXPECT_FALSE(engine.recordSetInput(-1, audio::InputOn, 1.0f));
    EXPECT_NEAR(testsupport::dominantFrequency(captureFor(engine, 500), 1, 44100), 1000.0, 5.0);
    testsupport::setDefaultSource("micsink.monitor");
}

TEST(InputSelection, ALineThatWentAwayFallsBackToTheDefaultSource)
{
    platform::PulseMixerBackend mixer;
    ASSERT_TRUE(mixer.open(0));
    audio::Engine engine(nullptr, &mixer);
    ASSERT_TRUE(engine.recordInit(-1));
    QProcess load;
    load.start("pactl", {"load-module", "module-null-sink", "sink_name=gone", "sink_properties=device.description=Gone"});
    ASSERT_TRUE(load.waitForFinished(5000));
    const QString module = QString::fromUtf8(load.readAllStandardOutput()).trimmed();
    // On PipeWire the new sink reaches our connection a moment after pactl returns.
    int gone = -1;
    for (int i = 0; i < 300 && gone < 0; ++i) {
        gone = mixer.recordingLines().indexOf("Monitor of Gone");
        if (gone < 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_GE(gone, 0);
    ASSERT_TRUE(engine.recordSetInput(gone, audio::InputOn, 1.0f));
    QProcess::execute("pactl", {"unload-module", module});
    testsupport::setDefaultSource("micsink.monitor");
    const testsupport::Pcm heard = captureFor(engine, 500);
    EXPECT_NEAR(testsupport::dominantFrequency(heard, 1, 44100), 440.0, 3.0);
}
