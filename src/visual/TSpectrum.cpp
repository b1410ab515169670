#include "visual/TSpectrum.h"

#include "visual/Led.h"
#include "visual/Pixels.h"

#include <cmath>

namespace visual {

namespace {
constexpr QRgb LedDigitColour = 0xffffff00; // yellow
constexpr int LedRow = 4;
// A band value of 0.2 or more fills the whole box.
constexpr float BandScale = 500.0f;
}

TSpectrum::TSpectrum(const QImage& window, const QRect& box)
    : Bitmap(pixels::makeBitmap(box.size())),
      Background(pixels::copyRect(window, box)),
      BoxHeight(box.height()),
      TopR(qRed(BarTopColor)),
      TopG(qGreen(BarTopColor)),
      TopB(qBlue(BarTopColor)),
      StepR(pixels::gradientStep(qRed(BarBottomColor), qRed(BarTopColor), BoxHeight)),
      StepG(pixels::gradientStep(qGreen(BarBottomColor), qGreen(BarTopColor), BoxHeight)),
      StepB(pixels::gradientStep(qBlue(BarBottomColor), qBlue(BarTopColor), BoxHeight))
{
    gradientRows_.reserve(std::size_t(std::max(BoxHeight, 0)));
    for (int row = 0; row < BoxHeight; ++row)
        gradientRows_.push_back(gradient(row));
}

QRgb TSpectrum::gradient(int row) const
{
    if (row >= 0 && row < int(gradientRows_.size()))
        return gradientRows_[std::size_t(row)];
    // Top minus the step: the step runs from the bottom colour up to the top colour.
    return qRgb(pixels::gradientChannel(TopR, -row, StepR), pixels::gradientChannel(TopG, -row, StepG),
                pixels::gradientChannel(TopB, -row, StepB));
}

void TSpectrum::SetMode(SpectrumMode mode)
{
    Mode = mode;
    OriginY = mode == SpectrumMode::Waveform ? Bitmap.height() / 2 : 0;
}

bool TSpectrum::Draw(QImage& target, const FftBuffer& fft, const SampleBuffer& samples, TransportState state,
                     std::uint32_t seconds)
{
    if (ClearFrame) {
        if (UseBackground)
            pixels::blockCopy(Background, Bitmap);
        else
            pixels::fill(Bitmap, BackColor);
    }
    if (state != Idle) {
        pixels::Canvas canvas(Bitmap);
        if (Mode == SpectrumMode::Waveform)
            drawWaveform(samples, canvas);
        else
            drawBands(fft, canvas);
    }
    DrawLedTime(Bitmap, seconds, state, LedDigitColour, LedRow);
    return pixels::blockCopy(Bitmap, target);
}

void TSpectrum::drawBands(const FftBuffer& fft, pixels::Canvas& canvas)
{
    for (int i = 0; i < BandCount; ++i) {
        const long bin = long(FirstBin) + long(i) * BandStep;
        const float v = bin >= 0 && bin < long(fft.size()) ? std::fabs(fft[std::size_t(bin)]) : 0.0f;
        const float scaled = v * BandScale;
        int d = 0;
        if (scaled >= float(BoxHeight))
            d = BoxHeight;
        else if (scaled > 0.0f) // NaN stays 0
            d = int(scaled);

        int& peak = Peaks[std::size_t(i)];
        int& bar = Bars[std::size_t(i)];
        peak = d >= peak ? d : peak - PeakFall;
        bar = d >= bar ? d : bar - BarFall;
        peak = std::max(peak, 0);
        bar = std::max(bar, 0);

        // Rows of the bar that fall inside the bitmap.
        const int firstRow = std::max(BoxHeight - bar, -OriginY);
        const int endRow = std::min(BoxHeight, canvas.height() - OriginY);
        if (Mode == SpectrumMode::Blaze) {
            const int x = OriginX + i;
            if (x < 0 || x >= canvas.width())
                continue; // computed, not visible
            for (int r = firstRow; r < endRow; ++r)
                canvas.set(x, OriginY + r, gradient(r));
            if (ShowPeaks) // over the bar
                canvas.set(x, OriginY + BoxHeight - peak, PeakColor);
        } else {
            const int x0 = OriginX + i * (BarWidth + 1);
            if (x0 >= canvas.width() || x0 + BarWidth <= 0)
                continue;
            // The peak line first: a peak as high as the bar is covered by the bar's top row.
            if (ShowPeaks)
                canvas.horizontalLine(x0, x0 + BarWidth, OriginY + BoxHeight - peak, PeakColor);
            for (int r = firstRow; r < endRow; ++r)
                canvas.horizontalLine(x0, x0 + BarWidth, OriginY + r, gradient(r));
        }
    }
}

void TSpectrum::drawWaveform(const SampleBuffer& samples, pixels::Canvas& canvas)
{
    constexpr int Points = 257;
    const long double scale = 1.0L / 131070.0L * BoxHeight;
    auto y = [&](int j) {
        const long element = long(j) * BandStep;
        if (element < 0 || element >= long(samples.size()))
            return OriginY;
        const std::uint32_t e = samples[std::size_t(element)];
        const int sum = int(std::int16_t(e & 0xffffu)) + int(std::int16_t(e >> 16));
        return OriginY + int(sum * scale); // positive sums go downward
    };
    int x = OriginX;
    int yPrevious = y(0);
    for (int j = 1; j < Points; ++j) {
        const int yNext = y(j);
        canvas.line(x, yPrevious, OriginX + j, yNext, WaveColor);
        x = OriginX + j;
        yPrevious = yNext;
    }
}

} // namespace visual
