#include "support/audio_signals.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <complex>
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

ToneTrack trackTone(const std::int16_t* samples, std::size_t frames, unsigned channels,
                    unsigned rate, double windowSeconds)
{
    ToneTrack track;
    const std::size_t w =
        std::max<std::size_t>(16, std::size_t(std::llround(windowSeconds * rate)));
    const std::size_t count = channels ? frames / w : 0;
    if (count < 3)
        return track;
    // The reference: the strongest frequency of the whole run. It only needs to be within
    // rate / (2 w) of the tone (50 Hz for 10 ms windows) for the steps to be unambiguous; the
    // steps then measure how far the tone is from it.
    const double reference = dominantFrequency(samples, frames, channels, rate);
    if (reference <= 0.0)
        return track;
    std::vector<std::complex<double>> z(count);
    for (std::size_t k = 0; k < count; ++k) {
        std::complex<double> sum = 0.0;
        for (std::size_t n = 0; n < w; ++n) {
            const std::size_t m = k * w + n;
            double v = 0;
            for (unsigned c = 0; c < channels; ++c)
                v += samples[m * channels + c];
            // Blackman-Harris: its side lobes (-92 dB) keep the tone's mirror image, 2 f away,
            // out of the phase, which a plain Hann window lets move it by a few ppm.
            const double x = 2.0 * Pi * (double(n) + 0.5) / double(w);
            const double window = 0.35875 - 0.48829 * std::cos(x) + 0.14128 * std::cos(2 * x) -
                0.01168 * std::cos(3 * x);
            // The reference's phase at frame m, in turns, kept small for precision.
            const double turns = std::fmod(reference * double(m) / rate, 1.0);
            sum += window * v * std::polar(1.0, -2.0 * Pi * turns);
        }
        z[k] = sum;
    }
    std::vector<double> magnitudes(count);
    for (std::size_t k = 0; k < count; ++k)
        magnitudes[k] = std::abs(z[k]);
    std::nth_element(magnitudes.begin(), magnitudes.begin() + count / 2, magnitudes.end());
    const double quietBelow = magnitudes[count / 2] / 4;
    std::vector<double> steps(count - 1);
    for (std::size_t k = 0; k + 1 < count; ++k)
        steps[k] = std::arg(z[k + 1] * std::conj(z[k]));
    std::vector<double> sorted = steps;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    const double median = sorted[sorted.size() / 2];
    track.frequency = reference + median * rate / (2.0 * Pi * double(w));
    track.steps = steps.size();
    for (std::size_t k = 0; k < count; ++k)
        if (std::abs(z[k]) < quietBelow)
            ++track.quiet;
    for (std::size_t k = 0; k < steps.size(); ++k) {
        const double off = std::abs(std::arg(std::polar(1.0, steps[k] - median)));
        if (off > 0.1 && std::abs(z[k]) >= quietBelow && std::abs(z[k + 1]) >= quietBelow)
            ++track.breaks;
    }
    return track;
}

ToneTrack trackTone(const Pcm& samples, unsigned channels, unsigned rate, double windowSeconds)
{
    return trackTone(samples.data(), channels ? samples.size() / channels : 0, channels, rate,
                     windowSeconds);
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
