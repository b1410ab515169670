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

void SkinButton::GetMousePosTimer()
{
    if (const std::optional<QPoint> p = cursorInClient())
        followPointer(*p);
}

void SkinButton::mousePressEvent(QMouseEvent* event)
{
    // Taking the press makes the release come back here.
    event->accept();
    if (event->button() == Qt::LeftButton && isPolling())
        followPointer(event->position().toPoint());
}

void SkinButton::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    if (isPolling())
        followPointer(event->position().toPoint());
    if (enabled_ && hovered_)
        emit clicked();
}

} // namespace skin
