// ctest-label: unit
// The codec module: where the program looks for it, and a program whose module is missing (a
// damaged installation): nothing decodes, nothing converts, a WMA recording is refused with
// the encoder's own message and leaves no file, and nothing crashes. WAV and MP3 recording do
// not need the module. (The tests that decode and encode use the module the build puts beside
// them, so this process is pointed at a missing file before anything loads it.)
#include "audio/Decoder.h"
#include "audio/Engine.h"
#include "audio/FormatConverter.h"
#include "platform/CodecModule.h"
#include "recording/RecordWriterFactory.h"
#include "support/RecordingMessageSink.h"
#include "support/audio_files.h"
#include "support/audio_signals.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Before the first use of the module in this process (the loader looks once).
const bool pointedAway = [] {
    setenv("VEXA_CODEC_MODULE", "/nonexistent/vexa-codecs.so", 1);
    return true;
}();

} // namespace

TEST(CodecModulePath, BesideTheProgramFirstThenTheInstalledLibFolder)
{
    ASSERT_TRUE(pointedAway);
    QTemporaryDir dir;
    const QString bin = dir.filePath("usr/bin");
    QDir().mkpath(bin);
    EXPECT_EQ(platform::codecModulePath(bin), dir.filePath("usr/lib/vexa-recorder/vexa-codecs.so"));
    EXPECT_EQ(platform::codecModulePath(bin + "/"), dir.filePath("usr/lib/vexa-recorder/vexa-codecs.so"));
    QFile beside(bin + "/vexa-codecs.so");
    ASSERT_TRUE(beside.open(QIODevice::WriteOnly));
    beside.close();
    EXPECT_EQ(platform::codecModulePath(bin), bin + "/vexa-codecs.so");
}

TEST(MissingCodecModule, NothingDecodesOrConvertsAndNothingCrashes)
{
    QTemporaryDir dir;
    const QString wav = dir.filePath("a.wav");
    ASSERT_TRUE(testsupport::writeWav(wav, testsupport::sine(440, 44100, 2, 0.5), 44100, 2));

    EXPECT_EQ(platform::codecModuleSymbol("vexa_audio_codecs"), nullptr);
    audio::Decoder decoder;
    EXPECT_FALSE(decoder.open(QFile::encodeName(wav).toStdString()));
    EXPECT_EQ(decoder.rate(), 0u);
    EXPECT_EQ(decoder.channels(), 0u);
    EXPECT_EQ(decoder.lengthFrames(), 0);
    std::int16_t out[64] = {};
    EXPECT_EQ(decoder.read(out, 32), 0u);
    EXPECT_FALSE(decoder.seek(10));
    EXPECT_TRUE(decoder.atEnd());

    audio::FormatConverter converter({48000, 2}, {44100, 2});
    EXPECT_FALSE(converter.valid());
    std::vector<std::int16_t> converted{1, 2, 3};
    converter.convert(out, 32, converted);
    EXPECT_TRUE(converted.empty());

    // The engine opens no stream for the file, and says so by a null handle.
    audio::Engine engine;
    EXPECT_EQ(engine.streamCreateFile(wav), 0u);
}

TEST(MissingCodecModule, WmaIsRefusedWithTheEncodersMessageWhileWavAndMp3Record)
{
    QTemporaryDir dir;
    testsupport::RecordingMessageSink messages;
    recording::RecordWriterFactory factory(messages);
    struct Case {
        std::uint8_t code;
        const char* file;
        bool records;
    };
    for (const Case c : {Case{recording::RecordFormat::Wav, "a.wav", true},
                         Case{recording::RecordFormat::Mp3, "a.mp3", true},
                         Case{recording::RecordFormat::Wma, "a.wma", false}}) {
        messages.clear();
        recording::RecordFormat format;
        format.format = c.code;
        const QString path = dir.filePath(c.file);
        auto writer = factory.create(c.code);
        ASSERT_NE(writer, nullptr) << c.file;
        const int chunk = writer->open(path, format);
        if (c.records) {
            EXPECT_GE(chunk, 0) << c.file;
            EXPECT_TRUE(messages.messages().isEmpty()) << c.file;
            EXPECT_TRUE(writer->close()) << c.file;
            EXPECT_TRUE(QFile::exists(path)) << c.file;
        } else {
            EXPECT_EQ(chunk, -1);
            ASSERT_EQ(messages.messages().size(), 1);
            EXPECT_EQ(messages.messages()[0].text, "Could not load wmaudsdk.dll file");
            EXPECT_EQ(messages.messages()[0].caption, "WMA Audio SDK");
            EXPECT_FALSE(writer->write("\0\0\0\0", 4));
            EXPECT_TRUE(writer->close());
            EXPECT_FALSE(QFile::exists(path));
        }
    }
}
