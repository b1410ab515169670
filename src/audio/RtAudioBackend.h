#pragma once
// The real devices: RtAudio with its PulseAudio API, or its ALSA API when no PulseAudio server
// answers. The choice is made again at every query, so a server that comes back is found.
// Every call that talks to the server returns within a few seconds, whatever the server does
// (a stopped or hung one makes it fail): the work runs on a thread of its own.
#include "audio/DeviceBackend.h"

#include <vector>

namespace audio {

class RtAudioBackend : public DeviceBackend {
public:
    bool hasInput() override;
    bool hasOutput() override;
    std::unique_ptr<DeviceStream> openInput(const std::string& device, DeviceFormat wanted,
                                            InputProc proc) override;
    std::unique_ptr<DeviceStream> openOutput(DeviceFormat format, OutputProc proc) override;

private:
    static std::vector<int> apis();
    // The RtAudio::Api to use, or -1 when no API has a device.
    static int chooseApi(bool* anyInput, bool* anyOutput);
};

} // namespace audio
