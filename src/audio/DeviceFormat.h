#pragma once
// Sample rate and channel count of a device stream. Samples are always interleaved signed
// 16-bit native-endian (little-endian on every platform we build for).
#include <cstdint>

namespace audio {

struct DeviceFormat {
    std::uint32_t rate = 44100;
    std::uint32_t channels = 2;
};

} // namespace audio
