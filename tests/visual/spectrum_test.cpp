// ctest-label: unit
// The spectrum box over a patterned window image: the background taken from under the box, the
// gradient rows, a full-scale band rising and falling (bars 3 pixels, peaks 1 pixel a frame) in
// Blaze and Bars, the waveform line, the mode switch that keeps the heights, Idle that draws
// only the background and the counter, and the invariant of bars and peaks under random input.
#include "VisualImages.h"

#include "visual/Led.h"
#include "visual/TSpectrum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

using namespace visual;
using visualtest::patternedWindow;
using visualtest::picture;
using visualtest::sameRegion;

namespace {

const QRect Box(10, 56, 88, 44);
constexpr QRgb Yellow = 0xffffff00;
constexpr QRgb White = 0xffffffff;
// Columns and rows of the box that the counter never touches.
const QRect AwayFromCounter(0, 16, 88, 28);

class Spectrum : public ::testing::Test {
protected:
    // One frame; returns the image the box got.
    QImage frame(TransportState state = Recording, std::uint32_t seconds = 0)
    {
        QImage target;
        spectrum.Draw(target, fft, samples, state, seconds);
        return target;
    }
    // The background with the counter on it: what Idle shows.
    QImage backgroundWithCounter(TransportState state, std::uint32_t seconds)
    {
        QImage image = spectrum.Background.copy();
        DrawLedTime(image, seconds, state, Yellow, 4);
        return image;
    }
    // Column x as text from the top row down: 'g' a pixel of the gradient of its row, 'p' the
    // peak colour, '.' the background.
    QString column(const QImage& image, int x)
    {
        QString text;
        for (int y = 0; y < image.height(); ++y) {
            const QRgb pixel = image.pixel(x, y) | 0xff000000;
            if (pixel == (spectrum.Background.pixel(x, y) | 0xff000000))
                text += QLatin1Char('.');
            else if (pixel == spectrum.gradient(y))
                text += QLatin1Char('g');
            else if (pixel == Yellow)
                text += QLatin1Char('p');
            else
                text += QLatin1Char('?');
        }
        return text;
    }
    // What a column should show: the bar's rows in the gradient, the peak over it.
    static QString expectedColumn(int bar, int peak, int height = 44)
    {
        QString text(height, QLatin1Char('.'));
        for (int r = height - bar; r < height; ++r)
            text[r] = QLatin1Char('g');
        if (height - peak < height)
            text[height - peak] = QLatin1Char('p');
        return text;
    }

    QImage window = patternedWindow();
    TSpectrum spectrum{window, Box};
    TSpectrum::FftBuffer fft{};
    TSpectrum::SampleBuffer samples{};
};

} // namespace

TEST_F(Spectrum, TakesTheWindowUnderTheBoxAndStartsAsDesigned)
{
    ASSERT_EQ(spectrum.Background.size(), Box.size());
    ASSERT_EQ(spectrum.Bitmap.size(), Box.size());
    EXPECT_TRUE(sameRegion(spectrum.Background, window.copy(Box), spectrum.Background.rect()));
    EXPECT_EQ(spectrum.BoxHeight, 44);
    EXPECT_EQ(spectrum.Mode, SpectrumMode::Blaze);
    EXPECT_EQ(spectrum.OriginY, 0);
    EXPECT_EQ(spectrum.BandStep, 1);
    EXPECT_EQ(spectrum.PeakFall, 1);
    EXPECT_EQ(spectrum.BarFall, 3);
    EXPECT_EQ(spectrum.BarWidth, 3);
    EXPECT_EQ((spectrum.TopR), 255);
    EXPECT_EQ((spectrum.TopG), 0);
    EXPECT_FLOAT_EQ(spectrum.StepG, -255.0f / 44.0f);
    EXPECT_FLOAT_EQ(spectrum.StepR, 0.0f);
    for (int i = 0; i < TSpectrum::BandCount; ++i)
        ASSERT_EQ(spectrum.Peaks[std::size_t(i)] + spectrum.Bars[std::size_t(i)], 0);
}

TEST_F(Spectrum, GradientRowsRunFromRedAtTheTopToYellowAtTheBottom)
{
    EXPECT_EQ(spectrum.gradient(0), qRgb(255, 0, 0));
    EXPECT_EQ(spectrum.gradient(43), qRgb(255, 249, 0));
    for (int row = 0; row < 44; ++row)
        EXPECT_EQ(spectrum.gradient(row), qRgb(255, 255 * row / 44, 0)) << "row " << row;
}

