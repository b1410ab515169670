#include "support/FakeAudio.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace testsupport {

FakeAudio::FakeAudio(Log log) : log_(std::move(log)) {}

FakeAudio::~FakeAudio()
{
    joinThread();
}

void FakeAudio::note(const QString& event) const
{
    if (log_)
        log_(event);
}

bool FakeAudio::recordInit(int device)
{
    note(QStringLiteral("audio.recordInit %1").arg(device));
    return !failRecordInit;
}

bool FakeAudio::init(int device, std::uint32_t freq)
{
    note(QStringLiteral("audio.init %1 %2").arg(device).arg(freq));
    return !failInit;
}

void FakeAudio::recordFree()
{
    note(QStringLiteral("audio.recordFree"));
}

void FakeAudio::free()
{
    note(QStringLiteral("audio.free"));
}

bool FakeAudio::recordSetInput(int line, std::uint32_t flags, float level)
{
    note(QStringLiteral("audio.recordSetInput %1 %2 %3")
             .arg(line)
             .arg(flags, 0, 16)
             .arg(double(level), 0, 'f', 3));
    return true;
}

audio::HRECORD FakeAudio::recordStart(std::uint32_t freq, std::uint32_t chans,
                                      audio::RecordProc proc, void* user)
{
    note(QStringLiteral("audio.recordStart %1 %2").arg(freq).arg(chans));
    if (failRecordStart || !proc || freq == 0 || chans == 0)
        return 0;
    joinThread();
    std::lock_guard<std::mutex> lock(mutex_);
    freq_ = freq;
    chans_ = chans;
    proc_ = proc;
    user_ = user;
    handle_ = nextCapture_++;
    running_ = true;
    ended_ = false;
    lost_ = false;
    lineGone_ = false;
    paused_ = false;
    quit_ = false;
    phase_ = 0;
    captureBytes_ = 0;
    thread_ = std::thread([this] { run(); });
    return handle_;
}

bool FakeAudio::isCapture(audio::Handle h) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return h != 0 && h == handle_;
}

void FakeAudio::endCapture(audio::Handle h)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (h != handle_)
            return;
        running_ = false;
    }
    joinThread(); // from here on no callback runs
}

bool FakeAudio::streamFree(audio::HSTREAM h)
{
    note(QStringLiteral("audio.streamFree %1").arg(h));
    freed.append(h);
    if (isCapture(h)) {
        endCapture(h);
        std::lock_guard<std::mutex> lock(mutex_);
        handle_ = 0;
        return true;
    }
    return streams.erase(h) > 0;
}

std::int64_t FakeAudio::streamGetFilePosition(audio::HSTREAM h, int mode)
{
    auto it = streams.find(h);
    return it == streams.end() || mode != audio::FilePosEnd ? -1 : it->second.fileSpec.fileSize;
}

bool FakeAudio::channelPlay(audio::Handle h, bool restart)
{
    note(QStringLiteral("audio.channelPlay %1 %2").arg(h).arg(restart));
    if (isCapture(h)) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!running_)
            return false;
        paused_ = false;
        return true;
    }
    auto it = streams.find(h);
    if (it == streams.end())
        return false;
    if (restart)
        it->second.pos = 0;
    it->second.active = audio::Playing;
    return true;
}

bool FakeAudio::channelPause(audio::Handle h)
{
    note(QStringLiteral("audio.channelPause %1").arg(h));
    if (isCapture(h)) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!running_)
            return false;
        paused_ = true;
        return true;
    }
    auto it = streams.find(h);
    if (it == streams.end())
        return false;
    it->second.active = audio::Paused;
    return true;
}

bool FakeAudio::channelStop(audio::Handle h)
{
    note(QStringLiteral("audio.channelStop %1").arg(h));
    stopped.append(h);
    if (isCapture(h)) {
        endCapture(h);
        return true;
    }
    auto it = streams.find(h);
    if (it == streams.end())
        return false;
    it->second.active = audio::Stopped;
    return true;
}

bool FakeAudio::channelDeviceLost(audio::Handle h)
{
    if (isCapture(h)) {
        std::lock_guard<std::mutex> lock(mutex_);
        return lost_;
    }
    auto it = streams.find(h);
    return it != streams.end() && it->second.lost;
}

bool FakeAudio::recordGetLine(audio::HRECORD h, audio::InputLine& info)
{
    if (!isCapture(h))
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    info = line;
    info.gone = lineGone_;
    return true;
}

void FakeAudio::loseDevice(audio::Handle h, bool lineOnly)
{
    if (isCapture(h)) {
        std::lock_guard<std::mutex> lock(mutex_);
        lost_ = true;
        lineGone_ = lineOnly;
        return;
    }
    auto it = streams.find(h);
    if (it == streams.end())
        return;
    it->second.active = audio::Stopped;
    it->second.lost = true;
}

