#include "audio/Engine.h"

#include "audio/CaptureChannel.h"
#include "audio/Decoder.h"
#include "audio/FfmpegPath.h"
#include "audio/PlaybackStream.h"
#include "audio/RtAudioBackend.h"
#include "platform/LocalFiles.h"
#include "platform/MixerBackend.h"


#include <cmath>
#include <cstring>
#include <vector>

namespace audio {

namespace {
constexpr std::uint32_t LevelFailed = 0xFFFFFFFFu;
constexpr std::uint32_t LevelMillis = 20;
}

Engine::Engine(std::shared_ptr<DeviceBackend> backend, platform::MixerBackend* mixer)
    : backend_(backend ? std::move(backend) : std::make_shared<RtAudioBackend>()), mixer_(mixer)
{
    // Enough for the FFT of stereo and for 20 ms of stereo at 48 kHz.
    scratch_.reserve(4096);
}

std::int16_t* Engine::scratch(std::size_t samples)
{
    if (scratch_.size() < samples)
        scratch_.resize(samples);
    return scratch_.data();
}

Engine::~Engine()
{
    QObject::disconnect(serverWatch_);
    recordFree();
    free();
}

void Engine::setMixer(platform::MixerBackend* mixer)
{
    QObject::disconnect(serverWatch_);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        mixer_ = mixer;
    }
    if (mixer)
        serverWatch_ = QObject::connect(mixer, &platform::MixerBackend::serverAvailable, mixer,
                                        [this] { serverAvailable(); });
}

void Engine::serverAvailable()
{
    bool record = false;
    std::uint32_t rate = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        record = recordWanted_ && !recordReady_;
        rate = outputReady_ ? 0 : outputWanted_;
    }
    if (record)
        recordInit(-1);
    if (rate)
        init(-1, rate);
}

bool Engine::recordInit(int)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        recordWanted_ = true;
    }
    const bool ok = backend_->hasInput();
    std::lock_guard<std::mutex> lock(mutex_);
    recordReady_ = ok;
    return ok;
}

bool Engine::init(int, std::uint32_t freq)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        outputWanted_ = freq;
    }
    const bool ok = freq > 0 && backend_->hasOutput();
    std::lock_guard<std::mutex> lock(mutex_);
    outputReady_ = ok;
    return ok;
}

void Engine::recordFree()
{
    // Stopping happens outside the table's lock; the channels die when the last user lets go.
    for (auto& channel : channels_.removeAll(true))
        channel->stop();
    std::lock_guard<std::mutex> lock(mutex_);
    recordReady_ = false;
    recordWanted_ = false;
}

void Engine::free()
{
    for (auto& channel : channels_.removeAll(false))
        channel->stop();
    std::lock_guard<std::mutex> lock(mutex_);
    outputReady_ = false;
    outputWanted_ = 0;
}

bool Engine::recordSetInput(int line, std::uint32_t flags, float level)
{
    platform::MixerBackend* mixer = nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        mixer = mixer_;
    }
    const int lineCount = mixer && line >= 0 ? int(mixer->recordingLines().size()) : 0;
    if (line < 0 || line >= lineCount) {
        // No such line (none chosen, or it went away): record from the default source.
        std::lock_guard<std::mutex> lock(mutex_);
        inputDevice_.clear();
        return false;
    }
    if (flags & InputOn) {
        mixer->setSelectedLine(line);
        // By the server's name of the source: its description need not be unique.
        const std::string name = mixer->lineName(line).toStdString();
        std::lock_guard<std::mutex> lock(mutex_);
        inputDevice_ = name;
    }
    if (level >= 0.0f) {
        const float clamped = std::min(level, 1.0f);
        mixer->setLineVolume(line, int(std::lround(clamped * 65535.0f)));
    }
    return true;
}

HRECORD Engine::recordStart(std::uint32_t freq, std::uint32_t chans, RecordProc proc, void* user)
{
    std::string device;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!recordReady_)
            return 0;
        device = inputDevice_;
    }
    if (!proc || freq < 1000 || freq > 192000 || (chans != 1 && chans != 2))
        return 0;
    // The channel knows its handle before the first callback, which receives it.
    std::shared_ptr<CaptureChannel> channel;
    const Handle handle = channels_.add([&](Handle h) {
        channel = std::make_shared<CaptureChannel>(h, DeviceFormat{freq, chans}, proc, user);
        return channel;
    });
    if (!handle)
        return 0;
    if (!channel->start(*backend_, device)) {
        channels_.remove(handle);
        channel->stop();
        return 0;
    }
    return handle;
}

HSTREAM Engine::createStream(const QString& path)
{
    auto decoder = std::make_unique<Decoder>();
    if (path.isEmpty() || !decoder->open(ffmpegPath(path).toStdString()))
        return 0;
    return channels_.add(std::make_shared<PlaybackStream>(std::move(decoder), backend_));
}

