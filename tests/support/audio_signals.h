#pragma once
// Test signals and their analysis: sines and chirps as interleaved 16-bit PCM, the dominant
// frequency of a block (FFTW), and helpers to compare sample runs.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace testsupport {

using Pcm = std::vector<std::int16_t>;

// A sine of `amplitude` (1.0 = full scale, 32767) on every channel.
Pcm sine(double frequency, unsigned rate, unsigned channels, double seconds, double amplitude = 0.5);
// A sine whose frequency rises linearly from f0 to f1 over the whole length: every moment
// sounds different, so a position can be found from the samples alone.
Pcm chirp(double f0, double f1, unsigned rate, unsigned channels, double seconds, double amplitude = 0.5);
// The frequency with the most energy (Hann window, FFT of the whole block padded to a power of
// two, parabolic interpolation between bins). Channels are averaged.
double dominantFrequency(const std::int16_t* samples, std::size_t frames, unsigned channels, unsigned rate);
double dominantFrequency(const Pcm& samples, unsigned channels, unsigned rate);
// Peak absolute sample value.
int peak(const Pcm& samples);
// Where `part` (of `partFrames` frames) best matches inside `whole`: the frame offset with the
// highest normalised correlation of the first channel, searched in [from, to).
long bestOffset(const Pcm& whole, const std::int16_t* part, std::size_t partFrames, unsigned channels,
                long from, long to);

} // namespace testsupport
