#pragma once
// Converts interleaved 16-bit PCM between sample rates and channel counts (libswresample, in
// the codec module), for
// a capture device that cannot deliver the requested format itself. Mono becomes stereo at
// 0 dB (both sides equal); stereo becomes mono as the mean of both sides.
#include "audio/DeviceFormat.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace audio {

class ConverterBackend;

class FormatConverter {
public:
    FormatConverter(DeviceFormat from, DeviceFormat to);
    ~FormatConverter();
    FormatConverter(const FormatConverter&) = delete;
    FormatConverter& operator=(const FormatConverter&) = delete;

    bool valid() const;
    // Converts `frames` frames; the result replaces the contents of `out`.
    void convert(const std::int16_t* in, std::uint32_t frames, std::vector<std::int16_t>& out);

private:
    std::unique_ptr<ConverterBackend> d_; // null without the codec module
};

} // namespace audio
