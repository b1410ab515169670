// The WMA adapter's failure paths, each with its exact message, caption and result, and the
// hand-over rules: 0-byte blocks, part frames, Close without a writer, Destroy finishing a file.
// ctest-label: unit
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "codecs/WmaWriter.h"
#include "support/RecordingMessageSink.h"
#include "support/decode_audio.h"
#include "wav_failing_file.h"

namespace {

void expectMessages(const testsupport::RecordingMessageSink& sink,
                    const std::vector<const char*>& texts)
{
    const auto got = sink.messages();
    ASSERT_EQ(got.size(), int(texts.size()));
    for (int i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].text, QString::fromLatin1(texts[std::size_t(i)]));
        EXPECT_EQ(got[i].caption, QStringLiteral("WMA Audio SDK"));
        EXPECT_EQ(got[i].icon, platform::MessageIcon::None);
        EXPECT_FALSE(got[i].withOwner);
    }
}

TEST(WmaWriterFailure, InitialiseReportsEachStep)
{
    struct Case {
        const char* name;
        bool missingFolder;
        int rate;
        int channels;
        int bitrate;
        const char* message;
    };
    const Case cases[] = {
        {"file cannot be created", true, 44100, 2, 96000, "Failed to Create Audio Writer"},
        {"three channels", false, 44100, 3, 96000, "Failed to Set Input Format"},
        {"no sample rate", false, 0, 2, 96000, "Failed to Set Input Format"},
        {"bit rate the encoder refuses", false, 44100, 2, 1000, "Failed to Set Output Format"},
        {"no bit rate", false, 8000, 1, 0, "Failed to Set Output Format"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath(c.missingFolder ? QStringLiteral("missing/a.wma") : QStringLiteral("a.wma"));
        testsupport::RecordingMessageSink sink;
        codecs::WmaWriter adapter(sink);
        EXPECT_EQ(adapter.initialise(path, c.rate, c.channels, c.bitrate), -1);
        expectMessages(sink, {c.message});
        EXPECT_FALSE(QFile::exists(path)) << "a writer that failed to start leaves no file";
        EXPECT_FALSE(adapter.write("\0\0\0\0", 4)) << "no writer";
        EXPECT_TRUE(adapter.close()) << "Close without a writer";
    }
}

TEST(WmaWriterWrite, HandOverRules)
{
    QTemporaryDir dir;
    testsupport::RecordingMessageSink sink;
    codecs::WmaWriter adapter(sink);
    ASSERT_EQ(adapter.initialise(dir.filePath(QStringLiteral("a.wma")), 8000, 1, 48000), 16384);
    EXPECT_TRUE(adapter.write(nullptr, 0)) << "0 bytes write nothing";
    EXPECT_FALSE(adapter.write("\0\0\0", 3)) << "one and a half mono frames";
    EXPECT_TRUE(adapter.write("\0\0\0\0", 4));
    EXPECT_TRUE(adapter.close());
    EXPECT_TRUE(adapter.close()) << "a second Close has no writer";
    EXPECT_TRUE(sink.messages().isEmpty());
}

// A full disk while recording: a later block fails and so does Close; the adapter itself shows
// nothing (the session shows its own message and ends the capture).
TEST(WmaWriterWrite, FullDiskFailsTheWrite)
{
    QTemporaryDir dir;
    auto file = std::make_unique<FailingFileWriter>();
    file->capacity = 20000;
    testsupport::RecordingMessageSink sink;
    codecs::WmaWriter adapter(sink, std::move(file));
    ASSERT_EQ(adapter.initialise(dir.filePath(QStringLiteral("a.wma")), 44100, 2, 128000), 16384);
    const auto pcm = testsupport::sinePcm(44100, 10 * 44100, {440.0, 660.0});
    const auto* bytes = reinterpret_cast<const char*>(pcm.data());
    bool ok = true;
    std::int64_t at = 0;
    for (; ok && at + 16384 <= std::int64_t(pcm.size() * 2); at += 16384)
        ok = adapter.write(bytes + at, 16384);
    EXPECT_FALSE(ok) << "the full disk is reported";
    EXPECT_FALSE(adapter.close());
    EXPECT_TRUE(sink.messages().isEmpty());
}

// Destroy finishes a writer that was never closed, so the file is complete.
TEST(WmaWriterDestroy, FinishesAnOpenWriter)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.wma"));
    testsupport::RecordingMessageSink sink;
    const auto pcm = testsupport::sinePcm(22050, 22050, {440.0});
    {
        codecs::WmaWriter adapter(sink);
        ASSERT_EQ(adapter.initialise(path, 22050, 1, 64000), 16384);
        ASSERT_TRUE(adapter.write(reinterpret_cast<const char*>(pcm.data()), std::int64_t(pcm.size() * 2)));
    }
    const testsupport::DecodedAudio d = testsupport::decodeAudio(path);
    ASSERT_TRUE(d.ok) << d.error.toStdString();
    const auto span = testsupport::soundSpan(d, 0.25f);
    EXPECT_NEAR(double(span.second - span.first) / 44100, 1.0, 0.005);
}

} // namespace
