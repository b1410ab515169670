#pragma once
// The sound devices behind the engine. RtAudioBackend is the real one; tests may put a fake
// here. Callbacks run on a thread of the backend, one call at a time per stream.
#include "audio/DeviceFormat.h"
#include "audio/DeviceStream.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace audio {

class DeviceBackend {
public:
    // Captured frames; return false to receive nothing more from this stream.
    using InputProc = std::function<bool(const std::int16_t* samples, std::uint32_t frames)>;
    // Fill `frames` frames (all of them; silence where nothing is left). `unheard` is how many
    // of the frames handed over so far, these included, the listener has not heard yet.
    using OutputProc =
        std::function<void(std::int16_t* samples, std::uint32_t frames, std::uint32_t unheard)>;

    virtual ~DeviceBackend() = default;

    // Whether a capture or output device can be used at all (the sound server answers).
    virtual bool hasInput() = 0;
    virtual bool hasOutput() = 0;

    // Opens a capture stream on the named device (the sound server's name of a source; empty or
    // unknown: the default one). The
    // requested format is a wish: the stream may run at another rate or channel count it
    // supports, reported by DeviceStream::format(). Null on failure.
    virtual std::unique_ptr<DeviceStream> openInput(const std::string& device,
                                                    DeviceFormat wanted, InputProc proc) = 0;
    // Opens an output stream on the default device in exactly this format. Null on failure.
    virtual std::unique_ptr<DeviceStream> openOutput(DeviceFormat format, OutputProc proc) = 0;
};

} // namespace audio
