#pragma once
// The pictures of the spectrum box, by the values the "Spectrum" setting stores.
namespace visual {

enum class SpectrumMode : int { Blaze = 0, Bars = 1, Waveform = 2 };

// Every mode, in the order of the spectrum menu.
constexpr SpectrumMode SpectrumModes[] = {SpectrumMode::Blaze, SpectrumMode::Bars,
                                          SpectrumMode::Waveform};

// The stored value as a mode: the mode of that value, Blaze for any other.
constexpr SpectrumMode SpectrumModeFromValue(int value)
{
    for (SpectrumMode mode : SpectrumModes)
        if (int(mode) == value)
            return mode;
    return SpectrumMode::Blaze;
}

} // namespace visual
