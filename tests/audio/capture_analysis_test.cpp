// ctest-label: unit
// What the display reads from a capture, on a fake device whose blocks the test pushes: the
// level, the latest 2048 bytes and the FFT come from the latest captured block, a paused or
// ended capture reads as silence, a freed handle fails and leaves the buffer alone, and none of
// these reads allocates memory once the engine has served one (on captures and streams alike).
#include "audio/Engine.h"
#include "support/audio_fake_devices.h"
#include "support/audio_files.h"
#include "support/audio_signals.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

using namespace testsupport;

// Counts the allocations of the thread that asks to be counted.
namespace {
thread_local bool countAllocations = false;
std::atomic<int> allocations{0};
} // namespace

void* operator new(std::size_t size)
{
    if (countAllocations)
        ++allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

bool keep(audio::HRECORD, const void*, std::uint32_t, void* user)
{
    auto* left = static_cast<int*>(user);
    return *left < 0 || --*left > 0;
}

class CaptureAnalysis : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(engine.recordInit(-1));
        ASSERT_TRUE(engine.init(-1, 44100));
    }
    // Starts a capture and pushes the device's silent first block.
    audio::HRECORD start(unsigned channels, int blocksUntilEnd = -1)
    {
        blocksLeft = blocksUntilEnd;
        const audio::HRECORD h = engine.recordStart(44100, channels, &keep, &blocksLeft);
        const Pcm zeros(channels * 512, 0);
        devices->pushInput(zeros.data(), 512);
        return h;
    }
    static int bin(const float* fft)
    {
        int best = 0;
        for (int k = 1; k < 512; ++k)
            if (fft[k] > fft[best])
                best = k;
        return best;
    }

    std::shared_ptr<FakeDeviceBackend> devices = std::make_shared<FakeDeviceBackend>();
    audio::Engine engine{devices};
    int blocksLeft = -1;
};

} // namespace

TEST_F(CaptureAnalysis, ReadsComeFromTheLatestCapturedBlock)
{
    const audio::HRECORD h = start(2);
    ASSERT_NE(h, 0u);
    // A quiet 440 Hz block, then a louder 2000 Hz one: the reads follow the latest.
    const Pcm quiet = sine(440, 44100, 2, 2048 / 44100.0, 0.25);
    const Pcm loud = sine(2000, 44100, 2, 2048 / 44100.0, 0.75);
    ASSERT_TRUE(devices->pushInput(quiet.data(), 2048));
    std::vector<float> fft(512, -1.0f);
    ASSERT_EQ(engine.channelGetData(h, fft.data(), audio::DataFft1024), 2048);
    EXPECT_EQ(bin(fft.data()), 10); // 440 * 1024 / 44100 = 10.2
    EXPECT_NEAR(fft[10], 0.25, 0.05);
    const std::uint32_t quietLevel = engine.channelGetLevel(h);
    EXPECT_NEAR(double(quietLevel & 0xFFFF), 0.25 * 32767, 40);
    EXPECT_EQ(quietLevel >> 16, quietLevel & 0xFFFF);

    ASSERT_TRUE(devices->pushInput(loud.data(), 2048));
    ASSERT_EQ(engine.channelGetData(h, fft.data(), audio::DataFft1024), 2048);
    EXPECT_EQ(bin(fft.data()), 46); // 2000 * 1024 / 44100 = 46.4
    EXPECT_NEAR(double(engine.channelGetLevel(h) & 0xFFFF), 0.75 * 32767, 40);
    std::vector<std::int16_t> data(1024);
    ASSERT_EQ(engine.channelGetData(h, data.data(), 2048), 2048);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), loud.end() - 1024)); // its last 512 frames
    EXPECT_TRUE(engine.streamFree(h));
}

TEST_F(CaptureAnalysis, MonoCapturesGiveTheSameLevelOnBothSides)
{
    const audio::HRECORD h = start(1);
    ASSERT_NE(h, 0u);
    const Pcm tone = sine(1000, 44100, 1, 0.05, 0.5);
    ASSERT_TRUE(devices->pushInput(tone.data(), std::uint32_t(tone.size())));
    const std::uint32_t level = engine.channelGetLevel(h);
    EXPECT_EQ(level & 0xFFFF, std::uint32_t(peak(Pcm(tone.end() - 882, tone.end()))));
    EXPECT_EQ(level >> 16, level & 0xFFFF);
    std::vector<std::int16_t> data(1024);
    ASSERT_EQ(engine.channelGetData(h, data.data(), 2048), 2048); // 1024 mono frames
    EXPECT_TRUE(std::equal(data.begin(), data.end(), tone.end() - 1024));
}

