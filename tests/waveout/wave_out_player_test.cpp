// ctest-label: audio
// The block-by-block WAV player: derived values, the block cycle to the end, peaks, Goto,
// pause, stop, every refusal with its text, and one real run on the private sound server.
// Most cases run on a fake device whose frames the test pulls itself.
#include "support/RecordingMessageSink.h"
#include "support/audio_fake_devices.h"
#include "support/audio_files.h"
#include "waveout/WaveOutPlayer.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

using namespace testsupport;
using waveout::WaveOutPlayer;

namespace {

// Waits for what a thread does in reply (the fake device's pull, or the real device playing
// one second of sound); the limit only ends a test that would hang, so it is generous: a
// loaded machine is slow.
bool waitUntil(const std::function<bool()>& done, int ms = 20000)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// 16-bit stereo data whose block i holds left (i+1)*100 and right -(i+1)*50 throughout.
QByteArray numberedBlocks(int blocks, int framesPerBlock)
{
    QByteArray data;
    for (int b = 0; b < blocks; ++b)
        for (int f = 0; f < framesPerBlock; ++f) {
            const qint16 l = qint16((b + 1) * 100), r = qint16(-(b + 1) * 50);
            data.append(reinterpret_cast<const char*>(&l), 2);
            data.append(reinterpret_cast<const char*>(&r), 2);
        }
    return data;
}

QStringList texts(const testsupport::RecordingMessageSink& sink)
{
    QStringList out;
    for (const auto& m : sink.messages())
        out << m.text;
    return out;
}

class Player : public ::testing::Test {
protected:
    QString wav(const QString& name, const QByteArray& data, unsigned rate, unsigned channels,
                unsigned bits, long long claimed = -1)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(writeFile(path, wavBytes(data, rate, channels, bits, claimed)));
        return path;
    }
    void count(WaveOutPlayer& p)
    {
        p.OnPeak = [this](WaveOutPlayer* sender) {
            ++peaks;
            lastLeft = sender->LeftPeak();
            lastRight = sender->RightPeak();
        };
        p.OnComplete = [this](WaveOutPlayer*) { ++completes; };
    }

    QTemporaryDir dir;
    testsupport::RecordingMessageSink messages;
    std::shared_ptr<FakeDeviceBackend> devices = std::make_shared<FakeDeviceBackend>();
    std::atomic<int> peaks{0}, completes{0};
    std::atomic<int> lastLeft{-1}, lastRight{-1};
};

} // namespace

TEST_F(Player, DerivedValues)
{
    struct Case {
        unsigned rate, channels, bits;
        int bufferTime;
        int dataBytes;
        std::uint32_t blockSize, blockTotal, duration;
    };
    const Case cases[] = {
        {44100, 2, 16, 100, 176400, 17640, 10, 1}, // one second in ten blocks
        {44100, 2, 16, 100, 176401, 17640, 11, 2}, // a remainder adds a block and a second
        {8000, 1, 8, 100, 8000, 800, 10, 1},
        {22050, 1, 16, 250, 44100, 11025, 4, 1},
        {11025, 2, 16, 100, 44100, 4410, 10, 1},
        {48000, 2, 16, 3000, 192000, 576000, 1, 1}, // 32-bit intermediate would overflow
        {8000, 1, 16, 0, 1600, 2, 800, 1},          // no block time: one frame per block
    };
    for (const Case& c : cases) {
        WaveOutPlayer p(messages, devices);
        p.BufferTime = c.bufferTime;
        p.FileName = wav("d.wav", QByteArray(c.dataBytes, '\0'), c.rate, c.channels, c.bits);
        ASSERT_TRUE(p.GetWaveFileInf());
        EXPECT_EQ(p.SampleRate(), c.rate);
        EXPECT_EQ(p.Channels(), c.channels);
        EXPECT_EQ(p.BitsPerSample(), c.bits);
        EXPECT_EQ(p.DataSize(), std::uint32_t(c.dataBytes));
        EXPECT_EQ(p.BlockSize(), c.blockSize) << c.rate << " " << c.bufferTime;
        EXPECT_EQ(p.BlockTotal(), c.blockTotal) << c.rate << " " << c.bufferTime;
        EXPECT_EQ(p.DurationSeconds(), c.duration) << c.rate;
        EXPECT_EQ(p.Position(), 0);
        EXPECT_EQ(p.ElapsedSeconds(), 0u);
    }
    EXPECT_TRUE(messages.messages().isEmpty());
}

