#include "library/WaveHeader.h"

#include "platform/MessageSink.h"

#include <QFile>
#include <cstring>
#include <QtEndian>

namespace library {

namespace {

const char* const kApplicationTitle = "Vexa Recorder";

std::uint32_t le32(const char* p)
{
    return qFromLittleEndian<quint32>(reinterpret_cast<const uchar*>(p));
}

std::uint16_t le16(const char* p)
{
    return qFromLittleEndian<quint16>(reinterpret_cast<const uchar*>(p));
}

} // namespace

WaveHeaderResult WaveHeader::read(const QString& path, WaveInfo& info)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return WaveHeaderResult::CannotOpen;
    const qint64 fileSize = file.size();

    // RIFF header (not examined), then the first chunk header and 16 bytes of its body.
    char head[36];
    if (file.read(head, sizeof head) != qint64(sizeof head))
        return WaveHeaderResult::NotWave;
    const char* fmt = head + 12;
    if (std::memcmp(fmt, "fmt ", 4) != 0)
        return WaveHeaderResult::NotWave;
    const std::uint32_t fmtSize = le32(fmt + 4);
    if (le16(fmt + 8) != 1)
        return WaveHeaderResult::NotWave;

    WaveInfo result;
    result.Channels = le16(fmt + 10);
    result.SampleRate = le32(fmt + 12);
    result.BitsPerSample = le16(fmt + 22);

    // The chunk after "fmt " starts after its whole body and its pad byte.
    qint64 pos = 20 + qint64(fmtSize) + (fmtSize & 1);
    if (fmtSize < 16)
        pos = 36; // a format chunk shorter than its fixed fields: go on after the 16 bytes read
    for (;;) {
        char chunk[8];
        if (pos + 8 > fileSize || !file.seek(pos) || file.read(chunk, 8) != 8)
            return WaveHeaderResult::NotWave; // the file ends before a "data" chunk
        const std::uint32_t size = le32(chunk + 4);
        pos += 8;
        if (std::memcmp(chunk, "data", 4) == 0) {
            const qint64 present = fileSize - pos;
            result.DataSize = qint64(size) > present ? std::uint32_t(present) : size;
            break;
        }
        pos += qint64(size) + (size & 1);
    }

    const std::uint64_t byteRate =
        std::uint64_t(result.SampleRate) * result.Channels * result.BitsPerSample / 8;
    result.Duration = byteRate == 0 ? 0 : std::uint32_t(result.DataSize / byteRate);

    if (result.BitsPerSample != 8 && result.BitsPerSample != 16)
        return WaveHeaderResult::NotPcm;
    info = result;
    return WaveHeaderResult::Ok;
}

platform::Message WaveHeader::message(WaveHeaderResult result)
{
    platform::Message m;
    m.icon = platform::MessageIcon::None;
    m.withOwner = true;
    switch (result) {
    case WaveHeaderResult::Ok:
        break;
    case WaveHeaderResult::CannotOpen:
        m.text = QStringLiteral("Cannot open the file!");
        m.caption = QString::fromLatin1(kApplicationTitle);
        break;
    case WaveHeaderResult::NotWave:
        m.text = QStringLiteral("This is not a valid Wave file");
        m.caption = QStringLiteral("ERROR");
        break;
    case WaveHeaderResult::NotPcm:
        m.text = QStringLiteral("Not PCM formats!");
        m.caption = QString::fromLatin1(kApplicationTitle);
        break;
    }
    return m;
}

bool ReadWaveHeader(const QString& path, WaveInfo& info, platform::MessageSink& sink)
{
    const WaveHeaderResult result = WaveHeader::read(path, info);
    if (result == WaveHeaderResult::Ok)
        return true;
    sink.show(WaveHeader::message(result));
    return false;
}

} // namespace library
