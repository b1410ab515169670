// ctest-label: unit
// The tone check the capture tests take a rate from (testsupport::trackTone), on made data: it
// finds a steady tone to within a thousandth of a hertz, shows data read at a rate other than
// the one it came at, and counts the steps that frames dropped or written twice break, while
// a few gaps of a loaded server's tone leave it alone.
#include "support/audio_signals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
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
    struct Case {
        const char* name;
        std::function<Pcm(const Pcm&, const Format&)> make;
        bool passes;
    };
    const Case cases[] = {
        {"as it came", [](const Pcm& p, const Format&) { return p; }, true},
        {"read 0.01 % fast",
         [](const Pcm& p, const Format& f) { return resampled(p, f.channels, 1.0001); }, false},
        {"read 0.01 % slow",
         [](const Pcm& p, const Format& f) { return resampled(p, f.channels, 0.9999); }, false},
        {"every other frame",
         [](const Pcm& p, const Format& f) { return resampled(p, f.channels, 2.0); }, false},
        {"a block in 4 dropped",
         [](const Pcm& p, const Format& f) {
             return blocks(p, f.channels, f.block, 4, Fault::Drop);
         },
         false},
        {"a block in 8 dropped",
         [](const Pcm& p, const Format& f) {
             return blocks(p, f.channels, f.block, 8, Fault::Drop);
         },
         false},
        {"a block in 8 twice",
         [](const Pcm& p, const Format& f) {
             return blocks(p, f.channels, f.block, 8, Fault::Twice);
         },
         false},
        {"a block in 16 twice",
         [](const Pcm& p, const Format& f) {
             return blocks(p, f.channels, f.block, 16, Fault::Twice);
         },
         false},
        {"a block of silence in 8 added",
         [](const Pcm& p, const Format& f) {
             return blocks(p, f.channels, f.block, 8, Fault::Gap, f.block);
         },
         false},
        // Gaps of 21 ms (a PipeWire quantum): a few are a loaded server's tone source, one
        // every tenth of a second is a tone that is mostly not there.
        {"three gaps of the source",
         [](const Pcm& p, const Format& f) {
             return blocks(p, f.channels, f.rate * 3 / 4, 1, Fault::Gap, f.rate * 21 / 1000);
         },
         true},
        {"a gap every 100 ms",
         [](const Pcm& p, const Format& f) {
             return blocks(p, f.channels, f.rate / 10, 1, Fault::Gap, f.rate * 21 / 1000);
         },
         false},
    };
    for (const Format& f : formats) {
        const Pcm tone = sine(440.0, f.rate, f.channels, 2.5);
        for (const Case& c : cases) {
            const ToneTrack t = trackTone(c.make(tone, f), f.channels, f.rate);
            EXPECT_EQ(passes(t), c.passes)
                << c.name << " at " << f.rate << " Hz: " << t.frequency << " Hz, " << t.breaks
                << " of " << t.steps << " broken, " << t.quiet << " quiet";
        }
    }
}
