#include "audio/RtAudioBackend.h"

#include "audio/BoundedCall.h"
#include "audio/PulseCaptureStream.h"
#include "audio/RtAudioStream.h"

#include <RtAudio.h>

#include <algorithm>
#include <chrono>
#include <mutex>

namespace audio {

namespace {

// How long a call that talks to the sound server may keep its caller (BoundedCall.h).
constexpr auto CallDeadline = std::chrono::milliseconds(3000);

template <typename T, typename Work> T withDeadline(Work work)
{
    return boundedCall<T>(CallDeadline, std::move(work)).value_or(T{});
}

// A stream's callback handed to a call that may be given up: once it is, the stream (if it
// still comes) must not reach the caller's objects, which may be gone.
template <typename Proc> struct GuardedProc {
    std::mutex mutex;
    bool cut = false;
    Proc proc;
};

// The stream a call made, handed on (the call's result is shared until the caller takes it).
class SharedStream : public DeviceStream {
public:
    explicit SharedStream(std::shared_ptr<DeviceStream> s) : s_(std::move(s)) { }
    bool start() override { return s_->start(); }
    void stop() override { s_->stop(); }
    bool running() const override { return s_->running(); }
    bool failed() const override { return s_->failed(); }
    DeviceFormat format() const override { return s_->format(); }
    std::string sourceDescription() const override { return s_->sourceDescription(); }
    bool sourceMuted() const override { return s_->sourceMuted(); }
    bool sourceGone() const override { return s_->sourceGone(); }

private:
    std::shared_ptr<DeviceStream> s_;
};

// Hands on the stream a call made; with none (the call failed or was given up), the callback is
// cut off, so that a stream still coming later never reaches the caller.
template <typename Proc>
std::unique_ptr<DeviceStream> adopt(std::shared_ptr<DeviceStream> stream, GuardedProc<Proc>& guard)
{
    if (!stream) {
        std::lock_guard<std::mutex> lock(guard.mutex);
        guard.cut = true;
        return nullptr;
    }
    return std::make_unique<SharedStream>(std::move(stream));
}

} // namespace

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
    return withDeadline<bool>([] {
        bool in = false;
        return chooseApi(&in, nullptr) >= 0 && in;
    });
}

bool RtAudioBackend::hasOutput()
{
    return withDeadline<bool>([] {
        bool out = false;
        return chooseApi(nullptr, &out) >= 0 && out;
    });
}

std::unique_ptr<DeviceStream> RtAudioBackend::openInput(const std::string& device,
                                                        DeviceFormat wanted, InputProc proc)
{
    auto guard = std::make_shared<GuardedProc<InputProc>>();
    guard->proc = std::move(proc);
    InputProc guarded = [guard](const std::int16_t* samples, std::uint32_t frames) {
        std::lock_guard<std::mutex> lock(guard->mutex);
        return !guard->cut && guard->proc(samples, frames);
    };
    auto stream = withDeadline<std::shared_ptr<DeviceStream>>(
        [device, wanted, guarded]() -> std::shared_ptr<DeviceStream> {
            // Try the APIs in order directly: probing first would connect to the server twice. On
            // PulseAudio the capture runs on the client library's own thread (RtAudio reads through
            // a blocking call, which costs a second thread and twice the wake-ups).
            for (int api : apis()) {
                std::unique_ptr<DeviceStream> s;
                if (api == int(RtAudio::LINUX_PULSE))
                    s = PulseCaptureStream::open(device, wanted, guarded);
                else
                    s = RtAudioStream::openInput(api, device, wanted, guarded);
                if (s)
                    return std::shared_ptr<DeviceStream>(std::move(s));
            }
            return nullptr;
        });
    return adopt(std::move(stream), *guard);
}

std::unique_ptr<DeviceStream> RtAudioBackend::openOutput(DeviceFormat format, OutputProc proc)
{
    auto guard = std::make_shared<GuardedProc<OutputProc>>();
    guard->proc = std::move(proc);
    OutputProc guarded = [guard, format](std::int16_t* samples, std::uint32_t frames,
                                         std::uint32_t unheard) {
        std::lock_guard<std::mutex> lock(guard->mutex);
        if (guard->cut)
            std::fill(samples, samples + std::size_t(frames) * format.channels, std::int16_t(0));
        else
            guard->proc(samples, frames, unheard);
    };
    auto stream = withDeadline<std::shared_ptr<DeviceStream>>(
        [format, guarded]() -> std::shared_ptr<DeviceStream> {
            for (int api : apis())
                if (auto s = RtAudioStream::openOutput(api, format, guarded))
                    return std::shared_ptr<DeviceStream>(std::move(s));
            return nullptr;
        });
    return adopt(std::move(stream), *guard);
}

} // namespace audio
