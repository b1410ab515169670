#include "SkinArt.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace {

// Palette: a dark, calm body with one blue accent and an LCD-like information area.
const QColor Outline(0x0a, 0x0b, 0x0e);
const QColor Bevel(0x41, 0x47, 0x51);
const QColor BodyTop(0x2c, 0x31, 0x39);
const QColor BodyBottom(0x1e, 0x21, 0x27);
const QColor TitleTop(0x34, 0x39, 0x42);
const QColor TitleBottom(0x27, 0x2b, 0x32);
const QColor LcdTop(0x10, 0x1b, 0x26);
const QColor LcdBottom(0x09, 0x10, 0x17);
const QColor LcdEdge(0x04, 0x06, 0x09);
const QColor LcdLight(0x33, 0x3d, 0x4a);
const QColor LcdCaption(0x56, 0x70, 0x8a);
const QColor Groove(0x0f, 0x11, 0x14);
const QColor GrooveLight(0x3c, 0x41, 0x4a);
const QColor Accent(0x4e, 0xa1, 0xff);
const QColor Glyph(0xbd, 0xc5, 0xce);
const QColor GlyphHover(0xff, 0xff, 0xff);
const QColor GlyphOff(0x50, 0x56, 0x5f);
const QColor RecordRed(0xe5, 0x48, 0x4d);
const QColor PlayGreen(0x3d, 0xd6, 0x85);

QRgb opaque(const QColor& c) { return c.rgb() | 0xFF000000u; }

// A 1-pixel crisp rounded frame: the four corner pixels left out.
void roundFrame(QPainter& p, const QRect& r, const QColor& c)
{
    p.setPen(c);
    p.drawLine(r.left() + 1, r.top(), r.right() - 1, r.top());
    p.drawLine(r.left() + 1, r.bottom(), r.right() - 1, r.bottom());
    p.drawLine(r.left(), r.top() + 1, r.left(), r.bottom() - 1);
    p.drawLine(r.right(), r.top() + 1, r.right(), r.bottom() - 1);
}

// A sunken LCD panel: dark gradient, black edge, light lower lip.
void lcdPanel(QPainter& p, const QRect& r)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, LcdTop);
    g.setColorAt(1, LcdBottom);
    p.fillRect(r.adjusted(1, 1, -1, -1), g);
    roundFrame(p, r, LcdEdge);
    p.setPen(LcdLight);
    p.drawLine(r.left() + 2, r.bottom() + 1, r.right() - 2, r.bottom() + 1);
    // faint inner glow along the top, as behind glass
    p.setPen(QColor(0x1a, 0x2a, 0x3a));
    p.drawLine(r.left() + 2, r.top() + 1, r.right() - 2, r.top() + 1);
}

// A slider groove over the seven rows where the bar is drawn.
void groove(QPainter& p, int left, int right, int top)
{
    const QRect r(left, top - 1, right - left + 1, 9);
    p.fillRect(r.adjusted(1, 1, -1, -1), Groove);
    roundFrame(p, r, Outline);
    p.setPen(GrooveLight);
    p.drawLine(r.left() + 1, r.bottom() + 1, r.right() - 1, r.bottom() + 1);
}

