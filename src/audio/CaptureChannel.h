#pragma once
// A capture: delivers the device's samples, converted to the requested rate and channel count
// when the device cannot deliver them, to the client's callback on the device's capture thread.
// Pausing keeps the device running and discards (the server would otherwise keep recording
// into its buffer and deliver the paused span later). The first block the device delivers is
// all zeros (its data arrives one block late) and is dropped.
#include "audio/AudioApi.h"
#include "audio/Channel.h"
#include "audio/DeviceBackend.h"
#include "audio/FormatConverter.h"
#include "audio/SampleRing.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace audio {

class CaptureChannel : public Channel {
public:
    CaptureChannel(Handle handle, DeviceFormat format, RecordProc proc, void* user);
    ~CaptureChannel() override;

    // Opens the named device (empty: the default one) and starts delivering at once.
    bool start(DeviceBackend& backend, const std::string& device);

    bool isCapture() const override { return true; }
    DeviceFormat format() const override { return format_; }
    bool play(bool restart) override;
    bool pause() override;
    bool stop() override;
    int activity() override;
    bool deviceLost() const override { return device_ && device_->failed(); }
    bool inputLine(InputLine& line) const override;
    std::int64_t lengthBytes() override { return -1; }
    std::int64_t positionBytes() override { return std::int64_t(delivered_.load()); }
    bool setPositionBytes(std::int64_t) override { return false; }
    std::int64_t fileSize() override { return -1; }
    void latest(std::int16_t* out, std::size_t frames) override;

private:
    enum class State { Running, Paused, Stopped };
    bool onInput(const std::int16_t* samples, std::uint32_t frames); // capture thread
    bool onCaptureThread() const { return std::this_thread::get_id() == captureThread_.load(); }

    const Handle handle_;
    const DeviceFormat format_;
    const RecordProc proc_;
    void* const user_;

    std::unique_ptr<DeviceStream> device_;
    std::unique_ptr<FormatConverter> converter_;
    std::vector<std::int16_t> converted_;
    std::uint32_t deviceChannels_ = 1; // set before the device starts
    bool firstBlock_ = true;

    // Held while the client's callback runs: pause() and stop() wait for a running callback,
    // so that none runs after they return.
    std::mutex deliverMutex_;
    std::atomic<State> state_{State::Running};
    std::atomic<std::thread::id> captureThread_{};
    std::atomic<std::uint64_t> delivered_{0};

    std::mutex historyMutex_;
    SampleRing history_;
};

} // namespace audio
