#pragma once
// Rate and channel conversion through libswresample: what audio::FormatConverter does in the
// codec module. See audio/FormatConverter.h.
#include "audio/CodecBackends.h"

namespace audio {

class FfmpegConverter final : public ConverterBackend {
public:
    FfmpegConverter(DeviceFormat from, DeviceFormat to);
    ~FfmpegConverter() override;

    bool valid() const override { return swr_ != nullptr; }
    void convert(const std::int16_t* in, std::uint32_t frames, std::vector<std::int16_t>& out) override;

private:
    DeviceFormat from_;
    DeviceFormat to_;
    void* swr_ = nullptr; // SwrContext
};

} // namespace audio
