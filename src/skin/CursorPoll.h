#pragma once
// One 100 ms timer that runs the cursor poll of every skinned control of a window. A timer per
// control woke the program up once for each of them every tick, out of step with each other;
// with one timer the window wakes up once per tick whatever number of controls it holds.
// Members are polled in the order they joined. A member that is destroyed leaves by itself.
//
// A window's poll can rest while the mouse is elsewhere: nothing in the window can be hovered
// then, and each poll asks the windowing system for the pointer (a round trip that wakes the
// program twice). After a tick that finds the pointer outside the window and no button held
// (a drag goes on outside the window), the poll waits until the mouse enters or presses
// again; that tick has let the controls drop their hover. Without a real pointer (the
// offscreen platform of the tests) it never rests.
//
// The poll may also share another timer of the window with the same interval (the display
// tick): while that one runs, the poll ticks on it and its own timer stays stopped, so the
// window wakes up once per tick for both.
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

    // Lets the poll rest while the mouse is outside window (see above).
    void restOutside(QWidget* window);
    bool resting() const { return resting_; }

    // Ticks on timer's timeouts whenever it is running (see above).
    void shareTimer(QTimer* timer);

    // Starts polling member with step every tick; a member that joins again keeps its place
    // and takes the new step.
    void join(QObject* member, std::function<void()> step);
    void leave(QObject* member);
    bool isMember(const QObject* member) const;
    int memberCount() const { return static_cast<int>(members_.size()); }
    // The poll ticks (on its own timer or the shared one) only while there are members and
    // it does not rest.
    bool running() const;
    // True while its own timer runs (a poll that ticks on the shared timer has it stopped).
    bool ownTimerRunning() const { return timer_.isActive(); }
    int intervalMs() const { return timer_.interval(); }

    // One tick: every member's step, as the timer runs it.
    void pollAll();
    // The timer's step: pollAll, then rest if the mouse is away (when resting is allowed).
    void tick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Member {
        QPointer<QObject> object;
        std::function<void()> step;
    };
    void wake();
    bool wanted() const { return !members_.empty() && !resting_; }
    bool sharedRunning() const { return shared_ && shared_->isActive(); }
    // Starts the own timer when the poll should tick and the shared one does not run; stops it
    // otherwise.
    void updateTimer();
    void sharedTick();

    std::vector<Member> members_;
    QTimer timer_;
    QPointer<QWidget> window_; // watched for the mouse when resting is allowed
    QPointer<QTimer> shared_;
    bool resting_ = false;
};

} // namespace skin
