// ctest-label: unit
// The tone check the capture tests take a rate from (testsupport::trackTone), on made data: it
// finds a steady tone to within a thousandth of a hertz, shows data read at a rate other than
// the one it came at, and counts the steps that frames dropped or written twice break, while
// a few gaps of a loaded server's tone leave it alone.
#include "support/audio_signals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace testsupport;

namespace {

// Read `ratio` times as fast as the data came (linear interpolation between frames).
Pcm resampled(const Pcm& in, unsigned channels, double ratio)
{
    Pcm out;
    const std::size_t frames = in.size() / channels;
    for (double x = 0; x + 1 < double(frames); x += ratio) {
        const std::size_t i = std::size_t(x);
        const double a = x - double(i);
        for (unsigned c = 0; c < channels; ++c)
            out.push_back(std::int16_t(
                std::lround(in[i * channels + c] * (1 - a) + in[(i + 1) * channels + c] * a)));
    }
    return out;
}

// Block by block: each `every`th block of `block` frames left out, written twice, or replaced
// by `gap` frames of silence after it (a source that ran dry and went on where it was).
enum class Fault { Drop, Twice, Gap };
Pcm blocks(const Pcm& in, unsigned channels, std::size_t block, int every, Fault fault,
           std::size_t gap = 0)
{
    Pcm out;
    const std::size_t n = block * channels;
    for (std::size_t b = 0; (b + 1) * n <= in.size(); ++b) {
        const auto from = in.begin() + std::ptrdiff_t(b * n), to = from + std::ptrdiff_t(n);
        const bool hit = b % std::size_t(every) == std::size_t(every - 1);
        if (!(hit && fault == Fault::Drop))
            out.insert(out.end(), from, to);
        if (hit && fault == Fault::Twice)
            out.insert(out.end(), from, to);
        if (hit && fault == Fault::Gap)
            out.insert(out.end(), gap * channels, std::int16_t(0));
    }
    return out;
}

struct Format {
    unsigned rate, channels;
    std::size_t block; // the capture's block at that rate
};
const Format formats[] = {{48000, 1, 512}, {44100, 2, 512}, {22050, 1, 256}, {8000, 2, 64}};

} // namespace

TEST(ToneTrack, ASteadyToneIsFoundToAThousandthOfAHertz)
{
    for (const Format& f : formats) {
        for (double frequency : {440.0, 1000.0, 437.3}) {
            const ToneTrack t =
                trackTone(sine(frequency, f.rate, f.channels, 2.0), f.channels, f.rate);
            EXPECT_NEAR(t.frequency, frequency, 0.001) << f.rate;
            EXPECT_EQ(t.breaks, 0u) << f.rate;
            EXPECT_EQ(t.quiet, 0u) << f.rate;
            EXPECT_GE(t.steps, 198u) << f.rate; // about 200 windows of 10 ms
            EXPECT_LE(t.steps, 199u) << f.rate;
        }
    }
    // Too short for three windows, or nothing to read: no frequency.
    EXPECT_EQ(trackTone(sine(440, 8000, 1, 0.02), 1, 8000).frequency, 0.0);
    EXPECT_EQ(trackTone(Pcm{}, 1, 8000).frequency, 0.0);
}

// What the capture tests check: within 0.01 Hz of the tone, fewer than one step in twenty
// broken and fewer than one window in twenty quiet. Each fault here must fail it; a few gaps
// of the source must not.
TEST(ToneTrack, FaultsFailTheCaptureCheckAndAFewGapsDoNot)
{
    const auto passes = [](const ToneTrack& t) {
        return std::abs(t.frequency - 440.0) <= 0.01 && t.breaks < t.steps / 20 &&
            t.quiet < t.steps / 20;
    };
    // Read at `ratio` times the rate it came at, or each `every`th capture block dropped,
    // written twice or followed by a block of silence, or a gap of the source (21 ms: a
    // PipeWire quantum) every `gapEvery` seconds.
    struct Case {
        const char* name;
        double ratio;
        int every;
        Fault fault;
        double gapEvery;
        bool passes;
    };
    const Case cases[] = {
        {"as it came", 1.0, 0, Fault::Drop, 0, true},
        {"read 0.01 % fast", 1.0001, 0, Fault::Drop, 0, false},
        {"read 0.01 % slow", 0.9999, 0, Fault::Drop, 0, false},
        {"every other frame", 2.0, 0, Fault::Drop, 0, false},
        {"a block in 4 dropped", 1.0, 4, Fault::Drop, 0, false},
        {"a block in 8 dropped", 1.0, 8, Fault::Drop, 0, false},
        {"a block in 8 twice", 1.0, 8, Fault::Twice, 0, false},
        {"a block in 16 twice", 1.0, 16, Fault::Twice, 0, false},
        {"a block of silence in 8 added", 1.0, 8, Fault::Gap, 0, false},
        // A few gaps are a loaded server's tone source; one every tenth of a second is a tone
        // that is mostly not there.
        {"three gaps of the source", 1.0, 0, Fault::Gap, 0.75, true},
        {"a gap every 100 ms", 1.0, 0, Fault::Gap, 0.1, false},
    };
    const auto make = [](const Case& c, const Pcm& p, const Format& f) {
        if (c.gapEvery > 0)
            return blocks(p, f.channels, std::size_t(f.rate * c.gapEvery), 1, Fault::Gap,
                          f.rate * 21 / 1000);
        if (c.every > 0)
            return blocks(p, f.channels, f.block, c.every, c.fault, f.block);
        return c.ratio == 1.0 ? p : resampled(p, f.channels, c.ratio);
    };
    for (const Format& f : formats) {
        const Pcm tone = sine(440.0, f.rate, f.channels, 2.5);
        for (const Case& c : cases) {
            const ToneTrack t = trackTone(make(c, tone, f), f.channels, f.rate);
            EXPECT_EQ(passes(t), c.passes)
                << c.name << " at " << f.rate << " Hz: " << t.frequency << " Hz, " << t.breaks
                << " of " << t.steps << " broken, " << t.quiet << " quiet";
        }
    }
}
