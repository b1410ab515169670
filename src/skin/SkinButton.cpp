#include "skin/SkinButton.h"

#include <QMouseEvent>

namespace skin {

SkinButton::SkinButton(QWidget* parent, CursorSource cursor)
    : SkinControl(parent, std::move(cursor))
{
    setPolling(true);
}

void SkinButton::setPolling(bool on)
{
    if (on)
        joinCursorPoll([this] { GetMousePosTimer(); });
    else
        leaveCursorPoll();
}

void SkinButton::setHovered(bool hovered)
{
    if (hovered == hovered_)
        return;
    hovered_ = hovered;
    update();
}

void SkinButton::setEnabledState(bool enabled)
{
    enabled_ = enabled;
    update();
}

void SkinButton::mousePressEvent(QMouseEvent* event)
{
    // The press does nothing, but taking it makes the release come back here.
    event->accept();
}

void SkinButton::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton && enabled_ && hovered_)
        emit clicked();
}

} // namespace skin