TEST_F(Spectrum, AFullScaleBandRisesAtOnceThenFallsThreeAndItsPeakOnePixelAFrame)
{
    fft[5 + 3] = 0.2f; // band 3: d = 100, limited to 44
    QImage image = frame();
    EXPECT_EQ(spectrum.Bars[3], 44);
    EXPECT_EQ(spectrum.Peaks[3], 44);
    // The whole column in the gradient, the peak dot on the top row over it; the neighbours
    // untouched below the counter.
    EXPECT_EQ(column(image, 3), expectedColumn(44, 44));
    EXPECT_EQ(column(image, 3).left(1), QStringLiteral("p"));
    EXPECT_EQ(image.pixel(3, 43), qRgb(255, 249, 0));
    EXPECT_TRUE(sameRegion(image, spectrum.Background, QRect(4, 16, 84, 28)));
    EXPECT_TRUE(sameRegion(image, spectrum.Background, QRect(0, 16, 3, 28)));

    fft[5 + 3] = 0.0f;
    for (int k = 1; k <= 50; ++k) {
        image = frame();
        const int bar = std::max(44 - 3 * k, 0);
        const int peak = std::max(44 - k, 0);
        ASSERT_EQ(spectrum.Bars[3], bar) << "frame " << k;
        ASSERT_EQ(spectrum.Peaks[3], peak) << "frame " << k;
        ASSERT_EQ(column(image, 3), expectedColumn(bar, peak)) << "frame " << k;
    }
    // The bar was gone after 15 frames, the peak after 44: the column shows the background.
    EXPECT_EQ(column(image, 3), QString(44, QLatin1Char('.')));
}

TEST_F(Spectrum, BandValuesScaleBy500AndUseBins5To132)
{
    const struct {
        int band;
        float value;
        int height;
    } cases[] = {
        {0, 0.015625f, 7}, {1, -0.03125f, 15}, {2, 0.0879f, 43}, {3, 0.09f, 44}, {87, 1e30f, 44},
        {127, 0.05f, 25}, {60, std::numeric_limits<float>::quiet_NaN(), 0}, {61, 0.0019f, 0},
    };
    for (const auto& c : cases)
        fft[std::size_t(5 + c.band)] = c.value;
    fft[4] = 1.0f;   // below band 0
    fft[133] = 1.0f; // above band 127
    const QImage image = frame();
    for (const auto& c : cases) {
        EXPECT_EQ(spectrum.Bars[std::size_t(c.band)], c.height) << "band " << c.band;
        if (c.band < 88) {
            EXPECT_EQ(column(image, c.band).mid(16), expectedColumn(c.height, c.height).mid(16)) << "band " << c.band;
        }
    }
    int lit = 0;
    for (int i = 0; i < TSpectrum::BandCount; ++i)
        lit += spectrum.Bars[std::size_t(i)] > 0;
    EXPECT_EQ(lit, 6);
}

TEST_F(Spectrum, BarsAreThreePixelsWideFourApartWithThePeakLineCoveredByTheBar)
{
    spectrum.SetMode(SpectrumMode::Bars);
    fft[5 + 2] = 0.05f; // 25 pixels, in x 8 to 10
    QImage image = frame();
    for (int x = 8; x <= 10; ++x)
        EXPECT_EQ(column(image, x), expectedColumn(25, 25).replace(QLatin1Char('p'), QLatin1Char('g'))) << x;
    EXPECT_TRUE(sameRegion(image, spectrum.Background, QRect(0, 16, 8, 28)));
    EXPECT_TRUE(sameRegion(image, spectrum.Background, QRect(11, 16, 77, 28)));

    fft[5 + 2] = 0.0f;
    image = frame();
    frame();
    image = frame(); // three frames later: bar 16, peak 22
    for (int x = 8; x <= 10; ++x)
        EXPECT_EQ(column(image, x), expectedColumn(16, 22)) << x;
    // Band 21 is the last one inside the box (x 84 to 86); band 22 would start at x 88.
    fft[5 + 21] = 1.0f;
    fft[5 + 22] = 1.0f;
    image = frame();
    EXPECT_EQ(column(image, 86).mid(16), QString(28, QLatin1Char('g')));
    EXPECT_EQ(column(image, 87), QString(44, QLatin1Char('.')));
}

