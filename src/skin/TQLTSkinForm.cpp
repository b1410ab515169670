#include "skin/TQLTSkinForm.h"

#include "skin/WindowDragger.h"

#include <QMouseEvent>
#include <QPainter>

namespace skin {

TQLTSkinForm::TQLTSkinForm(QWidget* owner)
    : QWidget(owner), owner_(owner), dragger_(new WindowDragger(this))
{
    if (owner_ && owner_->isWindow())
        owner_->setWindowFlag(Qt::FramelessWindowHint, true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    resize(200, 100);
}

void TQLTSkinForm::SetSkinBmp(const QImage& bitmap)
{
    skinBmp_ = bitmap.isNull() ? QImage() : bitmap.convertToFormat(QImage::Format_RGB32);
    ReSetWndRgn();
    update();
}

void TQLTSkinForm::SetTransparentColor(const QColor& colour)
{
    transparentColor_ = colour;
    ReSetWndRgn();
    update();
}

void TQLTSkinForm::Repaint()
{
    ReSetWndRgn();
    update();
}

QBitmap TQLTSkinForm::shapeMask(const QImage& skin)
{
    if (skin.isNull() || skin.width() == 0 || skin.height() == 0)
        return QBitmap();
    const QImage rgb = skin.convertToFormat(QImage::Format_RGB32);
    const QRgb key = rgb.pixel(0, 0) | 0xFF000000u;
    // MaskInColor keeps every pixel that is not the key colour.
    return QBitmap::fromImage(rgb.createMaskFromColor(key, Qt::MaskInColor));
}

void TQLTSkinForm::ReSetWndRgn()
{
    if (skinBmp_.isNull())
        return;
    if (skinBmp_.width() > 0 && skinBmp_.height() > 0) {
        setGeometry(0, 0, skinBmp_.width(), skinBmp_.height());
        if (owner_) {
            owner_->resize(width(), height());
            owner_->setMask(shapeMask(skinBmp_));
        }
    }
    emit regionChanged();
}

QImage TQLTSkinForm::renderImage() const
{
    QImage image(size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintTo(painter);
    return image;
}

void TQLTSkinForm::paintTo(QPainter& painter) const
{
    if (!skinBmp_.isNull() && skinBmp_.width() > 0 && skinBmp_.height() > 0) {
        painter.drawImage(0, 0, skinBmp_);
    } else {
        // Placeholder outline while there is no skin.
        painter.setPen(Qt::black);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(0, 0, width() - 1, height() - 1);
    }
}

void TQLTSkinForm::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintTo(painter);
    painter.end();
    emit painted();
}

void TQLTSkinForm::mousePressEvent(QMouseEvent* event)
{
    if (!dragger_->press(this, event))
        event->accept(); // other buttons do nothing, and nothing reaches the window below
}

void TQLTSkinForm::mouseMoveEvent(QMouseEvent* event)
{
    dragger_->move(this, event);
    event->accept();
}

void TQLTSkinForm::mouseReleaseEvent(QMouseEvent* event)
{
    dragger_->release(this, event);
    event->accept();
}

} // namespace skin
