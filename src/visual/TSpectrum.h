#pragma once
// The spectrum box: composes one frame of the live picture of the audio off-screen, over a copy
// of the skin under the box, and copies it onto the box's image. Three modes: Blaze (a one-pixel
// column per frequency band in a red-to-yellow gradient with a falling peak dot), Bars (3-pixel
// bars with a falling peak line) and Waveform (an oscilloscope line of the current samples). The
// LED counter with the state symbol stands over every frame.
//
// Band heights fall by BarFall and the peaks by PeakFall pixels a frame; they start at 0 and are
// never reset (not by a stop, not by a change of mode), and Idle leaves them alone.
#include "audio/TransportState.h"
#include "visual/Pixels.h"
#include "visual/SpectrumMode.h"

#include <QImage>
#include <QRect>
#include <QRgb>

#include <array>
#include <cstdint>
#include <vector>

namespace visual {

class TSpectrum {
public:
    static constexpr int BandCount = 128;
    static constexpr int FirstBin = 5; // band 0 shows FFT bin 5
    // What the engine fills each tick: 512 FFT magnitudes (a 1024-point FFT), and 2048 bytes of
    // 16-bit samples read as 32-bit elements of two samples each (the lower half first).
    using FftBuffer = std::array<float, 512>;
    using SampleBuffer = std::array<std::uint32_t, 512>;

    // `window`: an image of the whole window as painted; `box`: where the box lies on it.
    TSpectrum(const QImage& window, const QRect& box);

    // Waveform draws around the middle row, the other modes up from the bottom. The band
    // heights are kept, so a new mode continues from them.
    void SetMode(SpectrumMode mode);

    // Composes one frame in Bitmap and copies it onto `target` at (0, 0) with Bitmap's size
    // (target becomes an image of that size when it is not one). Idle shows the background and
    // the counter only. True when the target's picture changed.
    bool Draw(QImage& target, const FftBuffer& fft, const SampleBuffer& samples, TransportState state,
              std::uint32_t seconds);

    // The colour of the bars at a row of the box: it depends on the row, not on the bar's height.
    QRgb gradient(int row) const;

    // The fields of the box, in the order of their design; the drawing reads them every frame.
    QImage Bitmap;       // off-screen work bitmap, box size
    QImage Background;   // the skin under the box, taken once at creation
    int OriginX = 0;     // added to every x of the drawing
    int OriginY = 0;     // added to every y; Waveform: half the box height
    QRgb BackColor = 0xff000000;
    int BoxHeight;       // scale of bar heights and of the waveform
    QRgb WaveColor = 0xffffffff;
    QRgb PeakColor = 0xffffff00;
    QRgb BarBottomColor = 0xffffff00;
    QRgb BarTopColor = 0xffff0000;
    SpectrumMode Mode = SpectrumMode::Blaze;
    int BandStep = 1;    // FFT bins between bands, sample elements between waveform points
    bool ClearFrame = true;
    bool UseBackground = true; // clear with Background; otherwise fill with BackColor
    int PeakFall = 1;
    int BarFall = 3;
    int BarWidth = 3;    // Bars: bars stand BarWidth + 1 pixels apart
    bool ShowPeaks = true;
    std::array<int, BandCount> Peaks{};
    std::array<int, BandCount> Bars{};
    int TopR, TopG, TopB;    // gradient base: BarTopColor
    float StepR, StepG, StepB; // gradient step per row: (top - bottom) / BoxHeight

private:
    void drawBands(const FftBuffer& fft, pixels::Canvas& canvas);
    void drawWaveform(const SampleBuffer& samples, pixels::Canvas& canvas);

    std::vector<QRgb> gradientRows_; // gradient(row) for rows 0 to BoxHeight - 1
};

} // namespace visual