TEST_F(Player, TenBlocksOfOneSecondThenCompleteAndStopped)
{
    WaveOutPlayer p(messages, devices);
    count(p);
    const QByteArray data = numberedBlocks(10, 4410);
    p.FileName = wav("one.wav", data, 44100, 2, 16);
    ASSERT_TRUE(p.Open());
    EXPECT_EQ(p.BlockSize(), 17640u);
    EXPECT_EQ(p.BlockTotal(), 10u);
    EXPECT_EQ(p.DurationSeconds(), 1u);
    EXPECT_EQ(devices->outputFormat().rate, 44100u);
    EXPECT_EQ(devices->outputFormat().channels, 2u);
    p.Play();
    EXPECT_EQ(p.PlayState(), WaveOutPlayer::Playing);
    QByteArray played;
    for (int block = 0; block < 10; ++block) {
        const int before = peaks + completes;
        auto out = devices->pullOutput(4410);
        played.append(reinterpret_cast<const char*>(out.data()), int(out.size() * 2));
        ASSERT_TRUE(waitUntil([&] { return peaks + completes > before; })) << block;
        if (block < 9) {
            EXPECT_EQ(p.Position(), block + 1);
            EXPECT_EQ(p.ElapsedSeconds(), std::uint32_t(((block + 1) * 100 + 999) / 1000));
            EXPECT_EQ(lastLeft, (block + 1) * 100 * 100 / 32768);
            EXPECT_EQ(lastRight, (block + 1) * 50 * 100 / 32768);
            EXPECT_EQ(completes, 0);
        }
    }
    ASSERT_TRUE(waitUntil([&] { return completes == 1; }));
    EXPECT_EQ(peaks, 10);
    EXPECT_EQ(p.PlayState(), WaveOutPlayer::Stopped);
    EXPECT_EQ(p.Position(), 0);
    EXPECT_EQ(p.ElapsedSeconds(), 0u);
    EXPECT_EQ(played, data); // every block in order, nothing more
    auto after = devices->pullOutput(4410);
    EXPECT_TRUE(std::all_of(after.begin(), after.end(), [](std::int16_t s) { return s == 0; }));
    p.Close();
}

TEST_F(Player, EightBitMonoPeaksComeFromTheFirstByte)
{
    WaveOutPlayer p(messages, devices);
    count(p);
    QByteArray data(800 * 4, char(128));
    data[0] = char(0);      // 100 %
    data[800] = char(128);  // 0 %
    data[1600] = char(192); // 50 %
    data[2400] = char(255); // 99 %
    p.FileName = wav("eight.wav", data, 8000, 1, 8);
    ASSERT_TRUE(p.Open());
    ASSERT_EQ(p.BlockSize(), 800u);
    p.Play();
    const int expected[] = {100, 0, 50, 99};
    for (int block = 0; block < 4; ++block) {
        const int before = peaks;
        auto out = devices->pullOutput(800);
        ASSERT_TRUE(waitUntil([&] { return peaks > before; })) << block;
        EXPECT_EQ(lastLeft, expected[block]) << block;
        EXPECT_EQ(lastRight, expected[block]) << block;
        EXPECT_EQ(out[0],
                  std::int16_t((int(quint8(data[block * 800])) - 128) << 8)); // 8-bit played as 16
    }
    ASSERT_TRUE(waitUntil([&] { return completes == 1; }));
}

