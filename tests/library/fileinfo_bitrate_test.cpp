// The bit rate in the information panel is that of the audio data alone: ID3v2 tags with a
// large cover picture, ID3v1 and APE tags, and the ASF header and index do not count in it, so
// a constant-rate file shows its own rate (within 2 %). Files made by the ffmpeg tool and by
// our WMA writer, read through the real engine.
// ctest-label: unit
// ctest-link: vexa_recording
#include "LibraryFakes.h"
#include "audio/Engine.h"
#include "codecs/WmaWriter.h"
#include "i18n/LanguageFile.h"
#include "library/FileInfo.h"
#include "recording/RecordFormat.h"
#include "support/RecordingMessageSink.h"
#include "support/child_process.h"
#include "support/decode_audio.h"
#include "support/take_writer.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

bool ffmpeg(const QStringList& args)
{
    return testsupport::runProgram("ffmpeg", QStringList{"-nostdin", "-v", "error", "-y"} + args);
}

QString tone(int rate, double seconds)
{
    return QString("sine=frequency=440:sample_rate=%1:duration=%2").arg(rate).arg(seconds);
}

// A 1200 x 1200 picture of noise: a PNG of several megabytes, as a scanned cover can be.
bool makeCover(const QString& path)
{
    return ffmpeg({"-f", "lavfi", "-i", "nullsrc=s=1200x1200,geq=random(1)*255:random(2)*255:random(3)*255",
                   "-frames:v", "1", path});
}

bool writerWma(const QString& path, int kbps)
{
    recording::RecordFormat format;
    format.format = recording::RecordFormat::Wma;
    format.sampleRate = 44100;
    format.channels = 2;
    format.wmaBitrate = kbps;
    const auto pcm = testsupport::sinePcm(44100, 44100 * 10, {440.0, 660.0});
    testsupport::RecordingMessageSink sink;
    codecs::WmaWriter writer(sink);
    return testsupport::writeAsTake(writer, path, format, pcm);
}

struct Case {
    const char* name;
    const char* file;
    int kbps;
};

class PanelBitrate : public ::testing::TestWithParam<Case> {
protected:
    static void SetUpTestSuite()
    {
        dir = new QTemporaryDir;
        const QString d = dir->path() + "/";
        const QString cover = d + "cover.png";
        ok = makeCover(cover)
             && ffmpeg({"-f", "lavfi", "-i", tone(44100, 10), "-i", cover, "-map", "0:a", "-map", "1:v",
                        "-c:a", "libmp3lame", "-b:a", "128k", "-c:v", "png", "-disposition:v", "attached_pic",
                        "-id3v2_version", "3", "-write_id3v1", "1", "-metadata", "title=A title",
                        d + "cover.mp3"})
             && ffmpeg({"-f", "lavfi", "-i", tone(44100, 10), "-ac", "2", "-c:a", "libmp3lame", "-b:a", "128k",
                        "-write_apetag", "1", "-write_id3v1", "1", "-metadata", "artist=Someone",
                        d + "tags.mp3"})
             && ffmpeg({"-f", "lavfi", "-i", tone(48000, 10), "-ac", "2", "-c:a", "libmp3lame", "-b:a", "320k",
                        d + "plain320.mp3"})
             && ffmpeg({"-f", "lavfi", "-i", tone(22050, 3), "-ac", "1", "-c:a", "libmp3lame", "-b:a", "32k",
                        "-write_xing", "0", d + "short32.mp3"})
             && ffmpeg({"-f", "lavfi", "-i", tone(44100, 10), "-ac", "2", "-c:a", "wmav2", "-b:a", "96k",
                        "-metadata", "title=A title", d + "tool96.wma"})
             && writerWma(d + "writer96.wma", 96) && writerWma(d + "writer64.wma", 64);
        // The case the panel got wrong: the cover makes the file many times its audio.
        ok = ok && QFileInfo(d + "cover.mp3").size() > 3 * 160000;
    }
    static void TearDownTestSuite() { delete dir; }

    static QTemporaryDir* dir;
    static bool ok;
};

QTemporaryDir* PanelBitrate::dir = nullptr;
bool PanelBitrate::ok = false;

TEST_P(PanelBitrate, IsTheRateOfTheAudioData)
{
    ASSERT_TRUE(ok) << "could not make the files";
    const Case c = GetParam();
    audio::Engine engine;
    testsupport::RecordingMessageSink sink;
    library::FileInfo info(engine, sink);
    librarytest::FakePanel panel;
    i18n::LanguageFile language;
    recording::RecordFormat format;
    info.ShowFileInfo(dir->path() + "/" + c.file, panel, format, language);
    EXPECT_TRUE(sink.messages().isEmpty());
    ASSERT_FALSE(panel.labels.bitrate.isEmpty()) << c.file;
    EXPECT_LE(panel.labels.bitrate.size(), 3) << "the label holds three digits";
    EXPECT_NEAR(panel.labels.bitrate.toDouble(), c.kbps, c.kbps * 0.02) << c.file;
}

INSTANTIATE_TEST_SUITE_P(
    Files, PanelBitrate,
    ::testing::Values(Case{"mp3_with_cover", "cover.mp3", 128}, Case{"mp3_with_ape_and_id3v1", "tags.mp3", 128},
                      Case{"mp3_320", "plain320.mp3", 320}, Case{"mp3_without_info_tag", "short32.mp3", 32},
                      Case{"wma_by_ffmpeg", "tool96.wma", 96}, Case{"wma_by_our_writer", "writer96.wma", 96},
                      Case{"wma_64_by_our_writer", "writer64.wma", 64}),
    [](const ::testing::TestParamInfo<Case>& i) { return std::string(i.param.name); });

} // namespace
