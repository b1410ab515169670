// ctest-label: unit
// The engine's channels on a fake device whose frames the test moves itself: what a capture
// delivers (first block, pause, end, conversion), what a stream plays and reports (position
// with latency, jumps, end, the analysis of what is heard), and many threads at once.
#include "audio/Engine.h"
#include "support/audio_fake_devices.h"
#include "support/audio_files.h"
#include "support/audio_signals.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <random>
#include <thread>

using namespace testsupport;

namespace {

// Pulls like a device that asks every few milliseconds, giving the decoder time to keep up.
std::vector<std::int16_t> pull(FakeDeviceBackend& devices, std::uint32_t frames)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return devices.pullOutput(frames);
}

struct Sink {
    std::mutex mutex;
    Pcm samples;
    int calls = 0;
    int refuseAfter = -1;
};

bool collect(audio::HRECORD, const void* buffer, std::uint32_t length, void* user)
{
    auto* sink = static_cast<Sink*>(user);
    std::lock_guard<std::mutex> lock(sink->mutex);
    const auto* s = static_cast<const std::int16_t*>(buffer);
    sink->samples.insert(sink->samples.end(), s, s + length / 2);
    ++sink->calls;
    return sink->calls != sink->refuseAfter;
}

class FakeEngine : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(engine.recordInit(-1));
        ASSERT_TRUE(engine.init(-1, 44100));
    }
    std::shared_ptr<FakeDeviceBackend> devices = std::make_shared<FakeDeviceBackend>();
    audio::Engine engine{devices};
    QTemporaryDir dir;
};

} // namespace

TEST_F(FakeEngine, CaptureDropsOnlyTheFirstSilentBlockAndHonoursPauseAndEnd)
{
    Sink sink;
    sink.refuseAfter = 3;
    const audio::HRECORD h = engine.recordStart(44100, 2, &collect, &sink);
    ASSERT_NE(h, 0u);
    const Pcm zeros(2 * 441, 0);
    const Pcm tone = sine(1000, 44100, 2, 0.01);
    EXPECT_TRUE(devices->pushInput(zeros.data(), 441)); // the device's late first block
    EXPECT_EQ(sink.calls, 0);
    EXPECT_EQ(engine.channelGetPosition(h), 0);
    EXPECT_TRUE(devices->pushInput(tone.data(), 441));
    EXPECT_TRUE(devices->pushInput(zeros.data(), 441)); // real silence later is kept
    EXPECT_EQ(sink.calls, 2);
    EXPECT_EQ(engine.channelGetPosition(h), 2 * 441 * 4);
    Pcm expected = tone;
    expected.insert(expected.end(), zeros.begin(), zeros.end());
    EXPECT_EQ(sink.samples, expected);

    ASSERT_TRUE(engine.channelPause(h));
    EXPECT_TRUE(devices->pushInput(tone.data(), 441));
    EXPECT_EQ(sink.calls, 2);
    EXPECT_EQ(engine.channelGetPosition(h), 2 * 441 * 4);
    EXPECT_EQ(engine.channelGetLevel(h), 0u);
    ASSERT_TRUE(engine.channelPlay(h, false));
    EXPECT_FALSE(devices->pushInput(tone.data(), 441)); // third call refuses: the end
    EXPECT_EQ(sink.calls, 3);
    EXPECT_EQ(engine.channelIsActive(h), 0);
    EXPECT_FALSE(devices->pushInput(tone.data(), 441));
    EXPECT_EQ(sink.calls, 3);
    EXPECT_TRUE(engine.streamFree(h));
}

