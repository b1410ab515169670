#pragma once
// Stand-ins for the recording session's collaborators: an audio engine whose capture thread
// delivers generated 440 Hz blocks on demand, writers that record what they get and fail where
// told, a host that records the window calls, and a message sink that notes the thread of each
// message. All of them append to one event log so tests can check the order of the steps.
#include "audio/AudioApi.h"
#include "i18n/LanguageFile.h"
#include "platform/MessageSink.h"
#include "recording/RecordWriter.h"
#include "recording/RecordWriterFactory.h"
#include "recording/RecordingHost.h"

#include <QFile>
#include <QStringList>

#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace fakes {

class EventLog {
public:
    void add(const QString& event)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        events_ << event;
    }
    QStringList events() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return events_;
    }
    void clear()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.clear();
    }

private:
    mutable std::mutex mutex_;
    QStringList events_;
};

// Capture: recordStart starts a thread that waits for deliver() requests; each request sends
// blocks of a 440 Hz sine (interleaved 16-bit) to the callback on that thread. A paused or
// ended capture drops them, as the real engine does.
class FakeCaptureAudio : public audio::AudioApi {
public:
    explicit FakeCaptureAudio(EventLog& log) : log_(log) {}
    ~FakeCaptureAudio() override { joinThread(); }

    bool failRecordInit = false;
    bool failInit = false;
    bool failRecordStart = false;

    bool recordInit(int device) override
    {
        log_.add(QStringLiteral("audio.recordInit %1").arg(device));
        return !failRecordInit;
    }
    bool init(int device, std::uint32_t freq) override
    {
        log_.add(QStringLiteral("audio.init %1 %2").arg(device).arg(freq));
        return !failInit;
    }
    void recordFree() override { log_.add(QStringLiteral("audio.recordFree")); }
    void free() override { log_.add(QStringLiteral("audio.free")); }

    bool recordSetInput(int line, std::uint32_t flags, float level) override
    {
        log_.add(QStringLiteral("audio.recordSetInput %1 %2 %3")
                     .arg(line)
                     .arg(flags, 0, 16)
                     .arg(double(level), 0, 'f', 3));
        return true;
    }
    audio::HRECORD recordStart(std::uint32_t freq, std::uint32_t chans, audio::RecordProc proc,
                               void* user) override
    {
        log_.add(QStringLiteral("audio.recordStart %1 %2").arg(freq).arg(chans));
        if (failRecordStart)
            return 0;
        joinThread();
        std::lock_guard<std::mutex> lock(mutex_);
        freq_ = freq;
        chans_ = chans;
        proc_ = proc;
        user_ = user;
        handle_ = nextHandle_++;
        running_ = true;
        ended_ = false;
        lost_ = false;
        paused_ = false;
        quit_ = false;
        phase_ = 0;
        thread_ = std::thread([this] { run(); });
        return handle_;
    }

    audio::HSTREAM streamCreateFile(const QString&) override { return 0; }
    audio::HSTREAM wmaStreamCreateFile(const QString&) override { return 0; }
    bool streamFree(audio::HSTREAM h) override
    {
        log_.add(QStringLiteral("audio.streamFree %1").arg(h));
        return h != 0;
    }
    std::int64_t streamGetFilePosition(audio::HSTREAM, int) override { return -1; }

