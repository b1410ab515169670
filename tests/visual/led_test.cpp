// ctest-label: unit
// The LED counter: every glyph against its table, the text of a time, where "00:00", "1:00:00"
// and the state symbol stand in the 88-pixel box, the blinking of the symbol, clipping at the
// edges, and unlit pixels that never change what lies under them.
#include "VisualImages.h"

#include "visual/Led.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>

using namespace visual;
using visualtest::picture;

namespace {

constexpr QRgb Digit = 0xffffff00;
constexpr QRgb Under = 0xff102030; // what lies under the counter

// The glyph tables as the counter is meant to look, '#' lit.
const std::array<QStringList, 10> DigitRows = {{
    {".####.", "#....#", "#....#", "#....#", "#....#", "......", "#....#", "#....#", "#....#", "#....#", ".####."},
    {".....#", ".....#", ".....#", ".....#", ".....#", "......", ".....#", ".....#", ".....#", ".....#", ".....#"},
    {".####.", ".....#", ".....#", ".....#", ".....#", ".####.", "#.....", "#.....", "#.....", "#.....", ".####."},
    {".####.", ".....#", ".....#", ".....#", ".....#", ".####.", ".....#", ".....#", ".....#", ".....#", ".####."},
    {"#....#", "#....#", "#....#", "#....#", "#....#", ".####.", ".....#", ".....#", ".....#", ".....#", ".....#"},
    {".####.", "#.....", "#.....", "#.....", "#.....", ".####.", ".....#", ".....#", ".....#", ".....#", ".####."},
    {".####.", "#.....", "#.....", "#.....", "#.....", ".####.", "#....#", "#....#", "#....#", "#....#", ".####."},
    {".####.", ".....#", ".....#", ".....#", ".....#", "......", ".....#", ".....#", ".....#", ".....#", ".....#"},
    {".####.", "#....#", "#....#", "#....#", "#....#", ".####.", "#....#", "#....#", "#....#", "#....#", ".####."},
    {".####.", "#....#", "#....#", "#....#", "#....#", ".####.", ".....#", ".....#", ".....#", ".....#", ".####."},
}};

const std::array<QStringList, 5> SymbolRows = {{
    {"#######....", "#######....", "#######....", "#######....", "#######....", "#######....", "#######....",
     "...........", "...........", "...........", "..........."},
    {".##........", ".###.......", ".####......", ".#####.....", ".####......", ".###.......", ".##........",
     "...........", "...........", "...........", "..........."},
    {".##........", ".###.......", ".####......", ".#####.....", ".####......", ".###.......", ".##........",
     ".....##.##.", ".....##.##.", ".....##.##.", ".....##.##."},
    {"..###......", ".#####.....", "#######....", "#######....", "#######....", ".#####.....", "..###......",
     "...........", "...........", "...........", "..........."},
    {"..###......", ".#####.....", "#######....", "#######....", "#######....", ".#####.....", "..###......",
     "......##.##", "......##.##", "......##.##", "......##.##"},
}};

const QStringList ColonRows = {".", ".", ".", "#", "#", ".", ".", "#", "#", ".", "."};

QImage blank(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Under);
    return image;
}

// Paints a table ('#' lit) into the image in the colour: the counter as it should come out.
void paintRows(QImage& image, const QStringList& rows, int x, int y, QRgb colour)
{
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            if (rows[r][c] == QLatin1Char('#') && QRect(0, 0, image.width(), image.height()).contains(x + c, y + r))
                image.setPixel(x + c, y + r, colour);
}

// The counter as it should look: the symbol (if shown) at its cell, then the characters.
QImage expectedCounter(int width, const QString& text, int symbol, QRgb symbolColour, int y)
{
    QImage image = blank(width, 20);
    const int n = text.size();
    if (symbol >= 0)
        paintRows(image, SymbolRows[std::size_t(symbol)], width - 7 * n - 12, y, symbolColour);
    int x = width - 7 * n;
    for (QChar c : text) {
        if (c == QLatin1Char(':')) {
            paintRows(image, ColonRows, x + 1, y, Digit);
            x += 4;
        } else {
            paintRows(image, DigitRows[std::size_t(c.digitValue())], x, y, Digit);
            x += 7;
        }
    }
    return image;
}

} // namespace

TEST(Led, EveryGlyphMatchesItsTable)
{
    const QImage under = blank(14, 15);
    for (int glyph = 0; glyph <= 16; ++glyph) {
        QImage image = blank(14, 15);
        DrawLedGlyph(image, glyph, Digit, 2, 3);
        QImage expected = blank(14, 15);
        if (glyph < 10)
            paintRows(expected, DigitRows[std::size_t(glyph)], 2, 3, Digit);
        else if (glyph < 15)
            paintRows(expected, SymbolRows[std::size_t(glyph - 10)], 2, 3, Digit);
        else
            paintRows(expected, ColonRows, 2, 3, Digit); // 15 and above: the colon
        EXPECT_EQ(picture(image, image.rect(), under, {{Digit, '#'}}),
                  picture(expected, expected.rect(), under, {{Digit, '#'}}))
            << "glyph " << glyph;
    }
}

