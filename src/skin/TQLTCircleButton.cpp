#include "skin/TQLTCircleButton.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

namespace skin {

TQLTCircleButton::TQLTCircleButton(QWidget* parent, CursorSource cursor)
    : SkinControl(parent, std::move(cursor)), timer_(new QTimer(this))
{
    resize(40, 40);
    SetShowHint(true);
    timer_->setInterval(100);
    connect(timer_, &QTimer::timeout, this, &TQLTCircleButton::GetMousePosTimer);
    timer_->start();
}

void TQLTCircleButton::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    update();
}

void TQLTCircleButton::SetDown(bool down)
{
    down_ = down;
    update();
}

void TQLTCircleButton::leave()
{
    setHandCursor(false);
    if (hovered_) {
        hovered_ = false;
        update();
    }
}

void TQLTCircleButton::GetMousePosTimer()
{
    const QRgb maskKey = keyColourOf(maskBmp_);
    const std::optional<QPoint> p = cursorInClient();
    if (!p)
        return;
    if (!strictlyInside(*p)) {
        leave();
        return;
    }
    const bool onOutline = maskBmp_.valid(*p) && !isKey(maskBmp_.pixel(*p), maskKey);
    if (!onOutline) {
        if (bShowHint && ShowHint())
            SetShowHint(false);
        leave();
        return;
    }
    if (bShowHint && !ShowHint())
        SetShowHint(true);
    if (enabled_) {
        setHandCursor(true);
        if (!hovered_) {
            hovered_ = true;
            update();
        }
    } else {
        setHandCursor(false); // hovered stays as it was
    }
}

void TQLTCircleButton::paintTo(QPainter& painter)
{
    const QImage* bitmap;
    if (!enabled_)
        bitmap = &disenableButtonBmp_;
    else if (hovered_)
        bitmap = down_ ? &downActiveButtonBmp_ : &activeButtonBmp_;
    else
        bitmap = down_ ? &downButtonBmp_ : &buttonBmp_;
    if (!bitmap->isNull())
        painter.drawImage(0, 0, *bitmap);
}

void TQLTCircleButton::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

void TQLTCircleButton::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton && enabled_ && hovered_)
        emit clicked();
}

} // namespace skin
