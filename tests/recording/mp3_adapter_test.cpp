// The MP3 adapter's tables and failure paths: bit-rate snapping, chunk sizes, a recording
// shorter than one frame, and each failure with its exact message, caption and result.
// ctest-label: unit
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include "recording/Mp3Writer.h"
#include "support/RecordingMessageSink.h"
#include "support/decode_audio.h"
#include "wav_failing_file.h"

namespace {

TEST(Mp3WriterSnap, BitRateTable)
{
    const struct {
        unsigned int in;
        int out;
    } cases[] = {
        {0, 32},    {32, 32},   {36, 32},   {37, 40},   {44, 40},   {45, 48},   {52, 48},
        {53, 56},   {60, 56},   {61, 64},   {64, 64},   {67, 64},   {68, 80},   {88, 80},
        {89, 96},   {96, 96},   {100, 96},  {104, 96},  {105, 112}, {120, 112}, {121, 128},
        {128, 128}, {144, 128}, {145, 160}, {176, 160}, {177, 192}, {192, 192}, {208, 192},
        {209, 224}, {240, 224}, {241, 256}, {256, 256}, {288, 256}, {289, 320}, {320, 320},
        {1000, 320},
        {static_cast<unsigned int>(-1), 320}, // compared as unsigned: a negative rate is huge
    };
    for (const auto& c : cases)
        EXPECT_EQ(recording::Mp3Writer::snapBitrate(c.in), c.out) << c.in;
}

TEST(Mp3WriterChunk, IsSamplesPerFrameTimesChannelsTimesTwo)
{
    const struct {
        int rate;
        int mode;
        int chunk;
    } cases[] = {
        {44100, recording::Mp3Writer::ModeStereo, 4608}, // one stereo MPEG-1 frame: 2304 samples
        {48000, recording::Mp3Writer::ModeJointStereo, 4608},
        {48000, recording::Mp3Writer::ModeDualChannel, 4608},
        {48000, recording::Mp3Writer::ModeMono, 2304},
        {22050, recording::Mp3Writer::ModeStereo, 2304}, // MPEG-2: 576 samples per channel
        {11025, recording::Mp3Writer::ModeMono, 1152},
        {8000, recording::Mp3Writer::ModeMono, 1152},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rate * 10 + c.mode);
        QTemporaryDir dir;
        testsupport::RecordingMessageSink sink;
        recording::Mp3Writer adapter(sink);
        EXPECT_EQ(adapter.initialise(dir.filePath(QStringLiteral("a.mp3")), c.rate, c.mode, 64), c.chunk);
        EXPECT_TRUE(adapter.close());
        EXPECT_TRUE(sink.messages().isEmpty());
    }
}

// A recording shorter than one frame produces no MP3 data until Close: the flush writes it,
// as plain audio frames (no header frame is reserved in front).
TEST(Mp3WriterClose, FlushWritesTheLastPartialFrame)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("short.mp3"));
    const auto pcm = testsupport::sinePcm(44100, 500, {440.0, 660.0});
    testsupport::RecordingMessageSink sink;
    {
        recording::Mp3Writer adapter(sink);
        ASSERT_EQ(adapter.initialise(path, 44100, recording::Mp3Writer::ModeStereo, 128), 4608);
        EXPECT_EQ(adapter.encode(reinterpret_cast<const char*>(pcm.data()), 2000), 0);
        EXPECT_EQ(QFile(path).size(), 0) << "nothing before the flush";
        EXPECT_TRUE(adapter.close());
    }
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray all = f.readAll();
    // Whole frames of 417 or 418 bytes (128 kbit/s at 44100 Hz), the first a frame header.
    ASSERT_GE(all.size(), 417);
    EXPECT_EQ(quint8(all[0]), 0xFF);
    EXPECT_FALSE(all.left(417).contains("Info") || all.left(417).contains("LAME"));
    const testsupport::DecodedAudio d = testsupport::decodeAudio(path);
    ASSERT_TRUE(d.ok) << d.error.toStdString();
    const auto span = testsupport::soundSpan(d, 0.25f);
    EXPECT_NEAR(double(span.second - span.first), 500.0, 16.0);
    EXPECT_TRUE(sink.messages().isEmpty());
}

platform::Message lameMessage(const char* text)
{
    platform::Message m;
    m.text = QString::fromLatin1(text);
    m.caption = QStringLiteral("Lame Encoder");
    m.icon = platform::MessageIcon::None;
    m.withOwner = false;
    return m;
}

void expectMessages(const testsupport::RecordingMessageSink& sink,
                    const std::vector<const char*>& texts)
{
    const auto got = sink.messages();
    ASSERT_EQ(got.size(), int(texts.size()));
    for (int i = 0; i < got.size(); ++i) {
        const platform::Message want = lameMessage(texts[std::size_t(i)]);
        EXPECT_EQ(got[i].text, want.text);
        EXPECT_EQ(got[i].caption, want.caption);
        EXPECT_EQ(got[i].icon, want.icon);
        EXPECT_EQ(got[i].withOwner, want.withOwner);
    }
}

