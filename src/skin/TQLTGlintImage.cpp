#include "skin/TQLTGlintImage.h"

#include <QPainter>
#include <QTimer>

namespace skin {

TQLTGlintImage::TQLTGlintImage(QWidget* parent)
    : SkinControl(parent, {}), timer_(new QTimer(this))
{
    resize(16, 16);
    timer_->setInterval(glintCycle_);
    connect(timer_, &QTimer::timeout, this, &TQLTGlintImage::SetGlintTimer);
}

void TQLTGlintImage::SetGlint(bool glint)
{
    glint_ = glint;
    if (glint)
        timer_->start();
    else
        timer_->stop();
    update();
}

void TQLTGlintImage::SetGlintCycle(int milliseconds)
{
    glintCycle_ = milliseconds;
    timer_->setInterval(milliseconds);
}

void TQLTGlintImage::SetImageIndex(int index)
{
    imageIndex_ = index;
    update();
}

bool TQLTGlintImage::timerRunning() const { return timer_->isActive(); }
int TQLTGlintImage::timerInterval() const { return timer_->interval(); }

void TQLTGlintImage::SetGlintTimer()
{
    phase_ = !phase_;
    update();
}

void TQLTGlintImage::paintTo(QPainter& painter)
{
    if (glint_ && !phase_)
        return; // hidden phase: what lies below shows through
    if (!Images || imageIndex_ < 0 || imageIndex_ >= Images->size())
        return;
    const QIcon& icon = Images->at(imageIndex_);
    const QList<QSize> sizes = icon.availableSizes();
    const QSize size = sizes.isEmpty() ? QSize(16, 16) : sizes.first();
    painter.drawPixmap(0, 0, icon.pixmap(size, 1.0, QIcon::Normal));
}

} // namespace skin
