#include "visual/LevelMeters.h"

#include "visual/Pixels.h"

#include <algorithm>

namespace visual {

namespace {
constexpr std::uint32_t LevelFailed = 0xFFFFFFFFu;
} // namespace

LevelMeters::LevelMeters(const QImage& window, const QRect& box)
    : Bitmap(pixels::makeBitmap(box.size())), Background(pixels::copyRect(window, box)),
      MeterLength(box.width()), LeftR(qRed(BarLeftColor)), LeftG(qGreen(BarLeftColor)),
      LeftB(qBlue(BarLeftColor)),
      StepR(pixels::gradientStep(qRed(BarLeftColor), qRed(BarRightColor), MeterLength)),
      StepG(pixels::gradientStep(qGreen(BarLeftColor), qGreen(BarRightColor), MeterLength)),
      StepB(pixels::gradientStep(qBlue(BarLeftColor), qBlue(BarRightColor), MeterLength))
{
    columns_.reserve(std::size_t(std::max(MeterLength, 0)));
    for (int x = 0; x < MeterLength; ++x)
        columns_.push_back(colour(x));
}

void LevelMeters::ScaleLevel(std::uint32_t level, int& left, int& right)
{
    if (level == LevelFailed) {
        left = right = 0;
        return;
    }
    left = int(((level & 0xffffu) * 100u) >> 15);
    right = int(((level >> 16) * 100u) >> 15);
}

QRgb LevelMeters::colour(int x) const
{
    if (x >= 0 && x < int(columns_.size()))
        return columns_[std::size_t(x)];
    return qRgb(pixels::gradientChannel(LeftR, x, StepR), pixels::gradientChannel(LeftG, x, StepG),
                pixels::gradientChannel(LeftB, x, StepB));
}

void LevelMeters::follow(int level, int& bar, int& peak) const
{
    const int target = std::clamp(level, 0, 10000) * MeterLength / 100;
    bar = std::max(bar - BarFall, 0);
    if (target >= bar)
        bar = target;
    peak = std::max(peak - PeakFall, 0);
    if (peak < bar)
        peak = bar;
}

void LevelMeters::drawMeter(pixels::Canvas& canvas, int bar, int peak, int top)
{
    const int bottom = top + BarThickness;
    if (MeterStyle == 0 || MeterStyle == 1) {
        const int step = MeterStyle == 0 ? 1 : 2;
        const int end = std::min(bar, canvas.width());
        for (int x = 0; x < end; x += step)
            canvas.verticalLine(x, top, bottom, colour(x));
    }
    if (ShowPeaks)
        canvas.verticalLine(peak, top, bottom, PeakColor);
}

bool LevelMeters::Draw(QImage& target, int left, int right, TransportState state)
{
    if (UseBackground)
        pixels::blockCopy(Background, Bitmap);
    else
        pixels::fill(Bitmap, BackColor);
    if (state != Idle) {
        if (state == PlayPaused || state == RecordPaused)
            left = right = 0;
        follow(left, BarLeft, PeakLeft);
        follow(right, BarRight, PeakRight);
        pixels::Canvas canvas(Bitmap);
        drawMeter(canvas, BarLeft, PeakLeft, 0);
        drawMeter(canvas, BarRight, PeakRight, BarThickness + 4);
    }
    return pixels::blockCopy(Bitmap, target);
}

} // namespace visual