TEST_F(Spectrum, WaveformDrawsTheSamplesAroundTheMiddleRow)
{
    spectrum.SetMode(SpectrumMode::Waveform);
    EXPECT_EQ(spectrum.OriginY, 22);
    // Silence: a flat white line on row 22 across the visible box.
    QImage image = frame();
    for (int x = 0; x < 88; ++x) {
        ASSERT_EQ(image.pixel(x, 22), White) << x;
        ASSERT_NE(image.pixel(x, 21), White) << x;
        ASSERT_NE(image.pixel(x, 23), White) << x;
    }
    // Each element holds two samples; their sum scales by 44 / 131070, positive going down.
    const auto element = [](int s1, int s2) {
        return std::uint32_t(std::uint16_t(std::int16_t(s1))) | (std::uint32_t(std::uint16_t(std::int16_t(s2))) << 16);
    };
    for (std::size_t j = 0; j < samples.size(); ++j)
        samples[j] = element(16383, 16383); // 32766 * 44 / 131070 = 10.99: row 32
    image = frame();
    EXPECT_EQ(image.pixel(40, 32), White);
    EXPECT_NE(image.pixel(40, 22), White);
    for (std::size_t j = 0; j < samples.size(); ++j)
        samples[j] = element(-32768, -32768); // -65536 * 44 / 131070 = -22.0002: row 0
    image = frame();
    EXPECT_EQ(image.pixel(30, 0), White);
    // A ramp from the top row to the bottom: the line crosses the box from corner to corner.
    for (int j = 0; j <= 256; ++j) {
        const int target = -22 + (std::min(j, 87) * 43) / 87; // rows 0 to 43 over x 0 to 87
        // A sum that truncates to the target offset (toward zero, so negative ones from below).
        const double perRow = 131070.0 / 44.0;
        const int sum = target >= 0 ? int(std::lround((target + 0.5) * perRow))
                                    : std::max(-65536, int(std::floor((target - 0.0001) * perRow)));
        samples[std::size_t(j)] = element(sum / 2, sum - sum / 2);
    }
    image = frame();
    for (int x = 0; x < 88; ++x) {
        const int row = (x * 43) / 87;
        EXPECT_EQ(image.pixel(x, row), White) << "x " << x << " row " << row;
    }
}

TEST_F(Spectrum, SwitchingModesKeepsTheHeightsAndTheOrigin)
{
    fft[5 + 0] = 0.2f;
    fft[5 + 10] = 0.05f;
    frame();
    frame();
    fft.fill(0.0f);
    frame(); // band 0: bar 41, peak 43; band 10: bar 22, peak 24
    const auto bars = spectrum.Bars;
    const auto peaks = spectrum.Peaks;
    EXPECT_EQ(bars[0], 41);
    EXPECT_EQ(peaks[10], 24);

    spectrum.SetMode(SpectrumMode::Waveform);
    for (int k = 0; k < 5; ++k)
        frame(); // the bands are not computed while the waveform shows
    EXPECT_EQ(spectrum.Bars, bars);
    EXPECT_EQ(spectrum.Peaks, peaks);

    spectrum.SetMode(SpectrumMode::Blaze);
    EXPECT_EQ(spectrum.OriginY, 0);
    fft[5 + 0] = 0.0f;
    const QImage image = frame(); // resumes falling from where it was
    EXPECT_EQ(spectrum.Bars[0], 38);
    EXPECT_EQ(spectrum.Peaks[0], 42);
    EXPECT_EQ(column(image, 0), expectedColumn(38, 42));
    EXPECT_EQ(column(image, 10).mid(16), expectedColumn(19, 23).mid(16));

    spectrum.SetMode(SpectrumMode::Bars);
    const QImage bars1 = frame();
    EXPECT_EQ(spectrum.Bars[0], 35);
    EXPECT_EQ(column(bars1, 2), expectedColumn(35, 41));
}

