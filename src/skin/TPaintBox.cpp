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
    if (!image_.isNull()) {
        QPainter painter(this);
        painter.drawImage(0, 0, image_);
    }
    emit painted();
}

} // namespace skin
