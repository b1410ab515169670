// ctest-label: gui
// Push and round buttons: when a release clicks (driven by an injected cursor and QTest
// mouse events, one poll at a time; a press or release tells where the pointer is too), the
// hover cursor and hint, and what is painted where.
#include "skin/TQLTButton.h"
#include "skin/TQLTCircleButton.h"

#include <QApplication>
#include <QHelpEvent>
#include <QSignalSpy>
#include <QToolTip>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>

using skin::TQLTButton;
using skin::TQLTCircleButton;

namespace {

const QRgb Fuchsia = qRgb(255, 0, 255);

QImage solid(QSize size, QRgb colour, bool keyTopLeft = true)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(colour);
    if (keyTopLeft)
        img.setPixel(0, 0, Fuchsia);
    return img;
}

// A round outline: fuchsia outside the circle, black inside.
QImage circleMask(int size)
{
    QImage m(size, size, QImage::Format_RGB32);
    const double c = size / 2.0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double dx = x + 0.5 - c, dy = y + 0.5 - c;
            m.setPixel(x, y, dx * dx + dy * dy <= c * c ? qRgb(0, 0, 0) : Fuchsia);
        }
    return m;
}

enum class Kind { Push, Round };
enum class Op { Cursor, CursorLost, Poll, Press, Release, Disable, Enable };

struct Step {
    Op op;
    QPoint at{};                                // local point (Cursor, Press, Release)
    Qt::MouseButton button = Qt::LeftButton;    // Press, Release
};

Step cursor(int x, int y) { return {Op::Cursor, {x, y}}; }
Step poll() { return {Op::Poll}; }
Step press(int x, int y, Qt::MouseButton b = Qt::LeftButton) { return {Op::Press, {x, y}, b}; }
Step release(int x, int y, Qt::MouseButton b = Qt::LeftButton) { return {Op::Release, {x, y}, b}; }

struct Scenario {
    const char* name;
    Kind kind;
    std::vector<Step> steps;
    int clicks;
    bool hovered;
    bool handCursor;
};

// A host window with one button of each kind at (10, 10); the cursor is what the test says.
class Host {
public:
    Host()
    {
        window.move(50, 60);
        window.resize(100, 80);
        push = new TQLTButton(&window, [this] { return where; });
        push->setGeometry(10, 10, 20, 20);
        round = new TQLTCircleButton(&window, [this] { return where; });
        round->setGeometry(40, 10, 28, 28);
        round->SetMaskBmp(circleMask(28));
        round->bShowHint = true;
        round->SetHint(QStringLiteral("Record"));
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
    }

    QWidget window;
    std::optional<QPoint> where;
    TQLTButton* push;
    TQLTCircleButton* round;
};

} // namespace

