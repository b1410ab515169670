#pragma once
// Level and spectrum of a block of interleaved 16-bit samples: pure functions of the buffer.
// One Analyzer holds one FFT plan; analyse() may be called from several threads at once.
#include <cstddef>
#include <cstdint>

namespace audio {

class Analyzer {
public:
    static constexpr std::size_t FftSize = 1024;
    static constexpr std::size_t FftBins = FftSize / 2;

    Analyzer();
    ~Analyzer();
    Analyzer(const Analyzer&) = delete;
    Analyzer& operator=(const Analyzer&) = delete;

    // Peak of each channel, 0..32768: the left channel in the low 16 bits, the right channel
    // in the high 16 bits. Mono gives the same peak in both halves.
    static std::uint32_t level(const std::int16_t* samples, std::size_t frames, unsigned channels);

    // FftBins magnitudes of a Hann-windowed FftSize-point FFT of FftSize frames (channels
    // averaged). Bin k is the frequency k * rate / FftSize. A full-scale sine centred on a bin
    // reads 1.0 there. Allocates nothing (the display asks ten times a second).
    void spectrum(const std::int16_t* samples, unsigned channels, float* magnitudes) const;

private:
    void* plan_ = nullptr; // fftwf_plan
    float window_[FftSize];  // Hann
};

} // namespace audio