TEST_F(Player, GotoMovesTheRefillAndStopsAtTheLastBlock)
{
    WaveOutPlayer p(messages, devices);
    count(p);
    p.FileName = wav("two.wav", numberedBlocks(20, 4410), 44100, 2, 16);
    ASSERT_TRUE(p.Open());
    ASSERT_EQ(p.BlockTotal(), 20u);
    p.Play();
    p.Goto(15);
    EXPECT_EQ(p.Position(), 15);
    // The ten queued blocks still play; the refills continue from block 15.
    std::vector<int> heard;
    for (int i = 0; i < 12; ++i) {
        const int before = peaks + completes;
        auto out = devices->pullOutput(4410);
        heard.push_back(out[0] / 100 - 1);
        ASSERT_TRUE(waitUntil([&] { return peaks + completes > before; })) << i;
        if (completes)
            break;
    }
    EXPECT_EQ(heard, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(completes, 1); // Position 16..20 after five blocks: the end
    p.Close();

    // Beyond the end: the last block.
    WaveOutPlayer q(messages, devices);
    q.FileName = p.FileName;
    ASSERT_TRUE(q.Open());
    q.Play();
    q.Goto(1000);
    EXPECT_EQ(q.Position(), 19);
    q.Goto(-5);
    EXPECT_EQ(q.Position(), 0);
    q.Close();
}

TEST_F(Player, PauseHoldsStopReturnsTheQueuedBlocks)
{
    WaveOutPlayer p(messages, devices);
    count(p);
    p.FileName = wav("two.wav", numberedBlocks(20, 4410), 44100, 2, 16);
    ASSERT_TRUE(p.Open());
    p.Play();
    p.Pause();
    EXPECT_EQ(p.PlayState(), WaveOutPlayer::Paused);
    auto silent = devices->pullOutput(4410);
    EXPECT_TRUE(std::all_of(silent.begin(), silent.end(), [](std::int16_t s) { return s == 0; }));
    EXPECT_EQ(p.Position(), 0);
    p.Continue();
    EXPECT_EQ(p.PlayState(), WaveOutPlayer::Playing);
    auto first = devices->pullOutput(4410);
    EXPECT_EQ(first[0], 100);
    ASSERT_TRUE(waitUntil([&] { return p.Position() == 1; }));
    // Stop: the device hands back the nine queued blocks and the ten refilled; each counts.
    p.Stop();
    EXPECT_EQ(p.PlayState(), WaveOutPlayer::Stopped);
    ASSERT_TRUE(waitUntil([&] { return p.Position() == 11; }));
    EXPECT_EQ(peaks, 1);
    EXPECT_EQ(completes, 0);
    auto after = devices->pullOutput(4410);
    EXPECT_TRUE(std::all_of(after.begin(), after.end(), [](std::int16_t s) { return s == 0; }));
}

TEST_F(Player, HeaderClaimingMoreThanTheFileStillEnds)
{
    WaveOutPlayer p(messages, devices);
    count(p);
    p.FileName = wav("short.wav", numberedBlocks(3, 4410), 44100, 2, 16, 44100 * 4 * 10);
    ASSERT_TRUE(p.Open());
    EXPECT_EQ(p.BlockTotal(), 3u);
    p.Play();
    for (int i = 0; i < 3; ++i)
        devices->pullOutput(4410);
    EXPECT_TRUE(waitUntil([&] { return completes == 1; }));
}

TEST_F(Player, RefusalsAndTheirTexts)
{
    const QString missing = dir.filePath("missing.wav");
    const QString text = dir.filePath("text.wav");
    writeFile(text, QByteArray("RIFX, not a wave file at all, long enough to be read"));
    const QString deep = wav("deep.wav", QByteArray(44100 * 3, '\0'), 44100, 1, 24);
    const QString good = wav("good.wav", QByteArray(17640, '\0'), 44100, 2, 16);

    struct Case {
        QString file;
        std::function<void(WaveOutPlayer&)> setup;
        bool info, open;
        QStringList texts; // GetWaveFileInf's, then Open's
    };
    auto none = [](WaveOutPlayer&) {};
    const Case cases[] = {
        {missing, none, false, false, {"Cannot open the file!", "Cannot open the file!"}},
        {text, none, false, false, {"It is not the WAVE file!", "It is not the WAVE file!"}},
        {deep, none, false, false, {"Not PCM formats!", "The WAVE file is not the format of PCM!"}},
        {good,
         [](WaveOutPlayer& p) { p.DeviceIndex = 3; },
         true,
         false,
         {"Cannot get the capability of the sound device!"}},
        {good, [](WaveOutPlayer& p) { p.DeviceIndex = -1; }, true, true, {}},
    };
    for (const Case& c : cases) {
        messages.clear();
        WaveOutPlayer p(messages, devices);
        p.FileName = c.file;
        c.setup(p);
        EXPECT_EQ(p.GetWaveFileInf(), c.info) << c.file.toStdString();
        EXPECT_EQ(p.Open(), c.open) << c.file.toStdString();
        EXPECT_EQ(texts(messages), c.texts) << c.file.toStdString();
        for (const auto& m : messages.messages())
            EXPECT_EQ(m.caption, "Vexa Recorder");
    }

    // No output device at all.
    messages.clear();
    devices->withOutput = false;
    {
        WaveOutPlayer p(messages, devices);
        p.FileName = good;
        EXPECT_FALSE(p.Open());
        EXPECT_EQ(texts(messages), QStringList{"No sound device"});
    }
    devices->withOutput = true;

    // Operations without an open device.
    messages.clear();
    WaveOutPlayer p(messages, devices);
    p.Play();
    p.Pause();
    p.Stop();
    p.Continue();
    EXPECT_EQ(texts(messages),
              (QStringList{"The WAVE sound information structure forming fail!", "Play pause fail!",
                           "Stop play fail!", "Continue play fail! "}));
}

TEST(PlayerOnTheSoundServer, PlaysToTheEnd)
{
    QTemporaryDir dir;
    testsupport::RecordingMessageSink messages;
    WaveOutPlayer p(messages);
    std::atomic<int> peaks{0}, completes{0};
    p.OnPeak = [&](WaveOutPlayer*) { ++peaks; };
    p.OnComplete = [&](WaveOutPlayer*) { ++completes; };
    p.FileName = dir.filePath("tone.wav");
    ASSERT_TRUE(writeWav(p.FileName, sine(440, 44100, 2, 1.0), 44100, 2));
    ASSERT_TRUE(p.Open()) << (messages.messages().isEmpty()
                                  ? ""
                                  : messages.messages()[0].text.toStdString());
    p.Play();
    EXPECT_TRUE(waitUntil([&] { return completes == 1; }, 60000));
    EXPECT_EQ(peaks, 10);
    EXPECT_EQ(p.PlayState(), WaveOutPlayer::Stopped);
    p.Close();
    EXPECT_TRUE(messages.messages().isEmpty());
}
