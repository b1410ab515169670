#pragma once
// The pictures of the main window: the shaped skin, the push-button, round-button, mask and
// slide bitmaps and the menu icons. Button pictures are drawn over the part of the skin they
// will lie on, so their soft edges blend with it although the controls only know a key colour.
#include <QImage>
#include <QList>
#include <QPoint>
#include <QString>

class SkinArt {
public:
    struct Picture {
        QString name;  // file name without extension
        QImage image;
    };

    SkinArt();

    const QImage& skin() const { return skin_; }
    // Every picture, the skin first.
    QList<Picture> pictures() const;

    // The program's icon for menus and launchers at size x size pixels, transparent around a
    // rounded body: the program's mark (the blue ring with the red record dot of the title
    // bar) drawn as a vector at each size, so small sizes stay sharp.
    static QImage programIcon(int size);
    // The sizes a desktop's icon theme usually asks for (hicolor/<n>x<n>/apps).
    static QList<int> programIconSizes() { return {16, 22, 24, 32, 48, 64, 128, 256}; }

    // The pixels of the key colour that shape the window, as the window expects them.
    static QList<QPoint> keyPixels();

    static constexpr QRgb Key = 0xFFFF00FF; // fuchsia
    static constexpr int Width = 270;
    static constexpr int Height = 358;

private:
    enum class Look { Normal, Hover, Disabled };
    enum class RoundLook { Normal, Hover, Down, DownHover, Disabled };

    QImage makeSkin() const;
    QImage pushButton(const QString& glyph, QPoint at, QSize size, Look look) const;
    QImage roundButton(const QString& kind, QPoint at, int size, RoundLook look) const;
    static QImage roundMask(int size);
    static QImage slide(int kind, Look look);
    static QImage menuIcon(int index);

    QImage skin_;
};
