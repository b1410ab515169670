#pragma once
// The skin art as the build packed it: every picture of src/skin/art already decoded, in the
// pixel format its PNG decodes to, one after the other in a single uncompressed resource. The
// window takes its pictures straight from the program's data instead of decoding about a hundred
// PNG files (and loading the toolkit's image plugins) on the way to its first paint.
//
// Layout (little-endian): "VXART001", entry count (u32), reserved (u32); then per entry the name
// (40 bytes, NUL-padded, no extension), width, height, bytes per line, QImage::Format (u32
// each) and the offset of its pixels from the start (u64, a multiple of 16).
#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QString>

namespace skin {

class ArtPack {
public:
    static constexpr int NameBytes = 40;
    static constexpr int HeaderBytes = 16;
    static constexpr int EntryBytes = NameBytes + 4 * 4 + 8;

    // Reads the index of a pack; a pack that is not one (or is cut short) has no pictures.
    // The bytes must outlive the pack and the images taken from it.
    explicit ArtPack(QByteArray bytes);

    // The picture by its name ("skin", "icon_n"); null when there is none. The image shares
    // the pack's bytes until it is changed.
    QImage image(const QString& name) const;
    QStringList names() const { return index_.keys(); }

    // The pack for these pictures (used by the build's packer).
    static QByteArray pack(const QList<QPair<QString, QImage>>& pictures);

private:
    struct Entry {
        int width, height, bytesPerLine;
        QImage::Format format;
        qint64 offset;
    };
    QByteArray bytes_;
    QHash<QString, Entry> index_;
};

} // namespace skin