QPen glyphPen(const QColor& c, qreal w = 1.0)
{
    QPen pen(c, w);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

// Symbols of the push buttons, drawn into the box (the bitmap's own rectangle).
void drawGlyph(QPainter& p, const QString& g, const QRectF& box, const QColor& fg, const QColor& accent)
{
    p.save();
    p.translate(box.topLeft());
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBrush(Qt::NoBrush);
    const QPen pen = glyphPen(fg);
    p.setPen(pen);
    if (g == "menu") { // the program's mark: a ring with a red record dot
        p.setPen(glyphPen(accent, 1.6));
        p.drawEllipse(QRectF(2.3, 2.3, 13.4, 13.4));
        p.setPen(Qt::NoPen);
        p.setBrush(fg == GlyphOff ? GlyphOff : (fg == GlyphHover ? RecordRed.lighter(120) : RecordRed));
        p.drawEllipse(QRectF(5.5, 5.5, 7, 7));
    } else if (g == "filelist") {
        p.setRenderHint(QPainter::Antialiasing, false);
        for (int i = 0; i < 3; ++i) {
            p.fillRect(QRect(2, 4 + 3 * i, 2, 2), accent);
            p.fillRect(QRect(5, 4 + 3 * i, 9, 2), fg);
        }
    } else if (g == "minimize") {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillRect(QRect(4, 10, 8, 2), fg);
    } else if (g == "close") {
        p.setPen(glyphPen(fg, 1.6));
        p.drawLine(QPointF(4.5, 4.5), QPointF(11.5, 11.5));
        p.drawLine(QPointF(11.5, 4.5), QPointF(4.5, 11.5));
    } else if (g == "closelist") { // chevron up: fold the list away
        p.setPen(glyphPen(fg, 1.6));
        p.drawPolyline(QPolygonF({QPointF(4, 10), QPointF(8, 6), QPointF(12, 10)}));
    } else if (g == "open") { // a page with a folded corner
        QPainterPath page;
        page.moveTo(3.5, 1.5);
        page.lineTo(9.5, 1.5);
        page.lineTo(12.5, 4.5);
        page.lineTo(12.5, 14.5);
        page.lineTo(3.5, 14.5);
        page.closeSubpath();
        p.drawPath(page);
        p.drawPolyline(QPolygonF({QPointF(9.5, 1.5), QPointF(9.5, 4.5), QPointF(12.5, 4.5)}));
        p.setPen(glyphPen(accent));
        p.drawLine(QPointF(5.5, 8.5), QPointF(10.5, 8.5));
        p.drawLine(QPointF(5.5, 11.5), QPointF(10.5, 11.5));
    } else if (g == "format") { // a wave over a base line
        QPainterPath wave;
        wave.moveTo(1.5, 8);
        for (int i = 0; i <= 26; ++i) {
            const qreal x = 1.5 + i * 0.5;
            wave.lineTo(x, 8 - 4.5 * std::sin(i * 3.14159 / 6.5));
        }
        p.setPen(glyphPen(accent, 1.3));
        p.drawPath(wave);
        p.setPen(pen);
        p.drawLine(QPointF(1.5, 14.5), QPointF(14.5, 14.5));
    } else if (g == "spectrum") { // bars and a drop-down mark
        p.setRenderHint(QPainter::Antialiasing, false);
        const int h[] = {6, 10, 13, 8, 11};
        for (int i = 0; i < 5; ++i)
            p.fillRect(QRect(1 + 3 * i, 15 - h[i], 2, h[i]), i == 2 ? accent : fg);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(Qt::NoPen);
        p.setBrush(fg);
        p.drawPolygon(QPolygonF({QPointF(17, 7), QPointF(23, 7), QPointF(20, 10.5)}));
    } else if (g == "openfolder" || g == "browse" || g == "dirglyph") {
        QPainterPath folder;
        folder.moveTo(1.5, 3.5);
        folder.lineTo(6.5, 3.5);
        folder.lineTo(8.0, 5.0);
        folder.lineTo(14.5, 5.0);
        folder.lineTo(14.5, 13.5);
        folder.lineTo(1.5, 13.5);
        folder.closeSubpath();
        p.drawPath(folder);
        p.setPen(glyphPen(accent));
        p.drawLine(QPointF(1.5, 7.5), QPointF(14.5, 7.5));
        if (g == "browse") {
            p.setPen(Qt::NoPen);
            p.setBrush(fg);
            for (int i = 0; i < 3; ++i)
                p.drawRect(QRectF(4.5 + 3 * i, 9.5, 1.5, 1.5));
        }
    } else if (g == "refresh") {
        p.setPen(glyphPen(fg, 1.4));
        p.drawArc(QRectF(2.5, 2.5, 11, 11), 60 * 16, 280 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(accent);
        p.drawPolygon(QPolygonF({QPointF(9.0, 0.5), QPointF(13.5, 3.2), QPointF(9.0, 6.0)}));
    } else if (g == "delete") { // a bin
        p.drawLine(QPointF(2.5, 3.5), QPointF(13.5, 3.5));
        p.drawRect(QRectF(6.5, 1.5, 3, 2));
        QPainterPath bin;
        bin.moveTo(3.5, 3.5);
        bin.lineTo(4.5, 14.5);
        bin.lineTo(11.5, 14.5);
        bin.lineTo(12.5, 3.5);
        p.drawPath(bin);
        p.setPen(glyphPen(accent));
        p.drawLine(QPointF(6.5, 6.5), QPointF(6.5, 12.5));
        p.drawLine(QPointF(9.5, 6.5), QPointF(9.5, 12.5));
    } else if (g == "rename") { // a text caret over a field
        p.drawRect(QRectF(1.5, 4.5, 13, 7));
        p.setPen(glyphPen(accent));
        p.drawLine(QPointF(9.5, 2.5), QPointF(9.5, 13.5));
        p.drawLine(QPointF(8.0, 2.5), QPointF(11.0, 2.5));
        p.drawLine(QPointF(8.0, 13.5), QPointF(11.0, 13.5));
        p.setPen(Qt::NoPen);
        p.setBrush(fg);
        p.drawRect(QRectF(3.5, 7, 4, 2));
    } else if (g == "join") { // two clips pushed together
        p.drawRect(QRectF(1.5, 4.5, 5, 7));
        p.drawRect(QRectF(9.5, 4.5, 5, 7));
        p.setPen(glyphPen(accent, 1.4));
        p.drawLine(QPointF(6.5, 8), QPointF(9.5, 8));
        p.drawLine(QPointF(8, 6.5), QPointF(8, 9.5));
    } else if (g == "edit") { // scissors over a wave (17 x 17)
        p.setPen(glyphPen(accent, 1.2));
        QPainterPath wave;
        wave.moveTo(1, 4);
        for (int i = 0; i <= 30; ++i)
            wave.lineTo(1 + i * 0.5, 4 - 2.5 * std::sin(i * 3.14159 / 4));
        p.drawPath(wave);
        p.setPen(glyphPen(fg, 1.2));
        p.drawEllipse(QRectF(2.5, 11.5, 4, 4));
        p.drawEllipse(QRectF(10.5, 11.5, 4, 4));
        p.drawLine(QPointF(6, 12), QPointF(12, 6.5));
        p.drawLine(QPointF(11, 12), QPointF(5, 6.5));
    } else if (g == "convert") { // two arrows passing each other
        p.setPen(glyphPen(fg, 1.3));
        p.drawLine(QPointF(2, 5.5), QPointF(12, 5.5));
        p.drawPolyline(QPolygonF({QPointF(9.5, 2.5), QPointF(12.5, 5.5), QPointF(9.5, 8.5)}));
        p.setPen(glyphPen(accent, 1.3));
        p.drawLine(QPointF(4, 11.5), QPointF(14, 11.5));
        p.drawPolyline(QPolygonF({QPointF(6.5, 8.5), QPointF(3.5, 11.5), QPointF(6.5, 14.5)}));
    }
    p.restore();
}

// Symbols of the round buttons and the little symbols beside the volume sliders.
void drawSymbol(QPainter& p, const QString& kind, const QPointF& c, qreal s, const QColor& fg)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(fg);
    if (kind == "record") {
        p.drawEllipse(c, s * 0.22, s * 0.22);
    } else if (kind == "play") {
        const qreal h = s * 0.36;
        p.drawPolygon(QPolygonF({QPointF(c.x() - h * 0.42, c.y() - h * 0.55),
                                 QPointF(c.x() + h * 0.62, c.y()),
                                 QPointF(c.x() - h * 0.42, c.y() + h * 0.55)}));
    } else if (kind == "stop") {
        const int a = 7;
        p.setRenderHint(QPainter::Antialiasing, false);
        p.drawRect(QRect(int(c.x()) - a / 2, int(c.y()) - a / 2, a, a));
    } else if (kind == "previous" || kind == "next") {
        const bool next = kind == "next";
        const qreal d = next ? 1 : -1;
        p.setRenderHint(QPainter::Antialiasing, true);
        for (int i = 0; i < 2; ++i) {
            const qreal x0 = c.x() - d * 3.5 + d * i * 3.5;
            p.drawPolygon(QPolygonF({QPointF(x0, c.y() - 3.5), QPointF(x0 + d * 3.5, c.y()),
                                     QPointF(x0, c.y() + 3.5)}));
        }
        p.setRenderHint(QPainter::Antialiasing, false);
        const int bar = next ? int(c.x() + 3.5) : int(c.x() - 4.5);
        p.drawRect(QRect(bar, int(c.y() - 3.5), 1, 7));
    } else if (kind == "mute" || kind == "speaker") {
        QPainterPath sp;
        sp.moveTo(c.x() - 4.5, c.y() - 1.8);
        sp.lineTo(c.x() - 2.5, c.y() - 1.8);
        sp.lineTo(c.x() + 0.5, c.y() - 4.5);
        sp.lineTo(c.x() + 0.5, c.y() + 4.5);
        sp.lineTo(c.x() - 2.5, c.y() + 1.8);
        sp.lineTo(c.x() - 4.5, c.y() + 1.8);
        sp.closeSubpath();
        p.drawPath(sp);
        p.setBrush(Qt::NoBrush);
        p.setPen(glyphPen(fg, 1.1));
        p.drawArc(QRectF(c.x() - 3, c.y() - 3.5, 6.5, 7), -50 * 16, 100 * 16);
    } else if (kind == "source" || kind == "mic") { // a microphone
        p.drawRoundedRect(QRectF(c.x() - 1.8, c.y() - 5, 3.6, 6.5), 1.8, 1.8);
        p.setBrush(Qt::NoBrush);
        p.setPen(glyphPen(fg, 1.1));
        p.drawArc(QRectF(c.x() - 3.6, c.y() - 3.5, 7.2, 6.5), 180 * 16, 180 * 16);
        p.drawLine(QPointF(c.x(), c.y() + 3), QPointF(c.x(), c.y() + 5));
        p.drawLine(QPointF(c.x() - 2, c.y() + 5), QPointF(c.x() + 2, c.y() + 5));
    }
    p.restore();
}

// Slide pictures as pixel maps: '.' key, 'o' outline, 'h' light edge, 'b' body, 's' shade,
// 'g' grip.
const char* const Slide20[] = {
    "..oooooooooooooooo..",
    ".ohhhhhhhhhhhhhhhho.",
    "ohbbbbbbbbbbbbbbbbso",
    "ohbbbbbbgbbgbbbbbbso",
    "ohbbbbbbgbbgbbbbbbso",
    "ohbbbbbbgbbgbbbbbbso",
    "ohbbbbbbgbbgbbbbbbso",
    "ohbbbbbbgbbgbbbbbbso",
    "ohbbbbbbbbbbbbbbbbso",
    ".osssssssssssssssso.",
    "..oooooooooooooooo..",
};
const char* const Slide12[] = {
    "..oooooooo..",
    ".ohhhhhhhho.",
    "ohhbbbbbbbso",
    "ohbbbbbbbbso",
    "ohbbbbbbbbso",
    "ohbbgbbgbbso",
    "ohbbgbbgbbso",
    "ohbbgbbgbbso",
    "ohbbbbbbbbso",
    "ohbbbbbbbbso",
    "ohbbbbbbbsso",
    ".osssssssso.",
    "..oooooooo..",
};

struct PushPlace {
    const char* name;
    const char* glyph;
    int x, y, w, h;    // control
    int bw, bh;        // bitmap
    bool disabledLook; // tool buttons have one, title buttons do not
};

const PushPlace PushButtons[] = {
    {"icon", "menu", 4, 4, 20, 20, 18, 18, false},
    {"filelist", "filelist", 200, 4, 20, 20, 16, 16, false},
    {"minimize", "minimize", 222, 4, 20, 20, 16, 16, false},
    {"close", "close", 244, 4, 20, 20, 16, 16, false},
    {"closelist", "closelist", 244, 172, 20, 20, 16, 16, false},
    {"open", "open", 8, 30, 20, 20, 16, 16, true},
    {"format", "format", 32, 30, 20, 20, 16, 16, true},
    {"spectrum", "spectrum", 56, 30, 28, 20, 24, 16, true},
    {"openfolder", "openfolder", 8, 196, 20, 20, 16, 16, true},
    {"browse", "browse", 32, 196, 20, 20, 16, 16, true},
    {"refresh", "refresh", 56, 196, 20, 20, 16, 16, true},
    {"delete", "delete", 80, 196, 20, 20, 16, 16, true},
    {"rename", "rename", 104, 196, 20, 20, 16, 16, true},
    {"join", "join", 192, 196, 20, 20, 16, 16, true},
    {"edit", "edit", 216, 196, 20, 20, 17, 17, true},
    {"convert", "convert", 240, 196, 20, 20, 16, 16, true},
};

struct RoundPlace {
    const char* name;
    int x, y, size;
    bool downLooks;
};

const RoundPlace RoundButtons[] = {
    {"record", 8, 127, 28, true},  {"play", 40, 127, 28, true},
    {"stop", 73, 131, 21, false},  {"previous", 106, 130, 21, false},
    {"next", 133, 130, 21, false}, {"mute", 244, 122, 18, true},
    {"source", 244, 144, 18, false},
};

bool insideCircle(int x, int y, int size)
{
    const qreal c = size / 2.0;
    const qreal dx = x + 0.5 - c, dy = y + 0.5 - c;
    return dx * dx + dy * dy <= c * c;
}

} // namespace

