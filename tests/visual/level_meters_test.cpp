// ctest-label: unit
// The level meters over a patterned window image: the scaling of an engine reading (a failed
// one is silence), bars of 50 % and of full scale with their peaks, the gradient by column, the
// fall after a loud frame, pause falling to 0 in 11 frames, Idle showing only the background,
// and the two other meter styles.
#include "VisualImages.h"

#include "visual/LevelMeters.h"

#include <gtest/gtest.h>

#include <vector>

using namespace visual;
using visualtest::patternedWindow;
using visualtest::sameRegion;

namespace {

const QRect Box(104, 90, 154, 10);
constexpr QRgb Yellow = 0xffffff00;

class Volume : public ::testing::Test {
protected:
    QImage frame(int left, int right, TransportState state = Recording)
    {
        QImage target;
        volume.Draw(target, left, right, state);
        return target;
    }
    // One meter as text from column 0 on: 'c' the gradient colour of its column on all three of
    // its rows, 'p' the peak colour on all three, '.' the background on all three. Column 0's
    // gradient colour is the peak colour: there both read 'c'.
    QString meter(const QImage& image, int top)
    {
        QString text;
        for (int x = 0; x < image.width(); ++x) {
            char c = '?';
            for (int y = top; y < top + 3; ++y) {
                const QRgb pixel = image.pixel(x, y) | 0xff000000;
                const char here = pixel == (volume.Background.pixel(x, y) | 0xff000000) ? '.'
                    : pixel == volume.colour(x)                                         ? 'c'
                    : pixel == Yellow                                                   ? 'p'
                                                                                        : '?';
                c = y == top ? here : (c == here ? c : '?');
            }
            text += QLatin1Char(c);
        }
        return text;
    }
    // A meter with a bar of `bar` columns and the peak marker at column `peak`.
    static QString expectedMeter(int bar, int peak)
    {
        QString text(154, QLatin1Char('.'));
        for (int x = 0; x < bar && x < 154; ++x)
            text[x] = QLatin1Char('c');
        if (peak < 154)
            text[peak] = QLatin1Char(peak == 0 ? 'c' : 'p');
        return text;
    }
    bool gapRowsShowTheBackground(const QImage& image)
    {
        return sameRegion(image, volume.Background, QRect(0, 3, 154, 4));
    }

    QImage window = patternedWindow();
    LevelMeters volume{window, Box};
};

} // namespace

TEST(VolumeLevel, ReadingsScaleToPercentAndAFailedReadingIsSilence)
{
    const struct {
        std::uint32_t level;
        int left;
        int right;
    } cases[] = {
        {0, 0, 0},
        {32768u | (32768u << 16), 100, 100},
        {16384u | (16384u << 16), 50, 50},
        {32768u, 100, 0},
        {32768u << 16, 0, 100},
        {327u | (328u << 16), 0, 1},
        {0xFFFFu | (0xFFFEu << 16), 199, 199},
        {0xFFFFFFFFu, 0, 0}, // the engine could not read the channel
    };
    for (const auto& c : cases) {
        int left = -1;
        int right = -1;
        LevelMeters::ScaleLevel(c.level, left, right);
        EXPECT_EQ(left, c.left) << std::hex << c.level;
        EXPECT_EQ(right, c.right) << std::hex << c.level;
    }
}

TEST_F(Volume, TakesTheWindowUnderTheMetersAndItsGradientRunsYellowToRed)
{
    ASSERT_EQ(volume.Background.size(), Box.size());
    EXPECT_TRUE(sameRegion(volume.Background, window.copy(Box), volume.Background.rect()));
    EXPECT_EQ(volume.MeterLength, 154);
    EXPECT_EQ(volume.colour(0), qRgb(255, 255, 0));
    EXPECT_EQ(volume.colour(153), qRgb(255, 2, 0));
    for (int x = 0; x < 154; ++x)
        ASSERT_EQ(volume.colour(x), qRgb(255, 255 - 255 * x / 154, 0)) << "column " << x;
}

TEST_F(Volume, HalfScaleGivesBarsOf77PixelsWithTheirPeaksAtColumn77)
{
    int left = 0;
    int right = 0;
    LevelMeters::ScaleLevel(16384u | (16384u << 16), left, right);
    const QImage image = frame(left, right);
    EXPECT_EQ(volume.BarLeft, 77);
    EXPECT_EQ(volume.PeakRight, 77);
    EXPECT_EQ(meter(image, 0), expectedMeter(77, 77));
    EXPECT_EQ(meter(image, 7), expectedMeter(77, 77));
    EXPECT_EQ(image.pixel(77, 1), Yellow);
    EXPECT_TRUE(gapRowsShowTheBackground(image));
}

