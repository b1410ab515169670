#include "skin/TQLTButton.h"

#include <QPainter>

namespace skin {

TQLTButton::TQLTButton(QWidget* parent, CursorSource cursor)
    : SkinButton(parent, std::move(cursor))
{
    resize(20, 20);
}

void TQLTButton::SetButtonBmp(const QImage& bitmap) { buttonBmp_ = toBitmap(bitmap); }
void TQLTButton::SetActiveButtonBmp(const QImage& bitmap) { activeButtonBmp_ = toBitmap(bitmap); }
void TQLTButton::SetDisenableButtonBmp(const QImage& bitmap) { disenableButtonBmp_ = toBitmap(bitmap); }

void TQLTButton::SetEnabled(bool enabled)
{
    setPolling(enabled);
    setEnabledState(enabled);
}

bool TQLTButton::polling() const { return isPolling(); }

void TQLTButton::followPointer(const QPoint& p)
{
    const bool inside = strictlyInside(p);
    setHandCursor(inside);
    setHovered(inside);
}

void TQLTButton::paintTo(QPainter& painter)
{
    const QRgb key = keyColourOf(buttonBmp_);
    const bool enabled = Enabled(), hover = hovered();
    const QImage& bitmap = !enabled ? disenableButtonBmp_ : hover ? activeButtonBmp_ : buttonBmp_;
    if (!bitmap.isNull()) {
        // Integer division truncates toward zero, as the layout expects (16 in 20 gives 2).
        const int left = (width() - bitmap.width()) / 2;
        const int top = (height() - bitmap.height()) / 2;
        painter.drawImage(left, top, withKeyTransparent(bitmap, key));
    }

    QColor border;
    if (enabled && hover)
        border = ActiveBorderColor;
    else if (enabled && AlwayBorder)
        border = BorderColor;
    else if (!enabled && AlwayBorder)
        border = DisenableBorderColor;
    if (!border.isValid())
        return;
    // A 3 x 3 rounded corner on a one-pixel outline leaves out the four corner pixels.
    const int w = width(), h = height();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(border);
    painter.drawLine(1, 0, w - 2, 0);
    painter.drawLine(1, h - 1, w - 2, h - 1);
    painter.drawLine(0, 1, 0, h - 2);
    painter.drawLine(w - 1, 1, w - 1, h - 2);
}

} // namespace skin
