#include "skin/WindowDragger.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace skin {

WindowDragger::WindowDragger(QObject* parent) : QObject(parent) {}

void WindowDragger::attach(QWidget* widget)
{
    widget->installEventFilter(this);
}

bool WindowDragger::press(QWidget* widget, QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return false;
    state_ = State::Pressed;
    pressGlobal_ = event->globalPosition().toPoint();
    windowStart_ = widget->window()->pos();
    event->accept();
    return true;
}

bool WindowDragger::move(QWidget* widget, QMouseEvent* event)
{
    if (state_ == State::Idle || !(event->buttons() & Qt::LeftButton))
        return false;
    QWidget* window = widget->window();
    const QPoint delta = event->globalPosition().toPoint() - pressGlobal_;
    if (state_ == State::Pressed) {
        if (delta.manhattanLength() < QApplication::startDragDistance())
            return true;
        // The window catches up with the cursor by hand first; the system move is asked for
        // on the next step, once the window manager knows the new place (it moves from where
        // it believes the window is). Not on the press: a system move begun on a plain click
        // leaves some window managers stuck in move mode.
        window->move(windowStart_ + delta);
        state_ = State::Catching;
        return true;
    }
    if (state_ == State::Catching) {
        QWindow* handle = window->windowHandle();
        if (handle && handle->startSystemMove()) {
            state_ = State::BySystem;
            return true;
        }
        state_ = State::ByHand;
    }
    if (state_ == State::ByHand)
        window->move(windowStart_ + delta);
    return true;
}

bool WindowDragger::release(QWidget*, QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || state_ == State::Idle)
        return false;
    state_ = State::Idle;
    return true;
}

bool WindowDragger::eventFilter(QObject* watched, QEvent* event)
{
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        return press(widget, static_cast<QMouseEvent*>(event));
    case QEvent::MouseMove:
        return move(widget, static_cast<QMouseEvent*>(event));
    case QEvent::MouseButtonRelease:
        return release(widget, static_cast<QMouseEvent*>(event));
    default:
        return false;
    }
}

} // namespace skin