SkinArt::SkinArt() : skin_(makeSkin()) {}

QList<QPoint> SkinArt::keyPixels()
{
    QList<QPoint> out;
    // Corners: 4, 2, 1 and 1 pixels per row from the edge inwards.
    const int corner[4] = {4, 2, 1, 1};
    for (int r = 0; r < 4; ++r)
        for (int i = 0; i < corner[r]; ++i) {
            out << QPoint(i, r) << QPoint(Width - 1 - i, r) << QPoint(i, Height - 1 - r)
                << QPoint(Width - 1 - i, Height - 1 - r);
        }
    // Side notches over rows 164..171: 8, 4, 2 and 2 pixels in columns 0..3, mirrored.
    const int first[4] = {164, 166, 167, 167};
    const int count[4] = {8, 4, 2, 2};
    for (int c = 0; c < 4; ++c)
        for (int i = 0; i < count[c]; ++i)
            out << QPoint(c, first[c] + i) << QPoint(Width - 1 - c, first[c] + i);
    return out;
}

QImage SkinArt::makeSkin() const
{
    QImage img(Width, Height, QImage::Format_RGB32);
    QPainter p(&img);

    // Body
    QLinearGradient body(0, 0, 0, Height);
    body.setColorAt(0, BodyTop);
    body.setColorAt(0.45, BodyBottom);
    body.setColorAt(0.47, BodyTop.darker(108));
    body.setColorAt(1, BodyBottom);
    p.fillRect(img.rect(), body);

    // Title bar
    QLinearGradient title(0, 0, 0, 27);
    title.setColorAt(0, TitleTop);
    title.setColorAt(1, TitleBottom);
    p.fillRect(QRect(0, 0, Width, 27), title);
    p.setPen(QColor(0x14, 0x16, 0x1a));
    p.drawLine(0, 27, Width, 27);
    p.setPen(QColor(0x38, 0x3d, 0x46));
    p.drawLine(0, 28, Width, 28);

    // File-name strip and the information display
    lcdPanel(p, QRect(86, 31, 150, 19));
    lcdPanel(p, QRect(6, 52, 258, 51));
    // spectrum box inside the display
    p.setPen(QColor(0x16, 0x24, 0x31));
    p.drawRect(QRect(9, 55, 89, 45));
    p.setPen(QColor(0x14, 0x20, 0x2c));
    p.drawLine(101, 55, 101, 99);
    // unit captions beside the value labels, and a meter scale
    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPixelSize(8);
    p.setFont(small);
    p.setPen(LcdCaption);
    p.drawText(QPoint(127, 82), QStringLiteral("kbps"));
    p.drawText(QPoint(196, 82), QStringLiteral("Hz"));
    p.drawText(QPoint(235, 82), QStringLiteral("bit"));
    for (int x = 104; x < 258; x += 7) {
        p.setPen(QColor(0x18, 0x26, 0x34));
        p.drawLine(x, 101, x, 101);
    }

    // Position slider groove (bar rows 109..115)
    groove(p, 3, 266, 109);

    // Transport well
    {
        const QRect well(4, 123, 153, 36);
        QLinearGradient g(well.topLeft(), well.bottomLeft());
        g.setColorAt(0, QColor(0x1b, 0x1e, 0x23));
        g.setColorAt(1, QColor(0x23, 0x27, 0x2d));
        p.fillRect(well.adjusted(1, 1, -1, -1), g);
        roundFrame(p, well, QColor(0x12, 0x14, 0x18));
        p.setPen(QColor(0x36, 0x3b, 0x44));
        p.drawLine(well.left() + 1, well.bottom() + 1, well.right() - 1, well.bottom() + 1);
    }
    // Volume grooves (bar rows 129..135 and 151..157) and their symbols
    groove(p, 172, 235, 129);
    groove(p, 172, 235, 151);
    drawSymbol(p, "speaker", QPointF(164.5, 132.5), 12, QColor(0x8d, 0x96, 0xa1));
    drawSymbol(p, "mic", QPointF(164.5, 154.5), 12, QColor(0x8d, 0x96, 0xa1));

    // Waist between the recorder and the file list
    p.setPen(QColor(0x12, 0x14, 0x18));
    p.drawLine(0, 167, Width, 167);
    p.setPen(QColor(0x3a, 0x40, 0x49));
    p.drawLine(0, 168, Width, 168);

    // Folder line
    drawGlyph(p, "dirglyph", QRectF(5, 173, 16, 16), QColor(0x8d, 0x96, 0xa1), Accent);
    // The list's frame
    {
        const QRect frame(9, 217, 252, 134);
        p.fillRect(frame.adjusted(1, 1, -1, -1), QColor(0x15, 0x18, 0x1d));
        roundFrame(p, frame, QColor(0x0c, 0x0d, 0x10));
        p.setPen(QColor(0x36, 0x3b, 0x44));
        p.drawLine(frame.left() + 1, frame.bottom() + 1, frame.right() - 1, frame.bottom() + 1);
    }
    p.end();

    // The shape: key pixels, then an outline and a soft bevel that follow it.
    QImage shaped = img;
    for (const QPoint& k : keyPixels())
        shaped.setPixel(k, Key);
    auto isOut = [&](int x, int y) {
        return !shaped.valid(x, y) || (shaped.pixel(x, y) | 0xFF000000u) == Key;
    };
    QImage result = shaped;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            if (isOut(x, y))
                continue;
            const bool edge = isOut(x - 1, y) || isOut(x + 1, y) || isOut(x, y - 1) || isOut(x, y + 1);
            if (edge) {
                result.setPixel(x, y, opaque(Outline));
                continue;
            }
            const bool second = isOut(x - 2, y) || isOut(x + 2, y) || isOut(x, y - 2) || isOut(x, y + 2)
                                || isOut(x - 1, y - 1) || isOut(x + 1, y - 1) || isOut(x - 1, y + 1)
                                || isOut(x + 1, y + 1);
            if (second)
                result.setPixel(x, y, opaque(y < Height / 2 ? Bevel : Bevel.darker(125)));
        }
    // No body pixel may happen to have the key colour.
    const QList<QPoint> keys = keyPixels();
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            if ((result.pixel(x, y) | 0xFF000000u) == Key && !keys.contains(QPoint(x, y)))
                result.setPixel(x, y, qRgb(254, 0, 255));
    return result.convertToFormat(QImage::Format_RGB888);
}

