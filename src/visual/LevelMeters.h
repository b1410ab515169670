#pragma once
// The two level meters under the spectrum box, left channel above right: composes one frame
// off-screen over a copy of the skin under the meters and copies it onto the box's image. Each
// meter is a bar in a yellow-to-red gradient that falls fast, with a yellow peak marker that
// falls slowly. Paused states take the levels as 0, so the meters fall back; Idle shows the
// background only and leaves bars and peaks as they are.
#include "audio/TransportState.h"
#include "visual/Pixels.h"

#include <QImage>
#include <QRect>
#include <QRgb>

#include <cstdint>
#include <vector>

namespace visual {

class LevelMeters {
public:
    // `window`: an image of the whole window as painted; `box`: where the meters lie on it.
    LevelMeters(const QImage& window, const QRect& box);

    // A level reading of the engine as percentages: the left peak in the low 16 bits and the
    // right one in the high 16 bits, 0 to 32768 each, become (level * 100) >> 15. A failed
    // reading (all bits set) is no sound: 0 and 0.
    static void ScaleLevel(std::uint32_t level, int& left, int& right);

    // Composes one frame with the levels in percent and copies it onto `target` at (0, 0)
    // (target becomes an image of the box's size when it is not one). True when the target's
    // picture changed.
    bool Draw(QImage& target, int left, int right, TransportState state);

    // The colour of a bar at a column: it depends on the column, not on the level.
    QRgb colour(int x) const;

    // The fields of the meters, in the order of their design; the drawing reads them every frame.
    QImage Bitmap;
    QImage Background;
    QRgb BackColor = 0xff000000;
    QRgb PeakColor = 0xffffff00;
    QRgb BarLeftColor = 0xffffff00;
    QRgb BarRightColor = 0xffff0000;
    int MeterStyle = 0; // 0 every column, 1 the even columns, other values no bars
    int MeterLength;    // the pixels that 100 % fills
    int BarThickness = 3;
    int PeakFall = 2;
    int BarFall = 15;
    bool ShowPeaks = true;
    bool UseBackground = true;
    int PeakLeft = 0, PeakRight = 0;
    int BarLeft = 0, BarRight = 0;
    int LeftR, LeftG, LeftB;   // gradient base: BarLeftColor
    float StepR, StepG, StepB; // gradient step per column: (right - left) / MeterLength

private:
    // One channel: the bar and its peak follow the target length.
    void follow(int level, int& bar, int& peak) const;
    void drawMeter(pixels::Canvas& canvas, int bar, int peak, int top);

    std::vector<QRgb> columns_; // colour(x) for columns 0 to MeterLength - 1
};

} // namespace visual
