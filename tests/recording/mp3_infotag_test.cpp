// Our MP3 files are audio frames and nothing else: no VBR/Info (Xing, LAME) header frame and no
// ID3 tag. Round trip through the adapter, then the file is read back byte for byte (a frame
// sync at its start, no tag in its first frame, none at either end) and ffprobe, mpg123 and our
// own decoder read it; a recording killed after 2 s still plays.
// ctest-label: unit
// ctest-timeout: 300
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <iostream>

#include "audio/Decoder.h"
#include "recording/Mp3Writer.h"
#include "recording/RecordFormat.h"
#include "support/RecordingMessageSink.h"
#include "support/child_process.h"
#include "support/decode_audio.h"

namespace {

struct Case {
    int rate;
    int channels;
    int kbps;
};

struct Tool {
    bool ran = false;
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Tool runTool(const QString& program, const QStringList& args)
{
    const testsupport::ProgramRun run = testsupport::runProgramApart(program, args);
    Tool t;
    t.ran = run.ran;
    t.exitCode = run.exitCode;
    t.out = run.out;
    t.err = run.err;
    return t;
}

// ffprobe's playing length: the stream's duration from its start (after the encoder delay).
double ffprobeSeconds(const QString& path)
{
    const Tool t = runTool("ffprobe", {"-v", "error", "-select_streams", "a", "-show_entries",
                                       "stream=duration,start_time", "-of", "default=nw=1", path});
    double duration = -1, start = 0;
    for (const QByteArray& line : t.out.split('\n')) {
        if (line.startsWith("duration="))
            duration = line.mid(9).toDouble();
        else if (line.startsWith("start_time="))
            start = line.mid(11).toDouble();
    }
    return duration < 0 ? -1 : duration - start;
}

// mpg123 -t decodes without output; a damaged stream shows as an error line or a failed exit.
void expectMpg123Decodes(const QString& path)
{
    const Tool t = runTool("mpg123", {"-t", "-q", path});
    ASSERT_TRUE(t.ran) << "mpg123 is not installed (scripts/deps.sh)";
    EXPECT_EQ(t.exitCode, 0) << t.err.toStdString();
    EXPECT_FALSE(t.err.toLower().contains("error")) << t.err.toStdString();
}

std::int64_t decodeWithOurDecoder(const QString& path, std::int64_t* length)
{
    audio::Decoder d;
    if (!d.open(QFile::encodeName(path).toStdString()))
        return -1;
    *length = d.lengthFrames();
    std::vector<std::int16_t> buf(4096 * d.channels());
    std::int64_t frames = 0;
    for (std::size_t n; (n = d.read(buf.data(), 4096)) > 0;)
        frames += std::int64_t(n);
    return frames;
}

// The length of the MPEG audio frame whose header is at data (0 when it is no frame header).
int frameLength(const QByteArray& data)
{
    if (data.size() < 4 || quint8(data[0]) != 0xFF || (quint8(data[1]) & 0xE0) != 0xE0)
        return 0;
    const int version = (quint8(data[1]) >> 3) & 3; // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
    if (version == 1)
        return 0;
    const bool mpeg1 = version == 3;
    static const int Mpeg1[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    static const int Mpeg2[] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
    static const int Rates[] = {44100, 48000, 32000};
    const int bitrateIndex = quint8(data[2]) >> 4;
    const int rateIndex = (quint8(data[2]) >> 2) & 3;
    if (bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3)
        return 0;
    const int rate = Rates[rateIndex] / (mpeg1 ? 1 : version == 2 ? 2 : 4);
    const int kbps = (mpeg1 ? Mpeg1 : Mpeg2)[bitrateIndex];
    const int padding = (quint8(data[2]) >> 1) & 1;
    return (mpeg1 ? 144000 : 72000) * kbps / rate + padding;
}

// The file as it lies on disk: a frame header at its first byte, no VBR (Info, Xing) header in
// the first frame, no ID3v2 tag in front and no ID3v1 tag at the end.
void expectPlainFrames(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray all = f.readAll();
    ASSERT_GT(all.size(), 128);
    EXPECT_FALSE(all.startsWith("ID3")) << "an ID3v2 tag in front";
    EXPECT_NE(all.right(128).left(3), QByteArray("TAG")) << "an ID3v1 tag at the end";
    const int first = frameLength(all);
    ASSERT_GT(first, 0) << "the file does not start with a frame header";
    const QByteArray frame = all.left(first);
    EXPECT_FALSE(frame.contains("Info")) << "an Info header frame";
    EXPECT_FALSE(frame.contains("Xing")) << "a Xing header frame";
    EXPECT_GT(frameLength(all.mid(first)), 0) << "the second frame follows the first";
}

class Mp3InfoTag : public ::testing::TestWithParam<Case> {};

TEST_P(Mp3InfoTag, NoTagAndEveryReaderDecodesTheTakeAndAKilledRecordingPlays)
{
    const Case c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath("Vexa_001.mp3");
    const QString cut = dir.filePath("killed.mp3");
    const int blockSamples = c.rate >= 32000 ? 1152 : 576;
    // The encoder's delay and the decoder's stay in front of the audio without a tag.
    const std::int64_t delay = 576 + 529;

    recording::RecordFormat format;
    format.format = recording::RecordFormat::Mp3;
    format.sampleRate = c.rate;
    format.channels = c.channels;
    format.mp3Bitrate = c.kbps;
    const std::int64_t frames = 5 * std::int64_t(c.rate) + 123;
    const auto pcm =
        testsupport::sinePcm(c.rate, frames, std::vector<double>(std::size_t(c.channels), 440.0));
    const auto* bytes = reinterpret_cast<const char*>(pcm.data());
    const std::int64_t total = std::int64_t(pcm.size()) * 2;
    const std::int64_t twoSeconds = 2 * std::int64_t(c.rate) * c.channels * 2;

    testsupport::RecordingMessageSink sink;
    {
        recording::Mp3Writer writer(sink);
        const int chunk = writer.open(path, format);
        ASSERT_GT(chunk, 0);
        std::int64_t done = 0;
        bool copied = false;
        for (; done + chunk <= total; done += chunk) {
            ASSERT_TRUE(writer.write(bytes + done, chunk));
            if (!copied && done + chunk >= twoSeconds) {
                // What a recording killed here leaves on disk: the writes go straight to the
                // system.
                ASSERT_TRUE(QFile::copy(path, cut));
                copied = true;
            }
        }
        ASSERT_TRUE(writer.write(bytes + done, total - done));
        ASSERT_TRUE(writer.close());
    }
    EXPECT_TRUE(sink.messages().isEmpty());
    expectPlainFrames(path);

    // The whole file: every frame is audio, so the decoded length is the input plus the delays
    // and less than a frame of padding; the length from the bit rate is within a frame of it.
    const double probed = ffprobeSeconds(path);
    expectMpg123Decodes(path);
    const testsupport::DecodedAudio d = testsupport::decodeAudio(path);
    ASSERT_TRUE(d.ok) << d.error.toStdString();
    EXPECT_GE(d.frames(), frames + 576);
    EXPECT_LE(d.frames(), frames + delay + blockSamples);
    EXPECT_NEAR(probed * c.rate, double(d.frames()), 2.0 * blockSamples);
    std::int64_t length = 0;
    const std::int64_t ours = decodeWithOurDecoder(path, &length);
    EXPECT_NEAR(double(ours), double(d.frames()), double(blockSamples));
    EXPECT_NEAR(double(length), double(ours), 2.0 * blockSamples);
    std::cout << c.rate << " Hz " << c.kbps << " kbit/s: input " << frames << " samples; ffprobe "
              << std::llround(probed * c.rate) << ", FFmpeg decodes " << d.frames() << ", engine length "
              << length << ", engine decodes " << ours << "\n";

    // The killed recording: about 2 s, decoded without error by all three.
    expectPlainFrames(cut);
    expectMpg123Decodes(cut);
    const testsupport::DecodedAudio k = testsupport::decodeAudio(cut);
    ASSERT_TRUE(k.ok) << k.error.toStdString();
    EXPECT_GT(k.duration(), 1.9);
    EXPECT_LT(k.duration(), 2.3);
    const std::int64_t killedOurs = decodeWithOurDecoder(cut, &length);
    EXPECT_GT(double(killedOurs) / c.rate, 1.9);
    EXPECT_NEAR(double(length), double(killedOurs), 2.0 * blockSamples);
    const auto signal = k.channel(0, c.rate / 2, c.rate * 3 / 2);
    EXPECT_NEAR(testsupport::dominantFrequency(signal, c.rate), 440.0, 4.4);
}

INSTANTIATE_TEST_SUITE_P(Formats, Mp3InfoTag,
                         ::testing::Values(Case{44100, 2, 128}, Case{48000, 2, 320}, Case{22050, 1, 64},
                                           Case{8000, 1, 32}),
                         [](const ::testing::TestParamInfo<Case>& i) {
                             return std::to_string(i.param.rate) + "Hz_" + std::to_string(i.param.channels)
                                    + "ch_" + std::to_string(i.param.kbps) + "kbps";
                         });

} // namespace