TEST_F(Volume, AFullScaleLeftBarFillsTheMeterAndItsPeakFallsOutside)
{
    const QImage image = frame(100, 0);
    EXPECT_EQ(volume.BarLeft, 154);
    EXPECT_EQ(volume.PeakLeft, 154);
    EXPECT_EQ(meter(image, 0), expectedMeter(154, 154));
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 0));
    EXPECT_EQ(image.pixel(153, 2), qRgb(255, 2, 0));
    // The lower meter: no bar, the peak marker a yellow 3-pixel line at column 0.
    EXPECT_EQ(meter(image, 7), expectedMeter(0, 0));
    EXPECT_EQ(image.pixel(0, 7), Yellow);
    EXPECT_EQ(image.pixel(0, 9), Yellow);
    EXPECT_TRUE(gapRowsShowTheBackground(image));
}

TEST_F(Volume, AfterAFullBarSilenceTakes15PixelsAFrameFromTheBarAnd2FromThePeak)
{
    frame(100, 100);
    std::vector<int> bars;
    for (int k = 1; k <= 80; ++k) {
        const QImage image = frame(0, 0);
        const int bar = std::max(154 - 15 * k, 0);
        const int peak = std::max(154 - 2 * k, 0);
        ASSERT_EQ(volume.BarLeft, bar) << "frame " << k;
        ASSERT_EQ(volume.PeakRight, peak) << "frame " << k;
        ASSERT_EQ(meter(image, 0), expectedMeter(bar, peak)) << "frame " << k;
        if (k <= 12)
            bars.push_back(volume.BarRight);
    }
    EXPECT_EQ(bars, (std::vector<int>{139, 124, 109, 94, 79, 64, 49, 34, 19, 4, 0, 0}));
}

TEST_F(Volume, PausedMetersIgnoreTheLevelsAndFallToZero)
{
    for (TransportState paused : {RecordPaused, PlayPaused}) {
        frame(100, 100, paused == RecordPaused ? Recording : Playing);
        int framesToZero = 0;
        int framesToPeakZero = 0;
        for (int k = 1; k <= 100; ++k) {
            frame(100, 100, paused);
            if (volume.BarLeft == 0 && volume.BarRight == 0 && framesToZero == 0)
                framesToZero = k;
            if (volume.PeakLeft == 0 && volume.PeakRight == 0 && framesToPeakZero == 0)
                framesToPeakZero = k;
        }
        EXPECT_EQ(framesToZero, 11) << int(paused);
        EXPECT_EQ(framesToPeakZero, 77) << int(paused);
        // At rest: no bar, both markers at column 0.
        const QImage image = frame(100, 100, paused);
        EXPECT_EQ(meter(image, 0), expectedMeter(0, 0));
        EXPECT_EQ(meter(image, 7), expectedMeter(0, 0));
    }
}

TEST_F(Volume, IdleShowsOnlyTheBackgroundAndKeepsTheMeters)
{
    frame(60, 30);
    const int barLeft = volume.BarLeft;
    const int peakRight = volume.PeakRight;
    const QImage image = frame(100, 100, Idle);
    EXPECT_TRUE(sameRegion(image, volume.Background, image.rect()));
    EXPECT_EQ(volume.BarLeft, barLeft);
    EXPECT_EQ(volume.PeakRight, peakRight);
    // A new start continues to fall from where the meters stood.
    frame(0, 0);
    EXPECT_EQ(volume.BarLeft, barLeft - 15);
}

TEST_F(Volume, StylesAndAFailedReadingAtFullLevels)
{
    volume.MeterStyle = 1; // even columns only
    QImage image = frame(10, 10);
    QString expected = expectedMeter(15, 15);
    for (int x = 1; x < 15; x += 2)
        expected[x] = QLatin1Char('.');
    EXPECT_EQ(meter(image, 0), expected);

    volume.MeterStyle = 2; // no bars, only the peak markers
    image = frame(10, 10);
    EXPECT_EQ(meter(image, 0), expectedMeter(0, 15));
    EXPECT_EQ(image.pixel(15, 0), Yellow);

    // A reading of 199 % (what an unchecked failure would give) is clipped at the edge.
    volume.MeterStyle = 0;
    image = frame(199, 199);
    EXPECT_EQ(volume.BarLeft, 306);
    EXPECT_EQ(meter(image, 7), QString(154, QLatin1Char('c')));
}

TEST_F(Volume, DrawSaysWhetherTheMetersChanged)
{
    QImage target;
    EXPECT_TRUE(volume.Draw(target, 50, 50, Recording));
    EXPECT_FALSE(volume.Draw(target, 50, 50, Recording)); // the same bars and peaks
    EXPECT_TRUE(volume.Draw(target, 0, 50, Recording));   // the left bar falls
    EXPECT_TRUE(volume.Draw(target, 0, 0, Idle));
    EXPECT_FALSE(volume.Draw(target, 80, 80, Idle));
}

TEST_F(Volume, WithoutTheBackgroundTheFrameStartsFromTheBackColour)
{
    volume.UseBackground = false;
    volume.BackColor = qRgb(0, 0, 90);
    const QImage image = frame(0, 0, Idle);
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 90));
    EXPECT_EQ(image.pixel(153, 9), qRgb(0, 0, 90));
}
