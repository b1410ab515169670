// What one frame of the live display costs, composed off-screen as the window's 100 ms tick
// does it: the spectrum box in each mode (with the counter), the level meters, the engine's
// analysis behind a frame (the 1024-point FFT and the 20 ms level of 44.1 kHz stereo), and a
// whole tick (fetch, spectrum, level, meters) over an engine that hands out fixed data.
//
//   display_bench                          all figures (a few seconds; no display needed)
//   display_bench --benchmark_filter=Spectrum
//
// Goal: each frame under 100 us in a Release build. The background image is the shipped skin.
#include <benchmark/benchmark.h>

#include "audio/Analyzer.h"
#include "audio/AudioApi.h"
#include "skin/MainFormLayout.h"
#include "visual/DisplayTick.h"
#include "visual/LevelMeters.h"
#include "visual/TSpectrum.h"

#include <QGuiApplication>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace {

const QRect SpectrumBox(10, 56, 88, 44);
const QRect MeterBox(104, 90, 154, 10);

QImage skinImage()
{
    return skin::MainFormLayout::art(QStringLiteral("skin")).convertToFormat(QImage::Format_RGB32);
}

// Music-like input: every band moving, a third of them reaching the top now and then.
void fillFft(visual::TSpectrum::FftBuffer& fft, std::mt19937& random)
{
    std::uniform_real_distribution<float> value(0.0f, 0.12f);
    for (float& v : fft)
        v = value(random);
}

void fillSamples(visual::TSpectrum::SampleBuffer& samples, std::mt19937& random)
{
    std::uniform_int_distribution<int> value(-20000, 20000);
    for (std::uint32_t& e : samples)
        e = std::uint32_t(std::uint16_t(value(random))) | (std::uint32_t(std::uint16_t(value(random))) << 16);
}

// A spectrum frame of the mode (0 Blaze, 1 Bars, 2 Waveform, 3 Idle). Eight sets of input are
// cycled so that bars rise and fall as they do with sound.
void BM_SpectrumFrame(benchmark::State& state)
{
    visual::TSpectrum spectrum(skinImage(), SpectrumBox);
    const int mode = int(state.range(0));
    if (mode < 3)
        spectrum.SetMode(visual::SpectrumMode(mode));
    std::mt19937 random(3);
    std::vector<visual::TSpectrum::FftBuffer> ffts(8);
    std::vector<visual::TSpectrum::SampleBuffer> samples(8);
    for (int i = 0; i < 8; ++i) {
        fillFft(ffts[std::size_t(i)], random);
        fillSamples(samples[std::size_t(i)], random);
    }
    QImage target;
    std::uint32_t seconds = 3600;
    std::size_t i = 0;
    for (auto _ : state) {
        spectrum.Draw(target, ffts[i % 8], samples[i % 8], mode == 3 ? Idle : Recording, seconds++);
        ++i;
        benchmark::DoNotOptimize(target.constBits());
    }
    state.SetLabel(mode == 0 ? "Blaze" : mode == 1 ? "Bars" : mode == 2 ? "Waveform" : "Idle");
}
BENCHMARK(BM_SpectrumFrame)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);

void BM_MetersFrame(benchmark::State& state)
{
    visual::LevelMeters volume(skinImage(), MeterBox);
    QImage target;
    int level = 0;
    for (auto _ : state) {
        level = (level + 37) % 101;
        volume.Draw(target, level, 100 - level, Recording);
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_MetersFrame)->Unit(benchmark::kMicrosecond);

void BM_EngineFft1024(benchmark::State& state)
{
    audio::Analyzer analyzer;
    std::vector<std::int16_t> samples(2048);
    std::mt19937 random(5);
    std::uniform_int_distribution<int> value(-20000, 20000);
    for (auto& s : samples)
        s = std::int16_t(value(random));
    float fft[512];
    for (auto _ : state) {
        analyzer.spectrum(samples.data(), 2, fft);
        benchmark::DoNotOptimize(fft[10]);
    }
}
BENCHMARK(BM_EngineFft1024)->Unit(benchmark::kMicrosecond);

void BM_EngineLevel20ms(benchmark::State& state)
{
    std::vector<std::int16_t> samples(882 * 2, 1234);
    for (auto _ : state)
        benchmark::DoNotOptimize(audio::Analyzer::level(samples.data(), 882, 2));
}
BENCHMARK(BM_EngineLevel20ms)->Unit(benchmark::kMicrosecond);

// An engine whose one channel hands out fixed readings at once: the tick's own cost.
class FixedAudio : public audio::AudioApi {
public:
    FixedAudio()
    {
        std::mt19937 random(9);
        visual::TSpectrum::FftBuffer fft;
        fillFft(fft, random);
        std::memcpy(fft_, fft.data(), sizeof(fft_));
        visual::TSpectrum::SampleBuffer samples;
        fillSamples(samples, random);
        std::memcpy(samples_, samples.data(), sizeof(samples_));
    }
    bool recordInit(int) override { return true; }
    bool init(int, std::uint32_t) override { return true; }
    void recordFree() override {}
    void free() override {}
    bool recordSetInput(int, std::uint32_t, float) override { return false; }
    audio::HRECORD recordStart(std::uint32_t, std::uint32_t, audio::RecordProc, void*) override { return 0; }
    audio::HSTREAM streamCreateFile(const QString&) override { return 0; }
    audio::HSTREAM wmaStreamCreateFile(const QString&) override { return 0; }
    bool streamFree(audio::HSTREAM) override { return false; }
    std::int64_t streamGetFilePosition(audio::HSTREAM, int) override { return -1; }
    bool channelPlay(audio::Handle, bool) override { return false; }
    bool channelPause(audio::Handle) override { return false; }
    bool channelStop(audio::Handle) override { return false; }
    int channelIsActive(audio::Handle) override { return audio::Playing; }
    std::int64_t channelGetLength(audio::Handle) override { return -1; }
    std::int64_t channelGetPosition(audio::Handle) override { return position_ += 17640; }
    bool channelSetPosition(audio::Handle, std::int64_t) override { return false; }
    double channelBytes2Seconds(audio::Handle, std::int64_t pos) override { return double(pos) / 176400.0; }
    std::uint32_t channelGetLevel(audio::Handle) override { return 20000u | (12000u << 16); }
    int channelGetData(audio::Handle, void* buffer, std::uint32_t length) override
    {
        if (length == audio::DataFft1024) {
            std::memcpy(buffer, fft_, sizeof(fft_));
            return int(sizeof(fft_));
        }
        std::memcpy(buffer, samples_, sizeof(samples_));
        return int(sizeof(samples_));
    }
    bool channelGetInfo(audio::Handle, audio::ChannelInfo&) override { return false; }

private:
    float fft_[512];
    std::uint32_t samples_[512];
    std::int64_t position_ = 0;
};

// A whole tick without the engine's analysis (mode as for BM_SpectrumFrame).
void BM_DisplayTick(benchmark::State& state)
{
    FixedAudio audio;
    visual::DisplayTick display(audio, skinImage(), SpectrumBox, MeterBox);
    display.SetMode(visual::SpectrumMode(state.range(0)));
    QImage box;
    QImage meters;
    for (auto _ : state) {
        display.step(1, Recording, box, meters);
        benchmark::DoNotOptimize(box.constBits());
    }
}
BENCHMARK(BM_DisplayTick)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