TEST(Mp3WriterFailure, InitialiseReportsAndReturnsMinusOne)
{
    struct Case {
        const char* name;
        int rate;
        int mode;
        bool missingFolder;
        const char* message;
    };
    const Case cases[] = {
        {"encoder refuses the sample rate", 1234, recording::Mp3Writer::ModeStereo, false,
         "Could not initialize Lame encoder"},
        {"no such channel mode", 44100, 5, false, "Could not initialize Lame encoder"},
        {"file cannot be created", 44100, recording::Mp3Writer::ModeStereo, true,
         "Can not create the file."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath(c.missingFolder ? QStringLiteral("missing/a.mp3") : QStringLiteral("a.mp3"));
        testsupport::RecordingMessageSink sink;
        recording::Mp3Writer adapter(sink);
        EXPECT_EQ(adapter.initialise(path, c.rate, c.mode, 128), -1);
        expectMessages(sink, {c.message});
        EXPECT_FALSE(QFile::exists(path));
        sink.clear();
        EXPECT_EQ(adapter.encode("\0\0\0\0", 4), -1) << "an adapter that did not start encodes nothing";
        expectMessages(sink, {"Could not perform compression"});
        EXPECT_TRUE(adapter.close()) << "nothing to close";
    }
}

TEST(Mp3WriterFailure, EncodeOfPartFramesIsRefused)
{
    QTemporaryDir dir;
    testsupport::RecordingMessageSink sink;
    recording::Mp3Writer adapter(sink);
    ASSERT_EQ(adapter.initialise(dir.filePath(QStringLiteral("a.mp3")), 44100,
                                 recording::Mp3Writer::ModeStereo, 128),
              4608);
    const char block[6] = {};
    EXPECT_EQ(adapter.encode(block, 6), -1) << "one and a half stereo frames";
    expectMessages(sink, {"Could not perform compression"});
}

// A full disk while recording: the chunk that cannot be written fails (the session then ends
// the capture) with one message; Close fails too without repeating it.
TEST(Mp3WriterFailure, WriteFailureIsReported)
{
    QTemporaryDir dir;
    auto file = std::make_unique<FailingFileWriter>();
    file->capacity = 3000;
    testsupport::RecordingMessageSink sink;
    recording::Mp3Writer adapter(sink, std::move(file));
    const int chunk = adapter.initialise(dir.filePath(QStringLiteral("a.mp3")), 44100,
                                         recording::Mp3Writer::ModeStereo, 128);
    ASSERT_EQ(chunk, 4608);
    const auto pcm = testsupport::sinePcm(44100, 44100, {440.0, 660.0});
    const auto* bytes = reinterpret_cast<const char*>(pcm.data());
    int result = 0;
    std::int64_t at = 0;
    while (result >= 0 && at + chunk <= std::int64_t(pcm.size() * 2)) {
        result = adapter.encode(bytes + at, chunk);
        at += chunk;
    }
    EXPECT_EQ(result, -1);
    expectMessages(sink, {"Can not write the file."});
    sink.clear();
    EXPECT_FALSE(adapter.close());
    EXPECT_TRUE(sink.messages().isEmpty());
}

// The disk fills just at Close: the flushed last frame cannot be written.
TEST(Mp3WriterFailure, CloseReportsAFailedFlush)
{
    QTemporaryDir dir;
    auto file = std::make_unique<FailingFileWriter>();
    file->capacity = 0; // no room at all
    testsupport::RecordingMessageSink sink;
    recording::Mp3Writer adapter(sink, std::move(file));
    ASSERT_EQ(adapter.initialise(dir.filePath(QStringLiteral("a.mp3")), 44100,
                                 recording::Mp3Writer::ModeStereo, 128),
              4608);
    const auto pcm = testsupport::sinePcm(44100, 100, {440.0, 660.0});
    EXPECT_EQ(adapter.encode(reinterpret_cast<const char*>(pcm.data()), 400), 0)
        << "the audio is held back by the encoder";
    EXPECT_FALSE(adapter.close());
    expectMessages(sink, {"Can not write the file."});
}

// Encode runs on the capture thread; its message goes to the sink from there (the Qt sink
// queues it to the GUI thread) and the call returns at once.
TEST(Mp3WriterFailure, MessageFromTheCaptureThread)
{
    QTemporaryDir dir;
    testsupport::RecordingMessageSink sink;
    recording::Mp3Writer adapter(sink);
    ASSERT_GT(adapter.initialise(dir.filePath(QStringLiteral("a.mp3")), 44100,
                                 recording::Mp3Writer::ModeStereo, 128),
              0);
    int result = 0;
    QThread* capture = QThread::create([&] { result = adapter.encode("\0\0\0", 3); });
    capture->start();
    ASSERT_TRUE(capture->wait(10000));
    delete capture;
    EXPECT_EQ(result, -1);
    expectMessages(sink, {"Could not perform compression"});
}

} // namespace
