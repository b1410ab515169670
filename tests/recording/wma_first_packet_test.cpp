// A WMA recording's data reaches the file packet by packet as it is encoded: the first packet
// after at most 100 ms of audio at every offered bit rate and input rate, and then one at least
// every 100 ms, so that little is held back at the start and little lost when it is cut short.
// Amounts of audio fed, not clock time, are counted.
// ctest-label: unit
// ctest-link: vexa_audio
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include "codecs/WmaWriter.h"
#include "recording/RecordFormat.h"
#include "support/RecordingMessageSink.h"
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
    for (int rate : {44100, 8000, 48000})
        for (int b = 0; b < recording::RecordFormat::WmaBitrateCount; ++b)
            cases.push_back(
                {rate, rate == 8000 ? 1 : 2, recording::RecordFormat::wmaBitrateForIndex(b)});
    return cases;
}

class WmaFirstPacket : public ::testing::TestWithParam<Case> {};

TEST_P(WmaFirstPacket, PacketsReachTheFileWithin100MsOfAudio)
{
    const Case c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Vexa_001.wma"));
    recording::RecordFormat format;
    format.format = recording::RecordFormat::Wma;
    format.sampleRate = c.rate;
    format.channels = c.channels;
    format.wmaBitrate = c.kbps;

    // 3 s in blocks of 10 ms, as the capture delivers them.
    const std::int64_t blockFrames = c.rate / 100;
    const auto pcm = testsupport::sinePcm(c.rate, 300 * blockFrames,
                                          c.channels == 2 ? std::vector<double>{440.0, 660.0}
                                                          : std::vector<double>{440.0});
    const auto* bytes = reinterpret_cast<const char*>(pcm.data());
    const std::int64_t blockBytes = blockFrames * c.channels * 2;

    testsupport::RecordingMessageSink sink;
    codecs::WmaWriter writer(sink);
    ASSERT_GT(writer.open(path, format), 0);
    qint64 size = QFileInfo(path).size();
    ASSERT_GT(size, 0) << "the header is written at the start";

    int msSinceGrowth = 0, longestGap = 0, firstGrowth = -1, growths = 0;
    for (int block = 0; block < 300; ++block) {
        ASSERT_TRUE(writer.write(bytes + block * blockBytes, blockBytes));
        msSinceGrowth += 10;
        const qint64 now = QFileInfo(path).size();
        if (now > size) {
            if (firstGrowth < 0)
                firstGrowth = (block + 1) * 10;
            longestGap = std::max(longestGap, msSinceGrowth);
            msSinceGrowth = 0;
            size = now;
            ++growths;
        }
    }
    ASSERT_TRUE(writer.close());
    EXPECT_TRUE(sink.messages().isEmpty());
    EXPECT_GT(firstGrowth, 0);
    EXPECT_LE(firstGrowth, 100) << "ms of audio before the first packet reached the file";
    EXPECT_LE(longestGap, 100) << "ms of audio between two packets";
    EXPECT_GE(growths, 25);

    // Still a well-formed file of the whole recording.
    const testsupport::DecodedAudio d = testsupport::decodeAudio(path);
    ASSERT_TRUE(d.ok) << d.error.toStdString();
    EXPECT_EQ(d.bitRate, c.kbps * 1000);
    EXPECT_NEAR(d.duration(), 3.0 + 2048.0 / 44100, 2048.0 / 44100 + 0.005);
}

INSTANTIATE_TEST_SUITE_P(Offered, WmaFirstPacket, ::testing::ValuesIn(allCases()),
                         [](const ::testing::TestParamInfo<Case>& i) {
                             return std::to_string(i.param.rate) + "Hz_" +
                                    std::to_string(i.param.channels) + "ch_" +
                                    std::to_string(i.param.kbps) + "k";
                         });

} // namespace
