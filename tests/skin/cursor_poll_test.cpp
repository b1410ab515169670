// ctest-label: gui
// The one cursor poll of a window: every polling control of the window joins the same poll,
// a tick runs each member once in the order they joined, members that are disabled, destroyed
// or made to leave during a tick are not run, and the timer runs only while there are members.
// A poll may tick on the display tick instead of its own timer. Ticks are driven by hand
// (pollAll, or the timeout invoked), never by waiting.
#include "skin/CursorPoll.h"
#include "skin/SkinSlider.h"
#include "skin/TQLTButton.h"
#include "skin/TQLTCircleButton.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>

using skin::CursorPoll;
using skin::SkinSlider;
using skin::TQLTButton;
using skin::TQLTCircleButton;

TEST(CursorPoll, EveryPollingControlOfAWindowSharesOnePoll)
{
    QWidget window;
    QWidget panel(&window); // controls deeper in the window share it too
    std::optional<QPoint> where;
    auto cursor = [&where] { return where; };
    auto* a = new TQLTButton(&window, cursor);
    auto* b = new TQLTCircleButton(&panel, cursor);
    auto* bar = new SkinSlider(&panel, cursor);

    CursorPoll* poll = CursorPoll::of(&window);
    EXPECT_EQ(CursorPoll::of(&panel), poll);
    EXPECT_EQ(window.findChildren<CursorPoll*>().size(), 1);
    // A new slider is disabled and does not poll; both buttons do.
    EXPECT_EQ(poll->memberCount(), 2);
    EXPECT_TRUE(poll->running());
    EXPECT_EQ(poll->intervalMs(), 100);
    bar->SetEnabled(true);
    EXPECT_EQ(poll->memberCount(), 3);
    EXPECT_TRUE(bar->polling());

    // Another window has its own.
    QWidget other;
    auto* c = new TQLTButton(&other, cursor);
    EXPECT_NE(CursorPoll::of(&other), poll);
    EXPECT_EQ(poll->memberCount(), 3);
    EXPECT_TRUE(c->polling());
    (void)a;
    (void)b;
}

