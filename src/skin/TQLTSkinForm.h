#pragma once
// The skin of a borderless window: paints the skin bitmap as the window's background, sizes
// the window to it, cuts the pixels of the key colour out of the window's shape, and moves
// the window when the bare skin is dragged with the left button. The key colour is the colour
// of the skin's top-left pixel; TransparentColor only triggers a rebuild.
#include <QBitmap>
#include <QColor>
#include <QImage>
#include <QWidget>

namespace skin {

class WindowDragger;

class TQLTSkinForm : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QImage SkinBmp READ SkinBmp WRITE SetSkinBmp)
    Q_PROPERTY(QColor TransparentColor READ TransparentColor WRITE SetTransparentColor)
public:
    // The owner is the window that is shaped and moved; it loses its frame here.
    explicit TQLTSkinForm(QWidget* owner);

    QImage SkinBmp() const { return skinBmp_; }
    void SetSkinBmp(const QImage& bitmap);
    QColor TransparentColor() const { return transparentColor_; }
    void SetTransparentColor(const QColor& colour);

    // Rebuilds the shape; the owner calls it after anything that recreated its native window.
    void Repaint();
    // Sizes this control and the owner to the skin and gives the owner its shape.
    void ReSetWndRgn();

    // The owner's shape for a skin: every pixel except those of the top-left pixel's colour.
    // A null bitmap for an empty skin.
    static QBitmap shapeMask(const QImage& skin);

    // What the control paints, as an image of its size.
    QImage renderImage() const;

signals:
    void painted();
    void regionChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void paintTo(QPainter& painter) const;

    QWidget* owner_;
    QImage skinBmp_;
    QColor transparentColor_{255, 0, 255};
    WindowDragger* dragger_;
};

} // namespace skin