TEST(Buttons, ClickOnLeftPressAndReleaseOverTheButton)
{
    const Scenario scenarios[] = {
        {"entered and polled, then pressed and released", Kind::Push,
         {cursor(10, 10), poll(), press(10, 10), release(10, 10)}, 1, true, true},
        {"press within one poll of entering", Kind::Push,
         {cursor(-5, -5), poll(), cursor(10, 10), press(10, 10), release(10, 10)}, 1, true, true},
        {"press and release before any poll", Kind::Push, {press(5, 5), release(5, 5)}, 1, true, true},
        {"press, move off, release before the next poll", Kind::Push,
         {cursor(10, 10), poll(), press(10, 10), cursor(40, 40), release(40, 40)}, 0, false, false},
        {"press, move off, poll, release", Kind::Push,
         {cursor(10, 10), poll(), press(10, 10), cursor(40, 40), poll(), release(40, 40)}, 0, false, false},
        {"resting on the top edge row", Kind::Push,
         {cursor(10, 0), poll(), press(10, 0), release(10, 0)}, 0, false, false},
        {"resting on the left edge column", Kind::Push,
         {cursor(0, 10), poll(), press(0, 10), release(0, 10)}, 0, false, false},
        {"last row and column inside", Kind::Push,
         {cursor(19, 19), poll(), press(19, 19), release(19, 19)}, 1, true, true},
        {"disabled after hovering", Kind::Push,
         {cursor(10, 10), poll(), {Op::Disable}, press(10, 10), release(10, 10)}, 0, true, true},
        {"disabled before any poll", Kind::Push,
         {{Op::Disable}, press(10, 10), release(10, 10)}, 0, false, false},
        {"disabled, then enabled again", Kind::Push,
         {cursor(10, 10), poll(), {Op::Disable}, {Op::Enable}, press(10, 10), release(10, 10)}, 1, true, true},
        {"right button", Kind::Push,
         {cursor(10, 10), poll(), press(10, 10, Qt::RightButton), release(10, 10, Qt::RightButton)}, 0, true, true},
        {"cursor unreadable keeps the last state", Kind::Push,
         {cursor(10, 10), poll(), {Op::CursorLost}, poll(), press(10, 10), release(10, 10)}, 1, true, true},
        {"round: inside the outline", Kind::Round,
         {cursor(14, 14), poll(), press(14, 14), release(14, 14)}, 1, true, true},
        {"round: transparent corner", Kind::Round,
         {cursor(2, 2), poll(), press(2, 2), release(2, 2)}, 0, false, false},
        {"round: into the corner after hovering", Kind::Round,
         {cursor(14, 14), poll(), cursor(2, 2), poll(), press(2, 2), release(2, 2)}, 0, false, false},
        {"round: press within one poll of entering", Kind::Round,
         {cursor(14, 14), press(14, 14), release(14, 14)}, 1, true, true},
        {"round: quick press in the corner after hovering", Kind::Round,
         {cursor(14, 14), poll(), press(2, 2), release(2, 2)}, 0, false, false},
        {"round: disabled keeps polling but never clicks", Kind::Round,
         {{Op::Disable}, cursor(14, 14), poll(), press(14, 14), release(14, 14)}, 0, false, false},
        {"round: right button", Kind::Round,
         {cursor(14, 14), poll(), press(14, 14, Qt::RightButton), release(14, 14, Qt::RightButton)}, 0, true, true},
        {"round: edge column", Kind::Round,
         {cursor(0, 14), poll(), press(0, 14), release(0, 14)}, 0, false, false},
    };
    for (const Scenario& s : scenarios) {
        SCOPED_TRACE(s.name);
        Host host;
        QWidget* target = s.kind == Kind::Push ? static_cast<QWidget*>(host.push) : host.round;
        QSignalSpy clicks(target, s.kind == Kind::Push ? SIGNAL(clicked()) : SIGNAL(clicked()));
        for (const Step& step : s.steps) {
            switch (step.op) {
            case Op::Cursor: host.where = target->mapToGlobal(step.at); break;
            case Op::CursorLost: host.where.reset(); break;
            case Op::Poll:
                if (s.kind == Kind::Push)
                    host.push->GetMousePosTimer();
                else
                    host.round->GetMousePosTimer();
                break;
            case Op::Press: QTest::mousePress(target, step.button, {}, step.at); break;
            case Op::Release: QTest::mouseRelease(target, step.button, {}, step.at); break;
            case Op::Disable:
            case Op::Enable:
                if (s.kind == Kind::Push)
                    host.push->SetEnabled(step.op == Op::Enable);
                else
                    host.round->SetEnabled(step.op == Op::Enable);
                break;
            }
        }
        EXPECT_EQ(clicks.count(), s.clicks);
        const bool hovered = s.kind == Kind::Push ? host.push->hovered() : host.round->hovered();
        EXPECT_EQ(hovered, s.hovered);
        const bool hand = target->testAttribute(Qt::WA_SetCursor)
                          && target->cursor().shape() == Qt::PointingHandCursor;
        EXPECT_EQ(hand, s.handCursor);
    }
}

