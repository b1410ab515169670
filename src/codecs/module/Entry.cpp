// The codec module's entry points, the only symbols it exports (everything else in it is
// hidden, the copies of the program's own layers it links included).
#include "audio/CodecBackends.h"
#include "codecs/FfmpegConverter.h"
#include "codecs/FfmpegDecoder.h"
#include "codecs/WmaWriter.h"

#define VEXA_MODULE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

std::unique_ptr<audio::DecoderBackend> newDecoder()
{
    return std::make_unique<codecs::FfmpegDecoder>();
}

std::unique_ptr<audio::ConverterBackend> newConverter(audio::DeviceFormat from, audio::DeviceFormat to)
{
    return std::make_unique<codecs::FfmpegConverter>(from, to);
}

} // namespace

VEXA_MODULE_EXPORT const audio::AudioCodecs* vexa_audio_codecs()
{
    static const audio::AudioCodecs codecs{audio::AudioCodecs::Version, &newDecoder, &newConverter};
    return &codecs;
}

// A new WMA writer (a RecordWriter the caller owns and deletes) that reports to `messages`.
VEXA_MODULE_EXPORT recording::RecordWriter* vexa_new_wma_writer(platform::MessageSink* messages)
{
    return new codecs::WmaWriter(*messages);
}
