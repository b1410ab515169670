#include "visual/DisplayTick.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace visual {

namespace {
constexpr std::uint32_t SampleBytes = 2048;
static_assert(sizeof(TSpectrum::SampleBuffer) == SampleBytes, "the waveform reads 2048 bytes");
static_assert(sizeof(TSpectrum::FftBuffer) == 512 * sizeof(float), "a 1024-point FFT gives 512 values");
}

DisplayTick::DisplayTick(audio::AudioApi& audio, const QImage& window, const QRect& spectrumBox,
                         const QRect& meterBox)
    : audio_(audio), spectrum_(window, spectrumBox), volume_(window, meterBox)
{
}

std::uint32_t DisplayTick::ElapsedSeconds(audio::AudioApi& audio, audio::Handle channel)
{
    if (audio.channelIsActive(channel) == audio::Stopped)
        return 0;
    const std::int64_t position = audio.channelGetPosition(channel);
    if (position <= 0)
        return 0;
    const double seconds = audio.channelBytes2Seconds(channel, position);
    if (!(seconds > 0.0))
        return 0;
    if (seconds >= double(std::numeric_limits<std::uint32_t>::max()))
        return std::numeric_limits<std::uint32_t>::max();
    return std::uint32_t(seconds);
}

DisplayTick::Changed DisplayTick::step(audio::Handle channel, TransportState state,
                                       QImage& spectrumBox, QImage& meterBox)
{
    Changed changed;
    if (state == Idle) {
        changed.spectrum = spectrum_.Draw(spectrumBox, fft_, samples_, Idle, 0);
        changed.meters = volume_.Draw(meterBox, 0, 0, Idle);
        return changed;
    }
    const std::uint32_t elapsed = ElapsedSeconds(audio_, channel);
    if (spectrum_.Mode == SpectrumMode::Waveform) {
        // A channel of many channels fills a little less than asked: whole frames only.
        const auto got = std::size_t(std::clamp(audio_.channelGetData(channel, samples_.data(), SampleBytes), 0,
                                                int(SampleBytes)));
        std::memset(reinterpret_cast<char*>(samples_.data()) + got, 0, SampleBytes - got);
    } else if (audio_.channelGetData(channel, fft_.data(), audio::DataFft1024) < int(sizeof(fft_))) {
        fft_.fill(0.0f);
    }
    changed.spectrum = spectrum_.Draw(spectrumBox, fft_, samples_, state, elapsed);

    int left = 0;
    int right = 0;
    LevelMeters::ScaleLevel(audio_.channelGetLevel(channel), left, right);
    changed.meters = volume_.Draw(meterBox, left, right, state);
    return changed;
}

} // namespace visual
