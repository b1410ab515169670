// ctest-label: unit
// Decoding WAV, MP3 and WMA files to 16-bit PCM: formats, lengths, seeking, bad files.
#include "audio/Decoder.h"
#include "audio/FfmpegPath.h"
#include "support/audio_files.h"
#include "support/audio_signals.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

using namespace testsupport;

namespace {

Pcm decodeAll(audio::Decoder& d)
{
    Pcm out;
    std::vector<std::int16_t> buf(4096 * d.channels());
    for (;;) {
        const std::size_t n = d.read(buf.data(), 4096);
        out.insert(out.end(), buf.begin(), buf.begin() + std::ptrdiff_t(n * d.channels()));
        if (n < 4096)
            break;
    }
    return out;
}

bool makeFile(const QString& path, const char* kind, const Pcm& pcm, unsigned rate, unsigned channels)
{
    if (QString(kind) == "wav")
        return writeWav(path, pcm, rate, channels);
    return encodeFile(path, kind, pcm, rate, channels, QString(kind) == "mp3" ? 128000 : 64000);
}

struct FormatCase {
    const char* kind;
    unsigned rate;
    unsigned channels;
    double toleranceMs; // length
};

class DecoderFormats : public ::testing::TestWithParam<FormatCase> {};

} // namespace

TEST_P(DecoderFormats, RateChannelsLengthAndContent)
{
    const FormatCase c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QString("tone.") + c.kind);
    const double seconds = 3.0;
    const Pcm pcm = sine(1000.0, c.rate, c.channels, seconds, 0.5);
    ASSERT_TRUE(makeFile(path, c.kind, pcm, c.rate, c.channels));

    audio::Decoder d;
    ASSERT_TRUE(d.open(audio::ffmpegPath(path).toStdString()));
    EXPECT_EQ(d.rate(), c.rate);
    EXPECT_EQ(d.channels(), c.channels);
    EXPECT_EQ(d.fileSize(), QFileInfo(path).size());
    const double lengthMs = double(d.lengthFrames()) * 1000.0 / c.rate;
    if (QString(c.kind) == "wma") {
        // The container's duration: ASF knows only whole codec frames (2048 samples at 32 kHz
        // and up, 1024 at 22050 Hz), here the frame of silence the file is led in with, the
        // sound and the silence filling its last frame.
        const double frameMs = (c.rate <= 22050 ? 1024 : 2048) * 1000.0 / c.rate;
        EXPECT_GE(lengthMs, seconds * 1000.0 + frameMs - 1.0);
        EXPECT_LT(lengthMs, seconds * 1000.0 + 2 * frameMs + 1.0);
    } else {
        EXPECT_NEAR(lengthMs, seconds * 1000.0, c.toleranceMs) << c.kind;
    }

    const Pcm decoded = decodeAll(d);
    const double decodedMs = double(decoded.size() / c.channels) * 1000.0 / c.rate;
    EXPECT_NEAR(decodedMs, lengthMs, c.toleranceMs + 1.0) << c.kind;
    EXPECT_NEAR(dominantFrequency(decoded, c.channels, c.rate), 1000.0, 3.0);
    EXPECT_NEAR(peak(decoded), 16384, 16384 * 0.1);
    EXPECT_TRUE(d.atEnd());
    if (QString(c.kind) == "wav") {
        EXPECT_EQ(decoded, pcm);
    }
}

INSTANTIATE_TEST_SUITE_P(
    AllKinds, DecoderFormats,
    ::testing::Values(FormatCase{"wav", 44100, 2, 0.0}, FormatCase{"wav", 8000, 1, 0.0},
                      FormatCase{"wav", 48000, 1, 0.0}, FormatCase{"mp3", 44100, 2, 30.0},
                      FormatCase{"mp3", 22050, 1, 30.0}, FormatCase{"mp3", 48000, 2, 30.0},
                      FormatCase{"wma", 44100, 2, 30.0}, FormatCase{"wma", 22050, 1, 30.0},
                      FormatCase{"wma", 48000, 2, 30.0}),
    [](const ::testing::TestParamInfo<FormatCase>& i) {
        return std::string(i.param.kind) + std::to_string(i.param.rate) + "x" + std::to_string(i.param.channels);
    });

class DecoderSeek : public ::testing::TestWithParam<const char*> {};

