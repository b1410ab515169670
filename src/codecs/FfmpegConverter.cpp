#include "codecs/FfmpegConverter.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

namespace codecs {

using namespace audio;

FfmpegConverter::FfmpegConverter(DeviceFormat from, DeviceFormat to) : from_(from), to_(to)
{
    AVChannelLayout in, out;
    av_channel_layout_default(&in, int(from.channels));
    av_channel_layout_default(&out, int(to.channels));
    SwrContext* swr = nullptr;
    if (swr_alloc_set_opts2(&swr, &out, AV_SAMPLE_FMT_S16, int(to.rate), &in, AV_SAMPLE_FMT_S16,
                            int(from.rate), 0, nullptr) == 0) {
        // The default matrix lowers mono spread to stereo by 3 dB; keep the level instead.
        if (from.channels == 1 && to.channels == 2) {
            const double matrix[2] = {1.0, 1.0};
            swr_set_matrix(swr, matrix, 1);
        } else if (from.channels == 2 && to.channels == 1) {
            const double matrix[2] = {0.5, 0.5};
            swr_set_matrix(swr, matrix, 2);
        }
        if (swr_init(swr) == 0)
            swr_ = swr;
        else
            swr_free(&swr);
    }
    av_channel_layout_uninit(&in);
    av_channel_layout_uninit(&out);
}

FfmpegConverter::~FfmpegConverter()
{
    SwrContext* swr = static_cast<SwrContext*>(swr_);
    swr_free(&swr);
}

void FfmpegConverter::convert(const std::int16_t* in, std::uint32_t frames,
                              std::vector<std::int16_t>& out)
{
    out.clear();
    auto* swr = static_cast<SwrContext*>(swr_);
    if (!swr)
        return;
    const int capacity = swr_get_out_samples(swr, int(frames));
    if (capacity <= 0)
        return;
    out.resize(std::size_t(capacity) * to_.channels);
    uint8_t* dst[1] = {reinterpret_cast<uint8_t*>(out.data())};
    const uint8_t* src[1] = {reinterpret_cast<const uint8_t*>(in)};
    const int got = swr_convert(swr, dst, capacity, src, int(frames));
    out.resize(std::size_t(got > 0 ? got : 0) * to_.channels);
}

} // namespace codecs