    bool channelPlay(audio::Handle h, bool restart) override
    {
        log_.add(QStringLiteral("audio.channelPlay %1 %2").arg(h).arg(restart));
        std::lock_guard<std::mutex> lock(mutex_);
        if (h != handle_ || !running_)
            return false;
        paused_ = false;
        return true;
    }
    bool channelPause(audio::Handle h) override
    {
        log_.add(QStringLiteral("audio.channelPause %1").arg(h));
        std::lock_guard<std::mutex> lock(mutex_);
        if (h != handle_ || !running_)
            return false;
        paused_ = true;
        return true;
    }
    bool channelStop(audio::Handle h) override
    {
        log_.add(QStringLiteral("audio.channelStop %1").arg(h));
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (h != handle_)
                return false;
            running_ = false;
        }
        joinThread(); // from here on no callback runs
        return true;
    }
    int channelIsActive(audio::Handle h) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (h != handle_ || !running_ || ended_ || lost_)
            return audio::Stopped;
        return paused_ ? audio::Paused : audio::Playing;
    }
    bool channelDeviceLost(audio::Handle h) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return h == handle_ && lost_;
    }
    std::int64_t channelGetLength(audio::Handle) override { return -1; }
    std::int64_t channelGetPosition(audio::Handle) override { return -1; }
    bool channelSetPosition(audio::Handle, std::int64_t) override { return false; }
    double channelBytes2Seconds(audio::Handle, std::int64_t) override { return -1; }
    std::uint32_t channelGetLevel(audio::Handle) override { return 0xFFFFFFFF; }
    int channelGetData(audio::Handle, void*, std::uint32_t) override { return -1; }
    bool channelGetInfo(audio::Handle, audio::ChannelInfo&) override { return false; }

    // Sends count blocks of frames frames each from the capture thread and waits until they
    // were handled. Returns how many reached the callback.
    int deliver(int count, int frames = 512)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!thread_.joinable())
            return 0;
        const std::uint64_t ticket = ++requested_;
        requests_.push_back({count, frames});
        wake_.notify_all();
        done_.wait(lock, [&] { return finished_ >= ticket || quit_; });
        return lastDelivered_;
    }
    // The recording device or the sound server goes away: the capture ends by itself.
    void loseDevice()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        lost_ = true;
    }
    bool ended() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return ended_;
    }
    std::thread::id captureThread() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return captureThread_;
    }
    // Bytes handed to the callback so far, over all captures.
    std::int64_t deliveredBytes() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return deliveredBytes_;
    }

private:
    struct Request {
        int count;
        int frames;
    };

    void run()
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
                    const double v = 0.5 * std::sin(2 * M_PI * 440.0 * double(phase_++) / freq_);
                    for (std::uint32_t c = 0; c < chans_; ++c)
                        block[static_cast<std::size_t>(f) * chans_ + c] =
                            static_cast<std::int16_t>(v * 32767);
                }
                const auto bytes = static_cast<std::uint32_t>(block.size() * 2);
                const audio::RecordProc proc = proc_;
                void* user = user_;
                const audio::HRECORD h = handle_;
                lock.unlock();
                const bool goOn = proc(h, block.data(), bytes, user);
                lock.lock();
                ++delivered;
                deliveredBytes_ += bytes;
                if (!goOn)
                    ended_ = true;
            }
            lastDelivered_ = delivered;
            ++finished_;
            done_.notify_all();
        }
    }

    void joinThread()
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

    EventLog& log_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::thread thread_;
    std::thread::id captureThread_;
    std::deque<Request> requests_;
    std::uint64_t requested_ = 0;
    std::uint64_t finished_ = 0;
    int lastDelivered_ = 0;
    std::int64_t deliveredBytes_ = 0;
    std::uint32_t freq_ = 0;
    std::uint32_t chans_ = 0;
    audio::RecordProc proc_ = nullptr;
    void* user_ = nullptr;
    audio::HRECORD handle_ = 0;
    audio::HRECORD nextHandle_ = 41;
    bool running_ = false;
    bool ended_ = false;
    bool lost_ = false;
    bool paused_ = false;
    bool quit_ = false;
    std::int64_t phase_ = 0;
};

// What a test tells the next writer to do, and what the writer saw.
struct WriterScript {
    int openResult = 0;  // chunk size, or -1 to fail
    int failOnWrite = -1; // 0-based index of the write call that fails, -1 never
    bool closeResult = true;
};

struct WriterTrace {
    QString path;
    RecordFormat format;
    std::vector<std::int64_t> writes;  // sizes, in order
    std::vector<std::thread::id> writeThreads;
    std::vector<char> bytes;           // everything written successfully
    int closes = 0;
    int writesAfterClose = 0;
    bool destroyed = false;
};

class FakeWriter : public RecordWriter {
public:
    FakeWriter(EventLog& log, WriterScript script, std::shared_ptr<WriterTrace> trace)
        : log_(log), script_(script), trace_(std::move(trace))
    {
    }
    ~FakeWriter() override { trace_->destroyed = true; }

