#pragma once
// Decoding through FFmpeg (libavformat and libavcodec): what audio::Decoder does in the codec
// module. See audio/Decoder.h for the behaviour of each call.
#include "audio/CodecBackends.h"

#include <memory>

namespace codecs {

class FfmpegDecoder final : public audio::DecoderBackend {
public:
    FfmpegDecoder();
    ~FfmpegDecoder() override;

    bool open(const std::string& path) override;
    std::uint32_t rate() const override;
    std::uint32_t channels() const override;
    std::int64_t lengthFrames() const override;
    std::int64_t fileSize() const override;
    std::int64_t bitRate() const override;
    std::int64_t position() const override;
    std::size_t read(std::int16_t* out, std::size_t frames) override;
    bool seek(std::int64_t frame) override;
    bool atEnd() const override;

    struct Impl;

private:
    std::unique_ptr<Impl> d_;
};

} // namespace codecs
