#include "audio/PulseCaptureStream.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <vector>

namespace audio {

struct PulseCaptureStream::Impl {
    pa_threaded_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;
    DeviceFormat format;
    DeviceBackend::InputProc proc;

    // The block being gathered from the server's chunks. Touched only under the loop's lock.
    std::vector<std::int16_t> block;
    std::size_t filledBytes = 0;
    std::uint32_t blockFrames = 0;
    bool active = false;
    bool streamReady = false;
    // The source as the server described it once the stream was ready (set before open()
    // returns, read-only after).
    std::string description;
    bool muted = false;

    std::atomic<bool> corked{true};
    std::atomic<bool> failed{false};
    std::atomic<bool> sourceGone{false};

    std::size_t blockBytes() const { return block.size() * sizeof(std::int16_t); }
};

namespace {

using Impl = PulseCaptureStream::Impl;

void onContextState(pa_context* c, void* user)
{
    auto* d = static_cast<Impl*>(user);
    if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(c)))
        d->failed = true; // the server went away (or never answered)
    pa_threaded_mainloop_signal(d->loop, 0);
}

void onStreamState(pa_stream* s, void* user)
{
    auto* d = static_cast<Impl*>(user);
    const pa_stream_state_t state = pa_stream_get_state(s);
    if (state == PA_STREAM_READY) {
        d->streamReady = true;
    } else if (d->streamReady && !PA_STREAM_IS_GOOD(state)) {
        // The source or the server went away while we recorded. The server's state is set
        // before its streams fail, so a server still there means the source alone is gone.
        if (pa_context_get_state(d->context) == PA_CONTEXT_READY)
            d->sourceGone = true;
        d->active = false;
        d->failed = true;
    }
    pa_threaded_mainloop_signal(d->loop, 0);
}

// The stream asks not to be moved. A server that moves it all the same (PipeWire's may, when
// its session manager links it elsewhere) has taken it off the source it recorded: that is
// the source going away, not a new line to record.
void onMoved(pa_stream*, void* user)
{
    auto* d = static_cast<Impl*>(user);
    d->active = false;
    d->sourceGone = true;
    d->failed = true;
}

// Hands out whole blocks as the server's chunks fill them.
void gather(Impl& d, const unsigned char* data, std::size_t bytes)
{
    auto* block = reinterpret_cast<unsigned char*>(d.block.data());
    while (bytes > 0 && d.active) {
        const std::size_t take = std::min(bytes, d.blockBytes() - d.filledBytes);
        std::memcpy(block + d.filledBytes, data, take);
        d.filledBytes += take;
        data += take;
        bytes -= take;
        if (d.filledBytes == d.blockBytes()) {
            d.filledBytes = 0;
            if (!d.proc(d.block.data(), d.blockFrames))
                d.active = false;
        }
    }
}

void onRead(pa_stream* s, std::size_t, void* user)
{
    auto* d = static_cast<Impl*>(user);
    while (pa_stream_readable_size(s) > 0) {
        const void* data = nullptr;
        std::size_t bytes = 0;
        if (pa_stream_peek(s, &data, &bytes) < 0 || bytes == 0)
            break;
        // A hole (no data) is audio the server lost: it is left out, and the recording's
        // dropout watch sees the shortfall in the timing.
        if (data && d->active)
            gather(*d, static_cast<const unsigned char*>(data), bytes);
        pa_stream_drop(s);
    }
}

// Waits (loop locked) until the context is ready; false when it failed.
bool waitForContext(Impl& d)
{
    for (;;) {
        const pa_context_state_t state = pa_context_get_state(d.context);
        if (state == PA_CONTEXT_READY)
            return true;
        if (!PA_CONTEXT_IS_GOOD(state))
            return false;
        pa_threaded_mainloop_wait(d.loop);
    }
}

struct SourceQuery {
    explicit SourceQuery(Impl* impl) : d(impl) { }
    Impl* d;
    bool found = false;
    std::string description;
    bool muted = false;
};

void onSourceInfo(pa_context*, const pa_source_info* info, int eol, void* user)
{
    auto* q = static_cast<SourceQuery*>(user);
    if (!eol && info) {
        q->found = true;
        q->description = info->description ? info->description : (info->name ? info->name : "");
        q->muted = info->mute != 0;
    }
    if (eol)
        pa_threaded_mainloop_signal(q->d->loop, 0);
}

