#pragma once
// The three pictures of the spectrum box, by the values the "Spectrum" setting stores.
namespace visual {

enum class SpectrumMode : int { Blaze = 0, Bars = 1, Waveform = 2 };

// The stored value as a mode: 2 Waveform, 1 Bars, anything else Blaze.
constexpr SpectrumMode SpectrumModeFromValue(int value)
{
    return value == 2 ? SpectrumMode::Waveform : value == 1 ? SpectrumMode::Bars : SpectrumMode::Blaze;
}

} // namespace visual
