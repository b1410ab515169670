#include "skin/TQLTButton.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

namespace skin {

TQLTButton::TQLTButton(QWidget* parent, CursorSource cursor)
    : SkinControl(parent, std::move(cursor)), timer_(new QTimer(this))
{
    resize(20, 20);
    timer_->setInterval(100);
    connect(timer_, &QTimer::timeout, this, &TQLTButton::GetMousePosTimer);
    // A new button is enabled, so it polls from the start.
    timer_->start();
}

void TQLTButton::SetButtonBmp(const QImage& bitmap) { buttonBmp_ = toBitmap(bitmap); }
void TQLTButton::SetActiveButtonBmp(const QImage& bitmap) { activeButtonBmp_ = toBitmap(bitmap); }
void TQLTButton::SetDisenableButtonBmp(const QImage& bitmap) { disenableButtonBmp_ = toBitmap(bitmap); }

void TQLTButton::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    if (enabled)
        timer_->start();
    else
        timer_->stop();
    update();
}

bool TQLTButton::polling() const { return timer_->isActive(); }

void TQLTButton::GetMousePosTimer()
{
    const std::optional<QPoint> p = cursorInClient();
    if (!p)
        return;
    if (strictlyInside(*p)) {
        setHandCursor(true);
        if (!hovered_) {
            hovered_ = true;
            update();
        }
    } else {
        setHandCursor(false);
        if (hovered_) {
            hovered_ = false;
            update();
        }
    }
}

void TQLTButton::paintTo(QPainter& painter)
{
    const QRgb key = keyColourOf(buttonBmp_);
    const QImage& bitmap = !enabled_ ? disenableButtonBmp_ : hovered_ ? activeButtonBmp_ : buttonBmp_;
    if (!bitmap.isNull()) {
        // Integer division truncates toward zero, as the layout expects (16 in 20 gives 2).
        const int left = (width() - bitmap.width()) / 2;
        const int top = (height() - bitmap.height()) / 2;
        painter.drawImage(left, top, withKeyTransparent(bitmap, key));
    }

    QColor border;
    if (enabled_ && hovered_)
        border = ActiveBorderColor;
    else if (enabled_ && AlwayBorder)
        border = BorderColor;
    else if (!enabled_ && AlwayBorder)
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

void TQLTButton::mousePressEvent(QMouseEvent* event)
{
    // The press does nothing, but taking it makes the release come back here.
    event->accept();
}

void TQLTButton::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton && enabled_ && hovered_)
        emit clicked();
}

} // namespace skin
