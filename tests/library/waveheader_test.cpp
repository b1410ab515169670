// The RIFF header reader: chunk walk, format checks, durations and its messages.
#include "LibraryFakes.h"
#include "library/WaveHeader.h"
#include "support/RecordingMessageSink.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace librarytest;
using library::WaveHeader;
using library::WaveHeaderResult;
using library::WaveInfo;

namespace {

struct HeaderCase {
    const char* name;
    QByteArray bytes;
    qint64 sparseSize;  // >0: the file is extended (sparse) to this size after the bytes
    WaveHeaderResult result;
    std::uint32_t channels, rate, bits, dataSize, duration;
};

QByteArray listChunk(int bodySize)
{
    QByteArray body = "INFOISFT" + le32(quint32(bodySize - 12)) + QByteArray(bodySize - 12, 'x');
    return chunk("LIST", body);
}

QByteArray sizedHeader(quint16 channels, quint32 rate, quint16 bits, quint32 dataSize)
{
    return riff(chunk("fmt ", fmtBody(1, channels, rate, bits))) + "data" + le32(dataSize);
}

} // namespace

TEST(WaveHeader, ReadsTheChunkWalkAndRefusesWhatItCannotDescribe)
{
    const QByteArray fmt16 = chunk("fmt ", fmtBody(1, 2, 44100, 16));
    const QByteArray data10s = chunk("data", QByteArray(1764000, '\0'));
    // An odd LIST chunk: without its pad byte the walk would land one byte early.
    const QByteArray oddList = chunk("LIST", QByteArray(7, 'x')) + QByteArray(1, '\0');
    const QByteArray header4G = riff(fmt16) + "data" + le32(0xFFFFFFFFu) + QByteArray(176400, '\0');
    const QByteArray hugeChunk = riff(fmt16 + QByteArray("junk") + le32(0xFFFFFFF0u)) + QByteArray(64, '\0');

    const std::vector<HeaderCase> cases = {
        {"canonical 10 s", riff(fmt16 + data10s), 0, WaveHeaderResult::Ok, 2, 44100, 16, 1764000, 10},
        {"18-byte format chunk", riff(chunk("fmt ", fmtBody(1, 2, 44100, 16, 2)) + data10s), 0,
         WaveHeaderResult::Ok, 2, 44100, 16, 1764000, 10},
        {"LIST between fmt and data", riff(fmt16 + listChunk(40) + data10s), 0,
         WaveHeaderResult::Ok, 2, 44100, 16, 1764000, 10},
        {"odd LIST between fmt and data", riff(fmt16 + oddList + data10s), 0,
         WaveHeaderResult::Ok, 2, 44100, 16, 1764000, 10},
        {"odd format chunk with pad", riff(chunk("fmt ", fmtBody(1, 1, 8000, 8) + "x") + QByteArray(1, '\0') +
                                           chunk("data", QByteArray(16000, '\0'))), 0,
         WaveHeaderResult::Ok, 1, 8000, 8, 16000, 2},
        {"LIST before fmt", riff(listChunk(40) + fmt16 + data10s), 0, WaveHeaderResult::NotWave, 0, 0, 0, 0, 0},
        {"24-bit PCM", riff(chunk("fmt ", fmtBody(1, 2, 44100, 24)) + chunk("data", QByteArray(600, '\0'))), 0,
         WaveHeaderResult::NotPcm, 0, 0, 0, 0, 0},
        {"float", riff(chunk("fmt ", fmtBody(3, 2, 44100, 32)) + chunk("data", QByteArray(800, '\0'))), 0,
         WaveHeaderResult::NotWave, 0, 0, 0, 0, 0},
        {"no data chunk", riff(fmt16 + listChunk(40)), 0, WaveHeaderResult::NotWave, 0, 0, 0, 0, 0},
        {"chunk size past the end", hugeChunk, 0, WaveHeaderResult::NotWave, 0, 0, 0, 0, 0},
        {"zero bytes", QByteArray(), 0, WaveHeaderResult::NotWave, 0, 0, 0, 0, 0},
        {"header cut at 30 bytes", riff(fmt16 + data10s).left(30), 0, WaveHeaderResult::NotWave, 0, 0, 0, 0, 0},
        {"header cut inside the data chunk header", riff(fmt16 + data10s).left(40), 0,
         WaveHeaderResult::NotWave, 0, 0, 0, 0, 0},
        {"text file", QByteArray("hello, this is not audio at all, just some words\n"), 0,
         WaveHeaderResult::NotWave, 0, 0, 0, 0, 0},
        {"channel count 0: no byte rate", riff(chunk("fmt ", fmtBody(1, 0, 44100, 16)) + chunk("data", QByteArray(400, '\0'))), 0,
         WaveHeaderResult::Ok, 0, 44100, 16, 400, 0},
        {"sample rate 0: no byte rate", riff(chunk("fmt ", fmtBody(1, 2, 0, 16)) + chunk("data", QByteArray(400, '\0'))), 0,
         WaveHeaderResult::Ok, 2, 0, 16, 400, 0},
        {"data claims 4 GiB, holds 1 s", header4G, 0, WaveHeaderResult::Ok, 2, 44100, 16, 176400, 1},
        {"data cut short", riff(fmt16 + data10s).left(44 + 352800), 0, WaveHeaderResult::Ok, 2, 44100, 16, 352800, 2},
        {"65 s", sizedHeader(1, 8000, 8, 65 * 8000), 44 + 65 * 8000, WaveHeaderResult::Ok, 1, 8000, 8, 520000, 65},
        {"3599 s", sizedHeader(1, 8000, 8, 3599 * 8000), 44 + 3599 * 8000, WaveHeaderResult::Ok, 1, 8000, 8, 3599 * 8000, 3599},
        {"3725 s", sizedHeader(2, 44100, 16, 3725u * 176400u), 44 + 3725ll * 176400, WaveHeaderResult::Ok,
         2, 44100, 16, 3725u * 176400u, 3725},
    };

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QStringLiteral("case.wav"));
        ASSERT_TRUE(writeFile(path, c.bytes));
        if (c.sparseSize > 0) {
            ASSERT_TRUE(QFile::resize(path, c.sparseSize));
        }
        WaveInfo info;
        EXPECT_EQ(WaveHeader::read(path, info), c.result);
        if (c.result == WaveHeaderResult::Ok) {
            EXPECT_EQ(info.Channels, c.channels);
            EXPECT_EQ(info.SampleRate, c.rate);
            EXPECT_EQ(info.BitsPerSample, c.bits);
            EXPECT_EQ(info.DataSize, c.dataSize);
            EXPECT_EQ(info.Duration, c.duration);
        }
    }
}