// What the server says of a source of this name (loop locked); found is false when it does
// not know it.
SourceQuery querySource(Impl& d, const std::string& name)
{
    SourceQuery query(&d);
    pa_operation* o =
        pa_context_get_source_info_by_name(d.context, name.c_str(), &onSourceInfo, &query);
    if (!o)
        return query;
    while (pa_operation_get_state(o) == PA_OPERATION_RUNNING && !d.failed)
        pa_threaded_mainloop_wait(d.loop);
    pa_operation_unref(o);
    return query;
}

// Whether the server knows a source of this name (loop locked). Asked first: PipeWire's
// server accepts a stream on an unknown source and leaves it unlinked, silent.
bool sourceExists(Impl& d, const std::string& name)
{
    return querySource(d, name).found;
}

// Connects the record stream (loop locked), corked until start(). False, with no stream left,
// when the server refuses it, for instance for a source it does not know.
bool connectStream(Impl& d, const std::string& device)
{
    const pa_sample_spec sampleFormat{PA_SAMPLE_S16LE, d.format.rate, std::uint8_t(d.format.channels)};
    d.stream = pa_stream_new(d.context, "Vexa Recorder capture", &sampleFormat, nullptr);
    if (!d.stream)
        return false;
    pa_stream_set_state_callback(d.stream, &onStreamState, &d);
    pa_stream_set_read_callback(d.stream, &onRead, &d);
    pa_stream_set_moved_callback(d.stream, &onMoved, &d);

    pa_buffer_attr attr;
    // What the server keeps for us while this process cannot read (a busy or stopped
    // machine): as much as it will (PulseAudio 16: 4 MiB, some 24 s of 44.1 kHz stereo), so
    // that a stall loses as little as can be. It adds no latency: chunks come as the source
    // makes them, and the server's side of the latency is one block.
    attr.maxlength = std::uint32_t(-1);
    attr.fragsize = std::uint32_t(d.blockBytes());
    attr.tlength = attr.prebuf = attr.minreq = std::uint32_t(-1);
    // Never moved to another source: when this one goes away, the stream fails.
    const auto flags =
        pa_stream_flags_t(PA_STREAM_START_CORKED | PA_STREAM_ADJUST_LATENCY | PA_STREAM_DONT_MOVE);
    if (pa_stream_connect_record(d.stream, device.empty() ? nullptr : device.c_str(), &attr, flags) == 0) {
        for (;;) {
            const pa_stream_state_t state = pa_stream_get_state(d.stream);
            if (state == PA_STREAM_READY) {
                // The source it records from, as the user reads it in the sound settings.
                const char* source = pa_stream_get_device_name(d.stream);
                const SourceQuery query = querySource(d, source ? source : "");
                d.description = query.found ? query.description : std::string(source ? source : "");
                d.muted = query.muted;
                return true;
            }
            if (!PA_STREAM_IS_GOOD(state) || d.failed)
                break;
            pa_threaded_mainloop_wait(d.loop);
        }
    }
    pa_stream_set_state_callback(d.stream, nullptr, nullptr);
    pa_stream_set_read_callback(d.stream, nullptr, nullptr);
    pa_stream_set_moved_callback(d.stream, nullptr, nullptr);
    pa_stream_unref(d.stream);
    d.stream = nullptr;
    return false;
}

void runOperation(pa_operation* o)
{
    if (o)
        pa_operation_unref(o); // fire and forget: the server handles requests in order
}

// Takes the loop's lock unless the caller is the loop's own thread (a callback).
class LoopLock {
public:
    explicit LoopLock(pa_threaded_mainloop* loop)
        : loop_(loop), taken_(!pa_threaded_mainloop_in_thread(loop))
    {
        if (taken_)
            pa_threaded_mainloop_lock(loop_);
    }
    ~LoopLock()
    {
        if (taken_)
            pa_threaded_mainloop_unlock(loop_);
    }
    LoopLock(const LoopLock&) = delete;
    LoopLock& operator=(const LoopLock&) = delete;

private:
    pa_threaded_mainloop* loop_;
    bool taken_;
};

} // namespace

PulseCaptureStream::PulseCaptureStream(std::unique_ptr<Impl> impl) : d_(std::move(impl)) {}

