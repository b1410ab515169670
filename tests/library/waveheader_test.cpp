// The RIFF header reader: chunk walk, format checks, durations and its messages.
#include "LibraryFakes.h"
#include "library/WaveHeader.h"
#include "support/RecordingMessageSink.h"

#include "platform/LocalFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/stat.h>

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

// WAVE_FORMAT_EXTENSIBLE: the plain 16 bytes with tag 0xFFFE, cbSize 22, valid bits, channel
// mask and the sub-format GUID (its first two bytes are the real format tag).
QByteArray extensibleBody(quint16 channels, quint32 rate, quint16 bits, quint16 subFormat)
{
    static const char tail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, char(0x80),
                                  0x00, 0x00, char(0xAA), 0x00, 0x38, char(0x9B), 0x71};
    return fmtBody(0xFFFE, channels, rate, bits) + le16(22) + le16(bits) + le32(0x33) +
           le16(subFormat) + QByteArray(tail, 14);
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
        {"LIST before fmt", riff(listChunk(40) + fmt16 + data10s), 0, WaveHeaderResult::Ok, 2, 44100, 16, 1764000, 10},
        // Field recorders write "bext" first; FFmpeg's RF64-ready files reserve "JUNK" first.
        {"bext before fmt", riff(chunk("bext", QByteArray(602, 'b')) + fmt16 + data10s), 0,
         WaveHeaderResult::Ok, 2, 44100, 16, 1764000, 10},
        {"odd JUNK before fmt", riff(chunk("JUNK", QByteArray(27, '\0')) + QByteArray(1, '\0') + fmt16 + data10s), 0,
         WaveHeaderResult::Ok, 2, 44100, 16, 1764000, 10},
        {"extensible PCM, 4 channels 16 bits", riff(chunk("fmt ", extensibleBody(4, 44100, 16, 1)) +
                                                    chunk("data", QByteArray(4 * 2 * 44100 * 3, '\0'))), 0,
         WaveHeaderResult::Ok, 4, 44100, 16, 4 * 2 * 44100 * 3, 3},
        {"extensible PCM, 96 kHz stereo 16 bits", riff(chunk("JUNK", QByteArray(28, '\0')) +
                                                       chunk("fmt ", extensibleBody(2, 96000, 16, 1)) +
                                                       chunk("data", QByteArray(2 * 2 * 96000 * 2, '\0'))), 0,
         WaveHeaderResult::Ok, 2, 96000, 16, 2 * 2 * 96000 * 2, 2},
        {"extensible PCM 8 bits", riff(chunk("fmt ", extensibleBody(1, 8000, 8, 1)) + chunk("data", QByteArray(8000, '\x80'))), 0,
         WaveHeaderResult::Ok, 1, 8000, 8, 8000, 1},
        {"extensible PCM 24 bits", riff(chunk("fmt ", extensibleBody(2, 48000, 24, 1)) + chunk("data", QByteArray(600, '\0'))), 0,
         WaveHeaderResult::NotPcm, 0, 0, 0, 0, 0},
        {"extensible float", riff(chunk("fmt ", extensibleBody(2, 48000, 32, 3)) + chunk("data", QByteArray(800, '\0'))), 0,
         WaveHeaderResult::NotWave, 0, 0, 0, 0, 0},
        {"extensible cut before its sub-format", riff(chunk("fmt ", fmtBody(0xFFFE, 2, 48000, 16, 2)) + chunk("data", QByteArray(800, '\0'))), 0,
         WaveHeaderResult::NotWave, 0, 0, 0, 0, 0},
        {"extensible with a foreign GUID tail", riff(chunk("fmt ", extensibleBody(2, 48000, 16, 1).left(38) + "zz") +
                                                     chunk("data", QByteArray(800, '\0'))), 0,
         WaveHeaderResult::NotWave, 0, 0, 0, 0, 0},
        {"data before fmt", riff(data10s + fmt16), 0, WaveHeaderResult::NotWave, 0, 0, 0, 0, 0},
        {"format chunk shorter than its fields", riff(chunk("fmt ", fmtBody(1, 2, 44100, 16).left(14)) + data10s), 0,
         WaveHeaderResult::NotWave, 0, 0, 0, 0, 0},
        {"second fmt ignored", riff(fmt16 + chunk("fmt ", fmtBody(1, 1, 8000, 8)) + data10s), 0,
         WaveHeaderResult::Ok, 2, 44100, 16, 1764000, 10},
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
    const QString fifo = dir.filePath(QStringLiteral("fifo.wav"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString folder = dir.filePath(QStringLiteral("folder.wav"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString link = dir.filePath(QStringLiteral("link.wav"));
    ASSERT_TRUE(QFile::link(good, link));
    // A name that is not UTF-8 (Latin-1 "é"), written with the raw bytes.
    const QString oddName = dir.path() + "/" + platform::LocalFiles::decodeName("caf\xe9.wav");
    {
        const QByteArray raw = QFile::encodeName(dir.path()) + "/caf\xe9.wav";
        FILE* f = std::fopen(raw.constData(), "wb");
        ASSERT_NE(f, nullptr);
        const QByteArray bytes = canonicalWav(1, 8000, 16, 16000);
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f);
        std::fclose(f);
    }

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
        // Only regular files are opened, and never with a wait: a FIFO without a writer would
        // block an ordinary open for ever.
        {fifo, false, "Cannot open the file!", "Vexa Recorder"},
        {folder, false, "Cannot open the file!", "Vexa Recorder"},
        {link, true, nullptr, nullptr},
        {oddName, true, nullptr, nullptr},
    };
    for (const MessageCase& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        testsupport::RecordingMessageSink sink;
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
