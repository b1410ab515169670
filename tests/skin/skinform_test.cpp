// ctest-label: gui
// The window shape cut from the skin's key colour, the placeholder outline of an empty skin,
// and moving the window by dragging the bare skin.
#include "skin/MainFormLayout.h"
#include "skin/TQLTSkinForm.h"

#include <QFile>
#include <QMouseEvent>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using skin::TQLTSkinForm;

namespace {

const QRgb Fuchsia = qRgb(255, 0, 255);

// The key pixels the shipped skin must have: 4, 2, 1, 1 per row in each corner, and a notch
// of 8, 4, 2, 2 pixels in columns 0..3 over rows 164..171 on each side.
QSet<QPair<int, int>> expectedKeyPixels(int w, int h)
{
    QSet<QPair<int, int>> out;
    const int corner[4] = {4, 2, 1, 1};
    for (int row = 0; row < 4; ++row)
        for (int i = 0; i < corner[row]; ++i) {
            out.insert({i, row});
            out.insert({w - 1 - i, row});
            out.insert({i, h - 1 - row});
            out.insert({w - 1 - i, h - 1 - row});
        }
    const int notch[4][2] = {{164, 171}, {166, 169}, {167, 168}, {167, 168}};
    for (int col = 0; col < 4; ++col)
        for (int y = notch[col][0]; y <= notch[col][1]; ++y) {
            out.insert({col, y});
            out.insert({w - 1 - col, y});
        }
    return out;
}

QSet<QPair<int, int>> holesOf(const QRegion& region, int w, int h)
{
    QSet<QPair<int, int>> holes;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (!region.contains(QPoint(x, y)))
                holes.insert({x, y});
    return holes;
}

void sendMouse(QWidget* target, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons,
               QPoint local)
{
    QMouseEvent event(type, QPointF(local), QPointF(target->mapToGlobal(local)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

} // namespace

TEST(SkinForm, ShippedSkinLeavesOutExactlyTheSixtyFourKeyPixels)
{
    const QImage art = skin::MainFormLayout::art(QStringLiteral("skin"));
    ASSERT_EQ(art.size(), QSize(270, 358));
    EXPECT_FALSE(art.hasAlphaChannel());
    // 24-bit on disk: PNG colour type 2 (RGB) with 8 bits per sample.
    QFile file(qEnvironmentVariable("VEXA_SOURCE_DIR") + QStringLiteral("/src/skin/art/skin.png"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray header = file.read(26);
    ASSERT_EQ(header.size(), 26);
    EXPECT_EQ(header.mid(12, 4), QByteArray("IHDR"));
    EXPECT_EQ(int(header.at(24)), 8);
    EXPECT_EQ(int(header.at(25)), 2);
    EXPECT_EQ(art.pixel(0, 0) & 0xFFFFFF, Fuchsia & 0xFFFFFF);

    QWidget owner;
    TQLTSkinForm form(&owner);
    QSignalSpy changed(&form, &TQLTSkinForm::regionChanged);
    form.SetSkinBmp(art);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(owner.size(), QSize(270, 358));
    EXPECT_EQ(form.geometry(), QRect(0, 0, 270, 358));
    EXPECT_TRUE(owner.windowFlags().testFlag(Qt::FramelessWindowHint));

    const auto expected = expectedKeyPixels(270, 358);
    ASSERT_EQ(expected.size(), 64);
    EXPECT_EQ(holesOf(owner.mask(), 270, 358), expected);
    // And the art has no other pixel of the key colour.
    int keyPixels = 0;
    for (int y = 0; y < art.height(); ++y)
        for (int x = 0; x < art.width(); ++x)
            keyPixels += (art.pixel(x, y) & 0xFFFFFF) == (Fuchsia & 0xFFFFFF);
    EXPECT_EQ(keyPixels, 64);
}

TEST(SkinForm, HolesFollowTheTopLeftPixelWhateverTransparentColorSays)
{
    struct Case {
        const char* name;
        QRgb topLeft;
        QColor transparentColor;
        QList<QPoint> paintedLikeTopLeft; // besides (0, 0)
        QList<QPoint> fuchsiaElsewhere;   // holes only when fuchsia is the key
    };
    const Case cases[] = {
        {"fuchsia key, hole in the middle", Fuchsia, QColor(255, 0, 255), {{5, 5}, {9, 3}}, {}},
        {"red key, fuchsia pixels stay", qRgb(255, 0, 0), QColor(255, 0, 255), {{4, 6}}, {{2, 2}, {7, 7}}},
        {"red key, transparent colour green", qRgb(255, 0, 0), QColor(0, 255, 0), {{1, 8}}, {{3, 3}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage skinImage(12, 10, QImage::Format_RGB32);
        skinImage.fill(qRgb(30, 40, 50));
        skinImage.setPixel(0, 0, c.topLeft);
        for (const QPoint& p : c.paintedLikeTopLeft)
            skinImage.setPixel(p, c.topLeft);
        for (const QPoint& p : c.fuchsiaElsewhere)
            skinImage.setPixel(p, Fuchsia);

        QWidget owner;
        TQLTSkinForm form(&owner);
        form.SetTransparentColor(c.transparentColor);
        form.SetSkinBmp(skinImage);
        QSet<QPair<int, int>> expected{{0, 0}};
        for (const QPoint& p : c.paintedLikeTopLeft)
            expected.insert({p.x(), p.y()});
        EXPECT_EQ(holesOf(owner.mask(), 12, 10), expected);

        // Setting the transparent colour again rebuilds the very same shape.
        form.SetTransparentColor(QColor(0, 0, 255));
        EXPECT_EQ(holesOf(owner.mask(), 12, 10), expected);
    }
}

TEST(SkinForm, EmptySkinSetsNoShapeAndPaintsAnOutline)
{
    QWidget owner;
    owner.resize(333, 222);
    TQLTSkinForm form(&owner);
    QSignalSpy changed(&form, &TQLTSkinForm::regionChanged);
    QSignalSpy painted(&form, &TQLTSkinForm::painted);
    form.SetSkinBmp(QImage());
    form.Repaint();
    EXPECT_EQ(changed.count(), 0);
    EXPECT_TRUE(owner.mask().isEmpty());
    EXPECT_EQ(owner.size(), QSize(333, 222));
    EXPECT_EQ(form.size(), QSize(200, 100));

    const QImage image = form.renderImage();
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(199, 99), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(100, 0), qRgb(0, 0, 0));
    EXPECT_EQ(qAlpha(image.pixel(100, 50)), 0);

    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    form.repaint();
    EXPECT_GE(painted.count(), 1);
}

TEST(SkinForm, DraggingTheBareSkinWithTheLeftButtonMovesTheWindow)
{
    QImage skinImage(120, 80, QImage::Format_RGB32);
    skinImage.fill(qRgb(30, 40, 50));
    skinImage.setPixel(0, 0, Fuchsia);

    struct Case {
        const char* name;
        Qt::MouseButton button;
        QPoint moveTo;
        bool moves;
    };
    const Case cases[] = {
        {"left drag", Qt::LeftButton, {70, 60}, true},
        {"right drag", Qt::RightButton, {70, 60}, false},
        {"left, less than the drag distance", Qt::LeftButton, {41, 40}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget owner;
        TQLTSkinForm form(&owner);
        form.SetSkinBmp(skinImage);
        owner.move(100, 100);
        owner.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
        const QPoint start = owner.pos();
        sendMouse(&form, QEvent::MouseButtonPress, c.button, c.button, {40, 40});
        sendMouse(&form, QEvent::MouseMove, Qt::NoButton, c.button, c.moveTo);
        sendMouse(&form, QEvent::MouseButtonRelease, c.button, Qt::NoButton, c.moveTo);
        if (c.moves)
            EXPECT_EQ(owner.pos(), start + (c.moveTo - QPoint(40, 40)));
        else
            EXPECT_EQ(owner.pos(), start);
    }
}