TEST_P(DecoderSeek, LandsWithin30msOfTheTarget)
{
    const char* kind = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QString("chirp.") + kind);
    const unsigned rate = 44100;
    ASSERT_TRUE(makeFile(path, kind, chirp(200.0, 4000.0, rate, 2, 6.0), rate, 2));

    audio::Decoder whole;
    ASSERT_TRUE(whole.open(audio::ffmpegPath(path).toStdString()));
    const Pcm all = decodeAll(whole);

    for (double fraction : {0.1, 0.5, 0.9, 0.0}) {
        audio::Decoder d;
        ASSERT_TRUE(d.open(audio::ffmpegPath(path).toStdString()));
        const long target = long(double(d.lengthFrames()) * fraction);
        ASSERT_TRUE(d.seek(target));
        EXPECT_EQ(d.position(), target);
        std::vector<std::int16_t> part(2048 * 2);
        ASSERT_EQ(d.read(part.data(), 2048), 2048u);
        const long window = long(rate / 10);
        const long found = bestOffset(all, part.data(), 2048, 2, target - window, target + window);
        EXPECT_LE(std::abs(found - target), long(rate * 0.030)) << kind << " at " << fraction;
    }
}

INSTANTIATE_TEST_SUITE_P(AllKinds, DecoderSeek, ::testing::Values("wav", "mp3", "wma"));

TEST(DecoderBadInput, RefusesOrSurvivesEveryDamagedFile)
{
    QTemporaryDir dir;
    const Pcm pcm = sine(440.0, 44100, 2, 2.0);
    ASSERT_TRUE(encodeFile(dir.filePath("good.mp3"), "mp3", pcm, 44100, 2, 128000));
    ASSERT_TRUE(encodeFile(dir.filePath("good.wma"), "wma", pcm, 44100, 2, 64000));
    auto truncate = [&](const QString& from, const QString& to, double keep) {
        QFile f(dir.filePath(from));
        f.open(QIODevice::ReadOnly);
        QByteArray all = f.readAll();
        return writeFile(dir.filePath(to), all.left(int(all.size() * keep)));
    };

    struct Case {
        QString name;
        bool opens;
        double maxSeconds; // when it opens: the length may not exceed this
    };
    ASSERT_TRUE(writeFile(dir.filePath("empty.wav"), QByteArray()));
    ASSERT_TRUE(writeFile(dir.filePath("empty.mp3"), QByteArray()));
    ASSERT_TRUE(writeFile(dir.filePath("empty.wma"), QByteArray()));
    ASSERT_TRUE(writeFile(dir.filePath("text.wav"), QByteArray("This is not audio at all.\n").repeated(100)));
    ASSERT_TRUE(writeFile(dir.filePath("text.mp3"), QByteArray("Plain words, no frames.\n").repeated(100)));
    ASSERT_TRUE(writeFile(dir.filePath("header.wav"), wavBytes(QByteArray(), 44100, 2, 16)));
    // A header claiming 4 GiB of data in front of one second of sound.
    QByteArray second(44100 * 4, '\0');
    ASSERT_TRUE(writeFile(dir.filePath("huge.wav"), wavBytes(second, 44100, 2, 16, 0xFFFFFFF0LL)));
    ASSERT_TRUE(truncate("good.mp3", "cut.mp3", 0.4));
    ASSERT_TRUE(truncate("good.wma", "cut.wma", 0.4));
    ASSERT_TRUE(truncate("good.wma", "stub.wma", 0.02));

    const Case cases[] = {
        {"missing.wav", false, 0}, {"empty.wav", false, 0},   {"empty.mp3", false, 0},
        {"empty.wma", false, 0},   {"text.wav", false, 0},    {"text.mp3", false, 0},
        {"header.wav", false, 0},  {"huge.wav", true, 1.0},   {"cut.mp3", true, 2.1},
        {"cut.wma", true, 2.1},    {"stub.wma", false, 0},
    };
    for (const Case& c : cases) {
        audio::Decoder d;
        const bool opened = d.open(audio::ffmpegPath(dir.filePath(c.name)).toStdString());
        EXPECT_EQ(opened, c.opens) << c.name.toStdString();
        if (!opened)
            continue;
        EXPECT_LE(double(d.lengthFrames()) / d.rate(), c.maxSeconds + 1e-9) << c.name.toStdString();
        const Pcm decoded = decodeAll(d); // must end, not crash
        EXPECT_LE(double(decoded.size() / d.channels()) / d.rate(), c.maxSeconds + 0.05) << c.name.toStdString();
        EXPECT_TRUE(d.seek(d.lengthFrames() / 2) || true);
    }
}

