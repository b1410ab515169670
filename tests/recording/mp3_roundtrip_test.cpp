// Every sample rate x channels x MP3 bit rate the format dialog can hand over: a sine (440 Hz
// left, 660 Hz right) is encoded through the adapter in its own chunks plus a final partial
// chunk, decoded back with FFmpeg and checked.
// ctest-label: unit
// ctest-timeout: 600
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cmath>

#include "support/RecordingMessageSink.h"
#include "recording/RecordFormat.h"
#include "recording/Wavtomp3.h"
#include "support/decode_audio.h"

namespace {

struct Case {
    int rate;
    int channels;
    int kbps;
};

std::vector<Case> allCases()
{
    std::vector<Case> cases;
    for (int r = 0; r < RecordFormat::FrequencyCount; ++r)
        for (int channels : {2, 1})
            for (int b = 0; b < RecordFormat::Mp3BitrateCount; ++b)
                cases.push_back({RecordFormat::frequencyForIndex(r), channels,
                                 RecordFormat::mp3BitrateForIndex(b)});
    return cases;
}

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
int frameSize(int rate)
{
    return rate >= 32000 ? 1152 : 576;
}

// The encoder's 576 samples of delay and the decoder's 529 come before the audio; the Info tag
// tells the decoder to skip them (and the padding at the end).
constexpr int CodecDelay = 576 + 529;

// LAME writes the Info tag only where it fits in one frame at the stream's bit rate (header,
// side information and 156 bytes of tag): not at 32 kbit/s, where a frame is 104 bytes.
bool tagFits(const Case& c)
{
    const int kbps = carriedKbps(c);
    const bool mpeg1 = c.rate >= 32000;
    const int frameBytes = (mpeg1 ? 144000 : 72000) * kbps / c.rate;
    const int sideInfo = mpeg1 ? (c.channels == 2 ? 32 : 17) : (c.channels == 2 ? 17 : 9);
    return frameBytes >= 4 + sideInfo + 156;
}

class Mp3RoundTrip : public ::testing::TestWithParam<Case> {};

TEST_P(Mp3RoundTrip, DecodesToTheSameSignal)
{
    const Case c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Vexa_001.mp3"));

    RecordFormat format;
    format.format = RecordFormat::Mp3;
    format.sampleRate = c.rate;
    format.channels = c.channels;
    format.mp3Bitrate = c.kbps;

    const std::vector<double> tones = c.channels == 2 ? std::vector<double>{440.0, 660.0}
                                                      : std::vector<double>{440.0};
    const std::int64_t frames = 2 * std::int64_t(c.rate);
    const auto pcm = support::sinePcm(c.rate, frames, tones);
    const auto* bytes = reinterpret_cast<const char*>(pcm.data());
    const std::int64_t total = std::int64_t(pcm.size()) * 2;

    platform::RecordingMessageSink sink;
    {
        Wavtomp3 writer(sink);
        const int chunk = writer.open(path, format);
        ASSERT_EQ(chunk, frameSize(c.rate) * c.channels * 2);
        ASSERT_EQ(writer.chunkSize(), chunk);
        std::int64_t done = 0;
        for (; done + chunk <= total; done += chunk)
            ASSERT_TRUE(writer.write(bytes + done, chunk));
        ASSERT_GT(total - done, 0) << "the final partial chunk is part of the case";
        ASSERT_TRUE(writer.write(bytes + done, total - done)); // what Stop hands over
        ASSERT_TRUE(writer.close());
    }
    EXPECT_TRUE(sink.messages().isEmpty());

    const support::DecodedAudio d = support::decodeAudio(path);
    ASSERT_TRUE(d.ok) << d.error.toStdString();
    EXPECT_EQ(d.codec, QStringLiteral("mp3"));
    EXPECT_EQ(d.container, QStringLiteral("mp3"));
    EXPECT_EQ(d.sampleRate, c.rate);
    EXPECT_EQ(d.channels, c.channels);
    EXPECT_EQ(d.bitRate, carriedKbps(c) * 1000);

    // With the Info tag the decoder skips the codec delay and the padding: the decoded sound is
    // the input, sample for sample in length. The final partial chunk and the flushed last
    // frame are in the file (either one missing would cut 160 samples or more).
    const auto span = support::soundSpan(d, 0.25f);
    EXPECT_NEAR(double(span.second - span.first), double(frames), 32.0);
    if (tagFits(c)) {
        EXPECT_LT(span.first, 16);
        EXPECT_EQ(d.frames(), frames);
        // The container counts whole frames from the start of the delay.
        EXPECT_NEAR(d.containerDuration, double(frames + CodecDelay) / c.rate,
                    double(frameSize(c.rate)) / c.rate);
    } else {
        // No tag: the delay stays in front, less than one frame of padding follows, and the
        // length a player shows (from the bit rate) is the decoded length within one frame.
        EXPECT_NEAR(double(span.first), double(CodecDelay), 16.0);
        EXPECT_LT(d.frames() - span.second, frameSize(c.rate));
        EXPECT_NEAR(d.containerDuration, d.duration(), double(frameSize(c.rate)) / c.rate);
    }

    for (int ch = 0; ch < c.channels; ++ch) {
        const auto signal = d.channel(ch, span.first + c.rate / 10, span.first + frames - c.rate / 10);
        const double f = support::dominantFrequency(signal, c.rate);
        EXPECT_NEAR(f, tones[std::size_t(ch)], tones[std::size_t(ch)] * 0.01) << "channel " << ch;
        EXPECT_NEAR(support::rms(signal), 0.5 / std::sqrt(2.0), 0.05) << "channel " << ch;
    }
}

INSTANTIATE_TEST_SUITE_P(AllOffered, Mp3RoundTrip, ::testing::ValuesIn(allCases()),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             return std::to_string(info.param.rate) + "Hz_"
                                    + (info.param.channels == 2 ? "stereo_" : "mono_")
                                    + std::to_string(info.param.kbps) + "kbps";
                         });

} // namespace
