#include "audio/Analyzer.h"

#include <fftw3.h>

#include <cmath>
#include <mutex>
#include <vector>

namespace audio {

namespace {
// FFTW's planner keeps process-wide state and is not thread-safe; only executing a plan is.
std::mutex& plannerMutex()
{
    static std::mutex mutex;
    return mutex;
}
} // namespace

Analyzer::Analyzer()
{
    const double twoPi = 2.0 * std::acos(-1.0);
    for (std::size_t i = 0; i < FftSize; ++i)
        window_[i] = float(0.5 * (1.0 - std::cos(twoPi * double(i) / double(FftSize))));
    std::vector<float> in(FftSize);
    std::vector<fftwf_complex> out(FftBins + 1);
    std::lock_guard<std::mutex> lock(plannerMutex());
    // FFTW_UNALIGNED: spectrum() runs the plan on its own (differently aligned) buffers.
    plan_ = fftwf_plan_dft_r2c_1d(int(FftSize), in.data(), out.data(),
                                  FFTW_ESTIMATE | FFTW_UNALIGNED);
}

Analyzer::~Analyzer()
{
    std::lock_guard<std::mutex> lock(plannerMutex());
    if (plan_)
        fftwf_destroy_plan(static_cast<fftwf_plan>(plan_));
}

std::uint32_t Analyzer::level(const std::int16_t* samples, std::size_t frames, unsigned channels)
{
    if (channels == 0 || !samples)
        return 0;
    std::uint32_t peak[2] = {0, 0};
    for (std::size_t f = 0; f < frames; ++f) {
        for (unsigned c = 0; c < channels && c < 2; ++c) {
            const int v = samples[f * channels + c];
            const std::uint32_t a = std::uint32_t(v < 0 ? -v : v); // -32768 gives 32768
            if (a > peak[c])
                peak[c] = a;
        }
    }
    if (channels == 1)
        peak[1] = peak[0];
    return peak[0] | (peak[1] << 16);
}

void Analyzer::spectrum(const std::int16_t* samples, unsigned channels, float* magnitudes) const
{
    // On the stack (8 KB): the plan was made for unaligned buffers.
    float in[FftSize];
    fftwf_complex out[FftBins + 1];
    const unsigned n = channels ? channels : 1;
    const double scaleIn = 1.0 / (double(n) * 32768.0);
    for (std::size_t i = 0; i < FftSize; ++i) {
        int sum = 0;
        for (unsigned c = 0; c < n; ++c)
            sum += samples[i * n + c];
        in[i] = float(double(sum) * scaleIn * double(window_[i]));
    }
    fftwf_execute_dft_r2c(static_cast<fftwf_plan>(plan_), in, out);
    // Scaling: a sine of amplitude A gives |X[k]| = A * sum(window) / 2 at its bin, and the Hann
    // window sums to N / 2, so |X[k]| = A * N / 4. Multiplying by 4 / N makes a full-scale
    // (A = 1) sine read 1.0 at its bin.
    const float scale = 4.0f / float(FftSize);
    for (std::size_t k = 0; k < FftBins; ++k)
        magnitudes[k] = std::hypot(out[k][0], out[k][1]) * scale;
}

} // namespace audio
