#pragma once
// Common ground of the push buttons over the skin (TQLTButton, TQLTCircleButton): a cursor
// poll every 100 ms marks the button hovered or not, and a left release clicks it only while
// it is enabled and marked hovered. Each button decides what counts as hovered and whether it
// keeps polling while disabled.
#include "skin/SkinControl.h"

namespace skin {

class SkinButton : public SkinControl {
    Q_OBJECT
public:
    bool Enabled() const { return enabled_; }
    bool hovered() const { return hovered_; }

public slots:
    // One poll of the cursor; the shared timer runs it every 100 ms.
    virtual void GetMousePosTimer() = 0;

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

    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool enabled_ = true;
    bool hovered_ = false;
};

} // namespace skin