QImage SkinArt::pushButton(const QString& glyph, QPoint at, QSize size, Look look) const
{
    // The skin under the bitmap's centred place, then the symbol.
    QImage img = skin_.copy(QRect(at, size)).convertToFormat(QImage::Format_RGB32);
    QPainter p(&img);
    if (look == Look::Hover) {
        QRadialGradient glow(QPointF(size.width() / 2.0, size.height() / 2.0), size.width() / 1.6);
        glow.setColorAt(0, QColor(0x4e, 0xa1, 0xff, 70));
        glow.setColorAt(1, QColor(0x4e, 0xa1, 0xff, 0));
        p.fillRect(img.rect(), glow);
    }
    const QColor fg = look == Look::Normal ? Glyph : look == Look::Hover ? GlyphHover : GlyphOff;
    const QColor accent = look == Look::Disabled ? GlyphOff : (look == Look::Hover ? Accent.lighter(125) : Accent);
    QColor closeFg = fg;
    if (glyph == "close" && look == Look::Hover)
        closeFg = QColor(0xff, 0x6b, 0x6b);
    drawGlyph(p, glyph, QRectF(0, 0, size.width(), size.height()), glyph == "close" ? closeFg : fg, accent);
    p.end();
    img.setPixel(0, 0, Key);
    return img.convertToFormat(QImage::Format_RGB888);
}

