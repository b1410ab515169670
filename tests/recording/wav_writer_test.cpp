// The WAV writer's own layout: the header byte for byte, sizes after Stop, a full disk, a file
// that cannot be created, and the size limit. What every writer does (every rate and channel
// count read back through FFmpeg) is in writer_contract_test.cpp.
// ctest-label: unit
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include "recording/WavWriter.h"
#include "support/decode_audio.h"
#include "wav_failing_file.h"

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

quint32 le32(const QByteArray& bytes, int at) { return qFromLittleEndian<quint32>(bytes.constData() + at); }

QByteArray pcmBytes(const std::vector<std::int16_t>& pcm)
{
    return QByteArray(reinterpret_cast<const char*>(pcm.data()), int(pcm.size() * 2));
}

// The 44-byte header as the format lays it out, field by field.
QByteArray header(quint16 channels, quint32 rate, quint32 dataBytes)
{
    QByteArray h;
    auto add32 = [&](quint32 v) { char b[4]; qToLittleEndian(v, b); h.append(b, 4); };
    auto add16 = [&](quint16 v) { char b[2]; qToLittleEndian(v, b); h.append(b, 2); };
    h.append("RIFF");
    add32(dataBytes + 36);
    h.append("WAVE");
    h.append("fmt ");
    add32(16);
    add16(1);
    add16(channels);
    add32(rate);
    add32(rate * channels * 2);
    add16(quint16(channels * 2));
    add16(16);
    h.append("data");
    add32(dataBytes);
    return h;
}

struct HeaderCase {
    int channels;
    int rate;
    const char* expectedHex; // the whole header with zero sizes, as written at the start
};

TEST(WavWriterHeader, IsWrittenFieldByFieldWithZeroSizes)
{
    const HeaderCase cases[] = {
        // stereo 44100 Hz: block align 4, 176400 bytes per second
        {2, 44100, "52494646" "00000000" "57415645" "666d7420" "10000000" "0100" "0200"
                   "44ac0000" "10b10200" "0400" "1000" "64617461" "00000000"},
        // mono 8000 Hz: block align 2, 16000 bytes per second
        {1, 8000, "52494646" "00000000" "57415645" "666d7420" "10000000" "0100" "0100"
                  "401f0000" "803e0000" "0200" "1000" "64617461" "00000000"},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.rate);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Vexa_001.wav"));
        recording::WavWriter writer;
        ASSERT_TRUE(writer.openFile(path, c.channels, c.rate));
        // Before Stop the file holds the header with zero sizes (read while it is open).
        EXPECT_EQ(readAll(path).toHex(), QByteArray(c.expectedHex));
        ASSERT_TRUE(writer.finalise());
    }
}

TEST(WavWriterSizes, AfterStop)
{
    struct Case {
        int seconds100; // length in hundredths of a second
        quint32 data;
        quint32 riff;
        qint64 fileLength;
    };
    const Case cases[] = {
        {100, 176400, 176436, 176444}, // exactly one second of 44100 Hz stereo
        {0, 0, 36, 44},                // stopped without any data
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seconds100);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Vexa_001.wav"));
        const QByteArray pcm =
            pcmBytes(testsupport::sinePcm(44100, 441 * c.seconds100, {440.0, 660.0}));
        recording::WavWriter writer;
        ASSERT_TRUE(writer.openFile(path, 2, 44100));
        for (int at = 0; at < pcm.size(); at += 2048) // capture-sized blocks
            ASSERT_TRUE(writer.append(pcm.constData() + at, std::min(2048, int(pcm.size()) - at)));
        ASSERT_TRUE(writer.finalise());

        const QByteArray file = readAll(path);
        EXPECT_EQ(file.size(), c.fileLength);
        EXPECT_EQ(le32(file, 4), c.riff);
        EXPECT_EQ(le32(file, 40), c.data);
        EXPECT_EQ(file.left(44), header(2, 44100, c.data));
        EXPECT_TRUE(file.mid(44) == pcm) << "samples stored exactly as captured";
    }
}

TEST(WavWriterFailure, FileCannotBeCreated)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/Vexa_001.wav"));
    recording::WavWriter writer;
    EXPECT_FALSE(writer.openFile(path, 2, 44100));
    EXPECT_FALSE(writer.append("\0\0\0\0", 4));
    EXPECT_FALSE(QFile::exists(path));

    recording::RecordFormat format;
    format.format = recording::RecordFormat::Wav;
    recording::WavWriter viaInterface;
    EXPECT_EQ(viaInterface.open(path, format), -1);
}

