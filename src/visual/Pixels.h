#pragma once
// Pixel operations of the display's off-screen bitmaps (32-bit images, Format_RGB32): single
// pixels and short lines clipped to the image (Canvas), fills and block copies that reuse the
// target's memory, gradient steps. Everything a frame needs, without a QPainter and without
// allocating.
#include <QImage>
#include <QRect>
#include <QRgb>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace visual::pixels {

// A bitmap of the given size, Format_RGB32, filled with black.
inline QImage makeBitmap(const QSize& size)
{
    QImage image(size.expandedTo(QSize(0, 0)), QImage::Format_RGB32);
    image.fill(0xff000000);
    return image;
}

// The pixels of `source` under `rect` (the part outside the source stays black).
inline QImage copyRect(const QImage& source, const QRect& rect)
{
    QImage image = makeBitmap(rect.size());
    const QImage from = source.convertToFormat(QImage::Format_RGB32);
    const QRect inside = rect.intersected(from.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(from.constScanLine(y)) + inside.left();
        QRgb* dst = reinterpret_cast<QRgb*>(image.scanLine(y - rect.top())) + (inside.left() - rect.left());
        std::memcpy(dst, src, std::size_t(inside.width()) * sizeof(QRgb));
    }
    return image;
}

// Copies `from` onto `to` at (0, 0), with from's size. `to` is made a bitmap of that size
// first when it is not one yet; after that the copy reuses its memory. True when `to` changed
// (so that a box whose picture stands still need not be shown again).
inline bool blockCopy(const QImage& from, QImage& to)
{
    bool changed = false;
    if (to.size() != from.size() || to.format() != QImage::Format_RGB32) {
        to = makeBitmap(from.size());
        changed = true;
    }
    const std::size_t bytes = std::size_t(from.width()) * sizeof(QRgb);
    for (int y = 0; y < from.height(); ++y) {
        const uchar* source = from.constScanLine(y);
        if (!changed && std::memcmp(to.constScanLine(y), source, bytes) == 0)
            continue;
        std::memcpy(to.scanLine(y), source, bytes);
        changed = true;
    }
    return changed;
}

inline void fill(QImage& image, QRgb colour)
{
    for (int y = 0; y < image.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(row, row + image.width(), colour);
    }
}

// Drawing on a bitmap's pixels: the image is detached once, when the canvas is made, and
// every write is clipped to the image. Valid while the image is neither copied nor resized.
class Canvas {
public:
    explicit Canvas(QImage& image)
        : bits_(reinterpret_cast<QRgb*>(image.bits())), stride_(image.bytesPerLine() / int(sizeof(QRgb))),
          width_(image.width()), height_(image.height())
    {
    }

    int width() const { return width_; }
    int height() const { return height_; }

    void set(int x, int y, QRgb colour)
    {
        if (unsigned(x) < unsigned(width_) && unsigned(y) < unsigned(height_))
            bits_[std::ptrdiff_t(y) * stride_ + x] = colour;
    }

    // The pixels x0 to x1 - 1 of row y (the end point is not painted).
    void horizontalLine(int x0, int x1, int y, QRgb colour)
    {
        if (unsigned(y) >= unsigned(height_))
            return;
        x0 = std::max(x0, 0);
        x1 = std::min(x1, width_);
        if (x0 < x1) {
            QRgb* row = bits_ + std::ptrdiff_t(y) * stride_;
            std::fill(row + x0, row + x1, colour);
        }
    }

    // The pixels y0 to y1 - 1 of column x (the end point is not painted).
    void verticalLine(int x, int y0, int y1, QRgb colour)
    {
        if (unsigned(x) >= unsigned(width_))
            return;
        y0 = std::max(y0, 0);
        y1 = std::min(y1, height_);
        for (QRgb* p = bits_ + std::ptrdiff_t(y0) * stride_ + x; y0 < y1; ++y0, p += stride_)
            *p = colour;
    }

    // A one-pixel line from (x0, y0) towards (x1, y1), without its end point (Bresenham).
    void line(int x0, int y0, int x1, int y1, QRgb colour)
    {
        const int dx = std::abs(x1 - x0);
        const int dy = -std::abs(y1 - y0);
        const int sx = x0 < x1 ? 1 : -1;
        const int sy = y0 < y1 ? 1 : -1;
        int error = dx + dy;
        while (x0 != x1 || y0 != y1) {
            set(x0, y0, colour);
            const int twice = 2 * error;
            if (twice >= dy) {
                error += dy;
                x0 += sx;
            }
            if (twice <= dx) {
                error += dx;
                y0 += sy;
            }
        }
    }

private:
    QRgb* bits_;
    int stride_; // pixels from one row to the next
    int width_;
    int height_;
};

// One channel of a gradient colour: base + truncation toward zero of (steps * step), the
// product taken in extended precision from the single-precision step, modulo 256.
inline int gradientChannel(int base, int steps, float step)
{
    const long long offset = static_cast<long long>(static_cast<long double>(steps) * static_cast<long double>(step));
    const long long value = (base + offset) % 256;
    return int(value < 0 ? value + 256 : value);
}

// The single-precision step per pixel from one colour channel to another over `length` pixels.
inline float gradientStep(int from, int to, int length)
{
    return length != 0 ? float(static_cast<long double>(to - from) / length) : 0.0f;
}

} // namespace visual::pixels
