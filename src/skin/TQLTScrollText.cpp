#include "skin/TQLTScrollText.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTimer>

namespace skin {

TQLTScrollText::TQLTScrollText(QWidget* parent)
    : SkinControl(parent, {}), timer_(new QTimer(this))
{
    resize(169, 13);
    timer_->setInterval(interval_);
    connect(timer_, &QTimer::timeout, this, &TQLTScrollText::SetStepTimer);
}

int TQLTScrollText::textWidth() const
{
    return QFontMetrics(font()).horizontalAdvance(caption_);
}

bool TQLTScrollText::timerRunning() const { return timer_->isActive(); }
int TQLTScrollText::timerInterval() const { return timer_->interval(); }

void TQLTScrollText::SetCaption(const QString& caption)
{
    caption_ = caption;
    // The text keeps its place; only the point where it wraps moves.
    wrapLimit_ = -textWidth();
    update();
    emit changed();
}

void TQLTScrollText::SetScroll(bool scroll)
{
    scroll_ = scroll;
    if (scroll) {
        textX_ = width();
        wrapLimit_ = -textWidth();
        timer_->start();
    } else {
        textX_ = 0;
        wrapLimit_ = 0;
        timer_->stop();
    }
    update();
}

void TQLTScrollText::SetInterval(int milliseconds)
{
    interval_ = milliseconds;
    timer_->setInterval(milliseconds);
}

void TQLTScrollText::SetStepTimer()
{
    textX_ -= Step;
    if (textX_ < wrapLimit_)
        textX_ = width();
    update();
}

void TQLTScrollText::paintTo(QPainter& painter)
{
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics metrics(font());
    painter.drawText(scroll_ ? textX_ : 0, metrics.ascent(), caption_);
}

} // namespace skin
