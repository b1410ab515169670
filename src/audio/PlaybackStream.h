#pragma once
// A playback stream: a Decoder feeds a ring of decoded PCM on a worker thread, and the output
// device's callback only copies from that ring (no decoding on the device thread). The output
// device is opened at the file's own rate and channel count on the first play.
//
// Position is what is being heard: the frames handed to the device minus the device latency,
// counted from the frame the stream last started or jumped from. Pausing and seeking stop the
// device at once (dropping what it buffered) and start again from the exact frame.
#include "audio/Channel.h"
#include "audio/Decoder.h"
#include "audio/DeviceBackend.h"
#include "audio/SampleRing.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace audio {

class PlaybackStream : public Channel {
public:
    PlaybackStream(std::unique_ptr<Decoder> decoder, std::shared_ptr<DeviceBackend> backend);
    ~PlaybackStream() override;

    bool isCapture() const override { return false; }
    DeviceFormat format() const override { return format_; }
    bool play(bool restart) override;
    bool pause() override;
    bool stop() override;
    int activity() override;
    bool deviceLost() const override { return deviceLost_; }
    std::int64_t lengthBytes() override { return lengthFrames_ * frameBytes(); }
    std::int64_t positionBytes() override;
    bool setPositionBytes(std::int64_t bytes) override;
    std::int64_t fileSize() override { return fileSize_; }
    std::int64_t bitRate() override { return bitRate_; }
    void latest(std::int16_t* out, std::size_t frames) override;

private:
    enum class State { Stopped, Playing, Paused };

    std::int64_t frameBytes() const { return std::int64_t(format_.channels) * 2; }
    void prepare(); // control_ held: buffers and the decoding thread, on the first play
    void worker();
    void onOutput(std::int16_t* out, std::uint32_t frames, std::uint32_t unheard); // device thread
    // With control_ held: the device is stopped; decode from `frame` and refill the ring.
    void reposition(std::int64_t frame);
    // With control_ held: the frame being heard; notices the end and a lost device.
    std::int64_t heardFrame();
    bool ended(); // ringMutex_ held
    // Data frames heard since the start: silence the device got while the decoder fell
    // behind does not count. ringMutex_ held.
    std::uint64_t heardDataFrames() const;
    void settle(); // control_ held: Playing -> Stopped when the data or the device ended

    const DeviceFormat format_;
    const std::int64_t lengthFrames_;
    const std::int64_t fileSize_;
    const std::int64_t bitRate_;
    std::shared_ptr<DeviceBackend> backend_;
    std::unique_ptr<DeviceStream> device_;
    std::atomic<bool> deviceLost_{false}; // the output went away while playing

    std::mutex control_; // play, pause, stop, seek, position
    State state_ = State::Stopped;
    std::atomic<bool> sounding_{false};
    std::int64_t heldFrame_ = 0; // the position while not playing

    // Lock order: decodeMutex_, then ringMutex_.
    std::mutex decodeMutex_;
    std::unique_ptr<Decoder> decoder_;
    std::vector<std::int16_t> chunk_;

    std::mutex ringMutex_;
    std::condition_variable ringCv_;
    std::vector<std::int16_t> ring_;
    std::size_t ringRead_ = 0;  // in samples
    std::size_t ringCount_ = 0; // in samples
    bool decodedAll_ = false;
    bool quit_ = false;
    std::int64_t baseFrame_ = 0;       // the frame the device started from
    std::uint64_t consumedFrames_ = 0; // data frames handed to the device since then
    std::uint64_t deviceFrames_ = 0;   // frames (data and silence) handed to the device since then
    std::uint64_t gapFrames_ = 0;      // silence handed over because the ring ran dry early
    std::uint32_t latency_ = 0;        // frames handed over and not heard yet, as the device says
    SampleRing history_;               // what was handed to the device, by deviceFrames_

    std::thread thread_;
};

} // namespace audio
