// What every writer of a recording does, WAV, MP3 and WMA alike, for every sample rate x channels
// x bit rate the format dialog can hand over: a sine (440 Hz left, 660 Hz right; 440 Hz in mono)
// of an odd number of frames goes through the writer the factory makes, as a take does (open,
// whole blocks of the size the writer asks for, one final partial block as Stop hands it over,
// close), and FFmpeg reads back the codec, container, rate, channels and bit rate the format
// promises, the input's length within what the codec adds, and the tone on each channel at its
// level. Each format's own file layout is tested apart (wav_writer, mp3_infotag, wma_* tests).
// ctest-label: unit
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cmath>

#include "recording/RecordFormat.h"
#include "recording/RecordWriterFactory.h"
#include "support/RecordingMessageSink.h"
#include "support/decode_audio.h"

namespace {

struct Case {
    std::uint8_t format;
    int rate;
    int channels;
    int kbps; // the bit rate of the case's format; 0 for WAV
};

std::vector<Case> allCases()
{
    std::vector<Case> cases;
    for (int r = 0; r < recording::RecordFormat::FrequencyCount; ++r) {
        const int rate = recording::RecordFormat::frequencyForIndex(r);
        for (int channels : {2, 1}) {
            cases.push_back({recording::RecordFormat::Wav, rate, channels, 0});
            for (int b = 0; b < recording::RecordFormat::Mp3BitrateCount; ++b)
                cases.push_back({recording::RecordFormat::Mp3, rate, channels,
                                 recording::RecordFormat::mp3BitrateForIndex(b)});
            for (int b = 0; b < recording::RecordFormat::WmaBitrateCount; ++b)
                cases.push_back({recording::RecordFormat::Wma, rate, channels,
                                 recording::RecordFormat::wmaBitrateForIndex(b)});
        }
    }
    return cases;
}

// --- MP3 ---

// The bit rate the stream can carry: MPEG-1 (32-48 kHz) has every offered rate; LAME ends
// MPEG-2 (16-24 kHz) at 160 kbit/s and MPEG-2.5 (8-12 kHz) at 64 kbit/s and takes its highest
// rate there. The dialog keeps users at 64 or less below 22050 Hz, but a stored setting may ask
// for more.
int carriedKbps(const Case& c)
{
    if (c.rate >= 32000)
        return c.kbps;
    return std::min(c.kbps, c.rate >= 16000 ? 160 : 64);
}

// Samples per MPEG frame and channel.
int mpegFrameSize(int rate)
{
    return rate >= 32000 ? 1152 : 576;
}

// The encoder's 576 samples of delay and the decoder's 529 come before the audio: with no
// Info tag in the file nothing tells the decoder to skip them.
constexpr int Mp3CodecDelay = 576 + 529;

// --- What each format promises ---

struct Expected {
    int chunk;         // what open() returns
    const char* codec; // FFmpeg's names
    const char* container;
    int rate; // of the file
    int channels;
    std::int64_t bitRate; // bit/s
    double rmsTolerance;  // of the tone's level, 0.5 of full scale
};

Expected expectedFor(const Case& c)
{
    switch (c.format) {
    case recording::RecordFormat::Wav:
        // Every captured block as it comes; the samples stored exactly.
        return {0,      "pcm_s16le", "wav",
                c.rate, c.channels,  std::int64_t(c.rate) * c.channels * 16,
                0.005};
    case recording::RecordFormat::Mp3:
        return {mpegFrameSize(c.rate) * c.channels * 2,
                "mp3",
                "mp3",
                c.rate,
                c.channels,
                carriedKbps(c) * 1000,
                0.05};
    default:
        // Always 44100 Hz stereo; mono input is on both sides at its own level.
        return {16384, "wmav2", "asf", 44100, 2, c.kbps * 1000, 0.02};
    }
}

// The decoded length against the input's `frames`; the span is where the tone is heard.
void expectLength(const Case& c, const testsupport::DecodedAudio& d, std::int64_t frames,
                  std::pair<std::int64_t, std::int64_t> span)
{
    switch (c.format) {
    case recording::RecordFormat::Wav:
        EXPECT_EQ(d.frames(), frames);
        EXPECT_NEAR(d.containerDuration, double(frames) / c.rate, 0.001);
        break;
    case recording::RecordFormat::Mp3:
        // The file carries no Info tag: the delay stays in front, less than one frame of
        // padding follows, and the length a player shows (from the bit rate) is the decoded
        // length within one frame. The final partial chunk and the flushed last frame are in
        // the file (either one missing would cut 160 samples or more).
        EXPECT_NEAR(double(span.second - span.first), double(frames), 32.0);
        EXPECT_NEAR(double(span.first), double(Mp3CodecDelay), 16.0);
        EXPECT_LT(d.frames() - span.second, mpegFrameSize(c.rate));
        EXPECT_NEAR(d.containerDuration, d.duration(), double(mpegFrameSize(c.rate)) / c.rate);
        break;
    default: {
        // The tone starts at once and lasts as long as the input to a few milliseconds (a lost
        // final partial chunk would cut 39 ms or more). After it come the silence that fills the
        // last 2048-sample frame and one frame of silence that lets the decoder finish it.
        const double seconds = double(frames) / c.rate;
        const double frame = 2048.0 / 44100;
        EXPECT_LT(span.first, 32);
        EXPECT_NEAR(double(span.second - span.first) / 44100, seconds, 0.005);
        EXPECT_GE(d.duration(), seconds + frame - 0.005);
        EXPECT_LT(d.duration(), seconds + 2 * frame);
        // The container also counts the frame of silence the decoder drops at the start.
        EXPECT_NEAR(d.containerDuration, d.duration() + frame, 0.005);
    }
    }
}

class WriterContract : public ::testing::TestWithParam<Case> { };

TEST_P(WriterContract, DecodesToTheSameSignal)
{
    const Case c = GetParam();
    const Expected want = expectedFor(c);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    recording::RecordFormat format;
    format.format = c.format;
    format.sampleRate = c.rate;
    format.channels = c.channels;
    if (c.format == recording::RecordFormat::Mp3)
        format.mp3Bitrate = c.kbps;
    if (c.format == recording::RecordFormat::Wma)
        format.wmaBitrate = c.kbps;
    const QString path = dir.filePath(QStringLiteral("Vexa_001") + format.extension());

    const std::vector<double> tones =
        c.channels == 2 ? std::vector<double>{440.0, 660.0} : std::vector<double>{440.0};
    // An odd number of frames: never a whole number of any writer's chunks.
    const std::int64_t frames = 2 * std::int64_t(c.rate) + 77;
    const auto pcm = testsupport::sinePcm(c.rate, frames, tones);
    const auto* bytes = reinterpret_cast<const char*>(pcm.data());
    const std::int64_t total = std::int64_t(pcm.size()) * 2;

    testsupport::RecordingMessageSink sink;
    {
        recording::RecordWriterFactory factory(sink);
        const std::unique_ptr<recording::RecordWriter> writer = factory.create(c.format);
        const int chunk = writer->open(path, format);
        ASSERT_EQ(chunk, want.chunk);
        ASSERT_EQ(writer->chunkSize(), chunk);
        // A writer that takes any block gets them in odd sizes, as a capture hands them over.
        const std::int64_t block = chunk > 0 ? chunk : 1000 * c.channels;
        std::int64_t done = 0;
        for (; done + block <= total; done += block)
            ASSERT_TRUE(writer->write(bytes + done, block));
        ASSERT_GT(total - done, 0) << "the final partial block is part of the case";
        ASSERT_TRUE(writer->write(bytes + done, total - done)); // what Stop hands over
        ASSERT_TRUE(writer->close());
    }
    EXPECT_TRUE(sink.messages().isEmpty());

    const testsupport::DecodedAudio d = testsupport::decodeAudio(path);
    ASSERT_TRUE(d.ok) << d.error.toStdString();
    EXPECT_EQ(d.codec, QString::fromLatin1(want.codec));
    EXPECT_EQ(d.container, QString::fromLatin1(want.container));
    EXPECT_EQ(d.sampleRate, want.rate);
    EXPECT_EQ(d.channels, want.channels);
    EXPECT_EQ(d.bitRate, want.bitRate);

    const auto span = testsupport::soundSpan(d, 0.25f);
    expectLength(c, d, frames, span);

    // Mono input is heard on every channel of the file.
    for (int ch = 0; ch < want.channels; ++ch) {
        const double tone = tones[std::size_t(std::min(ch, c.channels - 1))];
        const auto signal =
            d.channel(ch, span.first + want.rate / 10, span.second - want.rate / 10);
        EXPECT_NEAR(testsupport::dominantFrequency(signal, want.rate), tone, tone * 0.01)
            << "channel " << ch;
        EXPECT_NEAR(testsupport::rms(signal), 0.5 / std::sqrt(2.0), want.rmsTolerance)
            << "channel " << ch;
    }
}

INSTANTIATE_TEST_SUITE_P(AllOffered, WriterContract, ::testing::ValuesIn(allCases()),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             const Case& c = info.param;
                             return recording::RecordFormat::extensionFor(c.format)
                                        .mid(1)
                                        .toStdString() +
                                 "_" + std::to_string(c.rate) + "Hz_" +
                                 (c.channels == 2 ? "stereo" : "mono") +
                                 (c.kbps ? "_" + std::to_string(c.kbps) + "kbps" : std::string());
                         });

} // namespace
