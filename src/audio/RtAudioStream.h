#pragma once
// A DeviceStream over one RtAudio stream (each stream owns its own RtAudio object, since an
// RtAudio object runs one stream at a time). Stopping and closing wait for the sound server at
// most a few seconds: a stream whose server answers nothing is given up as failed, and its
// RtAudio object is closed and freed on another thread whenever the server lets go of it.
#include "audio/DeviceBackend.h"
#include "audio/DeviceStream.h"

#include <memory>
#include <string>

namespace audio {

class RtAudioStream : public DeviceStream {
public:
    // api: the RtAudio::Api value the backend chose. Null on failure. (On PulseAudio the
    // backend captures through PulseCaptureStream instead.)
    static std::unique_ptr<RtAudioStream> openInput(int api, const std::string& device,
                                                    DeviceFormat wanted,
                                                    DeviceBackend::InputProc proc);
    static std::unique_ptr<RtAudioStream> openOutput(int api, DeviceFormat format,
                                                     DeviceBackend::OutputProc proc);
    ~RtAudioStream() override;

    bool start() override;
    void stop() override;
    bool running() const override;
    bool failed() const override;
    DeviceFormat format() const override;

    struct Impl;

private:
    explicit RtAudioStream(std::shared_ptr<Impl> impl);
    std::shared_ptr<Impl> d_; // shared with a stop or close that waits for a hung server
};

} // namespace audio
