// ctest-label: unit
// The engine without a sound device: streams opened for their length, format and file size,
// stale handles, and many create/free cycles.
#include "audio/Engine.h"
#include "support/audio_files.h"
#include "support/audio_signals.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace testsupport;

namespace {

// A machine without any sound device.
class NoDevices : public audio::DeviceBackend {
public:
    bool hasInput() override { return false; }
    bool hasOutput() override { return false; }
    std::unique_ptr<audio::DeviceStream> openInput(const std::string&, audio::DeviceFormat, InputProc) override
    {
        return nullptr;
    }
    std::unique_ptr<audio::DeviceStream> openOutput(audio::DeviceFormat, OutputProc) override { return nullptr; }
};

bool record(audio::HRECORD, const void*, std::uint32_t, void*) { return true; }

} // namespace

TEST(EngineStreams, LengthInfoAndFileSizeWithoutADevice)
{
    QTemporaryDir dir;
    struct Case {
        const char* file;
        unsigned rate, channels;
        bool wma;
    };
    const Case cases[] = {{"a.wav", 44100, 2, false}, {"b.wav", 8000, 1, false}, {"c.mp3", 44100, 2, false},
                          {"d.mp3", 22050, 1, false}, {"e.wma", 44100, 2, true}, {"f.wma", 48000, 1, true}};
    audio::Engine engine(std::make_shared<NoDevices>());
    EXPECT_FALSE(engine.recordInit(-1));
    EXPECT_FALSE(engine.init(-1, 44100));
    for (const Case& c : cases) {
        const QString path = dir.filePath(c.file);
        const Pcm pcm = sine(500, c.rate, c.channels, 2.0);
        const QString ext = QString(c.file).section('.', -1);
        ASSERT_TRUE(ext == "wav" ? writeWav(path, pcm, c.rate, c.channels)
                                 : encodeFile(path, ext.toUtf8().constData(), pcm, c.rate, c.channels, 96000));
        const audio::HSTREAM h = c.wma ? engine.wmaStreamCreateFile(path) : engine.streamCreateFile(path);
        ASSERT_NE(h, 0u) << c.file;
        audio::ChannelInfo info;
        ASSERT_TRUE(engine.channelGetInfo(h, info));
        EXPECT_EQ(info.freq, c.rate) << c.file;
        EXPECT_EQ(info.chans, c.channels) << c.file;
        EXPECT_EQ(info.flags, 0u) << c.file;
        // The rate of the audio data: PCM's own, or the encoder's.
        EXPECT_EQ(info.bitrate, ext == "wav" ? c.rate * c.channels * 16 : 96000u) << c.file;
        const std::int64_t length = engine.channelGetLength(h);
        if (ext == "wav") {
            EXPECT_EQ(length, std::int64_t(pcm.size() * 2)) << c.file;
        }
        // WMA: the container's duration in whole codec frames (see the decoder test): the
        // generated file's lead-in frame and at most one frame (2048) of padding over.
        const double over = c.wma ? 2 * 2048.0 / c.rate : 0.030;
        EXPECT_GE(engine.channelBytes2Seconds(h, length), 2.0 - 0.030) << c.file;
        EXPECT_LE(engine.channelBytes2Seconds(h, length), 2.0 + over) << c.file;
        EXPECT_DOUBLE_EQ(engine.channelBytes2Seconds(h, c.rate * c.channels * 2), 1.0);
        EXPECT_EQ(engine.streamGetFilePosition(h, audio::FilePosEnd), QFileInfo(path).size());
        EXPECT_EQ(engine.channelGetPosition(h), 0);
        EXPECT_EQ(engine.channelIsActive(h), 0);
        EXPECT_FALSE(engine.channelPlay(h, true)); // no output device
        EXPECT_EQ(engine.channelGetLevel(h), 0u);
        EXPECT_TRUE(engine.streamFree(h));
    }
    EXPECT_EQ(engine.recordStart(44100, 2, &record, nullptr), 0u);
}

