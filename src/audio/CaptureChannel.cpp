#include "audio/CaptureChannel.h"

#include <algorithm>
#include <cstring>

namespace audio {

CaptureChannel::CaptureChannel(Handle handle, DeviceFormat format, RecordProc proc, void* user)
    : handle_(handle), format_(format), proc_(proc), user_(user),
      history_(std::size_t(format.rate) * format.channels / 2) // half a second
{
}

CaptureChannel::~CaptureChannel()
{
    stop();
    if (device_ && onCaptureThread()) {
        // Freed from inside its own callback: closing the device joins this very thread, so
        // let another thread do it (the stream no longer calls us after stop()).
        std::thread([device = std::move(device_)]() mutable { device.reset(); }).detach();
    }
}

bool CaptureChannel::start(DeviceBackend& backend, const std::string& device)
{
    device_ = backend.openInput(device, format_, [this](const std::int16_t* s, std::uint32_t n) {
        return onInput(s, n);
    });
    if (!device_)
        return false;
    const DeviceFormat actual = device_->format();
    deviceChannels_ = actual.channels;
    if (actual.rate != format_.rate || actual.channels != format_.channels) {
        converter_ = std::make_unique<FormatConverter>(actual, format_);
        if (!converter_->valid())
            return false;
    }
    state_ = State::Running;
    return device_->start();
}

bool CaptureChannel::onInput(const std::int16_t* samples, std::uint32_t frames)
{
    captureThread_ = std::this_thread::get_id();
    if (firstBlock_) {
        firstBlock_ = false;
        const std::size_t count = std::size_t(frames) * deviceChannels_;
        if (std::all_of(samples, samples + count, [](std::int16_t v) { return v == 0; }))
            return true;
    }
    std::lock_guard<std::mutex> lock(deliverMutex_);
    const State state = state_.load();
    if (state == State::Stopped)
        return false;
    if (state == State::Paused)
        return true;

    const std::int16_t* data = samples;
    std::uint32_t count = frames;
    if (converter_) {
        converter_->convert(samples, frames, converted_);
        data = converted_.data();
        count = std::uint32_t(converted_.size() / format_.channels);
        if (count == 0)
            return true;
    }
    {
        std::lock_guard<std::mutex> historyLock(historyMutex_);
        history_.push(data, std::size_t(count) * format_.channels);
    }
    const std::uint32_t bytes = count * format_.channels * std::uint32_t(sizeof(std::int16_t));
    const bool more = proc_(handle_, data, bytes, user_);
    delivered_ += bytes;
    if (!more) {
        state_ = State::Stopped;
        return false;
    }
    return true;
}

bool CaptureChannel::play(bool)
{
    if (onCaptureThread()) {
        if (state_ == State::Stopped)
            return false;
        state_ = State::Running;
        return true;
    }
    std::lock_guard<std::mutex> lock(deliverMutex_);
    if (state_ == State::Stopped || !device_ || device_->failed())
        return false;
    state_ = State::Running;
    return true;
}

bool CaptureChannel::pause()
{
    if (onCaptureThread()) {
        if (state_ == State::Stopped)
            return false;
        state_ = State::Paused;
        return true;
    }
    std::lock_guard<std::mutex> lock(deliverMutex_);
    if (state_ == State::Stopped)
        return false;
    state_ = State::Paused;
    return true;
}

bool CaptureChannel::stop()
{
    if (onCaptureThread()) {
        state_ = State::Stopped;
    } else {
        std::lock_guard<std::mutex> lock(deliverMutex_);
        state_ = State::Stopped;
    }
    if (device_)
        device_->stop();
    return true;
}

int CaptureChannel::activity()
{
    if (device_ && device_->failed())
        state_ = State::Stopped; // the server went away: the capture has ended
    switch (state_.load()) {
    case State::Running: return 1;
    case State::Paused: return 3;
    case State::Stopped: break;
    }
    return 0;
}

bool CaptureChannel::inputLine(InputLine& line) const
{
    if (!device_)
        return false;
    line.description = QString::fromStdString(device_->sourceDescription());
    line.muted = device_->sourceMuted();
    line.gone = device_->sourceGone();
    return true;
}

void CaptureChannel::latest(std::int16_t* out, std::size_t frames)
{
    const std::size_t count = frames * format_.channels;
    if (state_ != State::Running) {
        std::fill(out, out + count, std::int16_t(0));
        return;
    }
    std::lock_guard<std::mutex> lock(historyMutex_);
    history_.copyEnding(history_.written(), out, count);
}

} // namespace audio
