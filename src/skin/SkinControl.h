#pragma once
// Common ground of the skinned controls: a windowless-looking widget that paints over the
// skin below it, finds the mouse by polling an injected cursor source, shows its hint as a
// tooltip only while ShowHint is on, and can render itself into an image (what the widget
// shows is exactly that image).
#include "skin/CursorSource.h"

#include <QImage>
#include <QWidget>

class QPainter;

namespace skin {

class SkinControl : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
public:
    explicit SkinControl(QWidget* parent, CursorSource cursor);

    void setCursorSource(CursorSource cursor);

    // The hint is the widget's tooltip text; either way of setting it gives the same result.
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool show);

    // The control's own drawing on a transparent background, the size of the control.
    QImage renderImage();

    // Colour of a bitmap's top-left pixel without alpha; the transparent key of that bitmap.
    static QRgb keyColourOf(const QImage& bitmap);
    // True when the pixel has the key colour (alpha ignored).
    static bool isKey(QRgb pixel, QRgb key) { return (pixel & 0xFFFFFF) == (key & 0xFFFFFF); }
    // Bitmaps are kept as 32-bit RGB so that pixel reads are exact.
    static QImage toBitmap(const QImage& image);
    // The bitmap with every key-coloured pixel made fully transparent.
    static QImage withKeyTransparent(const QImage& bitmap, QRgb key);

protected:
    // Cursor in client coordinates, or empty when the source cannot tell.
    std::optional<QPoint> cursorInClient() const;
    // Strictly inside: the edge row and column at 0 count as outside.
    bool strictlyInside(const QPoint& p) const;
    bool hasHandCursor() const;
    void setHandCursor(bool hand);

    virtual void paintTo(QPainter& painter) = 0;

    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    CursorSource cursor_;
    bool showHint_ = false;
};

} // namespace skin
