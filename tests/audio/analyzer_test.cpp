// ctest-label: unit
// Levels and spectra computed on buffers, and the sample history they read from.
#include "audio/Analyzer.h"
#include "audio/SampleRing.h"
#include "support/audio_signals.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace testsupport;

TEST(AnalyzerLevel, PeaksPerChannel)
{
    struct Case {
        const char* name;
        double left, right; // amplitudes
        unsigned channels;
        double expectLeft, expectRight;
    };
    const Case cases[] = {
        {"full stereo", 1.0, 1.0, 2, 32768, 32768},
        {"half stereo", 0.5, 0.5, 2, 16384, 16384},
        {"full left, half right", 1.0, 0.5, 2, 32768, 16384},
        {"quarter left, silent right", 0.25, 0.0, 2, 8192, 0},
        {"full mono", 1.0, 1.0, 1, 32768, 32768},
        {"half mono", 0.5, 0.5, 1, 16384, 16384},
    };
    for (const Case& c : cases) {
        const Pcm l = sine(1000, 44100, 1, 0.02, c.left);
        const Pcm r = sine(1000, 44100, 1, 0.02, c.right);
        Pcm pcm;
        for (std::size_t i = 0; i < l.size(); ++i) {
            pcm.push_back(l[i]);
            if (c.channels == 2)
                pcm.push_back(r[i]);
        }
        const std::uint32_t level = audio::Analyzer::level(pcm.data(), l.size(), c.channels);
        EXPECT_NEAR(double(level & 0xFFFF), c.expectLeft, c.expectLeft * 0.02 + 1) << c.name;
        EXPECT_NEAR(double(level >> 16), c.expectRight, c.expectRight * 0.02 + 1) << c.name;
    }
    const std::int16_t extreme[2] = {-32768, 100};
    EXPECT_EQ(audio::Analyzer::level(extreme, 1, 2), 32768u | (100u << 16));
    EXPECT_EQ(audio::Analyzer::level(extreme, 0, 2), 0u);
}

TEST(AnalyzerSpectrum, SinePeaksAtItsBinNearOne)
{
    audio::Analyzer analyzer;
    struct Case {
        double frequency;
        unsigned rate, channels;
        double amplitude;
        int bin;
        double low, high; // expected magnitude range at the bin
    };
    const Case cases[] = {
        {1000.0, 44100, 2, 1.0, 23, 0.85, 1.02},          // off-centre: Hann scalloping
        {1000.0, 44100, 1, 1.0, 23, 0.85, 1.02},
        {100 * 44100.0 / 1024, 44100, 2, 1.0, 100, 0.98, 1.02}, // centred on bin 100
        {100 * 44100.0 / 1024, 44100, 2, 0.5, 100, 0.49, 0.51},
        {440.0, 8000, 1, 1.0, 56, 0.85, 1.02},
    };
    for (const Case& c : cases) {
        // At least one FFT block (1024 frames) at every rate: 0.2 s is 1600 frames at 8 kHz.
        const Pcm pcm = sine(c.frequency, c.rate, c.channels, 0.2, c.amplitude);
        ASSERT_GE(pcm.size(), audio::Analyzer::FftSize * c.channels);
        float mags[audio::Analyzer::FftBins];
        analyzer.spectrum(pcm.data(), c.channels, mags);
        int best = 0;
        for (int k = 1; k < int(audio::Analyzer::FftBins); ++k)
            if (mags[k] > mags[best])
                best = k;
        EXPECT_EQ(best, c.bin) << c.frequency;
        EXPECT_GE(mags[best], c.low) << c.frequency;
        EXPECT_LE(mags[best], c.high) << c.frequency;
    }
    const Pcm silence(2048, 0);
    float mags[audio::Analyzer::FftBins];
    analyzer.spectrum(silence.data(), 2, mags);
    for (float m : mags)
        EXPECT_EQ(m, 0.0f);
}

TEST(SampleRingTest, CopiesTheSamplesEndingAtAnIndex)
{
    audio::SampleRing ring(8);
    std::vector<std::int16_t> in = {1, 2, 3, 4, 5, 6};
    ring.push(in.data(), in.size());
    std::int16_t out[4];
    ring.copyEnding(6, out, 4);
    EXPECT_EQ(std::vector<std::int16_t>(out, out + 4), (std::vector<std::int16_t>{3, 4, 5, 6}));
    ring.copyEnding(2, out, 4); // before the start: zeros first
    EXPECT_EQ(std::vector<std::int16_t>(out, out + 4), (std::vector<std::int16_t>{0, 0, 1, 2}));
    std::vector<std::int16_t> more = {7, 8, 9, 10, 11};
    ring.push(more.data(), more.size()); // wraps; 1..3 are gone
    EXPECT_EQ(ring.written(), 11u);
    ring.copyEnding(11, out, 4);
    EXPECT_EQ(std::vector<std::int16_t>(out, out + 4), (std::vector<std::int16_t>{8, 9, 10, 11}));
    ring.copyEnding(5, out, 4); // 2 and 3 were overwritten
    EXPECT_EQ(std::vector<std::int16_t>(out, out + 4), (std::vector<std::int16_t>{0, 0, 4, 5}));
    ring.copyEnding(13, out, 4); // not yet written
    EXPECT_EQ(std::vector<std::int16_t>(out, out + 4), (std::vector<std::int16_t>{10, 11, 0, 0}));
    std::vector<std::int16_t> big(20);
    for (int i = 0; i < 20; ++i)
        big[i] = std::int16_t(100 + i);
    ring.push(big.data(), big.size()); // more than the capacity at once
    ring.copyEnding(ring.written(), out, 4);
    EXPECT_EQ(std::vector<std::int16_t>(out, out + 4), (std::vector<std::int16_t>{116, 117, 118, 119}));
}
