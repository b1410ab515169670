#include "skin/SkinSlider.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace skin {

namespace {

int clampByte(int v)
{
    return std::clamp(v, 0, 255);
}

// A horizontal line from x0 toward x1 with the end point left out, as the skin's bar rows
// have always been drawn (a line to the left of its start runs leftwards).
void lineWithoutEnd(QPainter& painter, int x0, int x1, int y)
{
    if (x1 > x0)
        painter.drawLine(x0, y, x1 - 1, y);
    else if (x1 < x0)
        painter.drawLine(x0, y, x1 + 1, y);
}

} // namespace

SkinSlider::SkinSlider(QWidget* parent, CursorSource cursor)
    : SkinControl(parent, std::move(cursor))
{
    resize(200, 11);
    SetProgressBarColor(colorFromValue(DefaultColorValue));
}

QColor SkinSlider::colorFromValue(int value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

void SkinSlider::SetProgressBarColor(const QColor& colour)
{
    color_ = colour;
    const int r = colour.red(), g = colour.green();
    auto shadeOf = [](int red, int green) { return QColor(clampByte(red), clampByte(green), 0); };
    shades_[0] = shadeOf(r - 41, g - 16);
    shades_[1] = shadeOf(r + 62, g + 24);
    shades_[2] = shadeOf(r + 58, g + 22);
    shades_[3] = shadeOf(r + 61, g + 23);
    shades_[4] = shadeOf(r + 45, g + 17);
    shades_[5] = colour;
    shades_[6] = shadeOf(r - 45, g - 19);
}

bool SkinSlider::polling() const
{
    return inCursorPoll();
}

int SkinSlider::valueFromSlide() const
{
    if (trackLength_ <= 0)
        return Min;
    return Min + static_cast<int>(static_cast<qint64>(Max - Min) * slidePos_ / trackLength_);
}

int SkinSlider::slideFromValue(int value) const
{
    if (Max <= Min)
        return 0;
    return static_cast<int>(static_cast<qint64>(value - Min) * trackLength_ / (Max - Min));
}

void SkinSlider::SetPos(int value)
{
    if (dragging_ || value < Min || value > Max)
        return;
    pos_ = value;
    slidePos_ = slideFromValue(value);
    update();
}

void SkinSlider::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    if (enabled) {
        joinCursorPoll([this] { GetMousePosTimer(); });
        return; // the disabled look stays until the next paint
    }
    leaveCursorPoll();
    // A drag cut short by disabling ends here; otherwise the slide would follow the cursor
    // once the slider is enabled again.
    dragging_ = false;
    pos_ = 0; // the slide stays where it is drawn
    setHandCursor(false);
    update();
}

void SkinSlider::fixGeometry()
{
    if (slideWidth_ != 0 || slideBmp_.isNull())
        return;
    slideWidth_ = slideBmp_.width();
    trackLength_ = width() - slideWidth_;
    slidePos_ = slideFromValue(pos_);
    key_ = keyColourOf(slideBmp_);
}

void SkinSlider::GetMousePosTimer()
{
    const std::optional<QPoint> p = cursorInClient();
    if (!p)
        return;
    if (dragging_) {
        setHandCursor(true);
        const int next = std::clamp(p->x() - grabOffset_, 0, std::max(trackLength_, 0));
        if (next == slidePos_)
            return;
        slidePos_ = next;
        update();
        pos_ = valueFromSlide();
        emit changing();
        return;
    }
    if (strictlyInside(*p)) {
        setHandCursor(true);
        overControl_ = true;
        const bool over = slidePos_ < p->x() && p->x() < slidePos_ + slideWidth_;
        if (over != overSlide_) {
            overSlide_ = over;
            update();
        }
    } else {
        setHandCursor(false);
        overControl_ = false;
        if (overSlide_) {
            overSlide_ = false;
            update();
        }
    }
}

void SkinSlider::paintTo(QPainter& painter)
{
    fixGeometry();
    if (slideBmp_.isNull())
        return;
    const QImage& look = !enabled_  ? disenableSlideBmp_
        : (dragging_ || overSlide_) ? activeSlideBmp_
                                    : slideBmp_;
    painter.setRenderHint(QPainter::Antialiasing, false);
    const int bandTop = (slideBmp_.height() - 7) / 2;
    int row = 0;
    for (int y = 0; y < slideBmp_.height(); ++y) {
        bool firstInRow = true;
        for (int x = 0; x < slideBmp_.width(); ++x) {
            if (isKey(slideBmp_.pixel(x, y), key_))
                continue;
            if (firstInRow && y >= bandTop && y <= bandTop + 6 && row < 7) {
                painter.setPen(shades_[static_cast<size_t>(row)]);
                lineWithoutEnd(painter, RowStarts[static_cast<size_t>(row)], slidePos_ + x, y);
                ++row;
            }
            firstInRow = false;
            const QRgb colour = look.valid(x, y) ? look.pixel(x, y) : slideBmp_.pixel(x, y);
            painter.setPen(QColor::fromRgb(colour | 0xFF000000u));
            painter.drawPoint(slidePos_ + x, y);
        }
    }
}

void SkinSlider::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton || !enabled_)
        return;
    const int x = event->position().toPoint().x();
    if (overSlide_) {
        grabOffset_ = x - slidePos_;
        dragging_ = true;
    } else if (overControl_) {
        slidePos_ = std::clamp(x - slideWidth_ / 2, 0, std::max(trackLength_, 0));
        pos_ = valueFromSlide();
        update();
        emit changed();
    }
}

void SkinSlider::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton || !enabled_ || !overSlide_)
        return;
    pos_ = valueFromSlide();
    dragging_ = false;
    emit changed();
}

} // namespace skin
