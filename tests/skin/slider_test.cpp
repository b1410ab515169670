// ctest-label: gui
// The skinned slider: value and slide arithmetic, clicks and drags driven one poll at a time
// with an injected cursor, the disabled state, and the seven shaded rows it paints.
#include "skin/SkinSlider.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>

using skin::SkinSlider;

namespace {

const QRgb Fuchsia = qRgb(255, 0, 255);

// A slide with key-coloured corners, in one colour per look.
QImage slideBitmap(QSize size, QRgb colour)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(colour);
    for (const QPoint& p : {QPoint(0, 0), QPoint(size.width() - 1, 0), QPoint(0, size.height() - 1),
                            QPoint(size.width() - 1, size.height() - 1)})
        img.setPixel(p, Fuchsia);
    return img;
}

const QRgb Normal = qRgb(200, 200, 200), Active = qRgb(100, 150, 250), Disabled = qRgb(60, 60, 60);

class Host {
public:
    Host(QSize size, QSize slide, int max)
    {
        window.move(40, 40);
        window.resize(400, 60);
        bar = new SkinSlider(&window, [this] { return where; });
        bar->setGeometry(QRect(QPoint(10, 10), size));
        bar->Max = max;
        bar->SetSlideBmp(slideBitmap(slide, Normal));
        bar->SetActiveSlideBmp(slideBitmap(slide, Active));
        bar->SetDisenableSlideBmp(slideBitmap(slide, Disabled));
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
        image = bar->renderImage(); // the first paint fixes the slide geometry
    }

    void cursorAt(int x, int y) { where = bar->mapToGlobal(QPoint(x, y)); }
    void pollAt(int x, int y)
    {
        cursorAt(x, y);
        bar->GetMousePosTimer();
    }
    void press(int x, int y, Qt::MouseButton b = Qt::LeftButton)
    {
        QTest::mousePress(bar, b, {}, QPoint(x, y));
    }
    void release(int x, int y, Qt::MouseButton b = Qt::LeftButton)
    {
        QTest::mouseRelease(bar, b, {}, QPoint(x, y));
    }

    QWidget window;
    std::optional<QPoint> where;
    SkinSlider* bar;
    QImage image;
};

} // namespace

TEST(ProgressBar, NewSliderIsDisabledAndIgnoresTheMouse)
{
    Host h({64, 13}, {12, 13}, 65535);
    QSignalSpy change(h.bar, &SkinSlider::changed);
    EXPECT_FALSE(h.bar->Enabled());
    EXPECT_FALSE(h.bar->polling());
    h.pollAt(30, 6);
    h.press(30, 6);
    h.release(30, 6);
    EXPECT_EQ(change.count(), 0);
    EXPECT_EQ(h.bar->Pos(), 0);
    EXPECT_EQ(h.bar->slidePosition(), 0);
    h.bar->SetEnabled(true);
    EXPECT_TRUE(h.bar->polling());
}

