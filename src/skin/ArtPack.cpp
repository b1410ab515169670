#include "skin/ArtPack.h"

#include <QtEndian>

#include <cstring>

namespace skin {

namespace {

constexpr char Magic[9] = "VXART001";

quint32 u32At(const QByteArray& b, qint64 at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

} // namespace

ArtPack::ArtPack(QByteArray bytes) : bytes_(std::move(bytes))
{
    if (bytes_.size() < HeaderBytes || std::memcmp(bytes_.constData(), Magic, 8) != 0)
        return;
    const quint32 count = u32At(bytes_, 8);
    if (count > quint32((bytes_.size() - HeaderBytes) / EntryBytes))
        return;
    // Pixels of 32 bits want 4-byte aligned lines: copy the bytes once if they are not.
    if (reinterpret_cast<quintptr>(bytes_.constData()) % 16 != 0)
        bytes_ = QByteArray(bytes_.constData(), bytes_.size());
    for (quint32 i = 0; i < count; ++i) {
        const qint64 at = HeaderBytes + qint64(i) * EntryBytes;
        const char* name = bytes_.constData() + at;
        const QString key = QString::fromLatin1(name, int(qstrnlen(name, NameBytes)));
        Entry e;
        e.width = int(u32At(bytes_, at + NameBytes));
        e.height = int(u32At(bytes_, at + NameBytes + 4));
        e.bytesPerLine = int(u32At(bytes_, at + NameBytes + 8));
        const quint32 format = u32At(bytes_, at + NameBytes + 12);
        e.offset = qint64(qFromLittleEndian<quint64>(bytes_.constData() + at + NameBytes + 16));
        e.format = QImage::Format(format);
        const bool fits = format > QImage::Format_Invalid && format < QImage::NImageFormats &&
                          e.width > 0 && e.height > 0 && e.width <= 4096 && e.height <= 4096 &&
                          e.bytesPerLine >= e.width && e.offset >= 0 && e.offset % 16 == 0 &&
                          e.offset + qint64(e.bytesPerLine) * e.height <= bytes_.size();
        if (fits)
            index_.insert(key, e);
    }
}

QImage ArtPack::image(const QString& name) const
{
    const auto it = index_.constFind(name);
    if (it == index_.constEnd())
        return QImage();
    const Entry& e = *it;
    return QImage(reinterpret_cast<const uchar*>(bytes_.constData() + e.offset), e.width, e.height,
                  e.bytesPerLine, e.format);
}

QByteArray ArtPack::pack(const QList<QPair<QString, QImage>>& pictures)
{
    QByteArray out(Magic, 8);
    auto put32 = [&out](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        out.append(b, 4);
    };
    put32(quint32(pictures.size()));
    put32(0);
    qint64 offset = HeaderBytes + qint64(pictures.size()) * EntryBytes;
    auto aligned = [](qint64 v) { return (v + 15) / 16 * 16; };
    for (const auto& [name, image] : pictures) {
        QByteArray n = name.toLatin1().left(NameBytes - 1);
        n.resize(NameBytes, '\0');
        out.append(n);
        put32(quint32(image.width()));
        put32(quint32(image.height()));
        put32(quint32(image.bytesPerLine()));
        put32(quint32(image.format()));
        offset = aligned(offset);
        char b[8];
        qToLittleEndian(quint64(offset), b);
        out.append(b, 8);
        offset += image.sizeInBytes();
    }
    for (const auto& picture : pictures) {
        out.resize(aligned(out.size()), '\0');
        out.append(reinterpret_cast<const char*>(picture.second.constBits()), picture.second.sizeInBytes());
    }
    return out;
}

} // namespace skin
