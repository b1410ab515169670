#include "support/audio_signals.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <mutex>

namespace testsupport {

namespace {
const double Pi = std::acos(-1.0);
std::mutex plannerMutex; // FFTW's planner is not thread-safe
}

Pcm sine(double frequency, unsigned rate, unsigned channels, double seconds, double amplitude)
{
    const std::size_t frames = std::size_t(std::llround(seconds * rate));
    Pcm out(frames * channels);
    for (std::size_t i = 0; i < frames; ++i) {
        const double v = amplitude * 32767.0 * std::sin(2.0 * Pi * frequency * double(i) / rate);
        const auto s = std::int16_t(std::lround(std::clamp(v, -32768.0, 32767.0)));
        for (unsigned c = 0; c < channels; ++c)
            out[i * channels + c] = s;
    }
    return out;
}

Pcm chirp(double f0, double f1, unsigned rate, unsigned channels, double seconds, double amplitude)
{
    const std::size_t frames = std::size_t(std::llround(seconds * rate));
    Pcm out(frames * channels);
    const double k = (f1 - f0) / seconds;
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = double(i) / rate;
        const double v = amplitude * 32767.0 * std::sin(2.0 * Pi * (f0 * t + 0.5 * k * t * t));
        const auto s = std::int16_t(std::lround(v));
        for (unsigned c = 0; c < channels; ++c)
            out[i * channels + c] = s;
    }
    return out;
}

double dominantFrequency(const std::int16_t* samples, std::size_t frames, unsigned channels, unsigned rate)
{
    if (frames < 16 || channels == 0)
        return 0.0;
    std::size_t n = 1;
    while (n < frames)
        n <<= 1;
    std::vector<float> in(n, 0.0f);
    for (std::size_t i = 0; i < frames; ++i) {
        double sum = 0;
        for (unsigned c = 0; c < channels; ++c)
            sum += samples[i * channels + c];
        const double w = 0.5 * (1.0 - std::cos(2.0 * Pi * double(i) / double(frames - 1)));
        in[i] = float(sum / channels * w);
    }
    std::vector<fftwf_complex> out(n / 2 + 1);
    fftwf_plan plan;
    {
        std::lock_guard<std::mutex> lock(plannerMutex);
        plan = fftwf_plan_dft_r2c_1d(int(n), in.data(), out.data(), FFTW_ESTIMATE);
    }
    fftwf_execute(plan);
    {
        std::lock_guard<std::mutex> lock(plannerMutex);
        fftwf_destroy_plan(plan);
    }
    std::vector<double> mag(n / 2 + 1);
    for (std::size_t k = 0; k < mag.size(); ++k)
        mag[k] = std::hypot(out[k][0], out[k][1]);
    std::size_t best = 1;
    for (std::size_t k = 1; k + 1 < mag.size(); ++k)
        if (mag[k] > mag[best])
            best = k;
    double delta = 0;
    if (best > 0 && best + 1 < mag.size()) {
        const double a = std::log(mag[best - 1] + 1e-12), b = std::log(mag[best] + 1e-12),
                     c = std::log(mag[best + 1] + 1e-12);
        const double denom = a - 2 * b + c;
        if (std::abs(denom) > 1e-12)
            delta = 0.5 * (a - c) / denom;
    }
    return (double(best) + delta) * rate / double(n);
}

double dominantFrequency(const Pcm& samples, unsigned channels, unsigned rate)
{
    return dominantFrequency(samples.data(), samples.size() / channels, channels, rate);
}

int peak(const Pcm& samples)
{
    int p = 0;
    for (std::int16_t s : samples)
        p = std::max(p, std::abs(int(s)));
    return p;
}

long bestOffset(const Pcm& whole, const std::int16_t* part, std::size_t partFrames, unsigned channels,
                long from, long to)
{
    const long wholeFrames = long(whole.size() / channels);
    long best = from;
    double bestScore = -2.0;
    for (long off = std::max(0L, from); off < to && off + long(partFrames) <= wholeFrames; ++off) {
        double dot = 0, ea = 0, eb = 0;
        for (std::size_t i = 0; i < partFrames; ++i) {
            const double a = whole[std::size_t(off + long(i)) * channels];
            const double b = part[i * channels];
            dot += a * b;
            ea += a * a;
            eb += b * b;
        }
        const double score = (ea > 0 && eb > 0) ? dot / std::sqrt(ea * eb) : -1.0;
        if (score > bestScore) {
            bestScore = score;
            best = off;
        }
    }
    return best;
}

} // namespace testsupport