TEST(ProgressBar, SetPosConvertsWithTruncatingDivisionAndIgnoresOutOfRange)
{
    struct Case {
        const char* name;
        int width, slide, max;
        std::vector<int> values; // applied in turn
        int pos;
        int slidePos;
    };
    const Case cases[] = {
        {"50 of 100 on a 244 track", 264, 20, 100, {50}, 50, 122},
        {"volume 32767 on a 52 track", 64, 12, 65535, {32767}, 32767, 25},
        {"top of the range", 64, 12, 65535, {65535}, 65535, 52},
        {"-1 ignored", 264, 20, 100, {40, -1}, 40, 97},
        {"above Max ignored", 264, 20, 100, {40, 101}, 40, 97},
        {"Min and Max themselves", 264, 20, 100, {100, 0}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Host h({c.width, 11}, {c.slide, 11}, c.max);
        EXPECT_EQ(h.bar->trackLength(), c.width - c.slide);
        for (int v : c.values)
            h.bar->SetPos(v);
        EXPECT_EQ(h.bar->Pos(), c.pos);
        EXPECT_EQ(h.bar->slidePosition(), c.slidePos);
    }
}

TEST(ProgressBar, ClickOnTheTrackJumpsAndReportsOnce)
{
    Host h({64, 13}, {12, 13}, 65535);
    h.bar->SetEnabled(true);
    QSignalSpy change(h.bar, &SkinSlider::changed);
    QSignalSpy changing(h.bar, &SkinSlider::changing);
    h.pollAt(30, 6);
    EXPECT_TRUE(h.bar->overControl());
    EXPECT_FALSE(h.bar->overSlide());
    h.press(30, 6);
    EXPECT_EQ(h.bar->slidePosition(), 24);
    EXPECT_EQ(h.bar->Pos(), 30246);
    EXPECT_EQ(change.count(), 1);
    h.release(30, 6); // before the next poll: the slide is not yet known to be under the cursor
    EXPECT_EQ(change.count(), 1);
    EXPECT_EQ(changing.count(), 0);
    EXPECT_FALSE(h.bar->dragging());
}

TEST(ProgressBar, ClickReleasedAfterThePollReportsAgainWithTheSameValue)
{
    Host h({64, 13}, {12, 13}, 65535);
    h.bar->SetEnabled(true);
    QSignalSpy change(h.bar, &SkinSlider::changed);
    h.pollAt(30, 6);
    h.press(30, 6);
    h.pollAt(30, 6); // now over the slide (24 < 30 < 36)
    EXPECT_TRUE(h.bar->overSlide());
    h.release(30, 6);
    ASSERT_EQ(change.count(), 2);
    EXPECT_EQ(h.bar->Pos(), 30246);
}

TEST(ProgressBar, ClickNearTheEndsClampsTheSlide)
{
    struct Case {
        int x;
        int slidePos;
        int pos;
    };
    const Case cases[] = {{3, 0, 0}, {62, 52, 65535}, {59, 52, 65535}, {7, 1, 1260}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        Host h({64, 13}, {12, 13}, 65535);
        h.bar->SetPos(65535);
        h.bar->SetPos(0);
        h.bar->SetEnabled(true);
        h.bar->SetPos(c.x < 32 ? 65535 : 0); // slide away from the click
        h.pollAt(c.x, 6);
        ASSERT_FALSE(h.bar->overSlide());
        h.press(c.x, 6);
        EXPECT_EQ(h.bar->slidePosition(), c.slidePos);
        EXPECT_EQ(h.bar->Pos(), c.pos);
    }
}

TEST(ProgressBar, DragMovesOnPollsOnlyAndEndsWithOneChange)
{
    Host h({64, 13}, {12, 13}, 65535);
    h.bar->SetEnabled(true);
    QSignalSpy change(h.bar, &SkinSlider::changed);
    QSignalSpy changing(h.bar, &SkinSlider::changing);
    h.pollAt(5, 6); // over the slide at 0
    ASSERT_TRUE(h.bar->overSlide());
    h.press(5, 6);
    EXPECT_TRUE(h.bar->dragging());
    EXPECT_EQ(change.count(), 0);

    // Several moves between two polls: one change of position, one changing.
    h.cursorAt(9, 6);
    h.cursorAt(15, 6);
    h.cursorAt(25, 6);
    EXPECT_EQ(changing.count(), 0);
    h.bar->GetMousePosTimer();
    EXPECT_EQ(changing.count(), 1);
    EXPECT_EQ(h.bar->slidePosition(), 20);
    EXPECT_EQ(h.bar->Pos(), 65535 * 20 / 52);
    // Unmoved: nothing.
    h.bar->GetMousePosTimer();
    EXPECT_EQ(changing.count(), 1);
    // Far beyond the control, even off it vertically: clamped to the track's end.
    h.pollAt(500, -80);
    EXPECT_EQ(changing.count(), 2);
    EXPECT_EQ(h.bar->slidePosition(), 52);
    EXPECT_EQ(h.bar->Pos(), 65535);
    // SetPos is ignored during the drag.
    h.bar->SetPos(100);
    EXPECT_EQ(h.bar->Pos(), 65535);
    EXPECT_EQ(h.bar->slidePosition(), 52);
    // The release ends the drag wherever the cursor is.
    h.release(500, -80);
    EXPECT_FALSE(h.bar->dragging());
    EXPECT_EQ(change.count(), 1);
    EXPECT_EQ(h.bar->Pos(), 65535);
    h.bar->SetPos(100);
    EXPECT_EQ(h.bar->Pos(), 100);
}

TEST(ProgressBar, DisablingZeroesTheValueLeavesTheSlideAndEndsADrag)
{
    Host h({64, 13}, {12, 13}, 65535);
    h.bar->SetEnabled(true);
    h.bar->SetPos(32767);
    ASSERT_EQ(h.bar->slidePosition(), 25);
    h.pollAt(30, 6); // over the slide (25 < 30 < 37)
    h.press(30, 6);
    ASSERT_TRUE(h.bar->dragging());

    h.bar->SetEnabled(false);
    EXPECT_EQ(h.bar->Pos(), 0);
    EXPECT_EQ(h.bar->slidePosition(), 25);
    EXPECT_FALSE(h.bar->dragging());
    EXPECT_FALSE(h.bar->polling());
    EXPECT_FALSE(h.bar->testAttribute(Qt::WA_SetCursor));
    // The slide is drawn where it was, in its disabled look.
    const QImage img = h.bar->renderImage();
    EXPECT_EQ(img.pixel(25 + 6, 6), Disabled);

    // Enabled again: the cursor moving does not drag the slide along.
    QSignalSpy changing(h.bar, &SkinSlider::changing);
    h.bar->SetEnabled(true);
    h.pollAt(50, 6);
    EXPECT_EQ(changing.count(), 0);
    EXPECT_EQ(h.bar->slidePosition(), 25);
    // The next SetPos moves it.
    h.bar->SetPos(65535);
    EXPECT_EQ(h.bar->slidePosition(), 52);
}

TEST(ProgressBar, RightButtonAndDisabledSliderDoNothing)
{
    Host h({64, 13}, {12, 13}, 65535);
    h.bar->SetEnabled(true);
    QSignalSpy change(h.bar, &SkinSlider::changed);
    h.pollAt(30, 6);
    h.press(30, 6, Qt::RightButton);
    h.release(30, 6, Qt::RightButton);
    EXPECT_EQ(change.count(), 0);
    EXPECT_EQ(h.bar->slidePosition(), 0);
}

TEST(ProgressBar, PaintsSevenShadedRowsUpToTheSlide)
{
    // 48205 is the colour value with red 77 and green 188.
    const QRgb expected[7] = {qRgb(77 - 41, 188 - 16, 0), qRgb(77 + 62, 188 + 24, 0),
                              qRgb(77 + 58, 188 + 22, 0), qRgb(77 + 61, 188 + 23, 0),
                              qRgb(77 + 45, 188 + 17, 0), qRgb(77, 188, 0),
                              qRgb(77 - 45, 188 - 19, 0)};
    const int rowStart[7] = {2, 1, 0, 0, 0, 1, 2};
    Host h({264, 11}, {20, 11}, 100);
    h.bar->SetPos(50); // slide at 122
    const QImage img = h.bar->renderImage();
    const int bandTop = (11 - 7) / 2;
    for (int r = 0; r < 7; ++r) {
        SCOPED_TRACE(r);
        const int y = bandTop + r;
        // Slide rows with a key pixel at column 0 start the bar one pixel later.
        const int slideFirst = (y == 0 || y == 10) ? 1 : 0;
        EXPECT_EQ(img.pixel(rowStart[r], y), expected[r]);
        EXPECT_EQ(img.pixel(60, y), expected[r]);
        EXPECT_EQ(img.pixel(122 + slideFirst - 1, y), expected[r]);
        if (rowStart[r] > 0) {
            EXPECT_EQ(qAlpha(img.pixel(rowStart[r] - 1, y)), 0);
        }
        EXPECT_EQ(img.pixel(122 + 5, y), Disabled);   // a new slider is disabled
        EXPECT_EQ(qAlpha(img.pixel(122 + 20, y)), 0); // right of the slide: the skin
    }
    // Outside the band only the slide is drawn.
    EXPECT_EQ(qAlpha(img.pixel(60, 0)), 0);
    EXPECT_EQ(qAlpha(img.pixel(60, 10)), 0);
    EXPECT_EQ(qAlpha(img.pixel(122, 0)), 0); // key pixel of the slide
    EXPECT_EQ(img.pixel(123, 0), Disabled);
}

TEST(ProgressBar, ShadesClampEachByteAndDropBlue)
{
    struct Case {
        QColor colour;
        QRgb row0, row1, row5, row6;
    };
    const Case cases[] = {
        {QColor(77, 188, 0), qRgb(36, 172, 0), qRgb(139, 212, 0), qRgb(77, 188, 0),
         qRgb(32, 169, 0)},
        {QColor(250, 240, 99), qRgb(209, 224, 0), qRgb(255, 255, 0), qRgb(250, 240, 99),
         qRgb(205, 221, 0)},
        {QColor(10, 5, 200), qRgb(0, 0, 0), qRgb(72, 29, 0), qRgb(10, 5, 200), qRgb(0, 0, 0)},
    };
    for (const Case& c : cases) {
        SkinSlider bar;
        bar.SetProgressBarColor(c.colour);
        EXPECT_EQ(bar.shade(0).rgb(), c.row0);
        EXPECT_EQ(bar.shade(1).rgb(), c.row1);
        EXPECT_EQ(bar.shade(5).rgb(), c.row5);
        EXPECT_EQ(bar.shade(6).rgb(), c.row6);
    }
    EXPECT_EQ(SkinSlider::colorFromValue(48205), QColor(77, 188, 0));
}

TEST(ProgressBar, SlideShowsActiveLookWhileOverItOrDragging)
{
    Host h({64, 13}, {12, 13}, 65535);
    h.bar->SetEnabled(true);
    EXPECT_EQ(h.bar->renderImage().pixel(6, 6), Normal);
    h.pollAt(6, 6);
    EXPECT_EQ(h.bar->renderImage().pixel(6, 6), Active);
    h.press(6, 6);
    h.pollAt(40, 6);
    const int slide = h.bar->slidePosition();
    EXPECT_EQ(h.bar->renderImage().pixel(slide + 6, 6), Active);
    h.release(40, 6);
    h.pollAt(0, 40); // away: normal look again
    EXPECT_EQ(h.bar->renderImage().pixel(slide + 6, 6), Normal);
}
