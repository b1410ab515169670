// ctest-label: gui
// The shared cursor source of the skinned controls: while the pointer is over a window of the
// program it takes the position of the last mouse event there, and asks the windowing system
// again once that window lost track of the pointer (left, moved, hidden, blocked by a modal
// window, a drag over it). Events are sent by hand; the system's pointer is placed elsewhere
// so that each answer shows where it came from. And the real window: the Record button's
// hover appears and clears as the mouse moves in and out, ticked by the display tick.
#include "skin/CursorSource.h"
#include "skin/MainFormLayout.h"
#include "skin/TQLTCircleButton.h"

#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QMoveEvent>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>
#include <QWindow>
#include <functional>
#include <gtest/gtest.h>

using namespace skin;

namespace {

void sendMouse(QWindow* window, QEvent::Type type, QPoint global)
{
    const QPointF local = window->mapFromGlobal(global);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, local, local, global, button, button, Qt::NoModifier);
    QApplication::sendEvent(window, &e);
}

void sendPlain(QObject* to, QEvent::Type type)
{
    QEvent e(type);
    QApplication::sendEvent(to, &e);
}

} // namespace

TEST(CursorSource, SharedSourceTakesTheLastMouseEventOfTheWindowUnderThePointer)
{
    QWidget a, b;
    a.setGeometry(100, 100, 120, 80);
    b.setGeometry(300, 100, 120, 80);
    a.show();
    b.show();
    QWindow* wa = a.windowHandle();
    QWindow* wb = b.windowHandle();
    ASSERT_TRUE(wa && wb);
    const QPoint system(700, 500);
    QCursor::setPos(system);
    QApplication::processEvents(); // what placing the pointer sends arrives first
    if (QCursor::pos() != system)
        GTEST_SKIP() << "this platform cannot place the pointer";
    const CursorSource source = sharedSystemCursorSource(0);

    QMimeData dragged;
    const struct {
        const char* name;
        std::function<void()> happen;
        QPoint expected;
    } steps[] = {
        {"nothing heard yet: the system", [] {}, system},
        {"a move over a", [&] { sendMouse(wa, QEvent::MouseMove, {150, 130}); }, {150, 130}},
        {"the other window's leave changes nothing", [&] { sendPlain(wb, QEvent::Leave); }, {150, 130}},
        {"an enter without a position tells nothing", [&] { sendPlain(wb, QEvent::Enter); }, {150, 130}},
        {"a leaves: the system", [&] { sendPlain(wa, QEvent::Leave); }, system},
        {"an enter with a position",
         [&] {
             QEnterEvent e(QPointF(20, 20), QPointF(20, 20), QPointF(320, 120));
             QApplication::sendEvent(wb, &e);
         },
         {320, 120}},
        {"b moved (the window manager holds the mouse)",
         [&] {
             QMoveEvent e(QPoint(310, 100), QPoint(300, 100));
             QApplication::sendEvent(wb, &e);
         },
         system},
        {"a press on a", [&] { sendMouse(wa, QEvent::MouseButtonPress, {110, 110}); }, {110, 110}},
        {"a release on a", [&] { sendMouse(wa, QEvent::MouseButtonRelease, {112, 111}); }, {112, 111}},
        {"a drag comes over a",
         [&] {
             QDragEnterEvent e(QPoint(5, 5), Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
             QApplication::sendEvent(wa, &e);
         },
         system},
        {"a move over b", [&] { sendMouse(wb, QEvent::MouseMove, {330, 150}); }, {330, 150}},
        {"b hidden", [&] { b.hide(); }, system},
        {"a move over a", [&] { sendMouse(wa, QEvent::MouseMove, {160, 140}); }, {160, 140}},
        {"a modal window shows", [&] {
             b.setWindowModality(Qt::ApplicationModal);
             b.show();
         }, system},
        {"a move over a while the modal window shows",
         [&] { sendMouse(wa, QEvent::MouseMove, {170, 140}); }, system},
        {"the modal window closes", [&] { b.hide(); }, {170, 140}},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        s.happen();
        const std::optional<QPoint> at = source();
        ASSERT_TRUE(at.has_value());
        EXPECT_EQ(*at, s.expected);
    }
}

// The real window: the mouse moved over the Record button by QTest events lights it up at the
// next display tick, and moved away clears it at the tick after.
TEST(CursorSource, RecordButtonHoverFollowsTheMouseOnTheDisplayTick)
{
    QWidget window;
    MainFormLayout layout(&window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    layout.Timer2->start();
    TQLTCircleButton* record = layout.QLTCircleButtonRecord;
    const auto displayTick = [&] { QMetaObject::invokeMethod(layout.Timer2, "timeout"); };
    const QImage plain = record->renderImage();

    const struct {
        const char* name;
        QPoint at; // in the window
        bool hovered;
    } moves[] = {
        {"onto the Record button", record->geometry().center(), true},
        {"onto the Play button", layout.QLTCircleButtonPlay->geometry().center(), false},
        {"back onto the Record button", record->geometry().center(), true},
        {"onto the list", layout.ListViewFiles->geometry().center(), false},
    };
    for (const auto& m : moves) {
        SCOPED_TRACE(m.name);
        QTest::mouseMove(&window, m.at);
        QApplication::processEvents();
        displayTick();
        EXPECT_EQ(record->hovered(), m.hovered);
        EXPECT_EQ(record->renderImage() != plain, m.hovered);
    }
    layout.Timer2->stop();
}
