#pragma once
// The decoders and the sample-rate converter live in the codec module (FFmpeg and the many
// libraries it brings in), which the program loads the first time it needs one: a window that
// only starts, or records WAV or MP3, never loads FFmpeg. Decoder and FormatConverter are the
// faces the rest of the program uses; these are what the module fills them with.
#include "audio/DeviceFormat.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace audio {

class DecoderBackend {
public:
    virtual ~DecoderBackend() = default;
    virtual bool open(const std::string& path) = 0;
    virtual std::uint32_t rate() const = 0;
    virtual std::uint32_t channels() const = 0;
    virtual std::int64_t lengthFrames() const = 0;
    virtual std::int64_t fileSize() const = 0;
    virtual std::int64_t bitRate() const = 0;
    virtual std::int64_t position() const = 0;
    virtual std::size_t read(std::int16_t* out, std::size_t frames) = 0;
    virtual bool seek(std::int64_t frame) = 0;
    virtual bool atEnd() const = 0;
};

class ConverterBackend {
public:
    virtual ~ConverterBackend() = default;
    virtual bool valid() const = 0;
    virtual void convert(const std::int16_t* in, std::uint32_t frames, std::vector<std::int16_t>& out) = 0;
};

// What the module hands out. Its version must match the program's, or it is not used.
struct AudioCodecs {
    static constexpr int Version = 1;
    int version = Version;
    std::unique_ptr<DecoderBackend> (*newDecoder)() = nullptr;
    std::unique_ptr<ConverterBackend> (*newConverter)(DeviceFormat from, DeviceFormat to) = nullptr;
};

// The module's codecs, loaded on the first call (from any thread); null when the module is
// missing or does not match, and then no file decodes and no rate converts.
const AudioCodecs* audioCodecs();

} // namespace audio