TEST_F(Spectrum, IdleShowsOnlyTheBackgroundAndTheCounter)
{
    fft.fill(1.0f); // old data still in the buffer
    for (int i = 0; i < TSpectrum::BandCount; ++i)
        samples[std::size_t(i)] = 0x7fff7fffu;
    spectrum.Peaks[5] = 30;
    spectrum.Bars[5] = 20;
    const auto peaks = spectrum.Peaks;
    const auto bars = spectrum.Bars;
    for (SpectrumMode mode : {SpectrumMode::Blaze, SpectrumMode::Bars, SpectrumMode::Waveform}) {
        spectrum.SetMode(mode);
        const QImage image = frame(Idle, 0);
        EXPECT_TRUE(sameRegion(image, backgroundWithCounter(Idle, 0), image.rect())) << int(mode);
        EXPECT_EQ(image.pixel(41, 4), LedIdleColour);
    }
    EXPECT_EQ(spectrum.Peaks, peaks);
    EXPECT_EQ(spectrum.Bars, bars);
}

TEST_F(Spectrum, TheCounterStandsOverTheBars)
{
    fft.fill(0.2f);
    const QImage image = frame(Recording, 8);
    EXPECT_EQ(image.pixel(54, 4), Yellow);         // the first digit's top bar
    EXPECT_EQ(image.pixel(43, 4), LedRecordColour); // the recording disc at an even second
    EXPECT_EQ(image.pixel(53, 4), spectrum.gradient(4)); // a bar between the digit's pixels
}

TEST_F(Spectrum, WithoutTheBackgroundTheFrameStartsFromTheBackColour)
{
    spectrum.UseBackground = false;
    spectrum.BackColor = qRgb(0, 0, 80);
    QImage image = frame(Idle);
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 80));
    EXPECT_EQ(image.pixel(87, 43), qRgb(0, 0, 80));
    // Without clearing, the previous frame stays under the next one.
    spectrum.ClearFrame = false;
    spectrum.UseBackground = true;
    fft[5 + 1] = 0.2f;
    frame();
    fft[5 + 1] = 0.0f;
    image = frame(); // bar 41 from row 3, peak on row 1
    EXPECT_EQ(image.pixel(1, 0), Yellow);               // the peak of the frame before
    EXPECT_EQ(image.pixel(1, 1), Yellow);
    EXPECT_EQ(image.pixel(1, 2), spectrum.gradient(2)); // the bar of the frame before
}

TEST_F(Spectrum, BarsNeverExceedTheirPeaksOrTheBox)
{
    std::mt19937 random(12);
    std::uniform_real_distribution<float> value(-0.3f, 0.3f);
    std::bernoulli_distribution silent(0.4);
    for (int k = 0; k < 300; ++k) {
        for (float& v : fft)
            v = silent(random) ? 0.0f : value(random);
        if (k % 50 == 0)
            spectrum.SetMode(SpectrumMode(k / 50 % 2));
        frame(k % 7 == 0 ? RecordPaused : Playing, std::uint32_t(k));
        for (int i = 0; i < TSpectrum::BandCount; ++i) {
            const int bar = spectrum.Bars[std::size_t(i)];
            const int peak = spectrum.Peaks[std::size_t(i)];
            ASSERT_LE(0, bar);
            ASSERT_LE(bar, peak);
            ASSERT_LE(peak, 44);
        }
    }
}

TEST_F(Spectrum, TheTargetGetsTheWholeFrameAndKeepsItsMemory)
{
    fft[5] = 0.2f;
    QImage target;
    EXPECT_TRUE(spectrum.Draw(target, fft, samples, Playing, 8));
    ASSERT_EQ(target.size(), Box.size());
    EXPECT_TRUE(sameRegion(target, spectrum.Bitmap, target.rect()));
    const uchar* memory = target.constBits();
    EXPECT_TRUE(spectrum.Draw(target, fft, samples, Playing, 9)); // the symbol blinks off
    EXPECT_EQ(target.constBits(), memory);
    EXPECT_TRUE(sameRegion(target, spectrum.Bitmap, target.rect()));
    // The same picture again is reported unchanged, so the box need not be shown again.
    EXPECT_FALSE(spectrum.Draw(target, fft, samples, Playing, 9));
    EXPECT_TRUE(spectrum.Draw(target, fft, samples, Idle, 0));
    EXPECT_FALSE(spectrum.Draw(target, fft, samples, Idle, 0));
    target.setPixel(87, 43, qRgb(1, 2, 3)); // someone drew on the box
    EXPECT_TRUE(spectrum.Draw(target, fft, samples, Idle, 0));
    EXPECT_TRUE(sameRegion(target, spectrum.Bitmap, target.rect()));
}