TEST(Buttons, PushButtonPollsOnlyWhileEnabledRoundButtonAlways)
{
    Host host;
    EXPECT_TRUE(host.push->polling());
    host.push->SetEnabled(false);
    EXPECT_FALSE(host.push->polling());
    host.push->SetEnabled(true);
    EXPECT_TRUE(host.push->polling());

    // A disabled round button still follows the cursor for its hint, without the hand cursor.
    host.round->SetEnabled(false);
    host.where = host.round->mapToGlobal(QPoint(2, 2));
    host.round->GetMousePosTimer();
    EXPECT_FALSE(host.round->ShowHint());
    host.where = host.round->mapToGlobal(QPoint(14, 14));
    host.round->GetMousePosTimer();
    EXPECT_TRUE(host.round->ShowHint());
    EXPECT_FALSE(host.round->testAttribute(Qt::WA_SetCursor));
}

TEST(Buttons, PushButtonDrawsItsBitmapCentredAndTheBorderAsTheStateSays)
{
    const QRgb normal = qRgb(10, 20, 200), active = qRgb(20, 200, 10), disabled = qRgb(90, 90, 90);
    const QColor border(1, 2, 3), activeBorder(4, 5, 6), disabledBorder(7, 8, 9);
    struct Case {
        const char* name;
        bool enabled;
        bool hovered;
        bool alwaysBorder;
        QRgb bitmap;
        std::optional<QColor> border;
    };
    const Case cases[] = {
        {"normal", true, false, false, normal, std::nullopt},
        {"normal, always border", true, false, true, normal, border},
        {"hovered", true, true, false, active, activeBorder},
        {"hovered, always border", true, true, true, active, activeBorder},
        {"disabled", false, false, false, disabled, std::nullopt},
        {"disabled, always border", false, false, true, disabled, disabledBorder},
        {"disabled while hovered", false, true, true, disabled, disabledBorder},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Host host;
        TQLTButton* b = host.push;
        b->SetButtonBmp(solid({16, 16}, normal));
        b->SetActiveButtonBmp(solid({16, 16}, active));
        b->SetDisenableButtonBmp(solid({16, 16}, disabled));
        b->BorderColor = border;
        b->ActiveBorderColor = activeBorder;
        b->DisenableBorderColor = disabledBorder;
        b->AlwayBorder = c.alwaysBorder;
        host.where = b->mapToGlobal(c.hovered ? QPoint(10, 10) : QPoint(-10, -10));
        b->GetMousePosTimer();
        b->SetEnabled(c.enabled);
        const QImage img = b->renderImage();

        // Bitmap from (2, 2) to (18, 18); its top-left pixel is the key and stays transparent.
        EXPECT_EQ(qAlpha(img.pixel(2, 2)), 0);
        EXPECT_EQ(img.pixel(3, 2), c.bitmap);
        EXPECT_EQ(img.pixel(17, 17), c.bitmap);
        EXPECT_EQ(img.pixel(2, 17), c.bitmap);
        EXPECT_EQ(qAlpha(img.pixel(1, 10)), 0); // between border and bitmap
        EXPECT_EQ(qAlpha(img.pixel(18, 10)), 0);
        if (c.border) {
            // The rounded border spans the whole 20 x 20 without its four corner pixels.
            for (const QPoint& p : {QPoint(1, 0), QPoint(18, 0), QPoint(0, 1), QPoint(19, 18),
                                    QPoint(10, 19), QPoint(19, 10)})
                EXPECT_EQ(img.pixel(p), c.border->rgb()) << p.x() << "," << p.y();
            for (const QPoint& p : {QPoint(0, 0), QPoint(19, 0), QPoint(0, 19), QPoint(19, 19)})
                EXPECT_EQ(qAlpha(img.pixel(p)), 0) << p.x() << "," << p.y();
        } else {
            EXPECT_EQ(qAlpha(img.pixel(10, 0)), 0);
            EXPECT_EQ(qAlpha(img.pixel(0, 10)), 0);
        }
    }
}

