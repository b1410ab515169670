#include "support/audio_fake_devices.h"

namespace testsupport {

struct FakeStream;

struct FakeDeviceBackend::State {
    std::mutex mutex;
    FakeStream* output = nullptr;
    FakeStream* input = nullptr;
    int opened = 0;
};

struct FakeStream : audio::DeviceStream {
    std::shared_ptr<FakeDeviceBackend::State> state;
    bool isInput = false;
    audio::DeviceFormat fmt;
    audio::DeviceBackend::InputProc in;
    audio::DeviceBackend::OutputProc out;
    bool started = false;
    std::uint32_t latency = 0;
    // Serialises the callback with stop(), as a real device does.
    std::mutex callback;

    ~FakeStream() override
    {
        stop();
        std::lock_guard<std::mutex> lock(state->mutex);
        if (state->output == this)
            state->output = nullptr;
        if (state->input == this)
            state->input = nullptr;
    }
    bool start() override
    {
        std::lock_guard<std::mutex> lock(callback);
        started = true;
        return true;
    }
    void stop() override
    {
        std::lock_guard<std::mutex> lock(callback);
        started = false;
    }
    bool running() const override { return started; }
    bool failed() const override { return false; }
    audio::DeviceFormat format() const override { return fmt; }
};

FakeDeviceBackend::FakeDeviceBackend() : state_(std::make_shared<State>()) {}

std::unique_ptr<audio::DeviceStream> FakeDeviceBackend::openInput(const std::string&, audio::DeviceFormat wanted,
                                                                  InputProc proc)
{
    if (!withInput)
        return nullptr;
    auto s = std::make_unique<FakeStream>();
    s->state = state_;
    s->isInput = true;
    s->fmt = wanted;
    if (inputDeviceFormat.rate)
        s->fmt.rate = inputDeviceFormat.rate;
    if (inputDeviceFormat.channels)
        s->fmt.channels = inputDeviceFormat.channels;
    s->in = std::move(proc);
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->input = s.get();
    return s;
}

std::unique_ptr<audio::DeviceStream> FakeDeviceBackend::openOutput(audio::DeviceFormat format, OutputProc proc)
{
    if (!withOutput)
        return nullptr;
    auto s = std::make_unique<FakeStream>();
    s->state = state_;
    s->fmt = format;
    s->latency = outputLatency;
    s->out = std::move(proc);
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->output = s.get();
    ++state_->opened;
    return s;
}

std::vector<std::int16_t> FakeDeviceBackend::pullOutput(std::uint32_t frames)
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    auto* s = static_cast<FakeStream*>(state_->output);
    if (!s)
        return {};
    std::lock_guard<std::mutex> callback(s->callback);
    if (!s->started)
        return {};
    std::vector<std::int16_t> out(std::size_t(frames) * s->fmt.channels);
    s->out(out.data(), frames, s->latency);
    return out;
}

bool FakeDeviceBackend::pushInput(const std::int16_t* samples, std::uint32_t frames)
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    auto* s = static_cast<FakeStream*>(state_->input);
    if (!s)
        return false;
    std::lock_guard<std::mutex> callback(s->callback);
    return s->started && s->in(samples, frames);
}

int FakeDeviceBackend::openOutputs() const
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->opened;
}

audio::DeviceFormat FakeDeviceBackend::outputFormat() const
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    auto* s = static_cast<FakeStream*>(state_->output);
    return s ? s->fmt : audio::DeviceFormat{};
}

} // namespace testsupport
