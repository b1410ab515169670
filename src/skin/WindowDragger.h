#pragma once
// Moves a top-level window when the user drags one of the widgets it watches with the left
// button (the bare skin, the title, the file-name and folder labels). The move starts once
// the mouse has travelled the platform's drag distance, so a plain click stays a click; with
// a window manager the system move takes over, without one the window is moved by hand.
#include <QObject>
#include <QPoint>

class QWidget;
class QMouseEvent;

namespace skin {

class WindowDragger : public QObject {
    Q_OBJECT
public:
    explicit WindowDragger(QObject* parent = nullptr);

    // Watches the widget; drags move the widget's top-level window.
    void attach(QWidget* widget);

    // The three steps, also used directly by widgets that handle their own mouse events.
    // Each returns true when it consumed the event.
    bool press(QWidget* widget, QMouseEvent* event);
    bool move(QWidget* widget, QMouseEvent* event);
    bool release(QWidget* widget, QMouseEvent* event);

    bool dragging() const { return state_ != State::Idle; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class State { Idle, Pressed, Catching, ByHand, BySystem };
    State state_ = State::Idle;
    QPoint pressGlobal_;
    QPoint windowStart_;
};

} // namespace skin
