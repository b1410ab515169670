#pragma once
// A capture DeviceStream straight on the PulseAudio (or pipewire-pulse) server. The server's
// chunks are gathered into blocks of about 10 ms on the client library's own thread, which
// also runs the callback: one thread and one wake-up per chunk, where a blocking reader
// needs two. A block is a power of two of frames, so that an encoder's input chunk (16384
// bytes for WMA, a power of two of frames too) fills at the end of a block: the first chunk
// goes to the encoder as soon as its audio is in, not up to a block later.
#include "audio/DeviceBackend.h"
#include "audio/DeviceStream.h"

#include <memory>
#include <string>

namespace audio {

class PulseCaptureStream : public DeviceStream {
public:
    // device: the server's name of a source (monitors of outputs included); empty, or a source
    // the server does not know (it went away): the default source. Null when there is no
    // server or it refuses the stream. The stream stays on the source it opened: when that
    // source goes away the stream fails (sourceGone()) instead of being moved by the server to
    // another one, which would go on recording silence or another program's sound unnoticed.
    static std::unique_ptr<PulseCaptureStream> open(const std::string& device, DeviceFormat wanted,
                                                    DeviceBackend::InputProc proc);
    ~PulseCaptureStream() override;

    bool start() override;
    void stop() override;
    bool running() const override;
    bool failed() const override;
    DeviceFormat format() const override;
    std::string sourceDescription() const override;
    bool sourceMuted() const override;
    bool sourceGone() const override;

    // The frames handed to the callback at a time (the last call of a stop may not come).
    std::uint32_t blockFrames() const;

    struct Impl;

private:
    explicit PulseCaptureStream(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> d_;
};

// The block of a capture at rate: the power of two of frames nearest to 10 ms (at least 64).
std::uint32_t captureBlockFrames(std::uint32_t rate);

} // namespace audio
