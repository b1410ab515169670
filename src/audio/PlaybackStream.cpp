#include "audio/PlaybackStream.h"

#include <algorithm>
#include <cstring>

namespace audio {

namespace {
constexpr std::size_t ChunkFrames = 4096;
}

PlaybackStream::PlaybackStream(std::unique_ptr<Decoder> decoder,
                               std::shared_ptr<DeviceBackend> backend)
    : format_{decoder->rate(), decoder->channels()}, lengthFrames_(decoder->lengthFrames()),
      fileSize_(decoder->fileSize()), bitRate_(decoder->bitRate()), backend_(std::move(backend)), decoder_(std::move(decoder))
{
}

void PlaybackStream::prepare()
{
    // Only a stream that plays needs its buffers and decoding thread: the file list opens
    // every file just for its length.
    if (thread_.joinable())
        return;
    // Half a second of decoded audio ahead of the device; a second of what it was given back.
    ring_.assign(std::max<std::size_t>(format_.rate / 2, ChunkFrames * 2) * format_.channels, 0);
    history_.reset(std::size_t(format_.rate) * format_.channels);
    chunk_.resize(ChunkFrames * format_.channels);
    thread_ = std::thread([this] { worker(); });
}

PlaybackStream::~PlaybackStream()
{
    {
        std::lock_guard<std::mutex> lock(ringMutex_);
        quit_ = true;
    }
    ringCv_.notify_all();
    if (thread_.joinable())
        thread_.join();
    device_.reset(); // after this no callback runs
}

void PlaybackStream::worker()
{
    std::unique_lock<std::mutex> decodeLock(decodeMutex_, std::defer_lock);
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(ringMutex_);
            ringCv_.wait(lock, [this] {
                return quit_ || (!decodedAll_ && ring_.size() - ringCount_ >= chunk_.size());
            });
            if (quit_)
                return;
        }
        decodeLock.lock();
        {
            // A jump may have refilled the ring between the wait and the decode lock.
            std::lock_guard<std::mutex> lock(ringMutex_);
            if (quit_ || decodedAll_ || ring_.size() - ringCount_ < chunk_.size()) {
                decodeLock.unlock();
                continue;
            }
        }
        // The ring only drains while the decode lock is held, so the room checked stays.
        const std::size_t frames = decoder_->read(chunk_.data(), ChunkFrames);
        {
            std::lock_guard<std::mutex> lock(ringMutex_);
            const std::size_t samples = frames * format_.channels;
            std::size_t at = (ringRead_ + ringCount_) % ring_.size();
            const std::size_t first = std::min(samples, ring_.size() - at);
            std::memcpy(ring_.data() + at, chunk_.data(), first * sizeof(std::int16_t));
            std::memcpy(ring_.data(), chunk_.data() + first, (samples - first) * sizeof(std::int16_t));
            ringCount_ += samples;
            if (frames < ChunkFrames)
                decodedAll_ = true; // the end of the data, or a read error (a vanished file)
        }
        decodeLock.unlock();
    }
}

void PlaybackStream::onOutput(std::int16_t* out, std::uint32_t frames, std::uint32_t unheard)
{
    const std::size_t want = std::size_t(frames) * format_.channels;
    std::size_t got = 0;
    {
        std::lock_guard<std::mutex> lock(ringMutex_);
        got = std::min(want, ringCount_);
        const std::size_t first = std::min(got, ring_.size() - ringRead_);
        std::memcpy(out, ring_.data() + ringRead_, first * sizeof(std::int16_t));
        std::memcpy(out + first, ring_.data(), (got - first) * sizeof(std::int16_t));
        ringRead_ = (ringRead_ + got) % ring_.size();
        ringCount_ -= got;
        std::memset(out + got, 0, (want - got) * sizeof(std::int16_t));
        consumedFrames_ += got / format_.channels;
        deviceFrames_ += frames;
        latency_ = unheard;
        if (got < want && !decodedAll_)
            gapFrames_ += (want - got) / format_.channels; // the decoder fell behind
        history_.push(out, want);
    }
    ringCv_.notify_one();
}

void PlaybackStream::reposition(std::int64_t frame)
{
    frame = std::max<std::int64_t>(0, std::min(frame, lengthFrames_));
    std::lock_guard<std::mutex> decodeLock(decodeMutex_);
    decoder_->seek(frame);
    std::lock_guard<std::mutex> lock(ringMutex_);
    ringRead_ = 0;
    ringCount_ = 0;
    decodedAll_ = false;
    baseFrame_ = frame;
    consumedFrames_ = 0;
    deviceFrames_ = 0;
    gapFrames_ = 0;
    latency_ = 0;
    history_.clear();
    // Fill a first part here, so that the device starts with sound and not with silence.
    const std::size_t frames = decoder_->read(ring_.data(), std::min(ChunkFrames * 2, ring_.size() / format_.channels));
    ringCount_ = frames * format_.channels;
    if (decoder_->atEnd())
        decodedAll_ = true;
    ringCv_.notify_one();
}