    int open(const QString& path, const RecordFormat& format) override
    {
        log_.add(QStringLiteral("writer.open %1").arg(path.section(QLatin1Char('/'), -1)));
        trace_->path = path;
        trace_->format = format;
        if (script_.openResult < 0)
            return -1;
        // A real file, so a test can see that a failed start leaves nothing behind.
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return -1;
        chunk_ = script_.openResult;
        return chunk_;
    }
    bool write(const char* data, std::int64_t bytes) override
    {
        if (trace_->closes > 0)
            ++trace_->writesAfterClose;
        const int index = static_cast<int>(trace_->writes.size());
        trace_->writes.push_back(bytes);
        trace_->writeThreads.push_back(std::this_thread::get_id());
        if (index == script_.failOnWrite || (script_.failOnWrite >= 0 && index > script_.failOnWrite))
            return false;
        trace_->bytes.insert(trace_->bytes.end(), data, data + bytes);
        return true;
    }
    bool close() override
    {
        log_.add(QStringLiteral("writer.close"));
        ++trace_->closes;
        return script_.closeResult;
    }
    int chunkSize() const override { return chunk_; }

private:
    EventLog& log_;
    WriterScript script_;
    std::shared_ptr<WriterTrace> trace_;
    int chunk_ = 0;
};

class FakeWriterFactory : public RecordWriterFactory {
public:
    FakeWriterFactory(platform::MessageSink& sink, EventLog& log)
        : RecordWriterFactory(sink), log_(log)
    {
    }
    WriterScript script;
    std::vector<std::shared_ptr<WriterTrace>> traces;

    std::unique_ptr<RecordWriter> create(std::uint8_t formatCode) override
    {
        log_.add(QStringLiteral("writers.create %1").arg(formatCode));
        traces.push_back(std::make_shared<WriterTrace>());
        return std::make_unique<FakeWriter>(log_, script, traces.back());
    }

private:
    EventLog& log_;
};

class FakeHost : public recording::RecordingHost {
public:
    // The transport model is real; its changes are logged and kept in state and channel.
    explicit FakeHost(EventLog& log) : log_(log)
    {
        model.onStateSet([this](TransportState s) {
            if (!arranging_)
                log_.add(QStringLiteral("host.SetTransportState %1").arg(int(s)));
            state = s;
        });
        model.onChannelSet([this](audio::Handle h) {
            log_.add(QStringLiteral("host.setChannel %1").arg(h));
            channel = h;
        });
    }

    audio::TransportModel model;
    TransportState state = Idle;
    audio::Handle channel = 0;
    int line = 3;
    float volume = 0.25f;
    i18n::LanguageFile languageFile;

    audio::TransportModel& transport() override { return model; }
    // Puts the transport into a state before a case, without logging it.
    void arrange(TransportState s)
    {
        arranging_ = true;
        model.SetTransportState(s);
        arranging_ = false;
    }
    int recordLineIndex() const override { return line; }
    float recordVolume() const override { return volume; }
    const i18n::LanguageFile& language() const override { return languageFile; }
    void listRecordings() override { log_.add(QStringLiteral("host.listRecordings")); }
    void selectFile(const QString& name) override
    {
        log_.add(QStringLiteral("host.selectFile '%1'").arg(name));
    }

private:
    bool arranging_ = false;
    EventLog& log_;
};

struct NotedMessage {
    platform::Message message;
    std::thread::id thread;
};

class ThreadNotingSink : public platform::MessageSink {
public:
    explicit ThreadNotingSink(EventLog& log) : log_(log) {}
    void show(const platform::Message& m) override
    {
        log_.add(QStringLiteral("message %1").arg(m.text));
        std::lock_guard<std::mutex> lock(mutex_);
        messages_.push_back({m, std::this_thread::get_id()});
    }
    bool confirm(const QString&, const QString&) override { return true; }
    void clear()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        messages_.clear();
    }
    std::vector<NotedMessage> messages() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return messages_;
    }

private:
    EventLog& log_;
    mutable std::mutex mutex_;
    std::vector<NotedMessage> messages_;
};

} // namespace fakes