int FakeAudio::channelIsActive(audio::Handle h)
{
    if (isCapture(h)) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!running_ || ended_ || lost_)
            return audio::Stopped;
        return paused_ ? audio::Paused : audio::Playing;
    }
    auto it = streams.find(h);
    return it == streams.end() ? audio::Stopped : it->second.active;
}

std::int64_t FakeAudio::channelGetLength(audio::Handle h)
{
    auto it = streams.find(h);
    return it == streams.end() ? -1 : it->second.fileSpec.bytes;
}

std::int64_t FakeAudio::channelGetPosition(audio::Handle h)
{
    if (isCapture(h)) {
        std::lock_guard<std::mutex> lock(mutex_);
        return captureBytes_;
    }
    auto it = streams.find(h);
    return it == streams.end() ? -1 : it->second.pos;
}

bool FakeAudio::channelSetPosition(audio::Handle h, std::int64_t pos)
{
    auto it = streams.find(h);
    if (it == streams.end())
        return false;
    it->second.pos = pos;
    seeks.append(pos);
    return true;
}

double FakeAudio::channelBytes2Seconds(audio::Handle h, std::int64_t pos)
{
    auto it = streams.find(h);
    if (it == streams.end())
        return -1;
    return double(pos) / (double(it->second.fileSpec.freq) * it->second.fileSpec.chans * 2);
}

bool FakeAudio::channelGetInfo(audio::Handle h, audio::ChannelInfo& info)
{
    auto it = streams.find(h);
    if (it == streams.end())
        return false;
    info.freq = it->second.fileSpec.freq;
    info.chans = it->second.fileSpec.chans;
    info.flags = it->second.fileSpec.flags;
    info.bitrate = it->second.fileSpec.bitrate;
    return true;
}

void FakeAudio::advance(audio::Handle h, std::int64_t bytes)
{
    auto it = streams.find(h);
    if (it == streams.end() || it->second.active != audio::Playing)
        return;
    it->second.pos += bytes;
    if (it->second.pos >= it->second.fileSpec.bytes) {
        it->second.pos = it->second.fileSpec.bytes;
        it->second.active = audio::Stopped;
    }
}

const FakeAudio::Stream* FakeAudio::stream(audio::Handle h) const
{
    auto it = streams.find(h);
    return it == streams.end() ? nullptr : &it->second;
}

audio::HSTREAM FakeAudio::open(const QString& path, bool wma)
{
    opened.append(path);
    openedAsWma.append(wma);
    if (!files.contains(path))
        return 0;
    const audio::Handle h = next++;
    streams[h] = Stream{path, files.value(path), audio::Stopped, 0};
    return h;
}

int FakeAudio::deliver(int count, int frames)
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (!thread_.joinable() || quit_)
        return 0;
    const std::uint64_t ticket = ++requested_;
    requests_.push_back({count, frames});
    wake_.notify_all();
    done_.wait(lock, [&] { return finished_ >= ticket || quit_; });
    return lastDelivered_;
}

bool FakeAudio::ended() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return ended_;
}

std::thread::id FakeAudio::captureThread() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return captureThread_;
}

std::int64_t FakeAudio::deliveredBytes() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return deliveredBytes_;
}

void FakeAudio::run()
{
    std::unique_lock<std::mutex> lock(mutex_);
    captureThread_ = std::this_thread::get_id();
    for (;;) {
        wake_.wait(lock, [&] { return quit_ || !requests_.empty(); });
        if (quit_)
            return;
        const Request r = requests_.front();
        requests_.pop_front();
        int delivered = 0;
        for (int b = 0; b < r.count; ++b) {
            if (paused_ || ended_ || lost_ || !running_)
                continue;
            std::vector<std::int16_t> block(static_cast<std::size_t>(r.frames) * chans_);
            for (int f = 0; f < r.frames; ++f) {
                const double v = amplitude * std::sin(2 * M_PI * 440.0 * double(phase_++) / freq_);
                for (std::uint32_t c = 0; c < chans_; ++c)
                    block[static_cast<std::size_t>(f) * chans_ + c] =
                        static_cast<std::int16_t>(std::clamp(v * 32767, -32768.0, 32767.0));
            }
            const auto bytes = static_cast<std::uint32_t>(block.size() * 2);
            const audio::RecordProc proc = proc_;
            void* user = user_;
            const audio::HRECORD h = handle_;
            // The callback runs without the lock, as on a real capture thread; stop and free
            // wait for it through the join.
            lock.unlock();
            const bool goOn = proc(h, block.data(), bytes, user);
            lock.lock();
            ++delivered;
            deliveredBytes_ += bytes;
            captureBytes_ += bytes;
            if (!goOn)
                ended_ = true;
        }
        lastDelivered_ = delivered;
        ++finished_;
        done_.notify_all();
    }
}

void FakeAudio::joinThread()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
        wake_.notify_all();
        done_.notify_all();
    }
    if (thread_.joinable())
        thread_.join();
}

} // namespace testsupport