std::uint64_t PlaybackStream::heardDataFrames() const
{
    const std::uint64_t behind = std::uint64_t(latency_) + gapFrames_;
    return deviceFrames_ > behind ? deviceFrames_ - behind : 0;
}

bool PlaybackStream::ended()
{
    return decodedAll_ && ringCount_ == 0 && heardDataFrames() >= consumedFrames_;
}

std::int64_t PlaybackStream::heardFrame()
{
    std::lock_guard<std::mutex> lock(ringMutex_);
    const std::uint64_t heard = heardDataFrames();
    return std::min<std::int64_t>(baseFrame_ + std::int64_t(std::min(heard, consumedFrames_)),
                                  lengthFrames_);
}

void PlaybackStream::settle()
{
    if (state_ != State::Playing)
        return;
    bool done = device_ && device_->failed();
    if (!done) {
        std::lock_guard<std::mutex> lock(ringMutex_);
        done = ended();
    }
    if (done) {
        heldFrame_ = heardFrame();
        if (device_ && device_->failed()) {
            deviceLost_ = true;
            device_.reset(); // closes the dead connection; a later play opens a new one
        }
        else if (device_)
            device_->stop();
        state_ = State::Stopped;
        sounding_ = false;
    }
}

bool PlaybackStream::play(bool restart)
{
    std::lock_guard<std::mutex> lock(control_);
    settle();
    if (state_ == State::Playing && !restart)
        return true;
    prepare();
    deviceLost_ = false;
    if (!device_) {
        device_ = backend_->openOutput(format_, [this](std::int16_t* out, std::uint32_t n, std::uint32_t unheard) {
            onOutput(out, n, unheard);
        });
        if (!device_)
            return false;
    }
    device_->stop();
    std::int64_t from = heldFrame_;
    if (restart || from >= lengthFrames_)
        from = 0;
    reposition(from);
    if (!device_->start()) {
        state_ = State::Stopped;
        sounding_ = false;
        return false;
    }
    state_ = State::Playing;
    sounding_ = true;
    return true;
}

bool PlaybackStream::pause()
{
    std::lock_guard<std::mutex> lock(control_);
    settle();
    if (state_ != State::Playing)
        return false;
    heldFrame_ = heardFrame();
    device_->stop();
    state_ = State::Paused;
    sounding_ = false;
    return true;
}

bool PlaybackStream::stop()
{
    std::lock_guard<std::mutex> lock(control_);
    settle();
    if (state_ == State::Playing) {
        heldFrame_ = heardFrame();
        device_->stop();
    }
    state_ = State::Stopped;
    sounding_ = false;
    return true;
}

int PlaybackStream::activity()
{
    std::lock_guard<std::mutex> lock(control_);
    settle();
    switch (state_) {
    case State::Playing: return 1;
    case State::Paused: return 3;
    case State::Stopped: break;
    }
    return 0;
}

std::int64_t PlaybackStream::positionBytes()
{
    std::lock_guard<std::mutex> lock(control_);
    settle();
    const std::int64_t frame = state_ == State::Playing ? heardFrame() : heldFrame_;
    return frame * frameBytes();
}

bool PlaybackStream::setPositionBytes(std::int64_t bytes)
{
    if (bytes < 0)
        return false;
    std::lock_guard<std::mutex> lock(control_);
    settle();
    const std::int64_t frame = std::min(bytes / frameBytes(), lengthFrames_);
    if (state_ != State::Playing) {
        heldFrame_ = frame; // taken up by the next play
        return true;
    }
    device_->stop();
    reposition(frame);
    if (!device_->start()) {
        state_ = State::Stopped;
        sounding_ = false;
        return false;
    }
    return true;
}

void PlaybackStream::latest(std::int16_t* out, std::size_t frames)
{
    const std::size_t count = frames * format_.channels;
    if (!sounding_) {
        std::fill(out, out + count, std::int16_t(0));
        return;
    }
    std::lock_guard<std::mutex> lock(ringMutex_);
    const std::uint64_t heard = deviceFrames_ > latency_ ? deviceFrames_ - latency_ : 0;
    history_.copyEnding(heard * format_.channels, out, count);
}

} // namespace audio