TEST_F(FakeEngine, CaptureConvertsWhatTheDeviceCannotDeliver)
{
    struct Case {
        unsigned deviceRate, deviceChannels, rate, channels;
    };
    for (const Case c : {Case{48000, 1, 44100, 2}, Case{44100, 2, 22050, 1}, Case{44100, 1, 44100, 2},
                         Case{48000, 2, 8000, 2}}) {
        devices->inputDeviceFormat = audio::DeviceFormat{c.deviceRate, c.deviceChannels};
        Sink sink;
        const audio::HRECORD h = engine.recordStart(c.rate, c.channels, &collect, &sink);
        ASSERT_NE(h, 0u);
        const Pcm tone = sine(1000, c.deviceRate, c.deviceChannels, 1.0, 0.5);
        const std::size_t block = c.deviceRate / 100;
        for (std::size_t at = 0; at + block <= tone.size() / c.deviceChannels; at += block)
            devices->pushInput(tone.data() + at * c.deviceChannels, std::uint32_t(block));
        engine.channelStop(h);
        engine.streamFree(h);
        std::lock_guard<std::mutex> lock(sink.mutex);
        const double seconds = double(sink.samples.size() / c.channels) / c.rate;
        EXPECT_NEAR(seconds, 1.0, 0.01) << c.deviceRate << "->" << c.rate;
        EXPECT_NEAR(dominantFrequency(sink.samples, c.channels, c.rate), 1000.0, 3.0);
        EXPECT_NEAR(peak(sink.samples), 16384, 16384 * 0.03); // no level lost or gained
        if (c.channels == 2) {
            for (std::size_t i = 0; i < sink.samples.size(); i += 2)
                ASSERT_EQ(sink.samples[i], sink.samples[i + 1]);
        }
    }
}

TEST_F(FakeEngine, StreamPlaysTheFileAndReportsWhatIsHeard)
{
    devices->outputLatency = 441;
    const Pcm pcm = chirp(100, 3000, 44100, 2, 2.0);
    const QString path = dir.filePath("c.wav");
    ASSERT_TRUE(writeWav(path, pcm, 44100, 2));
    const audio::HSTREAM h = engine.streamCreateFile(path);
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(engine.channelPlay(h, true));
    Pcm played;
    for (int i = 0; i < 20; ++i) {
        auto out = pull(*devices, 441);
        played.insert(played.end(), out.begin(), out.end());
    }
    ASSERT_EQ(played.size(), std::size_t(20 * 441 * 2));
    EXPECT_TRUE(std::equal(played.begin(), played.end(), pcm.begin()));
    // Heard: what was handed over minus the latency.
    EXPECT_EQ(engine.channelGetPosition(h), std::int64_t(19 * 441 * 4));
    // Sample data and level are those of the frames being heard.
    std::vector<std::int16_t> data(1024);
    ASSERT_EQ(engine.channelGetData(h, data.data(), 2048), 2048);
    const std::size_t heardEnd = 19 * 441 * 2;
    EXPECT_TRUE(std::equal(data.begin(), data.end(), pcm.begin() + std::ptrdiff_t(heardEnd - 1024)));
    const std::uint32_t level = engine.channelGetLevel(h);
    Pcm last20ms(pcm.begin() + std::ptrdiff_t(heardEnd - 882 * 2), pcm.begin() + std::ptrdiff_t(heardEnd));
    EXPECT_EQ(level & 0xFFFF, std::uint32_t(peak(last20ms)));

    // A jump lands exactly (WAV) and plays from there.
    ASSERT_TRUE(engine.channelSetPosition(h, 44100 * 4));
    EXPECT_EQ(engine.channelGetPosition(h), 44100 * 4);
    auto out = pull(*devices, 441);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), pcm.begin() + 44100 * 2));

    // Pause: the device stops, the position holds; resume continues from the held frame.
    ASSERT_TRUE(engine.channelPause(h));
    const std::int64_t held = engine.channelGetPosition(h);
    EXPECT_EQ(held, 44100 * 4); // nothing was heard yet after the jump (latency)
    EXPECT_TRUE(pull(*devices, 441).empty());
    EXPECT_EQ(engine.channelIsActive(h), 3);
    ASSERT_TRUE(engine.channelPlay(h, false));
    out = pull(*devices, 441);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), pcm.begin() + 44100 * 2));

    // To the end: inactive once the last frame is heard, position at the length.
    const std::int64_t length = engine.channelGetLength(h);
    EXPECT_EQ(length, std::int64_t(pcm.size() * 2));
    for (int i = 0; i < 200 && engine.channelIsActive(h); ++i)
        pull(*devices, 441);
    EXPECT_EQ(engine.channelIsActive(h), 0);
    EXPECT_EQ(engine.channelGetPosition(h), length);
    EXPECT_EQ(engine.channelGetLevel(h), 0u);
    // Play without restart after the end starts again from the beginning.
    ASSERT_TRUE(engine.channelPlay(h, false));
    out = pull(*devices, 441);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), pcm.begin()));
    EXPECT_TRUE(engine.streamFree(h));
}