TEST(Led, TimeText)
{
    const struct {
        std::uint32_t seconds;
        const char* text;
    } cases[] = {
        {0, "00:00"},     {7, "00:07"},         {60, "01:00"},
        {3599, "59:59"},  {3600, "1:00:00"},    {43389, "12:03:09"},
        {360000, "100:00:00"}, {std::numeric_limits<std::uint32_t>::max(), "1193046:28:15"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LedTimeText(c.seconds), QString::fromLatin1(c.text)) << c.seconds;
}

TEST(Led, CounterPositionsAndSymbolsInTheBox)
{
    const struct {
        std::uint32_t seconds;
        TransportState state;
        const char* text;
        int symbol; // -1: not shown (blinking, odd second)
        QRgb symbolColour;
        int symbolX;
    } cases[] = {
        {0, Idle, "00:00", 0, LedIdleColour, 41},
        {7, Playing, "00:07", -1, 0, 0},
        {8, Playing, "00:08", 1, LedPlayColour, 41},
        {7, PlayPaused, "00:07", 2, LedPlayColour, 41},
        {0, Recording, "00:00", 3, LedRecordColour, 41},
        {61, Recording, "01:01", -1, 0, 0},
        {61, RecordPaused, "01:01", 4, LedRecordColour, 41},
        {3600, Recording, "1:00:00", 3, LedRecordColour, 27},
        {3601, Playing, "1:00:01", -1, 0, 0},
        {43389, PlayPaused, "12:03:09", 2, LedPlayColour, 20},
    };
    const QImage under = blank(88, 20);
    const std::map<QRgb, char> legend = {{Digit, '#'}, {LedIdleColour, 'i'}, {LedPlayColour, 'p'}, {LedRecordColour, 'r'}};
    for (const auto& c : cases) {
        QImage image = blank(88, 20);
        DrawLedTime(image, c.seconds, c.state, Digit, 4);
        const QImage expected = expectedCounter(88, QString::fromLatin1(c.text), c.symbol, c.symbolColour, 4);
        EXPECT_EQ(picture(image, image.rect(), under, legend), picture(expected, expected.rect(), under, legend))
            << c.seconds << " s, state " << int(c.state);
        if (c.symbol >= 0) {
            // The symbol's top-left lit pixel of its first row, as the tables place it.
            const int firstLit = int(SymbolRows[std::size_t(c.symbol)][0].indexOf(QLatin1Char('#')));
            EXPECT_EQ(image.pixel(c.symbolX + firstLit, 4), c.symbolColour) << c.text;
            EXPECT_EQ(image.pixel(c.symbolX + firstLit - 1, 4) | 0xff000000, Under) << c.text;
        }
    }
}

TEST(Led, IdleZeroInTheBoxUsesColumns41To83AndRows4To14)
{
    QImage image = blank(88, 44);
    DrawLedTime(image, 0, Idle, Digit, 4);
    int left = 88, right = -1, top = 44, bottom = -1;
    for (int y = 0; y < 44; ++y)
        for (int x = 0; x < 88; ++x)
            if ((image.pixel(x, y) | 0xff000000) != Under) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    EXPECT_EQ(left, 41);  // the stop symbol
    EXPECT_EQ(right, 83); // the last digit
    EXPECT_EQ(top, 4);
    EXPECT_EQ(bottom, 14);
    EXPECT_EQ(image.pixel(41, 4), LedIdleColour);
    EXPECT_EQ(image.pixel(47, 10), LedIdleColour);
    EXPECT_EQ(image.pixel(48, 4) | 0xff000000, Under);
    EXPECT_EQ(image.pixel(54, 4), Digit); // the first 0's top bar
    EXPECT_EQ(image.pixel(68, 7), Digit); // the colon
    EXPECT_EQ(image.pixel(68, 9) | 0xff000000, Under);
}

TEST(Led, GlyphsAreClippedAndUnlitPixelsKeepWhatIsUnder)
{
    // A checkered background: every unlit pixel must keep its own colour.
    QImage image(10, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x)
            image.setPixel(x, y, qRgb(x * 20, y * 30, 100 + (x + y) % 2));
    const QImage under = image;
    DrawLedGlyph(image, 8, Digit, -3, -2); // partly above and left
    DrawLedGlyph(image, 10, LedIdleColour, 6, 4); // partly right and below
    DrawLedGlyph(image, 1, Digit, 200, 200);     // wholly outside
    QImage expected = under;
    paintRows(expected, DigitRows[8], -3, -2, Digit);
    paintRows(expected, SymbolRows[0], 6, 4, LedIdleColour);
    const std::map<QRgb, char> legend = {{Digit, '#'}, {LedIdleColour, 'i'}};
    EXPECT_EQ(picture(image, image.rect(), under, legend), picture(expected, expected.rect(), under, legend));
    EXPECT_EQ(picture(image, image.rect(), under, legend),
              (QStringList{"..#.......", "..#.......", "..#.......", "##........", "..#...iiii",
                           "..#...iiii", "..#...iiii", "..#...iiii"}));
}

TEST(Led, ACounterWiderThanTheBitmapIsClipped)
{
    // "1193046:28:15" is 13 characters and starts 71 pixels left of a 20-pixel bitmap: only the
    // seconds "15" remain, at x 0 and 7; the symbol and everything else fall outside.
    QImage image = blank(20, 16);
    DrawLedTime(image, std::numeric_limits<std::uint32_t>::max(), RecordPaused, Digit, 2);
    QImage expected = blank(20, 16);
    paintRows(expected, DigitRows[1], 0, 2, Digit);
    paintRows(expected, DigitRows[5], 7, 2, Digit);
    const QImage under = blank(20, 16);
    const std::map<QRgb, char> legend = {{Digit, '#'}, {LedRecordColour, 'r'}};
    EXPECT_EQ(picture(image, image.rect(), under, legend), picture(expected, expected.rect(), under, legend));
}
