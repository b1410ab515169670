// ctest-label: gui
// The flashing image and the scrolling caption, stepped by calling their timer handlers.
#include "skin/TQLTGlintImage.h"
#include "skin/TQLTScrollText.h"

#include <QPixmap>
#include <QSignalSpy>
#include <gtest/gtest.h>

using skin::TQLTGlintImage;
using skin::TQLTScrollText;

namespace {

QIcon solidIcon(QRgb colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(QColor::fromRgb(colour));
    return QIcon(pixmap);
}

bool imageShown(TQLTGlintImage& glint)
{
    return qAlpha(glint.renderImage().pixel(8, 8)) == 255;
}

} // namespace

TEST(GlintImage, FlashesInPhasesOfGlintCycleStartingVisible)
{
    const QList<QIcon> images{solidIcon(qRgb(255, 0, 0)), solidIcon(qRgb(0, 0, 255))};
    TQLTGlintImage glint;
    EXPECT_EQ(glint.size(), QSize(16, 16));
    glint.Images = &images;
    glint.SetImageIndex(1);
    EXPECT_FALSE(glint.timerRunning());
    EXPECT_EQ(glint.timerInterval(), 500);
    EXPECT_TRUE(imageShown(glint));
    EXPECT_EQ(glint.renderImage().pixel(8, 8), qRgb(0, 0, 255));

    glint.SetGlint(true);
    EXPECT_TRUE(glint.timerRunning());
    const bool expected[] = {true, false, true, false, true};
    for (bool shown : expected) {
        EXPECT_EQ(imageShown(glint), shown);
        glint.SetGlintTimer();
    }
    // In the hidden phase, switching the glint off shows the image steadily.
    ASSERT_FALSE(glint.visiblePhase());
    glint.SetGlint(false);
    EXPECT_FALSE(glint.timerRunning());
    EXPECT_TRUE(imageShown(glint));

    glint.SetGlintCycle(250);
    EXPECT_EQ(glint.timerInterval(), 250);
}

TEST(GlintImage, DrawsNothingWithoutAnImage)
{
    const QList<QIcon> images{solidIcon(qRgb(255, 0, 0))};
    struct Case {
        const char* name;
        const QList<QIcon>* list;
        int index;
    };
    const Case cases[] = {{"no list", nullptr, 0}, {"index past the end", &images, 1}, {"negative index", &images, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TQLTGlintImage glint;
        glint.Images = c.list;
        glint.SetImageIndex(c.index);
        EXPECT_FALSE(imageShown(glint));
    }
}

TEST(ScrollText, EntersFromTheRightAndWrapsAfterLeavingOnTheLeft)
{
    TQLTScrollText text;
    EXPECT_EQ(text.size(), QSize(169, 13));
    EXPECT_EQ(text.Caption(), QStringLiteral("MyScrollText"));
    EXPECT_EQ(text.timerInterval(), 50);
    EXPECT_FALSE(text.timerRunning());

    struct Case {
        const char* caption;
        int step;
    };
    const Case cases[] = {{"Vexa Recorder", 1}, {"A much longer caption than the control", 1}, {"Step three", 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        text.SetScroll(false);
        text.SetCaption(QString::fromLatin1(c.caption));
        text.Step = c.step;
        const int w = text.textWidth();
        ASSERT_GT(w, 0);
        text.SetScroll(true);
        EXPECT_TRUE(text.timerRunning());
        EXPECT_EQ(text.textX(), 169);
        EXPECT_EQ(text.wrapLimit(), -w);
        // Steps until the text is back at the right edge.
        int steps = 0;
        int lowest = text.textX();
        do {
            text.SetStepTimer();
            ++steps;
            if (text.textX() != 169)
                lowest = std::min(lowest, text.textX());
        } while (text.textX() != 169 && steps < 10000);
        EXPECT_GE(lowest, -w);       // it goes no further left than its own width
        EXPECT_LT(lowest - c.step, -w); // and the step after that wraps
        EXPECT_EQ(steps, (169 + w) / c.step + 1);
    }
}

TEST(ScrollText, CaptionWhileScrollingKeepsThePlaceAndStopResets)
{
    TQLTScrollText text;
    QSignalSpy changed(&text, &TQLTScrollText::changed);
    text.SetScroll(true);
    for (int i = 0; i < 30; ++i)
        text.SetStepTimer();
    ASSERT_EQ(text.textX(), 139);
    text.SetCaption(QStringLiteral("A new caption, longer than before"));
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(text.textX(), 139);
    EXPECT_EQ(text.wrapLimit(), -text.textWidth());

    text.SetScroll(false);
    EXPECT_FALSE(text.timerRunning());
    EXPECT_EQ(text.textX(), 0);
    EXPECT_EQ(text.wrapLimit(), 0);

    text.SetInterval(20);
    EXPECT_EQ(text.timerInterval(), 20);
}
