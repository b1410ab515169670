#include "skin/TQLTCircleButton.h"

#include <QPainter>

namespace skin {

TQLTCircleButton::TQLTCircleButton(QWidget* parent, CursorSource cursor)
    : SkinButton(parent, std::move(cursor))
{
    resize(40, 40);
    SetShowHint(true);
}

void TQLTCircleButton::SetEnabled(bool enabled)
{
    setEnabledState(enabled);
}

void TQLTCircleButton::SetDown(bool down)
{
    down_ = down;
    update();
}

void TQLTCircleButton::leave()
{
    setHandCursor(false);
    setHovered(false);
}

void TQLTCircleButton::followPointer(const QPoint& p)
{
    const QRgb maskKey = keyColourOf(maskBmp_);
    if (!strictlyInside(p)) {
        leave();
        return;
    }
    const bool onOutline = maskBmp_.valid(p) && !isKey(maskBmp_.pixel(p), maskKey);
    if (!onOutline) {
        if (bShowHint && ShowHint())
            SetShowHint(false);
        leave();
        return;
    }
    if (bShowHint && !ShowHint())
        SetShowHint(true);
    if (Enabled()) {
        setHandCursor(true);
        setHovered(true);
    } else {
        setHandCursor(false); // hovered stays as it was
    }
}

void TQLTCircleButton::paintTo(QPainter& painter)
{
    const QImage* bitmap;
    if (!Enabled())
        bitmap = &disenableButtonBmp_;
    else if (hovered())
        bitmap = down_ ? &downActiveButtonBmp_ : &activeButtonBmp_;
    else
        bitmap = down_ ? &downButtonBmp_ : &buttonBmp_;
    if (!bitmap->isNull())
        painter.drawImage(0, 0, *bitmap);
}

} // namespace skin
