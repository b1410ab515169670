// ctest-label: unit
// The MP3 bit rate a recording really gets: the rate table, and every entry the format dialog
// offers at every sample rate written through the MP3 adapter and read back from the frame
// headers of the file.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "recording/Mp3Writer.h"
#include "recording/RecordFormat.h"
#include "support/RecordingMessageSink.h"
#include "support/decode_audio.h"

namespace {

// The bit rates (kbit/s) of every frame of an MP3 file without tags; empty at the first
// thing that is not a layer III frame header.
std::vector<int> frameBitrates(const QByteArray& mp3, int& sampleRate)
{
    static const int mpeg1[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, -1};
    static const int mpeg2[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, -1};
    static const int rates[4][3] = {{11025, 12000, 8000}, {0, 0, 0}, {22050, 24000, 16000}, {44100, 48000, 32000}};
    std::vector<int> result;
    const auto* p = reinterpret_cast<const unsigned char*>(mp3.constData());
    qsizetype pos = 0;
    while (pos + 4 <= mp3.size()) {
        const unsigned char* h = p + pos;
        const int version = (h[1] >> 3) & 3; // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
        if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0 || version == 1 || ((h[1] >> 1) & 3) != 1)
            return {};
        const int index = h[2] >> 4, rateIndex = (h[2] >> 2) & 3, padding = (h[2] >> 1) & 1;
        const int kbps = version == 3 ? mpeg1[index] : mpeg2[index];
        if (kbps <= 0 || rateIndex == 3)
            return {};
        sampleRate = rates[version][rateIndex];
        result.push_back(kbps);
        pos += (version == 3 ? 144 : 72) * kbps * 1000 / sampleRate + padding;
    }
    return result;
}

} // namespace

TEST(RecordFormatRates, EffectiveMp3BitrateTable)
{
    const struct {
        std::int32_t rate, kbps, real;
    } rows[] = {
        {48000, 320, 320}, {44100, 320, 320}, {44100, 256, 256}, {44100, 32, 32},
        {32000, 320, 320},
        {24000, 320, 160}, {22050, 320, 160}, {22050, 256, 160}, {22050, 192, 160},
        {22050, 160, 160}, {22050, 128, 128}, {22050, 96, 96}, {16000, 192, 160},
        {12000, 96, 64}, {11025, 320, 64}, {11025, 128, 64}, {11025, 64, 64}, {11025, 32, 32},
        {8000, 96, 64}, {8000, 64, 64}, {8000, 32, 32},
        // Requests between the table's rates go to the rate whose range holds them.
        {44100, 100, 96}, {44100, 130, 128}, {44100, 1000, 320}, {44100, 0, 32}, {44100, -1, 320},
        {22050, -1, 160}, {8000, 1000, 64},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(recording::RecordFormat::effectiveMp3Bitrate(row.rate, row.kbps), row.real)
            << row.rate << " Hz, " << row.kbps << " kbit/s";
    }
    recording::RecordFormat format;
    format.sampleRate = 22050;
    format.mp3Bitrate = 320;
    EXPECT_EQ(format.effectiveMp3Bitrate(), 160);
}

TEST(RecordFormatRates, EveryDialogEntryIsWrittenAtItsEffectiveRate)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (int f = 0; f < recording::RecordFormat::FrequencyCount; ++f) {
        for (int b = 0; b < recording::RecordFormat::Mp3BitrateCount; ++b) {
            for (int channels : {1, 2}) {
                recording::RecordFormat format;
                format.sampleRate = recording::RecordFormat::frequencyForIndex(f);
                format.mp3Bitrate = recording::RecordFormat::mp3BitrateForIndex(b);
                format.channels = channels;
                SCOPED_TRACE(testing::Message() << format.sampleRate << " Hz " << format.mp3Bitrate
                                                << " kbit/s " << channels << " ch");
                const QString path = dir.filePath(QStringLiteral("t.mp3"));
                testsupport::RecordingMessageSink sink;
                {
                    recording::Mp3Writer writer(sink);
                    ASSERT_GT(writer.open(path, format), 0);
                    const auto pcm =
                        testsupport::sinePcm(format.sampleRate, format.sampleRate * 3 / 10,
                                             channels == 2 ? std::vector<double>{440.0, 660.0}
                                                           : std::vector<double>{440.0});
                    ASSERT_TRUE(writer.write(reinterpret_cast<const char*>(pcm.data()),
                                             std::int64_t(pcm.size() * sizeof(pcm[0]))));
                    ASSERT_TRUE(writer.close());
                }
                EXPECT_TRUE(sink.messages().isEmpty());
                QFile file(path);
                ASSERT_TRUE(file.open(QIODevice::ReadOnly));
                int rate = 0;
                const std::vector<int> rates = frameBitrates(file.readAll(), rate);
                ASSERT_GT(rates.size(), 3u);
                EXPECT_EQ(rate, format.sampleRate);
                for (int kbps : rates)
                    ASSERT_EQ(kbps, format.effectiveMp3Bitrate());
            }
        }
    }
}