TEST_F(CaptureAnalysis, PausedEndedAndFreedCapturesReadAsSilenceOrFail)
{
    const Pcm tone = sine(440, 44100, 2, 0.05, 0.5);
    std::vector<float> fft(512);
    std::vector<std::int16_t> data(1024);

    // Paused: the device still delivers, the reads are silent.
    audio::HRECORD h = start(2);
    ASSERT_TRUE(devices->pushInput(tone.data(), 2205));
    ASSERT_GT(engine.channelGetLevel(h), 0u);
    ASSERT_TRUE(engine.channelPause(h));
    devices->pushInput(tone.data(), 2205);
    EXPECT_EQ(engine.channelGetLevel(h), 0u);
    ASSERT_EQ(engine.channelGetData(h, fft.data(), audio::DataFft1024), 2048);
    EXPECT_EQ(*std::max_element(fft.begin(), fft.end()), 0.0f);
    ASSERT_EQ(engine.channelGetData(h, data.data(), 2048), 2048);
    EXPECT_EQ(peak(Pcm(data.begin(), data.end())), 0);
    EXPECT_TRUE(engine.streamFree(h));

    // Ended from the callback (it refused the second block): silent too.
    h = start(2, 2);
    ASSERT_TRUE(devices->pushInput(tone.data(), 2205));
    EXPECT_FALSE(devices->pushInput(tone.data(), 2205));
    EXPECT_EQ(engine.channelIsActive(h), 0);
    EXPECT_EQ(engine.channelGetLevel(h), 0u);
    ASSERT_EQ(engine.channelGetData(h, data.data(), 2048), 2048);
    EXPECT_EQ(peak(Pcm(data.begin(), data.end())), 0);

    // Freed: every read fails and the buffers keep what they held.
    EXPECT_TRUE(engine.streamFree(h));
    EXPECT_EQ(engine.channelGetLevel(h), 0xFFFFFFFFu);
    fft.assign(512, 3.0f);
    EXPECT_EQ(engine.channelGetData(h, fft.data(), audio::DataFft1024), -1);
    EXPECT_EQ(fft[7], 3.0f);
    data.assign(1024, 5);
    EXPECT_EQ(engine.channelGetData(h, data.data(), 2048), -1);
    EXPECT_EQ(data[0], 5);
}

TEST_F(CaptureAnalysis, TheDisplaysReadsAllocateNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("t.wav");
    ASSERT_TRUE(writeWav(path, sine(440, 48000, 2, 1.0), 48000, 2));
    const audio::HSTREAM stream = engine.streamCreateFile(path);
    ASSERT_NE(stream, 0u);
    ASSERT_TRUE(engine.channelPlay(stream, true));
    devices->pullOutput(4800);
    const audio::HRECORD capture = start(2);
    const Pcm tone = sine(440, 44100, 2, 0.1);
    ASSERT_TRUE(devices->pushInput(tone.data(), 4410));

    float fft[512];
    std::int16_t data[1024];
    for (audio::Handle h : {capture, stream}) {
        // The first reads may size the engine's buffer; after that none allocates.
        engine.channelGetLevel(h);
        engine.channelGetData(h, fft, audio::DataFft1024);
        engine.channelGetData(h, data, 2048);
        allocations = 0;
        countAllocations = true;
        std::uint32_t levels = 0;
        int bytes = 0;
        for (int i = 0; i < 100; ++i) {
            levels |= engine.channelGetLevel(h);
            bytes += engine.channelGetData(h, fft, audio::DataFft1024);
            bytes += engine.channelGetData(h, data, 2048);
            engine.channelIsActive(h);
            engine.channelGetPosition(h);
        }
        countAllocations = false;
        EXPECT_EQ(allocations.load(), 0) << (h == capture ? "capture" : "stream");
        EXPECT_NE(levels, 0u);
        EXPECT_EQ(bytes, 100 * 4096);
    }
    EXPECT_TRUE(engine.streamFree(capture));
    EXPECT_TRUE(engine.streamFree(stream));
}
