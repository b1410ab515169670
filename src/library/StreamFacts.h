#pragma once
// What the list and the information panel show of an MP3 or WMA file, as the engine reads it.
#include <cstdint>

namespace library {

struct StreamFacts {
    std::uint32_t freq = 0;
    std::uint32_t chans = 0;
    std::uint32_t flags = 0;   // the channel's sample flags
    std::uint32_t bitrate = 0; // of the audio data, bit/s; 0 when the engine does not know it
    double seconds = 0;
    std::uint32_t fileSize = 0;

    // The whole seconds the list shows.
    std::uint32_t wholeSeconds() const
    {
        if (!(seconds > 0))
            return 0;
        return seconds < 4294967295.0 ? std::uint32_t(seconds) : 0xFFFFFFFFu;
    }
};

} // namespace library
