#include "skin/TPaintBox.h"

#include <QPainter>

namespace skin {

TPaintBox::TPaintBox(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_NoSystemBackground);
}

void TPaintBox::setImage(const QImage& image)
{
    image_ = image;
    update();
}

void TPaintBox::paintEvent(QPaintEvent*)
{
    // An image that covers the whole box hides what lies under it: the window need not paint
    // the skin there first.
    setAttribute(Qt::WA_OpaquePaintEvent, image_.width() >= width() && image_.height() >= height() && !image_.hasAlphaChannel());
    if (!image_.isNull()) {
        QPainter painter(this);
        painter.drawImage(0, 0, image_);
    }
    emit painted();
}

} // namespace skin
