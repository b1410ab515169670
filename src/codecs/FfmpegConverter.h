#pragma once
// Rate and channel conversion through libswresample: what audio::FormatConverter does in the
// codec module. See audio/FormatConverter.h.
#include "audio/CodecBackends.h"

namespace codecs {

class FfmpegConverter final : public audio::ConverterBackend {
public:
    FfmpegConverter(audio::DeviceFormat from, audio::DeviceFormat to);
    ~FfmpegConverter() override;

    bool valid() const override { return swr_ != nullptr; }
    void convert(const std::int16_t* in, std::uint32_t frames, std::vector<std::int16_t>& out) override;

private:
    audio::DeviceFormat from_;
    audio::DeviceFormat to_;
    void* swr_ = nullptr; // SwrContext
};

} // namespace codecs
