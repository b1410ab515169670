#pragma once
// One 100 ms timer that runs the cursor poll of every skinned control of a window. A timer per
// control woke the program up once for each of them every tick, out of step with each other;
// with one timer the window wakes up once per tick whatever number of controls it holds.
// Members are polled in the order they joined. A member that is destroyed leaves by itself.
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <vector>

class QWidget;

namespace skin {

class CursorPoll : public QObject {
    Q_OBJECT
public:
    static constexpr int IntervalMs = 100;

    // The poll shared by every control in the window that holds widget; the window owns it
    // and it is made on first use.
    static CursorPoll* of(QWidget* widget);

    explicit CursorPoll(QObject* owner);

    // Starts polling member with step every tick; a member that joins again keeps its place
    // and takes the new step.
    void join(QObject* member, std::function<void()> step);
    void leave(QObject* member);
    bool isMember(const QObject* member) const;
    int memberCount() const { return static_cast<int>(members_.size()); }
    // The timer runs only while there are members.
    bool running() const { return timer_.isActive(); }
    int intervalMs() const { return timer_.interval(); }

    // One tick: every member's step, as the timer runs it.
    void pollAll();

private:
    struct Member {
        QPointer<QObject> object;
        std::function<void()> step;
    };
    std::vector<Member> members_;
    QTimer timer_;
};

} // namespace skin
