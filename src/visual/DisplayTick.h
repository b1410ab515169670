#pragma once
// The display's share of the main window's 100 ms tick: reads the running channel (the capture
// while recording, the stream while playing) and composes the spectrum box with its counter and
// the level meters. The renderers and the engine's buffers live here for the life of the window.
//
// In Idle the engine is not asked at all: the box shows the background with the stop symbol and
// "00:00", the meters the background. A read that fails (a freed or ended channel) counts as
// silence, so the picture falls back instead of freezing on old data.
#include "audio/AudioApi.h"
#include "audio/TransportState.h"
#include "visual/LevelMeters.h"
#include "visual/TSpectrum.h"

#include <QImage>
#include <QRect>

#include <cstdint>

namespace visual {

class DisplayTick {
public:
    // `window`: an image of the whole window as painted, taken once at start-up; the two boxes
    // are the spectrum box and the meters on it.
    DisplayTick(audio::AudioApi& audio, const QImage& window, const QRect& spectrumBox, const QRect& meterBox);

    void SetMode(SpectrumMode mode) { spectrum_.SetMode(mode); }
    SpectrumMode Mode() const { return spectrum_.Mode; }

    // Whole seconds of the channel's position (the whole 64-bit byte count), 0 when the channel
    // is not active or cannot say.
    static std::uint32_t ElapsedSeconds(audio::AudioApi& audio, audio::Handle channel);

    // Which box images a tick changed.
    struct Changed {
        bool spectrum = false;
        bool meters = false;
    };

    // One frame: elapsed time, the FFT (or the samples for Waveform), the spectrum box, the
    // level and the meters, drawn onto the two box images.
    Changed step(audio::Handle channel, TransportState state, QImage& spectrumBox,
                 QImage& meterBox);

    TSpectrum& spectrum() { return spectrum_; }
    LevelMeters& volume() { return volume_; }

private:
    audio::AudioApi& audio_;
    TSpectrum spectrum_;
    LevelMeters volume_;
    TSpectrum::FftBuffer fft_{};
    TSpectrum::SampleBuffer samples_{};
};

} // namespace visual
