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
// A steady tone followed through the samples, read at `rate`: the phase of the tone in each
// window of `windowSeconds`, against one time line (the frame index), and the steps of that
// phase from window to window. The frequency comes from the median step, so that the few
// windows a glitch spoils (the tone's source on a loaded server) do not move it: it is exact to
// far below 0.01 Hz, and data delivered at another rate than it claims shows at once. Frames
// dropped or written twice break the phase where they happen, between two windows that both
// hold the tone: `breaks` counts those steps. A source that ran dry leaves silence instead
// (at least one whole window on PipeWire, whose quantum is 21 ms): `quiet` counts those windows,
// and steps from or to them are not breaks.
struct ToneTrack {
    double frequency = 0.0; // Hz, at `rate`; 0 when there are not three windows
    std::size_t steps = 0;  // window-to-window steps measured
    std::size_t breaks = 0; // steps off the median by more than 0.1 rad
    std::size_t quiet = 0;  // windows with less than a quarter of the median window's tone
};
ToneTrack trackTone(const std::int16_t* samples, std::size_t frames, unsigned channels,
                    unsigned rate, double windowSeconds = 0.01);
ToneTrack trackTone(const Pcm& samples, unsigned channels, unsigned rate,
                    double windowSeconds = 0.01);
// Peak absolute sample value.
int peak(const Pcm& samples);
// Where `part` (of `partFrames` frames) best matches inside `whole`: the frame offset with the
// highest normalised correlation of the first channel, searched in [from, to).
long bestOffset(const Pcm& whole, const std::int16_t* part, std::size_t partFrames, unsigned channels,
                long from, long to);

} // namespace testsupport
