#include "visual/Led.h"

#include "visual/Pixels.h"

#include <algorithm>

namespace visual {

namespace {

// Each row is a bit mask; bit (width - 1 - column) set means a lit pixel, so the tables read
// as the glyphs look.
constexpr std::uint8_t Digits[10][LedGlyphHeight] = {
    // 0
    {0b011110, 0b100001, 0b100001, 0b100001, 0b100001, 0b000000,
     0b100001, 0b100001, 0b100001, 0b100001, 0b011110},
    // 1
    {0b000001, 0b000001, 0b000001, 0b000001, 0b000001, 0b000000,
     0b000001, 0b000001, 0b000001, 0b000001, 0b000001},
    // 2
    {0b011110, 0b000001, 0b000001, 0b000001, 0b000001, 0b011110,
     0b100000, 0b100000, 0b100000, 0b100000, 0b011110},
    // 3
    {0b011110, 0b000001, 0b000001, 0b000001, 0b000001, 0b011110,
     0b000001, 0b000001, 0b000001, 0b000001, 0b011110},
    // 4
    {0b100001, 0b100001, 0b100001, 0b100001, 0b100001, 0b011110,
     0b000001, 0b000001, 0b000001, 0b000001, 0b000001},
    // 5
    {0b011110, 0b100000, 0b100000, 0b100000, 0b100000, 0b011110,
     0b000001, 0b000001, 0b000001, 0b000001, 0b011110},
    // 6
    {0b011110, 0b100000, 0b100000, 0b100000, 0b100000, 0b011110,
     0b100001, 0b100001, 0b100001, 0b100001, 0b011110},
    // 7
    {0b011110, 0b000001, 0b000001, 0b000001, 0b000001, 0b000000,
     0b000001, 0b000001, 0b000001, 0b000001, 0b000001},
    // 8
    {0b011110, 0b100001, 0b100001, 0b100001, 0b100001, 0b011110,
     0b100001, 0b100001, 0b100001, 0b100001, 0b011110},
    // 9
    {0b011110, 0b100001, 0b100001, 0b100001, 0b100001, 0b011110,
     0b000001, 0b000001, 0b000001, 0b000001, 0b011110},
};

constexpr std::uint16_t Symbols[5][LedGlyphHeight] = {
    // Idle: a square
    {0b11111110000, 0b11111110000, 0b11111110000, 0b11111110000, 0b11111110000, 0b11111110000,
     0b11111110000, 0, 0, 0, 0},
    // Playing: a triangle
    {0b01100000000, 0b01110000000, 0b01111000000, 0b01111100000, 0b01111000000, 0b01110000000,
     0b01100000000, 0, 0, 0, 0},
    // PlayPaused: the triangle with two pause bars
    {0b01100000000, 0b01110000000, 0b01111000000, 0b01111100000, 0b01111000000, 0b01110000000,
     0b01100000000, 0b00000110110, 0b00000110110, 0b00000110110, 0b00000110110},
    // Recording: a disc
    {0b00111000000, 0b01111100000, 0b11111110000, 0b11111110000, 0b11111110000, 0b01111100000,
     0b00111000000, 0, 0, 0, 0},
    // RecordPaused: the disc with two pause bars
    {0b00111000000, 0b01111100000, 0b11111110000, 0b11111110000, 0b11111110000, 0b01111100000,
     0b00111000000, 0b00000011011, 0b00000011011, 0b00000011011, 0b00000011011},
};

// The colon: one column, lit in rows 3, 4, 7 and 8.
constexpr std::uint8_t Colon[LedGlyphHeight] = {0, 0, 0, 1, 1, 0, 0, 1, 1, 0, 0};

template <typename Row>
void drawRows(QImage& bitmap, const Row* rows, int width, QRgb colour, int x, int y)
{
    pixels::Canvas canvas(bitmap);
    for (int r = 0; r < LedGlyphHeight; ++r) {
        const unsigned bits = rows[r];
        if (!bits)
            continue;
        for (int c = 0; c < width; ++c) {
            if (bits & (1u << (width - 1 - c)))
                canvas.set(x + c, y + r, colour);
        }
    }
}

QRgb symbolColour(TransportState state)
{
    switch (state) {
    case Playing:
    case PlayPaused:
        return LedPlayColour;
    case Recording:
    case RecordPaused:
        return LedRecordColour;
    case Idle:
        break;
    }
    return LedIdleColour;
}

// Writes the counter's text into `text` (room for 16 characters) and returns its length. The
// text is built on the stack, so a frame allocates nothing.
int formatTime(std::uint32_t seconds, char* text)
{
    if (seconds == 0) {
        const char zero[] = "00:00";
        std::copy(zero, zero + 5, text);
        return 5;
    }
    const std::uint32_t h = seconds / 3600;
    const std::uint32_t m = (seconds % 3600) / 60;
    const std::uint32_t s = seconds % 60;
    int n = 0;
    if (h > 0) {
        char digits[10];
        int d = 0;
        for (std::uint32_t v = h; v > 0; v /= 10)
            digits[d++] = char('0' + v % 10);
        while (d > 0)
            text[n++] = digits[--d];
        text[n++] = ':';
    }
    text[n++] = char('0' + m / 10);
    text[n++] = char('0' + m % 10);
    text[n++] = ':';
    text[n++] = char('0' + s / 10);
    text[n++] = char('0' + s % 10);
    return n;
}

} // namespace

void DrawLedGlyph(QImage& bitmap, int glyph, QRgb colour, int x, int y)
{
    if (glyph < 0 || bitmap.depth() != 32)
        return;
    if (glyph < LedSymbolGlyph)
        drawRows(bitmap, Digits[glyph], LedDigitWidth, colour, x, y);
    else if (glyph < LedColonGlyph)
        drawRows(bitmap, Symbols[glyph - LedSymbolGlyph], LedSymbolWidth, colour, x, y);
    else
        drawRows(bitmap, Colon, 1, colour, x, y);
}

QString LedTimeText(std::uint32_t seconds)
{
    char text[16];
    const int n = formatTime(seconds, text);
    return QString::fromLatin1(text, n);
}

void DrawLedTime(QImage& bitmap, std::uint32_t seconds, TransportState state, QRgb digitColour, int y)
{
    char text[16];
    const int n = formatTime(seconds, text);

    const int width = bitmap.width();
    const std::uint32_t secondsPart = seconds % 60;
    const bool blinks = state == Playing || state == Recording;
    if (!blinks || secondsPart % 2 == 0)
        DrawLedGlyph(bitmap, LedSymbolGlyph + int(state), symbolColour(state), width - 7 * n - 12, y);

    int x = width - 7 * n;
    for (int i = 0; i < n; ++i) {
        if (text[i] == ':') {
            DrawLedGlyph(bitmap, LedColonGlyph, digitColour, x + 1, y);
            x += 4;
        } else {
            DrawLedGlyph(bitmap, text[i] - '0', digitColour, x, y);
            x += 7;
        }
    }
}

} // namespace visual
