#include "audio/FormatConverter.h"

#include "audio/CodecBackends.h"

namespace audio {

FormatConverter::FormatConverter(DeviceFormat from, DeviceFormat to)
{
    if (const AudioCodecs* codecs = audioCodecs())
        d_ = codecs->newConverter(from, to);
}

FormatConverter::~FormatConverter() = default;

bool FormatConverter::valid() const { return d_ && d_->valid(); }

void FormatConverter::convert(const std::int16_t* in, std::uint32_t frames, std::vector<std::int16_t>& out)
{
    out.clear();
    if (valid())
        d_->convert(in, frames, out);
}

} // namespace audio