TEST(WavWriterFailure, HeaderDoesNotFitLeavesNoFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Vexa_001.wav"));
    auto file = std::make_unique<FailingFileWriter>();
    file->capacity = 20;
    recording::WavWriter writer(std::move(file));
    EXPECT_FALSE(writer.openFile(path, 2, 44100));
    EXPECT_FALSE(QFile::exists(path));
}

// A full disk: the append that does not fit fails, only the whole frames that reached the disk
// are counted, and the finished file describes exactly what it holds.
TEST(WavWriterFailure, FullDiskCountsOnlyWhatWasWritten)
{
    struct Case {
        std::int64_t capacity; // bytes the disk takes, header included
        quint32 expectedData;  // whole frames on disk
    };
    const Case cases[] = {
        {44 + 3000, 3000},     // the disk fills exactly at a frame boundary
        {44 + 3000 + 3, 3000}, // a torn frame: 3 bytes of the next frame are cut off
        {44, 0},               // no room for any sample
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.capacity);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Vexa_001.wav"));
        const QByteArray pcm =
            pcmBytes(testsupport::sinePcm(8000, 1000, {440.0, 660.0})); // 4000 bytes
        auto file = std::make_unique<FailingFileWriter>();
        file->capacity = c.capacity;
        recording::WavWriter writer(std::move(file));
        ASSERT_TRUE(writer.openFile(path, 2, 8000));

        bool failed = false;
        int at = 0;
        for (; at < pcm.size() && !failed; at += 1000)
            failed = !writer.append(pcm.constData() + at, 1000);
        EXPECT_TRUE(failed) << "the full disk is reported";
        EXPECT_EQ(writer.dataBytes(), c.expectedData);
        ASSERT_TRUE(writer.finalise());

        const QByteArray bytes = readAll(path);
        EXPECT_EQ(bytes.size(), 44 + qint64(c.expectedData));
        EXPECT_EQ(bytes.left(44), header(2, 8000, c.expectedData));
        EXPECT_TRUE(bytes.mid(44) == pcm.left(int(c.expectedData)));
        const testsupport::DecodedAudio d = testsupport::decodeAudio(path);
        ASSERT_TRUE(d.ok) << d.error.toStdString();
        EXPECT_EQ(d.frames(), c.expectedData / 4);
    }
}

// The data stops before the 32-bit sizes would wrap: the append that would pass the limit is
// refused as a whole and the file stays valid. Tested with a small injected limit.
TEST(WavWriterLimit, RefusesTheAppendThatWouldPassIt)
{
    struct Case {
        int channels;
        quint32 limit;       // requested
        quint32 effective;   // whole frames
    };
    const Case cases[] = {{2, 1000, 1000}, {2, 1002, 1000}, {1, 1001, 1000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.limit);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Vexa_001.wav"));
        const QByteArray pcm = pcmBytes(
            testsupport::sinePcm(8000, 2000, std::vector<double>(std::size_t(c.channels), 440.0)));
        recording::WavWriter writer;
        writer.setDataLimit(c.limit);
        ASSERT_TRUE(writer.openFile(path, c.channels, 8000));
        EXPECT_TRUE(writer.append(pcm.constData(), 400));
        EXPECT_TRUE(writer.append(pcm.constData() + 400, 400));
        EXPECT_FALSE(writer.append(pcm.constData() + 800, 400)) << "would pass the limit";
        EXPECT_EQ(writer.dataBytes(), 800u);
        EXPECT_TRUE(writer.append(pcm.constData() + 800, c.effective - 800)) << "up to the limit";
        EXPECT_FALSE(writer.append(pcm.constData() + c.effective, 2 * c.channels));
        ASSERT_TRUE(writer.finalise());

        const QByteArray bytes = readAll(path);
        EXPECT_EQ(bytes.size(), 44 + qint64(c.effective));
        EXPECT_EQ(le32(bytes, 40), c.effective);
        EXPECT_TRUE(bytes.mid(44) == pcm.left(int(c.effective)));
    }
}

TEST(WavWriterLimit, RealLimitKeepsTheWholeFileWithin32Bits)
{
    for (int blockAlign : {2, 4}) {
        const std::uint64_t limit = recording::WavWriter::maxDataBytes(blockAlign);
        EXPECT_EQ(limit % blockAlign, 0u);
        EXPECT_LE(limit + 44, 0xFFFFFFFFull);
        EXPECT_GT(limit + blockAlign + 44, 0xFFFFFFFFull) << "no further whole frame would fit";
    }
    // 48 kHz stereo reaches it after about 6.2 hours.
    EXPECT_NEAR(double(recording::WavWriter::maxDataBytes(4)) / (48000 * 4) / 3600, 6.2, 0.05);
}

} // namespace
