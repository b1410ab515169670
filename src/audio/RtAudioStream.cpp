#include "audio/RtAudioStream.h"

#include "audio/BoundedCall.h"

#include <RtAudio.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace audio {

struct RtAudioStream::Impl {
    std::unique_ptr<RtAudio> rt;
    bool input = false;
    DeviceFormat format;
    DeviceBackend::InputProc inputProc;
    DeviceBackend::OutputProc outputProc;

    // Output latency, measured after each start: the server takes blocks at once until its
    // buffer is full, then one block per block played. The frames of that first burst are
    // what it holds ahead of the ear from then on (RtAudio's own figure is 0 on PulseAudio).
    bool measuring = true;
    std::uint32_t burst = 0;
    std::chrono::steady_clock::time_point lastCall;

    // Held while the client's callback runs, so that stop() can wait for a running callback.
    std::mutex callbackMutex;
    bool active = false; // guarded by callbackMutex
    std::atomic<bool> failed{false};
    std::atomic<std::thread::id> callbackThread{};
};

namespace {

// RtAudio's error callback carries no user data. Device read and write errors are raised on
// the stream's own callback thread, so the stream that thread serves is remembered per thread.
thread_local RtAudioStream::Impl* currentStream = nullptr;

void onRtAudioError(RtAudioError::Type, const std::string&)
{
    if (currentStream)
        currentStream->failed = true;
}

int onRtAudio(void* out, void* in, unsigned int frames, double, RtAudioStreamStatus, void* user)
{
    auto* d = static_cast<RtAudioStream::Impl*>(user);
    currentStream = d;
    d->callbackThread = std::this_thread::get_id();
    const std::size_t outBytes = std::size_t(frames) * d->format.channels * sizeof(std::int16_t);
    if (d->failed) {
        // A dead server makes every read or write fail at once: do not spin on it. The owner
        // closes the stream when it notices.
        if (out)
            std::memset(out, 0, outBytes);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return 0;
    }
    std::lock_guard<std::mutex> lock(d->callbackMutex);
    if (!d->active) {
        if (out)
            std::memset(out, 0, outBytes);
        return 0;
    }
    if (d->input) {
        if (!d->inputProc(static_cast<const std::int16_t*>(in), frames))
            d->active = false;
    } else {
        const auto now = std::chrono::steady_clock::now();
        const auto blockTime = std::chrono::microseconds(std::int64_t(frames) * 1000000 / d->format.rate);
        // A wait of more than about half a block ends the burst.
        if (d->measuring && d->burst > 0 && now - d->lastCall > blockTime * 2 / 5)
            d->measuring = false;
        if (d->measuring && d->burst > d->format.rate) // a second: no burst to measure
            d->measuring = false;
        d->lastCall = now;
        if (d->measuring)
            d->burst += frames;
        d->outputProc(static_cast<std::int16_t*>(out), frames, d->burst);
    }
    return 0;
}

// The device called `name` in this direction (as RtAudio labels it); not found: the default.
unsigned int findDevice(RtAudio& rt, const std::string& name, bool input)
{
    if (!name.empty()) {
        const unsigned int count = rt.getDeviceCount();
        for (unsigned int i = 0; i < count; ++i) {
            RtAudio::DeviceInfo info = rt.getDeviceInfo(i);
            if (info.probed && info.name == name && (input ? info.inputChannels : info.outputChannels) > 0)
                return i;
        }
    }
    return input ? rt.getDefaultInputDevice() : rt.getDefaultOutputDevice();
}

bool supportsRate(const RtAudio::DeviceInfo& info, unsigned int rate)
{
    for (unsigned int r : info.sampleRates)
        if (r == rate)
            return true;
    return false;
}

// Makes the stream's own RtAudio object and picks its device: the named one, else the default
// one of the stream's direction. False when there is no device or it has no channels that way.
// RtAudio may throw; the callers catch.
bool chooseDevice(RtAudioStream::Impl& d, int api, const std::string& name, unsigned int& index,
                  RtAudio::DeviceInfo& info)
{
    d.rt = std::make_unique<RtAudio>(RtAudio::Api(api));
    d.rt->showWarnings(false);
    if (d.rt->getDeviceCount() == 0)
        return false;
    index = findDevice(*d.rt, name, d.input);
    info = d.rt->getDeviceInfo(index);
    return info.probed && (d.input ? info.inputChannels : info.outputChannels) > 0;
}

// Opens the 16-bit stream on the device with the stream's channels and rate, in its direction.
// RtAudio may throw; the callers catch.
bool openStream(RtAudioStream::Impl& d, unsigned int device, unsigned int bufferFrames,
                RtAudio::StreamOptions& options)
{
    RtAudio::StreamParameters params;
    params.deviceId = device;
    params.nChannels = d.format.channels;
    d.rt->openStream(d.input ? nullptr : &params, d.input ? &params : nullptr, RTAUDIO_SINT16,
                     d.format.rate, &bufferFrames, &onRtAudio, &d, &options, &onRtAudioError);
    return d.rt->isStreamOpen();
}

} // namespace