std::unique_ptr<PulseCaptureStream> PulseCaptureStream::open(const std::string& device,
                                                             DeviceFormat wanted,
                                                             DeviceBackend::InputProc proc)
{
    auto d = std::make_unique<Impl>();
    d->format.rate = std::clamp<std::uint32_t>(wanted.rate, 1000, PA_RATE_MAX);
    d->format.channels = std::clamp<std::uint32_t>(wanted.channels, 1, 2);
    d->proc = std::move(proc);
    d->blockFrames = captureBlockFrames(d->format.rate);
    d->block.assign(std::size_t(d->blockFrames) * d->format.channels, 0);

    d->loop = pa_threaded_mainloop_new();
    if (!d->loop)
        return nullptr;
    // From here on the destructor cleans up whatever was made.
    std::unique_ptr<PulseCaptureStream> stream(new PulseCaptureStream(std::move(d)));
    Impl& s = *stream->d_;
    pa_threaded_mainloop_set_name(s.loop, "vexa-capture");
    s.context = pa_context_new(pa_threaded_mainloop_get_api(s.loop), "Vexa Recorder");
    if (!s.context)
        return nullptr;
    pa_context_set_state_callback(s.context, &onContextState, &s);
    if (pa_threaded_mainloop_start(s.loop) < 0)
        return nullptr;

    LoopLock lock(s.loop);
    if (pa_context_connect(s.context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 || !waitForContext(s))
        return nullptr;
    // A source that went away: record from the default one.
    const bool named = !device.empty() && sourceExists(s, device);
    if (s.failed)
        return nullptr;
    if (!connectStream(s, named ? device : std::string()) &&
        (!named || s.failed || !connectStream(s, std::string())))
        return nullptr;
    return stream;
}

PulseCaptureStream::~PulseCaptureStream()
{
    if (!d_->loop)
        return;
    {
        LoopLock lock(d_->loop);
        d_->active = false;
        if (d_->stream) {
            pa_stream_set_state_callback(d_->stream, nullptr, nullptr);
            pa_stream_set_read_callback(d_->stream, nullptr, nullptr);
            pa_stream_set_moved_callback(d_->stream, nullptr, nullptr);
            pa_stream_disconnect(d_->stream);
            pa_stream_unref(d_->stream);
            d_->stream = nullptr;
        }
        if (d_->context) {
            pa_context_set_state_callback(d_->context, nullptr, nullptr);
            pa_context_disconnect(d_->context);
            pa_context_unref(d_->context);
            d_->context = nullptr;
        }
    }
    pa_threaded_mainloop_stop(d_->loop);
    pa_threaded_mainloop_free(d_->loop);
}

bool PulseCaptureStream::start()
{
    LoopLock lock(d_->loop);
    if (d_->failed || !d_->stream)
        return false;
    // Whatever the server still holds from before is not part of this capture.
    runOperation(pa_stream_flush(d_->stream, nullptr, nullptr));
    d_->filledBytes = 0;
    d_->active = true;
    if (d_->corked) {
        runOperation(pa_stream_cork(d_->stream, 0, nullptr, nullptr));
        d_->corked = false;
    }
    return true;
}

void PulseCaptureStream::stop()
{
    LoopLock lock(d_->loop);
    // Under the loop's lock: a running callback has returned, and the next one sees this.
    d_->active = false;
    d_->filledBytes = 0;
    if (d_->stream && !d_->corked && !d_->failed) {
        runOperation(pa_stream_cork(d_->stream, 1, nullptr, nullptr));
        runOperation(pa_stream_flush(d_->stream, nullptr, nullptr));
    }
    d_->corked = true;
}

bool PulseCaptureStream::running() const { return d_->stream && !d_->corked && !d_->failed; }

bool PulseCaptureStream::failed() const { return d_->failed; }

DeviceFormat PulseCaptureStream::format() const { return d_->format; }

std::string PulseCaptureStream::sourceDescription() const
{
    return d_->description;
}

bool PulseCaptureStream::sourceMuted() const
{
    return d_->muted;
}

bool PulseCaptureStream::sourceGone() const
{
    return d_->sourceGone;
}

std::uint32_t PulseCaptureStream::blockFrames() const { return d_->blockFrames; }

std::uint32_t captureBlockFrames(std::uint32_t rate)
{
    const double tenMs = std::max(1.0, rate / 100.0);
    std::uint32_t frames = 64;
    // The power of two nearest on a log scale: 512 at 44.1 and 48 kHz, 256 at 22.05 and 32 kHz.
    const auto distance = [tenMs](double n) { return std::fabs(std::log2(n / tenMs)); };
    while (frames < (1u << 20) && distance(frames * 2.0) < distance(frames))
        frames *= 2;
    return frames;
}

} // namespace audio