TEST_F(FakeEngine, DeletedAndTruncatedFilesPlayWhatTheyHoldAndEnd)
{
    const Pcm pcm = sine(440, 44100, 2, 2.0);
    ASSERT_TRUE(writeWav(dir.filePath("gone.wav"), pcm, 44100, 2));
    ASSERT_TRUE(encodeFile(dir.filePath("whole.mp3"), "mp3", pcm, 44100, 2, 128000));
    ASSERT_TRUE(encodeFile(dir.filePath("whole.wma"), "wma", pcm, 44100, 2, 128000));
    auto cut = [&](const QString& from, const QString& to) {
        QFile f(dir.filePath(from));
        f.open(QIODevice::ReadOnly);
        const QByteArray all = f.readAll();
        return writeFile(dir.filePath(to), all.left(all.size() * 2 / 5));
    };
    ASSERT_TRUE(cut("whole.mp3", "cut.mp3"));
    ASSERT_TRUE(cut("whole.wma", "cut.wma"));

    struct Case {
        const char* file;
        bool removeWhilePlaying;
        double minSeconds, maxSeconds; // what is heard before the end
    };
    for (const Case c : {Case{"gone.wav", true, 1.99, 2.01}, Case{"cut.mp3", false, 0.6, 0.9},
                         Case{"cut.wma", false, 0.6, 0.9}}) {
        const audio::HSTREAM h = engine.streamCreateFile(dir.filePath(c.file));
        ASSERT_NE(h, 0u) << c.file;
        ASSERT_TRUE(engine.channelPlay(h, true));
        pull(*devices, 441);
        if (c.removeWhilePlaying) {
            ASSERT_TRUE(QFile::remove(dir.filePath(c.file)));
        }
        for (int i = 0; i < 1000 && engine.channelIsActive(h); ++i)
            pull(*devices, 4410);
        EXPECT_EQ(engine.channelIsActive(h), 0) << c.file;
        const double heard = engine.channelBytes2Seconds(h, engine.channelGetPosition(h));
        EXPECT_GE(heard, c.minSeconds) << c.file;
        EXPECT_LE(heard, c.maxSeconds) << c.file;
        EXPECT_TRUE(engine.streamFree(h));
    }
}

TEST_F(FakeEngine, ManyThreadsOnTheSameHandles)
{
    const QString path = dir.filePath("s.wav");
    ASSERT_TRUE(writeWav(path, sine(440, 22050, 1, 0.5), 22050, 1));
    std::atomic<bool> stop{false};
    std::atomic<audio::Handle> current{0};
    std::thread creator([&] {
        for (int i = 0; i < 300; ++i) {
            const audio::HSTREAM h = engine.streamCreateFile(path);
            current = h;
            engine.channelPlay(h, true);
            std::this_thread::yield();
            engine.streamFree(h);
        }
        stop = true;
    });
    std::vector<std::thread> users;
    for (int t = 0; t < 3; ++t)
        users.emplace_back([&, t] {
            std::mt19937 rng{unsigned(t)};
            float fft[512];
            while (!stop) {
                const audio::Handle h = current.load() + (rng() % 3 == 0 ? 1 : 0);
                engine.channelGetPosition(h);
                engine.channelGetLevel(h);
                engine.channelGetData(h, fft, audio::DataFft1024);
                engine.channelIsActive(h);
                if (rng() % 5 == 0)
                    engine.channelSetPosition(h, 1000);
                if (rng() % 7 == 0)
                    engine.channelPause(h);
            }
        });
    std::thread device([&] {
        while (!stop)
            devices->pullOutput(256);
    });
    creator.join();
    for (auto& u : users)
        u.join();
    device.join();
    EXPECT_EQ(engine.channelCount(), 0u);
}
