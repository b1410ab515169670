#pragma once
// Common ground of the push buttons over the skin (TQLTButton, TQLTCircleButton): a cursor
// poll every 100 ms marks the button hovered or not, and a left release clicks it only while
// it is enabled and marked hovered. A left press or release tells where the pointer is as
// well as a poll does: the button follows it first, so a press and release made before the
// next poll (a quick hand, a touch screen) clicks. Each button decides what counts as hovered
// and whether it keeps polling while disabled.
#include "skin/SkinControl.h"

namespace skin {

class SkinButton : public SkinControl {
    Q_OBJECT
public:
    bool Enabled() const { return enabled_; }
    bool hovered() const { return hovered_; }

public slots:
    // One poll of the cursor; the shared timer runs it every 100 ms.
    void GetMousePosTimer();

signals:
    void clicked();

protected:
    // A new button is enabled and polls from the start.
    SkinButton(QWidget* parent, CursorSource cursor);

    // Marks the button hovered or not; repaints only on a change.
    void setHovered(bool hovered);
    // Takes the enabled state and repaints.
    void setEnabledState(bool enabled);
    // Starts or stops this button's cursor poll on the window's shared timer.
    void setPolling(bool on);
    bool isPolling() const { return inCursorPoll(); }
    // What a poll does with the pointer at local point p: hover, hand cursor, hint.
    virtual void followPointer(const QPoint& p) = 0;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool enabled_ = true;
    bool hovered_ = false;
};

} // namespace skin
