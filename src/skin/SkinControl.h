#pragma once
// Common ground of the skinned controls: a windowless-looking widget that paints over the
// skin below it, finds the mouse by polling an injected cursor source, shows its hint as a
// tooltip only while ShowHint is on, and can render itself into an image (what the widget
// shows is exactly that image).
#include "skin/CursorSource.h"

#include <functional>
#include <QPointer>

#include <QImage>
#include <QWidget>

class QPainter;

namespace skin {

class CursorPoll;

class SkinControl : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
public:
    explicit SkinControl(QWidget* parent, CursorSource cursor);

    void setCursorSource(CursorSource cursor);

    // The hint is the widget's tooltip text. With a key set, the tooltip shows the hint
    // followed by the key in brackets ("Record (R)") while Hint() stays the hint itself, so a
    // new hint (language change, transport state) keeps the key.
    QString Hint() const { return hint_; }
    void SetHint(const QString& hint);
    QString KeyHint() const { return keyHint_; }
    void SetKeyHint(const QString& key);
    // The tooltip text for a hint and a key: "hint (key)"; the bare hint without a key; empty
    // without a hint (an empty hint shows nothing).
    static QString hintWithKey(const QString& hint, const QString& key);
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

    // The cursor poll runs on the window's one shared 100 ms timer (see CursorPoll): joining
    // starts this control's step there, leaving stops it.
    void joinCursorPoll(std::function<void()> step);
    void leaveCursorPoll();
    bool inCursorPoll() const;

    virtual void paintTo(QPainter& painter) = 0;

    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    CursorSource cursor_;
    QPointer<CursorPoll> poll_;
    bool showHint_ = false;
    QString hint_, keyHint_;
};

} // namespace skin
