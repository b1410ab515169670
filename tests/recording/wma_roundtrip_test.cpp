// Every sample rate x channels x WMA bit rate the format dialog can hand over: a sine (440 Hz
// left, 660 Hz right; 440 Hz in mono) goes through the adapter in 16384-byte chunks plus a
// final partial chunk, is decoded back with FFmpeg and checked. The file is always 44100 Hz
// stereo; mono input is on both sides at its own level.
// ctest-label: unit
// ctest-timeout: 600
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cmath>

#include "support/RecordingMessageSink.h"
#include "recording/RecordFormat.h"
#include "codecs/Wavtowma.h"
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
            for (int b = 0; b < RecordFormat::WmaBitrateCount; ++b)
                cases.push_back({RecordFormat::frequencyForIndex(r), channels,
                                 RecordFormat::wmaBitrateForIndex(b)});
    return cases;
}

class WmaRoundTrip : public ::testing::TestWithParam<Case> {};

TEST_P(WmaRoundTrip, DecodesToTheSameSignal)
{
    const Case c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Vexa_001.wma"));

    RecordFormat format;
    format.format = RecordFormat::Wma;
    format.sampleRate = c.rate;
    format.channels = c.channels;
    format.wmaBitrate = c.kbps;

    const std::vector<double> tones = c.channels == 2 ? std::vector<double>{440.0, 660.0}
                                                      : std::vector<double>{440.0};
    const std::int64_t frames = 2 * std::int64_t(c.rate) + 77; // not a whole number of chunks
    const auto pcm = support::sinePcm(c.rate, frames, tones);
    const auto* bytes = reinterpret_cast<const char*>(pcm.data());
    const std::int64_t total = std::int64_t(pcm.size()) * 2;

    platform::RecordingMessageSink sink;
    {
        Wavtowma writer(sink);
        const int chunk = writer.open(path, format);
        ASSERT_EQ(chunk, 16384);
        std::int64_t done = 0;
        for (; done + chunk <= total; done += chunk)
            ASSERT_TRUE(writer.write(bytes + done, chunk));
        ASSERT_TRUE(writer.write(bytes + done, total - done)); // what Stop hands over
        ASSERT_TRUE(writer.close());
    }
    EXPECT_TRUE(sink.messages().isEmpty());

    const support::DecodedAudio d = support::decodeAudio(path);
    ASSERT_TRUE(d.ok) << d.error.toStdString();
    EXPECT_EQ(d.codec, QStringLiteral("wmav2"));
    EXPECT_EQ(d.container, QStringLiteral("asf"));
    EXPECT_EQ(d.sampleRate, 44100);
    EXPECT_EQ(d.channels, 2);
    EXPECT_EQ(d.bitRate, c.kbps * 1000);

    // The tone starts at once and lasts as long as the input to a few milliseconds (a lost
    // final partial chunk would cut 39 ms or more). After it come the silence that fills the
    // last 2048-sample frame and one frame of silence that lets the decoder finish it.
    const double seconds = double(frames) / c.rate;
    const double frame = 2048.0 / 44100;
    const auto span = support::soundSpan(d, 0.25f);
    EXPECT_LT(span.first, 32);
    EXPECT_NEAR(double(span.second - span.first) / 44100, seconds, 0.005);
    EXPECT_GE(d.duration(), seconds + frame - 0.005);
    EXPECT_LT(d.duration(), seconds + 2 * frame);
    // The container also counts the frame of silence the decoder drops at the start.
    EXPECT_NEAR(d.containerDuration, d.duration() + frame, 0.005);

    const std::vector<double> heard = c.channels == 2 ? tones : std::vector<double>{440.0, 440.0};
    for (int ch = 0; ch < 2; ++ch) {
        const auto signal = d.channel(ch, span.first + 4410, span.second - 4410);
        const double f = support::dominantFrequency(signal, 44100);
        EXPECT_NEAR(f, heard[std::size_t(ch)], heard[std::size_t(ch)] * 0.01) << "channel " << ch;
        EXPECT_NEAR(support::rms(signal), 0.5 / std::sqrt(2.0), 0.02) << "channel " << ch; // 0 dB
    }
}

INSTANTIATE_TEST_SUITE_P(AllOffered, WmaRoundTrip, ::testing::ValuesIn(allCases()),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             return std::to_string(info.param.rate) + "Hz_"
                                    + (info.param.channels == 2 ? "stereo_" : "mono_")
                                    + std::to_string(info.param.kbps) + "kbps";
                         });

} // namespace