TEST(CursorPoll, ATickPollsEveryEnabledControlOnce)
{
    QWidget window;
    window.resize(200, 100);
    std::optional<QPoint> where;
    auto cursor = [&where] { return where; };
    auto* left = new TQLTButton(&window, cursor);
    left->setGeometry(10, 10, 20, 20);
    auto* right = new TQLTButton(&window, cursor);
    right->setGeometry(40, 10, 20, 20);
    CursorPoll* poll = CursorPoll::of(&window);

    const QPoint origin = window.mapToGlobal(QPoint(0, 0));
    const struct {
        const char* name;
        QPoint at;
        bool leftEnabled;
        bool leftHovered, rightHovered;
    } cases[] = {
        {"over the left button", {15, 15}, true, true, false},
        {"over the right button", {45, 15}, true, false, true},
        {"over neither", {100, 80}, true, false, false},
        // A disabled push button is not polled: it keeps the mark it had.
        {"over the disabled left button", {15, 15}, false, false, false},
        {"back to the enabled left button", {15, 15}, true, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        left->SetEnabled(c.leftEnabled);
        EXPECT_EQ(left->polling(), c.leftEnabled);
        where = origin + c.at;
        poll->pollAll();
        EXPECT_EQ(left->hovered(), c.leftHovered);
        EXPECT_EQ(right->hovered(), c.rightHovered);
    }
}

TEST(CursorPoll, MembersRunInJoinOrderAndMayLeaveDuringATick)
{
    QObject owner;
    CursorPoll poll(&owner);
    EXPECT_FALSE(poll.running());
    std::string ran;
    QObject a, b, c;
    poll.join(&a, [&] { ran += 'a'; poll.leave(&b); });
    poll.join(&b, [&] { ran += 'b'; });
    poll.join(&c, [&] { ran += 'c'; });
    EXPECT_TRUE(poll.running());
    poll.pollAll();
    EXPECT_EQ(ran, "ac"); // b left before its turn
    EXPECT_FALSE(poll.isMember(&b));

    // Joining again keeps the place and takes the new step; one run per tick.
    ran.clear();
    poll.join(&a, [&] { ran += 'A'; });
    poll.join(&b, [&] { ran += 'b'; });
    poll.pollAll();
    EXPECT_EQ(ran, "Acb");
    EXPECT_EQ(poll.memberCount(), 3);

    // A member that joins during a tick runs from the next one.
    ran.clear();
    QObject d;
    poll.join(&c, [&] { ran += 'c'; poll.join(&d, [&] { ran += 'd'; }); });
    poll.pollAll();
    EXPECT_EQ(ran, "Acb");
    ran.clear();
    poll.pollAll();
    EXPECT_EQ(ran, "Acbd");

    poll.leave(&a);
    poll.leave(&b);
    poll.leave(&c);
    EXPECT_TRUE(poll.running());
    poll.leave(&d);
    EXPECT_FALSE(poll.running());
    poll.leave(&d); // leaving twice is harmless
    EXPECT_EQ(poll.memberCount(), 0);
}

TEST(CursorPoll, ADestroyedControlLeavesAndIsNeverRun)
{
    QWidget window;
    std::optional<QPoint> where;
    int polledAfterDeath = 0;
    auto* button = new TQLTButton(&window, [&] {
        return where;
    });
    CursorPoll* poll = CursorPoll::of(&window);
    ASSERT_EQ(poll->memberCount(), 1);

    // A member destroyed by a step of the same tick is not run afterwards.
    QObject killer;
    auto victim = std::make_unique<QObject>();
    QObject* raw = victim.get();
    poll->join(&killer, [&] { victim.reset(); });
    poll->join(raw, [&] { ++polledAfterDeath; });
    poll->pollAll();
    EXPECT_EQ(polledAfterDeath, 0);
    EXPECT_EQ(poll->memberCount(), 2);

    delete button;
    EXPECT_EQ(poll->memberCount(), 1);
    poll->leave(&killer);
    EXPECT_FALSE(poll->running());
}

TEST(CursorPoll, AControlWithoutAWindowPollsOnItsOwn)
{
    std::optional<QPoint> where;
    TQLTButton alone(nullptr, [&] { return where; });
    alone.resize(20, 20);
    CursorPoll* poll = CursorPoll::of(&alone);
    EXPECT_EQ(poll->parent(), &alone);
    EXPECT_TRUE(poll->isMember(&alone));
    where = alone.mapToGlobal(QPoint(5, 5));
    poll->pollAll();
    EXPECT_TRUE(alone.hovered());
}

// Resting while the mouse is away, driven by hand: the pointer is placed with QCursor::setPos
// and the window's enter and press events are sent to it.
TEST(CursorPoll, RestsWhileTheMouseIsAwayAndWakesWhenItComesBack)
{
    QWidget window;
    window.setGeometry(100, 100, 120, 80);
    window.show();
    CursorPoll poll(&window);
    poll.restOutside(&window);
    int polls = 0;
    QObject member;
    poll.join(&member, [&] { ++polls; });
    ASSERT_TRUE(poll.running());

    // Over the window without the window knowing (a menu holds the mouse): polls go on.
    QCursor::setPos(window.mapToGlobal(QPoint(60, 40)));
    if (QCursor::pos() != window.mapToGlobal(QPoint(60, 40)))
        GTEST_SKIP() << "this platform cannot place the pointer";
    poll.tick();
    EXPECT_EQ(polls, 1);
    EXPECT_TRUE(poll.running());
    EXPECT_FALSE(poll.resting());

    // Away: that tick still polls (the controls drop their hover), then the poll rests.
    QCursor::setPos(window.mapToGlobal(QPoint(300, 300)));
    poll.tick();
    EXPECT_EQ(polls, 2);
    EXPECT_FALSE(poll.running());
    EXPECT_TRUE(poll.resting());

    // A member that joins meanwhile does not start it; the mouse coming back does.
    QObject later;
    poll.join(&later, [&] { ++polls; });
    EXPECT_FALSE(poll.running());
    const struct {
        const char* name;
        QEvent::Type type;
    } wakers[] = {{"enter", QEvent::Enter}, {"press", QEvent::MouseButtonPress}, {"show", QEvent::Show}};
    for (const auto& w : wakers) {
        SCOPED_TRACE(w.name);
        QEvent left(QEvent::Leave);
        QApplication::sendEvent(&window, &left);
        EXPECT_FALSE(window.underMouse());
        poll.tick(); // away: rests again
        EXPECT_FALSE(poll.running());
        if (w.type == QEvent::MouseButtonPress) {
            QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&window, &press);
        } else {
            QEvent e(w.type);
            QApplication::sendEvent(&window, &e);
        }
        EXPECT_TRUE(poll.running());
        EXPECT_FALSE(poll.resting());
    }

    // While the window has the mouse, the poll goes on wherever the pointer is said to be.
    QEvent entered(QEvent::Enter);
    QApplication::sendEvent(&window, &entered);
    ASSERT_TRUE(window.underMouse());
    poll.tick();
    EXPECT_TRUE(poll.running());

    // A poll that may not rest never does.
    CursorPoll plain(&window);
    plain.join(&member, [] {});
    plain.tick();
    EXPECT_TRUE(plain.running());
}

// A poll that shares the window's display tick: its own timer runs only until that tick runs,
// then every display tick is a tick of the poll (driven by hand: the timeout is invoked).
TEST(CursorPoll, TicksOnTheSharedTimerOnceThatRuns)
{
    QObject owner;
    CursorPoll poll(&owner);
    QTimer display;
    display.setInterval(CursorPoll::IntervalMs);
    poll.shareTimer(&display);
    int polls = 0;
    QObject a, b;
    const auto displayTick = [&] { QMetaObject::invokeMethod(&display, "timeout"); };

    poll.join(&a, [&] { ++polls; });
    // The display tick does not run yet: the poll has its own timer.
    EXPECT_TRUE(poll.ownTimerRunning());
    EXPECT_TRUE(poll.running());

    display.start();
    displayTick();
    EXPECT_EQ(polls, 1);
    EXPECT_FALSE(poll.ownTimerRunning());
    EXPECT_TRUE(poll.running());

    // A member that joins later does not start the own timer again.
    poll.join(&b, [&] { polls += 10; });
    EXPECT_FALSE(poll.ownTimerRunning());
    displayTick();
    EXPECT_EQ(polls, 12);

    // Without members the display tick polls nothing.
    poll.leave(&a);
    poll.leave(&b);
    EXPECT_FALSE(poll.running());
    displayTick();
    EXPECT_EQ(polls, 12);
    EXPECT_FALSE(poll.ownTimerRunning());

    // With the display tick stopped, a member that joins gets the own timer back.
    display.stop();
    poll.join(&a, [&] { ++polls; });
    EXPECT_TRUE(poll.ownTimerRunning());
}