namespace {
// How long a stop or close may wait for the sound server. RtAudio's PulseAudio stream holds its
// lock while it writes, and a write to a stopped server never returns.
constexpr auto ServerDeadline = std::chrono::milliseconds(2000);
} // namespace

RtAudioStream::RtAudioStream(std::shared_ptr<Impl> impl) : d_(std::move(impl))
{
}

RtAudioStream::~RtAudioStream()
{
    stop();
    // The close runs where it may wait; the Impl (the callback's data) lives until it is done.
    std::shared_ptr<Impl> d = d_;
    boundedCall<bool>(ServerDeadline, [d] {
        try {
            if (d->rt && d->rt->isStreamOpen())
                d->rt->closeStream();
        } catch (const RtAudioError&) {
        }
        return true;
    });
}

std::unique_ptr<RtAudioStream> RtAudioStream::openInput(int api, const std::string& device,
                                                        DeviceFormat wanted,
                                                        DeviceBackend::InputProc proc)
{
    auto d = std::make_unique<Impl>();
    d->input = true;
    d->inputProc = std::move(proc);
    try {
        unsigned int index = 0;
        RtAudio::DeviceInfo info;
        if (!chooseDevice(*d, api, device, index, info))
            return nullptr;
        // Ask for what the device can do; the caller converts the rest.
        d->format.channels = std::min<std::uint32_t>(wanted.channels, info.inputChannels);
        d->format.rate = supportsRate(info, wanted.rate) ? wanted.rate
                         : info.preferredSampleRate   ? info.preferredSampleRate
                                                      : wanted.rate;
        unsigned int bufferFrames = std::max(64u, d->format.rate / 100); // about 10 ms
        RtAudio::StreamOptions options;
        options.streamName = "Vexa Recorder capture";
        // What the device keeps for us while this process cannot read (a busy or stopped
        // machine): two seconds, not RtAudio's four blocks (40 ms), which a loaded machine
        // overruns. It adds no latency. (Capture on PulseAudio goes through PulseCaptureStream;
        // this stream serves the other APIs.)
        const unsigned int keepMs = 2000;
        const unsigned int blockMs = std::max(1u, bufferFrames * 1000u / d->format.rate);
        options.numberOfBuffers = std::max(1u, keepMs / blockMs - 1); // RtAudio keeps one more
        if (!openStream(*d, index, bufferFrames, options))
            return nullptr;
    } catch (const RtAudioError&) {
        return nullptr;
    }
    return std::unique_ptr<RtAudioStream>(new RtAudioStream(std::move(d)));
}

std::unique_ptr<RtAudioStream> RtAudioStream::openOutput(int api, DeviceFormat format,
                                                         DeviceBackend::OutputProc proc)
{
    auto d = std::make_unique<Impl>();
    d->input = false;
    d->outputProc = std::move(proc);
    d->format = format;
    try {
        unsigned int index = 0;
        RtAudio::DeviceInfo info;
        if (!chooseDevice(*d, api, std::string(), index, info))
            return nullptr;
        // Eight buffers of 12.5 ms: the server holds about 75 ms ahead of what is heard, enough
        // to ride out a busy machine. Starting, pausing and jumping flush it, so it adds no
        // delay there; the position subtracts it (measured, see the callback).
        unsigned int bufferFrames = std::max(64u, format.rate / 80);
        RtAudio::StreamOptions options;
        options.streamName = "Vexa Recorder playback";
        options.numberOfBuffers = 8;
        if (!openStream(*d, index, bufferFrames, options))
            return nullptr;
    } catch (const RtAudioError&) {
        return nullptr;
    }
    return std::unique_ptr<RtAudioStream>(new RtAudioStream(std::move(d)));
}

bool RtAudioStream::start()
{
    if (d_->failed)
        return false;
    {
        std::lock_guard<std::mutex> lock(d_->callbackMutex);
        d_->active = true;
        d_->measuring = true;
        d_->burst = 0;
    }
    try {
        if (!d_->rt->isStreamRunning())
            d_->rt->startStream();
    } catch (const RtAudioError&) {
        return false;
    }
    return d_->rt->isStreamRunning();
}

void RtAudioStream::stop()
{
    if (std::this_thread::get_id() == d_->callbackThread.load()) {
        d_->active = false; // called from our own callback, which holds the mutex
    } else {
        std::lock_guard<std::mutex> lock(d_->callbackMutex);
        d_->active = false;
    }
    if (!d_->rt || d_->failed)
        return;
    std::shared_ptr<Impl> d = d_;
    const auto abort = [d] {
        try {
            if (d->rt->isStreamRunning())
                d->rt->abortStream();
        } catch (const RtAudioError&) {
        }
        return true;
    };
    // From the stream's own callback RtAudio takes no lock of its own here: no wait.
    if (std::this_thread::get_id() == d_->callbackThread.load()) {
        abort();
        return;
    }
    if (!boundedCall<bool>(ServerDeadline, abort))
        d_->failed = true; // the server answers nothing: the stream is given up
}

bool RtAudioStream::running() const
{
    return d_->rt && d_->rt->isStreamRunning() && !d_->failed;
}

bool RtAudioStream::failed() const { return d_->failed; }

DeviceFormat RtAudioStream::format() const { return d_->format; }


} // namespace audio