TEST(Buttons, PushButtonKeyComesFromTheNormalBitmapOnly)
{
    Host host;
    TQLTButton* b = host.push;
    // The normal bitmap's top-left is green: green pixels of the active bitmap are holes too.
    QImage normal = solid({16, 16}, qRgb(200, 0, 0), false);
    normal.setPixel(0, 0, qRgb(0, 255, 0));
    QImage active = solid({16, 16}, qRgb(0, 0, 200), false);
    active.setPixel(5, 5, qRgb(0, 255, 0));
    active.setPixel(0, 0, Fuchsia);
    b->SetButtonBmp(normal);
    b->SetActiveButtonBmp(active);
    host.where = b->mapToGlobal(QPoint(10, 10));
    b->GetMousePosTimer();
    const QImage img = b->renderImage();
    EXPECT_EQ(qAlpha(img.pixel(2 + 5, 2 + 5)), 0);
    EXPECT_EQ(img.pixel(2, 2), Fuchsia);
}

TEST(Buttons, RoundButtonShowsOneOfItsFivePicturesOpaqueAtTheOrigin)
{
    const QRgb normal = qRgb(1, 1, 1), active = qRgb(2, 2, 2), down = qRgb(3, 3, 3),
               downActive = qRgb(4, 4, 4), disabled = qRgb(5, 5, 5);
    struct Case {
        const char* name;
        bool enabled;
        bool hovered;
        bool down;
        QRgb shown;
    };
    const Case cases[] = {
        {"normal", true, false, false, normal},       {"hovered", true, true, false, active},
        {"down", true, false, true, down},            {"down, hovered", true, true, true, downActive},
        {"disabled", false, false, false, disabled},  {"disabled, down", false, false, true, disabled},
        {"disabled, hovered before", false, true, true, disabled},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Host host;
        TQLTCircleButton* b = host.round;
        b->SetButtonBmp(solid({28, 28}, normal));
        b->SetActiveButtonBmp(solid({28, 28}, active));
        b->SetDownButtonBmp(solid({28, 28}, down));
        b->SetDownActiveButtonBmp(solid({28, 28}, downActive));
        b->SetDisenableButtonBmp(solid({28, 28}, disabled));
        host.where = b->mapToGlobal(c.hovered ? QPoint(14, 14) : QPoint(-3, -3));
        b->GetMousePosTimer();
        b->SetDown(c.down);
        b->SetEnabled(c.enabled);
        const QImage img = b->renderImage();
        EXPECT_EQ(img.pixel(14, 14), c.shown);
        // Opaque: even the key-coloured corner is drawn.
        EXPECT_EQ(img.pixel(0, 0), Fuchsia);
    }
}

TEST(Buttons, RoundButtonHintOnlyInsideTheOutlineWhenAsked)
{
    struct Case {
        const char* name;
        bool bShowHint;
        QPoint at;
        bool showHint;
    };
    const Case cases[] = {
        {"inside, bShowHint", true, {14, 14}, true},
        {"corner, bShowHint", true, {2, 2}, false},
        {"corner without bShowHint keeps the hint", false, {2, 2}, true},
        {"outside the rectangle leaves the flag", true, {-4, 14}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Host host;
        host.round->bShowHint = c.bShowHint;
        host.where = host.round->mapToGlobal(c.at);
        host.round->GetMousePosTimer();
        EXPECT_EQ(host.round->ShowHint(), c.showHint);
    }
}

TEST(Buttons, TooltipOnlyWithShowHintAndAHint)
{
    struct Case {
        const char* name;
        bool showHint;
        const char* hint;
        bool visible;
    };
    const Case cases[] = {
        {"hint shown", true, "Close", true},
        {"ShowHint off", false, "Close", false},
        {"no hint", true, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Host host;
        host.push->SetHint(QString::fromLatin1(c.hint));
        host.push->SetShowHint(c.showHint);
        QToolTip::hideText();
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), host.push->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(host.push, &help);
        EXPECT_EQ(QToolTip::isVisible(), c.visible);
        if (c.visible) {
            EXPECT_EQ(QToolTip::text(), QString::fromLatin1(c.hint));
        }
        QToolTip::hideText();
    }
}
