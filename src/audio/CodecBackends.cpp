#include "audio/CodecBackends.h"

#include "platform/CodecModule.h"

namespace audio {

const AudioCodecs* audioCodecs()
{
    static const AudioCodecs* const codecs = []() -> const AudioCodecs* {
        using Entry = const AudioCodecs* (*)();
        const auto entry = reinterpret_cast<Entry>(platform::codecModuleSymbol("vexa_audio_codecs"));
        const AudioCodecs* c = entry ? entry() : nullptr;
        return c && c->version == AudioCodecs::Version && c->newDecoder && c->newConverter ? c : nullptr;
    }();
    return codecs;
}

} // namespace audio