QImage SkinArt::roundButton(const QString& kind, QPoint at, int size, RoundLook look) const
{
    QImage img = skin_.copy(QRect(at, QSize(size, size))).convertToFormat(QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QPointF c(size / 2.0, size / 2.0);
    const qreal r = size / 2.0;
    const bool down = look == RoundLook::Down || look == RoundLook::DownHover;
    const bool hover = look == RoundLook::Hover || look == RoundLook::DownHover;
    const bool off = look == RoundLook::Disabled;

    // Face
    QColor faceTop(0x45, 0x4b, 0x55), faceBottom(0x25, 0x29, 0x30);
    if (down && kind == "record") {
        faceTop = QColor(0x7c, 0x22, 0x27);
        faceBottom = QColor(0x45, 0x10, 0x14);
    } else if (down && kind == "play") {
        faceTop = QColor(0x1f, 0x5c, 0x3c);
        faceBottom = QColor(0x10, 0x33, 0x21);
    } else if (down && kind == "mute") {
        faceTop = QColor(0x5c, 0x3a, 0x1c);
        faceBottom = QColor(0x33, 0x1f, 0x0f);
    }
    if (off) {
        faceTop = QColor(0x2e, 0x32, 0x38);
        faceBottom = QColor(0x24, 0x27, 0x2c);
    }
    if (hover) {
        faceTop = faceTop.lighter(118);
        faceBottom = faceBottom.lighter(115);
    }
    QLinearGradient face(0, 0, 0, size);
    face.setColorAt(0, faceTop);
    face.setColorAt(1, faceBottom);
    p.setPen(Qt::NoPen);
    p.setBrush(Outline);
    p.drawEllipse(c, r - 0.3, r - 0.3);
    p.setBrush(face);
    p.drawEllipse(c, r - 1.3, r - 1.3);
    // rim light at the top, accent ring on hover
    p.setBrush(Qt::NoBrush);
    if (hover) {
        p.setPen(QPen(Accent, 1.2));
        p.drawEllipse(c, r - 1.6, r - 1.6);
    } else {
        p.setPen(QPen(QColor(255, 255, 255, off ? 14 : 40), 1.0));
        p.drawArc(QRectF(1.8, 1.8, size - 3.6, size - 3.6), 30 * 16, 120 * 16);
    }

    // Symbol
    QColor fg = off ? GlyphOff : hover ? GlyphHover : Glyph;
    if (kind == "record")
        fg = off ? QColor(0x5c, 0x3b, 0x3e) : down ? QColor(0xff, 0x4d, 0x4d) : hover ? RecordRed.lighter(118) : RecordRed;
    if (kind == "play" && down)
        fg = hover ? PlayGreen.lighter(115) : PlayGreen;
    if ((kind == "record" || kind == "play") && down && !off) {
        // a soft glow behind the lit symbol
        QRadialGradient glow(c, r * 0.7);
        QColor g = fg;
        g.setAlpha(110);
        glow.setColorAt(0, g);
        g.setAlpha(0);
        glow.setColorAt(1, g);
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(c, r * 0.7, r * 0.7);
    }
    drawSymbol(p, kind, c, size, fg);
    if (kind == "mute" && down) { // muted: a red slash over the speaker
        p.setPen(QPen(QColor(0xff, 0x5a, 0x5a), 1.4));
        p.drawLine(QPointF(size * 0.25, size * 0.75), QPointF(size * 0.75, size * 0.25));
    }
    p.end();
    return img.convertToFormat(QImage::Format_RGB888);
}

QImage SkinArt::roundMask(int size)
{
    QImage m(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            m.setPixel(x, y, insideCircle(x, y, size) ? qRgb(0, 0, 0) : Key);
    return m.convertToFormat(QImage::Format_RGB888);
}

QImage SkinArt::slide(int kind, Look look)
{
    const char* const* rows = kind == 20 ? Slide20 : Slide12;
    const int h = kind == 20 ? 11 : 13;
    const int w = kind == 20 ? 20 : 12;
    QColor o(0x0d, 0x0f, 0x12), hi(0xec, 0xef, 0xf3), b(0xc4, 0xca, 0xd2), s(0x8a, 0x92, 0x9c),
        g(0x78, 0x80, 0x8a);
    if (look == Look::Hover) {
        o = QColor(0x12, 0x3a, 0x66);
        hi = QColor(0xff, 0xff, 0xff);
        b = QColor(0xdd, 0xeb, 0xfb);
        s = QColor(0x8f, 0xb4, 0xdc);
        g = QColor(0x4e, 0xa1, 0xff);
    } else if (look == Look::Disabled) {
        hi = QColor(0x5a, 0x60, 0x68);
        b = QColor(0x46, 0x4b, 0x53);
        s = QColor(0x37, 0x3b, 0x42);
        g = QColor(0x37, 0x3b, 0x42);
    }
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const char ch = rows[y][x];
            const QColor colour = ch == 'o' ? o : ch == 'h' ? hi : ch == 'b' ? b : ch == 's' ? s : g;
            img.setPixel(x, y, ch == '.' ? Key : opaque(colour));
        }
    return img.convertToFormat(QImage::Format_RGB888);
}

QImage SkinArt::menuIcon(int index)
{
    QImage img(16, 16, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    // For the dark menus.
    const QColor ink(0xbd, 0xc5, 0xce), blue(0x5a, 0xa9, 0xff), amber(0xe0, 0xa1, 0x2e),
        red(0xd9, 0x3b, 0x40), green(0x2e, 0xb8, 0x6e);
    switch (index) {
    case 0: drawGlyph(p, "open", img.rect(), ink, blue); break;
    case 1: {
        p.setPen(Qt::NoPen);
        p.setBrush(amber);
        QPainterPath f;
        f.moveTo(1, 3); f.lineTo(6.5, 3); f.lineTo(8, 4.5); f.lineTo(15, 4.5);
        f.lineTo(15, 14); f.lineTo(1, 14); f.closeSubpath();
        p.drawPath(f);
        p.setBrush(amber.lighter(125));
        p.drawRect(QRectF(1, 7, 14, 7));
        break;
    }
    case 2: drawGlyph(p, "format", img.rect(), ink, blue); break;
    case 3: drawSymbol(p, "mic", QPointF(8, 8), 16, ink); break;
    case 4: drawSymbol(p, "play", QPointF(8, 8), 16, green); break;
    case 5: drawSymbol(p, "stop", QPointF(8, 8), 16, ink); break;
    case 6: drawSymbol(p, "record", QPointF(8, 8), 16, red); break;
    case 7: { // tools: a wrench
        p.setPen(QPen(ink, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3.5, 12.5), QPointF(9, 7));
        p.setPen(QPen(ink, 1.8));
        p.drawArc(QRectF(8, 2, 6.5, 6.5), -100 * 16, 280 * 16);
        break;
    }
    case 8: drawSymbol(p, "speaker", QPointF(8.5, 8), 16, ink); break;
    case 9: drawGlyph(p, "filelist", img.rect(), ink, blue); break;
    case 10: drawGlyph(p, "refresh", img.rect(), ink, blue); break;
    case 11: drawGlyph(p, "delete", img.rect(), ink, red); break;
    case 12: { // exit: a power sign
        p.setPen(QPen(red, 1.8, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(2.5, 2.5, 11, 11), 120 * 16, 300 * 16);
        p.drawLine(QPointF(8, 1.5), QPointF(8, 7.5));
        break;
    }
    case 13: drawGlyph(p, "edit", QRectF(0, 0, 16, 16), ink, blue); break;
    case 14: drawGlyph(p, "convert", img.rect(), ink, blue); break;
    case 15: drawGlyph(p, "join", img.rect(), ink, blue); break;
    default: break;
    }
    p.end();
    return img;
}

QImage SkinArt::programIcon(int size)
{
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(size / 48.0, size / 48.0); // drawn on a 48-unit grid
    // Body: the window's dark gradient in a rounded square with its outline and bevel.
    const QRectF body(2, 2, 44, 44);
    QLinearGradient g(body.topLeft(), body.bottomLeft());
    g.setColorAt(0, TitleTop);
    g.setColorAt(1, BodyBottom);
    p.setPen(QPen(Outline, 1.5));
    p.setBrush(g);
    p.drawRoundedRect(body, 9, 9);
    p.setPen(QPen(Bevel, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(body.adjusted(1.5, 1.5, -1.5, -1.5), 7.5, 7.5);
    // The mark: blue ring, red record dot with a soft highlight.
    p.setPen(QPen(Accent, 4.0));
    p.drawEllipse(QPointF(24, 24), 13.5, 13.5);
    QRadialGradient dot(QPointF(21.5, 21.5), 9);
    dot.setColorAt(0, RecordRed.lighter(135));
    dot.setColorAt(1, RecordRed);
    p.setPen(Qt::NoPen);
    p.setBrush(dot);
    p.drawEllipse(QPointF(24, 24), 7.5, 7.5);
    p.end();
    return img.convertToFormat(QImage::Format_ARGB32);
}

QList<SkinArt::Picture> SkinArt::pictures() const
{
    QList<Picture> out;
    out << Picture{QStringLiteral("skin"), skin_};
    for (const PushPlace& b : PushButtons) {
        const QPoint at(b.x + (b.w - b.bw) / 2, b.y + (b.h - b.bh) / 2);
        const QSize size(b.bw, b.bh);
        const QString name = QString::fromLatin1(b.name);
        out << Picture{name + "_n", pushButton(b.glyph, at, size, Look::Normal)};
        out << Picture{name + "_a", pushButton(b.glyph, at, size, Look::Hover)};
        if (b.disabledLook)
            out << Picture{name + "_d", pushButton(b.glyph, at, size, Look::Disabled)};
    }
    for (const RoundPlace& b : RoundButtons) {
        const QPoint at(b.x, b.y);
        const QString name = QStringLiteral("round_") + QString::fromLatin1(b.name);
        out << Picture{name + "_n", roundButton(b.name, at, b.size, RoundLook::Normal)};
        out << Picture{name + "_a", roundButton(b.name, at, b.size, RoundLook::Hover)};
        out << Picture{name + "_d", roundButton(b.name, at, b.size, RoundLook::Disabled)};
        if (b.downLooks) {
            out << Picture{name + "_dn", roundButton(b.name, at, b.size, RoundLook::Down)};
            out << Picture{name + "_da", roundButton(b.name, at, b.size, RoundLook::DownHover)};
        }
    }
    for (int size : {28, 21, 18})
        out << Picture{QStringLiteral("mask_%1").arg(size), roundMask(size)};
    for (int kind : {20, 12}) {
        const QString name = QStringLiteral("slide%1").arg(kind);
        out << Picture{name + "_n", slide(kind, Look::Normal)};
        out << Picture{name + "_a", slide(kind, Look::Hover)};
        out << Picture{name + "_d", slide(kind, Look::Disabled)};
    }
    for (int i = 0; i < 16; ++i)
        out << Picture{QStringLiteral("menu_%1").arg(i, 2, 10, QLatin1Char('0')), menuIcon(i)};
    return out;
}
