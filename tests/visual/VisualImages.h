#pragma once
// Images for the display's tests: a window image whose every pixel differs from its neighbours
// and from every colour the display draws (its blue channel is never 0 or 255), and pictures of
// image regions as text rows, so that tests compare what a frame shows with tables.
#include <QImage>
#include <QRect>
#include <QRgb>
#include <QString>
#include <QStringList>

#include <map>

namespace visualtest {

// Pixel (x, y) = (x mod 256, y mod 256, 100 + x / 256 + 2 * (y / 256)).
inline QImage patternedWindow(int width = 270, int height = 358)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x % 256, y % 256, 100 + x / 256 + 2 * (y / 256)));
    return image;
}

// The region as text: each pixel is the character the legend gives its colour, '.' where it
// equals `background` at the same place (the pixel left as it was), '?' for anything else.
inline QStringList picture(const QImage& image, const QRect& region, const QImage& background,
                           const std::map<QRgb, char>& legend)
{
    QStringList rows;
    for (int y = region.top(); y <= region.bottom(); ++y) {
        QString row;
        for (int x = region.left(); x <= region.right(); ++x) {
            const QRgb pixel = image.pixel(x, y) | 0xff000000;
            if (pixel == (background.pixel(x, y) | 0xff000000)) {
                row += QLatin1Char('.');
                continue;
            }
            const auto it = legend.find(pixel);
            row += QLatin1Char(it == legend.end() ? '?' : it->second);
        }
        rows << row;
    }
    return rows;
}

// Whether every pixel of the region equals the same pixel of `other`.
inline bool sameRegion(const QImage& image, const QImage& other, const QRect& region)
{
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x)
            if ((image.pixel(x, y) | 0xff000000) != (other.pixel(x, y) | 0xff000000))
                return false;
    return true;
}

} // namespace visualtest