TEST(DecoderEightBit, ComesOutAsSixteenBit)
{
    QTemporaryDir dir;
    const Pcm pcm = sine(1000.0, 11025, 1, 1.0, 1.0);
    ASSERT_TRUE(writeWav8(dir.filePath("eight.wav"), pcm, 11025, 1));
    audio::Decoder d;
    ASSERT_TRUE(d.open(audio::ffmpegPath(dir.filePath("eight.wav")).toStdString()));
    EXPECT_EQ(d.lengthFrames(), 11025);
    const Pcm decoded = decodeAll(d);
    ASSERT_EQ(decoded.size(), pcm.size());
    for (std::size_t i = 0; i < pcm.size(); i += 97)
        EXPECT_NEAR(decoded[i], pcm[i], 256) << i;
}

// MP3 files joined by a plain byte copy, as joining tools make them: the stream changes its
// channel count or its rate part-way. Every part must decode (at the stream's own rate and
// channel count, taken from the first part), without reading a channel that is not there.
struct JoinCase {
    unsigned rate1, channels1;
    unsigned rate2, channels2;
};

class DecoderJoined : public ::testing::TestWithParam<JoinCase> {};

TEST_P(DecoderJoined, DecodesEveryPartInTheFirstPartsFormat)
{
    const JoinCase c = GetParam();
    QTemporaryDir dir;
    const double seconds1 = 2.0, seconds2 = 2.0;
    ASSERT_TRUE(encodeFile(dir.filePath("a.mp3"), "mp3", sine(500.0, c.rate1, c.channels1, seconds1),
                           c.rate1, c.channels1, 128000));
    ASSERT_TRUE(encodeFile(dir.filePath("b.mp3"), "mp3", sine(1500.0, c.rate2, c.channels2, seconds2),
                           c.rate2, c.channels2, 64000));
    QFile a(dir.filePath("a.mp3")), b(dir.filePath("b.mp3"));
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    const QString joined = dir.filePath("joined.mp3");
    ASSERT_TRUE(writeFile(joined, a.readAll() + b.readAll()));

    audio::Decoder d;
    ASSERT_TRUE(d.open(QFile::encodeName(joined).toStdString()));
    EXPECT_EQ(d.rate(), c.rate1);
    EXPECT_EQ(d.channels(), c.channels1);
    const Pcm decoded = decodeAll(d);
    ASSERT_EQ(decoded.size() % c.channels1, 0u);
    const std::size_t frames = decoded.size() / c.channels1;
    // Both parts, each at the first part's rate (frame padding and delays: under 0.2 s).
    EXPECT_NEAR(double(frames) / c.rate1, seconds1 + seconds2, 0.2);
    // The first part's tone, then the second part's at full level on every channel.
    const std::size_t half = std::size_t(c.rate1);
    EXPECT_NEAR(dominantFrequency(decoded.data() + std::size_t(c.rate1 / 2) * c.channels1, half,
                                  c.channels1, c.rate1), 500.0, 5.0);
    const std::size_t second = std::size_t((seconds1 + 0.5) * c.rate1);
    ASSERT_GT(frames, second + half);
    const Pcm tail(decoded.begin() + std::ptrdiff_t(second * c.channels1),
                   decoded.begin() + std::ptrdiff_t((second + half) * c.channels1));
    EXPECT_NEAR(dominantFrequency(tail, c.channels1, c.rate1), 1500.0, 5.0);
    EXPECT_NEAR(peak(tail), 16384, 16384 * 0.15);
    // A seek back into the first part and a read across the join also hold.
    ASSERT_TRUE(d.seek(std::int64_t(c.rate1)));
    std::vector<std::int16_t> buf(std::size_t(c.rate1) * 2 * c.channels1);
    EXPECT_GT(d.read(buf.data(), std::size_t(c.rate1) * 2), std::size_t(c.rate1));
}

INSTANTIATE_TEST_SUITE_P(
    ChannelAndRateChanges, DecoderJoined,
    ::testing::Values(JoinCase{44100, 2, 44100, 1}, JoinCase{44100, 1, 44100, 2},
                      JoinCase{44100, 2, 22050, 2}, JoinCase{22050, 1, 48000, 2}),
    [](const ::testing::TestParamInfo<JoinCase>& i) {
        return std::to_string(i.param.rate1) + "x" + std::to_string(i.param.channels1) + "_then_"
               + std::to_string(i.param.rate2) + "x" + std::to_string(i.param.channels2);
    });