TEST(WaveHeader, ShowsTheReadersOwnMessageOncePerFailure)
{
    QTemporaryDir dir;
    const QString bad = dir.filePath(QStringLiteral("bad.wav"));
    const QString pcm24 = dir.filePath(QStringLiteral("deep.wav"));
    const QString good = dir.filePath(QStringLiteral("good.wav"));
    writeFile(bad, "RIFF....WAVEjunk");
    writeFile(pcm24, riff(chunk("fmt ", fmtBody(1, 2, 48000, 24)) + chunk("data", QByteArray(6, '\0'))));
    writeFile(good, canonicalWav(1, 8000, 16, 16000));

    struct MessageCase {
        QString path;
        bool ok;
        const char* text;
        const char* caption;
    };
    const std::vector<MessageCase> cases = {
        {dir.filePath(QStringLiteral("missing.wav")), false, "Cannot open the file!", "Vexa Recorder"},
        {bad, false, "This is not a valid Wave file", "ERROR"},
        {pcm24, false, "Not PCM formats!", "Vexa Recorder"},
        {good, true, nullptr, nullptr},
    };
    for (const MessageCase& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        platform::RecordingMessageSink sink;
        WaveInfo info;
        EXPECT_EQ(library::ReadWaveHeader(c.path, info, sink), c.ok);
        if (c.ok) {
            EXPECT_TRUE(sink.messages().isEmpty());
            EXPECT_EQ(info.Duration, 1u);
        } else {
            ASSERT_EQ(sink.messages().size(), 1);
            EXPECT_EQ(sink.messages()[0].text, QString::fromLatin1(c.text));
            EXPECT_EQ(sink.messages()[0].caption, QString::fromLatin1(c.caption));
            EXPECT_EQ(sink.messages()[0].icon, platform::MessageIcon::None);
        }
    }
}
