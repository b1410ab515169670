#include "audio/RtAudioBackend.h"

#include "audio/PulseCaptureStream.h"
#include "audio/RtAudioStream.h"

#include <RtAudio.h>

#include <algorithm>

namespace audio {

std::vector<int> RtAudioBackend::apis()
{
    std::vector<RtAudio::Api> compiled;
    RtAudio::getCompiledApi(compiled);
    std::vector<int> result;
    for (RtAudio::Api api : {RtAudio::LINUX_PULSE, RtAudio::LINUX_ALSA})
        if (std::find(compiled.begin(), compiled.end(), api) != compiled.end())
            result.push_back(int(api));
    return result;
}

int RtAudioBackend::chooseApi(bool* anyInput, bool* anyOutput)
{
    for (int api : apis()) {
        try {
            RtAudio rt{RtAudio::Api(api)};
            rt.showWarnings(false);
            const unsigned int count = rt.getDeviceCount();
            if (count == 0)
                continue;
            bool in = false, out = false;
            for (unsigned int i = 0; i < count; ++i) {
                RtAudio::DeviceInfo info = rt.getDeviceInfo(i);
                if (!info.probed)
                    continue;
                if (info.inputChannels > 0)
                    in = true;
                if (info.outputChannels > 0)
                    out = true;
            }
            if (!in && !out)
                continue;
            if (anyInput)
                *anyInput = in;
            if (anyOutput)
                *anyOutput = out;
            return int(api);
        } catch (const RtAudioError&) {
        }
    }
    return -1;
}

bool RtAudioBackend::hasInput()
{
    bool in = false;
    return chooseApi(&in, nullptr) >= 0 && in;
}

bool RtAudioBackend::hasOutput()
{
    bool out = false;
    return chooseApi(nullptr, &out) >= 0 && out;
}

std::unique_ptr<DeviceStream> RtAudioBackend::openInput(const std::string& device,
                                                        DeviceFormat wanted, InputProc proc)
{
    // Try the APIs in order directly: probing first would connect to the server twice. On
    // PulseAudio the capture runs on the client library's own thread (RtAudio reads through a
    // blocking call, which costs a second thread and twice the wake-ups).
    for (int api : apis()) {
        std::unique_ptr<DeviceStream> stream;
        if (api == int(RtAudio::LINUX_PULSE))
            stream = PulseCaptureStream::open(device, wanted, proc);
        else
            stream = RtAudioStream::openInput(api, device, wanted, proc);
        if (stream)
            return stream;
    }
    return nullptr;
}

std::unique_ptr<DeviceStream> RtAudioBackend::openOutput(DeviceFormat format, OutputProc proc)
{
    for (int api : apis())
        if (auto stream = RtAudioStream::openOutput(api, format, proc))
            return stream;
    return nullptr;
}

} // namespace audio
