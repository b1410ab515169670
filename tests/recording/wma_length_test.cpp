// A WMA file's length as the list shows it: the container's duration (what ffprobe and other
// players report), for files made by the ffmpeg tool and by our own writer. The decoder's PCM
// runs exactly that long (the decoder's withheld first frame is made up by silence at the end).
// ctest-label: unit
// ctest-link: vexa_library
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "audio/Decoder.h"
#include "codecs/WmaWriter.h"
#include "library/DurationText.h"
#include "recording/RecordFormat.h"
#include "support/RecordingMessageSink.h"
#include "support/child_process.h"
#include "support/decode_audio.h"
#include "support/take_writer.h"

namespace {

constexpr double Seconds = 10.03;

bool runTool(const QString& program, const QStringList& args, QByteArray* out = nullptr)
{
    return testsupport::runProgram(program, args, out);
}

double ffprobeDuration(const QString& path)
{
    QByteArray out;
    if (!runTool("ffprobe", {"-v", "error", "-show_entries", "format=duration", "-of", "csv=p=0", path}, &out))
        return -1;
    return out.trimmed().toDouble();
}

bool makeWithTool(const QString& path, int rate, int channels)
{
    return runTool("ffmpeg", {"-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                              QString("sine=frequency=440:sample_rate=%1:duration=%2").arg(rate).arg(Seconds),
                              "-ac", QString::number(channels), "-c:a", "wmav2", "-b:a", "96k", path});
}

bool makeWithWriter(const QString& path, int rate, int channels)
{
    recording::RecordFormat format;
    format.format = recording::RecordFormat::Wma;
    format.sampleRate = rate;
    format.channels = channels;
    format.wmaBitrate = 96;
    const auto pcm = testsupport::sinePcm(rate, std::int64_t(Seconds * rate + 0.5),
                                          std::vector<double>(std::size_t(channels), 440.0));
    testsupport::RecordingMessageSink sink;
    codecs::WmaWriter writer(sink);
    return testsupport::writeAsTake(writer, path, format, pcm);
}

struct Case {
    const char* name;
    bool ourWriter;
    int rate;
    int channels;
    // How far the length may lie above 10.03 s: the ffmpeg tool pads the last 2048-sample
    // frame; our writer also leads in with one frame of silence and closes with another.
    double above;
};

class WmaLength : public ::testing::TestWithParam<Case> {};

TEST_P(WmaLength, IsTheContainersDurationAndListsAsTenSeconds)
{
    const Case c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath("ten.wma");
    ASSERT_TRUE(c.ourWriter ? makeWithWriter(path, c.rate, c.channels) : makeWithTool(path, c.rate, c.channels));

    audio::Decoder d;
    ASSERT_TRUE(d.open(QFile::encodeName(path).toStdString()));
    const double seconds = double(d.lengthFrames()) / d.rate();
    EXPECT_GE(seconds, Seconds - 0.001);
    EXPECT_LE(seconds, Seconds + c.above);
    const double probed = ffprobeDuration(path);
    ASSERT_GT(probed, 0);
    EXPECT_NEAR(seconds, probed, 0.002); // ASF counts milliseconds
    EXPECT_EQ(library::DurationText(std::uint32_t(seconds)), QStringLiteral("00:10"));

    // The decoded PCM is as long as the length, so the player's end is the list's end.
    std::vector<std::int16_t> buf(8192 * d.channels());
    std::int64_t frames = 0;
    for (std::size_t n; (n = d.read(buf.data(), 8192)) > 0;)
        frames += std::int64_t(n);
    EXPECT_EQ(frames, d.lengthFrames());
    EXPECT_TRUE(d.atEnd());
}

INSTANTIATE_TEST_SUITE_P(Makers, WmaLength,
                         ::testing::Values(Case{"ffmpeg_44100_stereo", false, 44100, 2, 0.047},
                                           Case{"ffmpeg_22050_mono", false, 22050, 1, 0.047},
                                           Case{"writer_44100_stereo", true, 44100, 2, 0.14},
                                           Case{"writer_8000_mono", true, 8000, 1, 0.14}),
                         [](const ::testing::TestParamInfo<Case>& i) { return std::string(i.param.name); });

} // namespace
