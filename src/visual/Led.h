#pragma once
// The LED-style time counter and transport symbol of the spectrum box, drawn pixel by pixel
// from fixed glyph tables into a 32-bit image (Format_RGB32). Lit pixels take the colour; unlit
// pixels are left as they are, so the counter stands over whatever the frame already shows.
// Pixels outside the image are clipped.
#include "audio/TransportState.h"

#include <QImage>
#include <QString>
#include <QRgb>

#include <cstdint>

namespace visual {

// Glyph numbers: 0-9 the digits, 10 + a TransportState value the state symbols, 15 and more
// the colon.
constexpr int LedSymbolGlyph = 10;
constexpr int LedColonGlyph = 15;
constexpr int LedDigitWidth = 6;
constexpr int LedGlyphHeight = 11;
constexpr int LedSymbolWidth = 11;

// Symbol colours: stopped dark green, playing green, recording red.
constexpr QRgb LedIdleColour = 0xff008000;
constexpr QRgb LedPlayColour = 0xff00ff00;
constexpr QRgb LedRecordColour = 0xffff0000;

// Sets the lit pixels of the glyph, with its top-left corner at (x, y).
void DrawLedGlyph(QImage& bitmap, int glyph, QRgb colour, int x, int y);

// The counter's text: "00:00" for 0, otherwise [H:]MM:SS ("00:07", "59:59", "1:00:00").
QString LedTimeText(std::uint32_t seconds);

// Draws the time text in the digit colour and the state symbol before it, right-aligned
// against the right edge of the bitmap, with their top at row y. While playing or recording
// the symbol shows only on even seconds (it blinks); in the other states it always shows.
void DrawLedTime(QImage& bitmap, std::uint32_t seconds, TransportState state, QRgb digitColour, int y);

} // namespace visual
