#include "skin/CursorPoll.h"

#include <QWidget>
#include <algorithm>

namespace skin {

CursorPoll* CursorPoll::of(QWidget* widget)
{
    QWidget* window = widget->window();
    if (auto* poll = window->findChild<CursorPoll*>(QString(), Qt::FindDirectChildrenOnly))
        return poll;
    return new CursorPoll(window);
}

CursorPoll::CursorPoll(QObject* owner) : QObject(owner)
{
    timer_.setInterval(IntervalMs);
    connect(&timer_, &QTimer::timeout, this, &CursorPoll::pollAll);
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
    if (!timer_.isActive())
        timer_.start();
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
    if (members_.empty())
        timer_.stop();
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
