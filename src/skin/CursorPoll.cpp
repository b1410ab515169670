#include "skin/CursorPoll.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <algorithm>

namespace skin {

CursorPoll* CursorPoll::of(QWidget* widget)
{
    QWidget* window = widget->window();
    if (auto* poll = window->findChild<CursorPoll*>(QString(), Qt::FindDirectChildrenOnly))
        return poll;
    auto* poll = new CursorPoll(window);
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        poll->restOutside(window);
    return poll;
}

CursorPoll::CursorPoll(QObject* owner) : QObject(owner)
{
    timer_.setInterval(IntervalMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
        tick();
        updateTimer(); // the shared timer may run by now
    });
}

void CursorPoll::restOutside(QWidget* window)
{
    if (window_)
        window_->removeEventFilter(this);
    window_ = window;
    if (window)
        window->installEventFilter(this);
}

bool CursorPoll::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window_) {
        switch (event->type()) {
        case QEvent::Enter:
        case QEvent::MouseButtonPress:
        case QEvent::Show:
            wake();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void CursorPoll::shareTimer(QTimer* timer)
{
    if (shared_)
        disconnect(shared_, &QTimer::timeout, this, &CursorPoll::sharedTick);
    shared_ = timer;
    if (timer)
        connect(timer, &QTimer::timeout, this, &CursorPoll::sharedTick);
    updateTimer();
}

bool CursorPoll::running() const
{
    return wanted() && (timer_.isActive() || sharedRunning());
}

void CursorPoll::updateTimer()
{
    if (wanted() && !sharedRunning()) {
        if (!timer_.isActive())
            timer_.start();
    } else {
        timer_.stop();
    }
}

void CursorPoll::sharedTick()
{
    // The shared timer has started since: the own one hands over to it.
    timer_.stop();
    if (wanted())
        tick();
}

void CursorPoll::wake()
{
    resting_ = false;
    updateTimer();
}

void CursorPoll::tick()
{
    pollAll();
    // The members have just seen the cursor outside. A pointer that is over the window while
    // the window does not have it (a menu over it holds the mouse) keeps the poll going, so
    // nothing stays hovered once the menu closes.
    if (window_ && !window_->underMouse() && QGuiApplication::mouseButtons() == Qt::NoButton
        && !window_->rect().contains(window_->mapFromGlobal(QCursor::pos()))) {
        resting_ = true;
        updateTimer();
    }
}

void CursorPoll::join(QObject* member, std::function<void()> step)
{
    for (Member& m : members_) {
        if (m.object == member) {
            m.step = std::move(step);
            return;
        }
    }
    members_.push_back({member, std::move(step)});
    connect(member, &QObject::destroyed, this, [this, member] { leave(member); });
    updateTimer();
}

void CursorPoll::leave(QObject* member)
{
    const auto gone = std::remove_if(members_.begin(), members_.end(), [member](const Member& m) {
        return m.object.isNull() || m.object == member;
    });
    if (gone == members_.end())
        return;
    members_.erase(gone, members_.end());
    disconnect(member, &QObject::destroyed, this, nullptr);
    updateTimer();
}

bool CursorPoll::isMember(const QObject* member) const
{
    return std::any_of(members_.begin(), members_.end(),
                       [member](const Member& m) { return m.object == member; });
}

void CursorPoll::pollAll()
{
    // A step may make members leave or join (a click that disables another control): walk a
    // copy, and skip whoever left on the way.
    const std::vector<Member> now = members_;
    for (const Member& m : now) {
        if (m.object.isNull() || !isMember(m.object))
            continue;
        m.step();
    }
}

} // namespace skin