HSTREAM Engine::streamCreateFile(const QString& path) { return createStream(path); }

HSTREAM Engine::wmaStreamCreateFile(const QString& path) { return createStream(path); }

bool Engine::streamFree(HSTREAM handle)
{
    auto channel = channels_.remove(handle);
    if (!channel)
        return false;
    channel->stop();
    return true;
}

std::int64_t Engine::streamGetFilePosition(HSTREAM handle, int mode)
{
    auto channel = channels_.get(handle);
    if (!channel || mode != FilePosEnd)
        return -1;
    return channel->fileSize();
}

bool Engine::channelPlay(Handle handle, bool restart)
{
    auto channel = channels_.get(handle);
    if (!channel)
        return false;
    if (!channel->isCapture()) {
        // Streams open without an output (the file list reads their lengths), but play only
        // once the output was started.
        std::lock_guard<std::mutex> lock(mutex_);
        if (!outputReady_)
            return false;
    }
    return channel->play(restart);
}

bool Engine::channelPause(Handle handle)
{
    auto channel = channels_.get(handle);
    return channel && channel->pause();
}

bool Engine::channelStop(Handle handle)
{
    auto channel = channels_.get(handle);
    return channel && channel->stop();
}

int Engine::channelIsActive(Handle handle)
{
    auto channel = channels_.get(handle);
    return channel ? channel->activity() : Stopped;
}

bool Engine::channelDeviceLost(Handle handle)
{
    auto channel = channels_.get(handle);
    return channel && channel->deviceLost();
}

bool Engine::recordGetLine(HRECORD handle, InputLine& line)
{
    auto channel = channels_.get(handle);
    return channel && channel->inputLine(line);
}

std::int64_t Engine::channelGetLength(Handle handle)
{
    auto channel = channels_.get(handle);
    return channel ? channel->lengthBytes() : -1;
}

std::int64_t Engine::channelGetPosition(Handle handle)
{
    auto channel = channels_.get(handle);
    return channel ? channel->positionBytes() : -1;
}

bool Engine::channelSetPosition(Handle handle, std::int64_t pos)
{
    auto channel = channels_.get(handle);
    return channel && channel->setPositionBytes(pos);
}

double Engine::channelBytes2Seconds(Handle handle, std::int64_t pos)
{
    auto channel = channels_.get(handle);
    if (!channel || pos < 0)
        return -1.0;
    const DeviceFormat f = channel->format();
    return double(pos) / (double(f.rate) * f.channels * 2.0);
}

std::uint32_t Engine::channelGetLevel(Handle handle)
{
    auto channel = channels_.get(handle);
    if (!channel)
        return LevelFailed;
    const DeviceFormat f = channel->format();
    const std::size_t frames = std::max<std::size_t>(1, std::size_t(f.rate) * LevelMillis / 1000);
    std::lock_guard<std::mutex> lock(scratchMutex_);
    std::int16_t* samples = scratch(frames * f.channels);
    channel->latest(samples, frames);
    return Analyzer::level(samples, frames, f.channels);
}

int Engine::channelGetData(Handle handle, void* buffer, std::uint32_t length)
{
    auto channel = channels_.get(handle);
    if (!channel || !buffer)
        return -1;
    const DeviceFormat f = channel->format();
    if (length == DataFft1024) {
        std::lock_guard<std::mutex> lock(scratchMutex_);
        std::int16_t* samples = scratch(Analyzer::FftSize * f.channels);
        channel->latest(samples, Analyzer::FftSize);
        analyzer_.spectrum(samples, f.channels, static_cast<float*>(buffer));
        return int(Analyzer::FftBins * sizeof(float));
    }
    if (length & 0x80000000u)
        return -1; // other data flags are not supported
    const std::size_t frameBytes = std::size_t(f.channels) * 2;
    const std::size_t frames = length / frameBytes;
    if (frames == 0)
        return 0;
    std::lock_guard<std::mutex> lock(scratchMutex_);
    std::int16_t* samples = scratch(frames * f.channels);
    channel->latest(samples, frames);
    std::memcpy(buffer, samples, frames * frameBytes);
    return int(frames * frameBytes);
}

bool Engine::channelGetInfo(Handle handle, ChannelInfo& info)
{
    auto channel = channels_.get(handle);
    if (!channel)
        return false;
    const DeviceFormat f = channel->format();
    info.freq = f.rate;
    info.chans = f.channels;
    info.flags = 0; // channels always carry 16-bit samples
    const std::int64_t bitRate = channel->bitRate();
    info.bitrate = bitRate > 0 && bitRate <= 0xFFFFFFFF ? std::uint32_t(bitRate) : 0;
    return true;
}

} // namespace audio