TEST(EngineHandles, StaleAndUnknownHandlesFailQuietly)
{
    QTemporaryDir dir;
    ASSERT_TRUE(writeWav(dir.filePath("x.wav"), sine(500, 44100, 2, 0.5), 44100, 2));
    audio::Engine engine(std::make_shared<NoDevices>());
    const audio::HSTREAM freed = engine.streamCreateFile(dir.filePath("x.wav"));
    ASSERT_NE(freed, 0u);
    ASSERT_TRUE(engine.streamFree(freed));
    const audio::HSTREAM live = engine.streamCreateFile(dir.filePath("x.wav"));
    ASSERT_NE(live, 0u);
    EXPECT_NE(live, freed); // a freed handle is not handed out again

    for (audio::Handle h : {audio::Handle(0), freed, audio::Handle(0xFFFFFFFFu), live + 1000}) {
        char buffer[4096];
        audio::ChannelInfo info;
        EXPECT_FALSE(engine.channelPlay(h, true)) << h;
        EXPECT_FALSE(engine.channelPause(h)) << h;
        EXPECT_FALSE(engine.channelStop(h)) << h;
        EXPECT_EQ(engine.channelIsActive(h), 0) << h;
        EXPECT_EQ(engine.channelGetLength(h), -1) << h;
        EXPECT_EQ(engine.channelGetPosition(h), -1) << h;
        EXPECT_FALSE(engine.channelSetPosition(h, 0)) << h;
        EXPECT_LT(engine.channelBytes2Seconds(h, 100), 0.0) << h;
        EXPECT_EQ(engine.channelGetLevel(h), 0xFFFFFFFFu) << h;
        EXPECT_EQ(engine.channelGetData(h, buffer, 2048), -1) << h;
        EXPECT_EQ(engine.channelGetData(h, buffer, audio::DataFft1024), -1) << h;
        EXPECT_FALSE(engine.channelGetInfo(h, info)) << h;
        EXPECT_EQ(engine.streamGetFilePosition(h, audio::FilePosEnd), -1) << h;
        EXPECT_FALSE(engine.streamFree(h)) << h;
    }
    EXPECT_EQ(engine.channelCount(), 1u);
    engine.free(); // frees the live stream too
    EXPECT_EQ(engine.channelGetLength(live), -1);
}

TEST(EngineHandles, BadFilesGiveNoHandle)
{
    QTemporaryDir dir;
    ASSERT_TRUE(writeFile(dir.filePath("zero.wav"), QByteArray()));
    ASSERT_TRUE(writeFile(dir.filePath("text.wav"), QByteArray("hello, not a sound\n").repeated(50)));
    ASSERT_TRUE(writeFile(dir.filePath("text.wma"), QByteArray("hello, not a sound\n").repeated(50)));
    audio::Engine engine(std::make_shared<NoDevices>());
    for (const char* name : {"zero.wav", "text.wav", "missing.mp3", "text.wma", ""}) {
        EXPECT_EQ(engine.streamCreateFile(name[0] ? dir.filePath(name) : QString()), 0u) << name;
        EXPECT_EQ(engine.wmaStreamCreateFile(name[0] ? dir.filePath(name) : QString()), 0u) << name;
    }
    EXPECT_EQ(engine.channelCount(), 0u);
}

TEST(EngineHandles, TenThousandCreateFreeCycles)
{
    QTemporaryDir dir;
    ASSERT_TRUE(writeWav(dir.filePath("s.wav"), sine(500, 8000, 1, 0.1), 8000, 1));
    ASSERT_TRUE(encodeFile(dir.filePath("s.mp3"), "mp3", sine(500, 8000, 1, 0.2), 8000, 1, 32000));
    audio::Engine engine(std::make_shared<NoDevices>());
    const QString wav = dir.filePath("s.wav"), mp3 = dir.filePath("s.mp3");
    for (int i = 0; i < 10000; ++i) {
        const audio::HSTREAM h = engine.streamCreateFile(i % 2 ? mp3 : wav);
        ASSERT_NE(h, 0u) << i;
        ASSERT_GT(engine.channelGetLength(h), 0);
        ASSERT_TRUE(engine.streamFree(h));
    }
    EXPECT_EQ(engine.channelCount(), 0u);
}
