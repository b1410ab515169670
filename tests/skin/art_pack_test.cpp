// ctest-label: gui
// The skin art as the build packs it: every picture the skin lists comes out of the program's
// pack exactly as its PNG decodes (size, pixel format, every pixel); a pack round-trips pictures
// of any format; a damaged pack gives no pictures instead of reading past its end; a picture
// that is changed leaves the pack alone.
#include "skin/ArtPack.h"
#include "skin/MainFormLayout.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QRegularExpression>
#include <QtEndian>
#include <gtest/gtest.h>

#include <cstring>

using skin::ArtPack;

namespace {

bool samePixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.format() != b.format())
        return false;
    for (int y = 0; y < a.height(); ++y)
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), size_t(a.width()) * a.depth() / 8) != 0)
            return false;
    return true;
}

QImage sample(int w, int h, QImage::Format format, QRgb colour)
{
    QImage image(w, h, format);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.fillRect(0, 0, w / 2 + 1, h, QColor::fromRgba(colour));
    p.drawLine(0, h - 1, w - 1, 0);
    return image;
}

} // namespace

TEST(ArtPack, EveryListedPictureComesOutAsItsPngDecodes)
{
    const QString art = qEnvironmentVariable("VEXA_SOURCE_DIR") + QStringLiteral("/src/skin/");
    QFile list(art + QStringLiteral("skin.qrc"));
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    const QRegularExpression file(QStringLiteral("<file>([^<]+\\.png)</file>"));
    int pictures = 0;
    for (auto it = file.globalMatch(QString::fromUtf8(list.readAll())); it.hasNext();) {
        const QString path = art + it.next().captured(1);
        const QString name = QFileInfo(path).completeBaseName();
        const QImage png(path);
        ASSERT_FALSE(png.isNull()) << path.toStdString();
        const QImage packed = skin::MainFormLayout::art(name);
        EXPECT_TRUE(samePixels(packed, png)) << name.toStdString();
        ++pictures;
    }
    EXPECT_GT(pictures, 90);
    EXPECT_TRUE(skin::MainFormLayout::art(QStringLiteral("no_such_picture")).isNull());
}

TEST(ArtPack, RoundTripOfAnyFormatAndOddSizes)
{
    const QList<QPair<QString, QImage>> pictures = {
        {"rgb", sample(270, 358, QImage::Format_RGB32, 0xffff00ff)},
        {"argb", sample(21, 21, QImage::Format_ARGB32, 0x80123456)},
        {"premultiplied", sample(3, 7, QImage::Format_ARGB32_Premultiplied, 0x40ffffff)},
        {"rgb888", sample(5, 3, QImage::Format_RGB888, 0xff00ff00)}, // lines of 15 bytes
        {"gray", sample(9, 2, QImage::Format_Grayscale8, 0xff808080)},
        {QString(60, QLatin1Char('n')), sample(2, 2, QImage::Format_RGB32, 0xff0000ff)},
    };
    const ArtPack pack(ArtPack::pack(pictures));
    for (const auto& [name, image] : pictures) {
        SCOPED_TRACE(name.toStdString());
        const QImage out = pack.image(name.left(ArtPack::NameBytes - 1)); // long names are cut
        EXPECT_TRUE(samePixels(out, image));
    }
    EXPECT_EQ(pack.names().size(), pictures.size());
}

TEST(ArtPack, DamagedPacksHaveNoPicturesAndReadNothingPastTheirEnd)
{
    const QByteArray good = ArtPack::pack({{"a", sample(40, 30, QImage::Format_ARGB32, 0xff112233)},
                                           {"b", sample(8, 8, QImage::Format_RGB32, 0xff445566)}});
    ASSERT_FALSE(ArtPack(good).image("b").isNull());
    auto withU32 = [&good](int at, quint32 value) {
        QByteArray b = good;
        qToLittleEndian(value, b.data() + at);
        return b;
    };
    const int second = ArtPack::HeaderBytes + ArtPack::EntryBytes; // entry "b"
    const struct {
        const char* name;
        QByteArray bytes;
        bool aSurvives;
    } rows[] = {
        {"empty", QByteArray(), false},
        {"other magic", QByteArray("VXART002") + good.mid(8), false},
        {"header only", good.left(ArtPack::HeaderBytes), false},
        {"more entries than bytes", withU32(8, 0x7fffffff), false},
        {"cut in the pixels of b", good.left(good.size() - 4), true},
        {"b taller than the pack", withU32(second + ArtPack::NameBytes + 4, 100000), true},
        {"b of no known format", withU32(second + ArtPack::NameBytes + 12, 999), true},
        {"b lines shorter than b", withU32(second + ArtPack::NameBytes + 8, 4), true},
        {"b at an unaligned offset", withU32(second + ArtPack::NameBytes + 16, 17), true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const ArtPack pack(row.bytes);
        EXPECT_TRUE(pack.image("b").isNull());
        EXPECT_EQ(!pack.image("a").isNull(), row.aSurvives);
    }
}

TEST(ArtPack, ChangingAPictureLeavesThePackAlone)
{
    const ArtPack pack(ArtPack::pack({{"a", sample(4, 4, QImage::Format_RGB32, 0xff0000ff)}}));
    QImage first = pack.image("a");
    const QRgb before = first.pixel(0, 0);
    first.setPixel(0, 0, 0xff00ff00);
    EXPECT_EQ(first.pixel(0, 0), 0xff00ff00u);
    EXPECT_EQ(pack.image("a").pixel(0, 0), before);
}
