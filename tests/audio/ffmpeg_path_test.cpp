// ctest-label: unit
// File names for FFmpeg are UTF-8 whatever the system's code page: the bytes for names in
// several scripts, and files of each kind written into and read back from a folder whose name
// is not ASCII.
#include "audio/Decoder.h"
#include "audio/FfmpegPath.h"
#include "support/audio_files.h"
#include "support/audio_signals.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(FfmpegPathTest, NamesBecomeUtf8)
{
    const struct {
        const char16_t* name;
        const char* utf8;
    } rows[] = {
        {u"/tmp/Vexa_001.wav", "/tmp/Vexa_001.wav"},
        {u"/home/anna/Aufnahmen \u00e4\u00f6\u00fc/a.wav", "/home/anna/Aufnahmen \xc3\xa4\xc3\xb6\xc3\xbc/a.wav"},
        {u"C:/\u5f55\u97f3/Vexa_002.mp3", "C:/\xe5\xbd\x95\xe9\x9f\xb3/Vexa_002.mp3"},
        {u"/r/\U0001F3B5.wma", "/r/\xf0\x9f\x8e\xb5.wma"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(audio::ffmpegPath(QString::fromUtf16(row.name)), QByteArray(row.utf8))
            << row.utf8;
}

TEST(FfmpegPathTest, FilesInANonAsciiFolderOpen)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.filePath(QString::fromUtf16(u"Aufnahmen \u00e4 \u5f55\u97f3"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const testsupport::Pcm tone = testsupport::sine(440, 44100, 2, 0.5);
    const QString wav = folder + QString::fromUtf16(u"/\u00dcbung.wav");
    const QString mp3 = folder + QString::fromUtf16(u"/\u00dcbung.mp3");
    const QString wma = folder + QString::fromUtf16(u"/\u00dcbung.wma");
    ASSERT_TRUE(testsupport::writeWav(wav, tone, 44100, 2));
    ASSERT_TRUE(testsupport::encodeFile(mp3, "mp3", tone, 44100, 2, 128000));
    ASSERT_TRUE(testsupport::encodeFile(wma, "wma", tone, 44100, 2, 128000));
    for (const QString& path : {wav, mp3, wma}) {
        audio::Decoder d;
        ASSERT_TRUE(d.open(audio::ffmpegPath(path).toStdString())) << path.toStdString();
        EXPECT_EQ(d.rate(), 44100u);
        EXPECT_EQ(d.channels(), 2u);
        EXPECT_GT(d.lengthFrames(), 20000);
    }
}

} // namespace
