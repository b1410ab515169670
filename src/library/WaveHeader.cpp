#include "library/WaveHeader.h"

#include "platform/LocalFiles.h"
#include "platform/MessageSink.h"

#include <QFile>
#include <cstring>
#include <QtEndian>

namespace library {

namespace {

const char* const kApplicationTitle = "Vexa Recorder";
constexpr std::uint16_t FormatPcm = 1;
constexpr std::uint16_t FormatExtensible = 0xFFFE;

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
    QFile file;
    if (!platform::LocalFiles::openForReading(file, path))
        return WaveHeaderResult::CannotOpen;
    const qint64 fileSize = file.size();

    // The RIFF header (not examined), then the chunks up to "data". The format chunk is
    // usually first, but field recorders and FFmpeg's RF64-ready files put "bext" or "JUNK"
    // before it. Every step moves forward by at least 8 bytes and the walk ends with the file.
    WaveInfo result;
    bool haveFormat = false;
    qint64 pos = 12;
    for (;;) {
        char chunk[8];
        if (pos + 8 > fileSize || !file.seek(pos) || file.read(chunk, 8) != 8)
            return WaveHeaderResult::NotWave; // the file ends before a "data" chunk
        const std::uint32_t size = le32(chunk + 4);
        pos += 8;
        if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat)
                return WaveHeaderResult::NotWave; // audio of no known format
            const qint64 present = fileSize - pos;
            result.DataSize = qint64(size) > present ? std::uint32_t(present) : size;
            break;
        }
        if (!haveFormat && std::memcmp(chunk, "fmt ", 4) == 0) {
            char fmt[40] = {};
            const qint64 want = size < sizeof fmt ? qint64(size) : qint64(sizeof fmt);
            if (size < 16 || file.read(fmt, want) != want)
                return WaveHeaderResult::NotWave;
            const std::uint16_t tag = le16(fmt);
            if (tag == FormatExtensible) {
                // The real format is the sub-format GUID's first two bytes; the rest of the
                // GUID is the fixed KSDATAFORMAT tail.
                static const char tail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, char(0x80),
                                              0x00, 0x00, char(0xAA), 0x00, 0x38, char(0x9B), 0x71};
                if (size < 40 || le16(fmt + 24) != FormatPcm || std::memcmp(fmt + 26, tail, 14) != 0)
                    return WaveHeaderResult::NotWave;
            } else if (tag != FormatPcm) {
                return WaveHeaderResult::NotWave;
            }
            result.Channels = le16(fmt + 2);
            result.SampleRate = le32(fmt + 4);
            result.BitsPerSample = le16(fmt + 14);
            haveFormat = true;
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
