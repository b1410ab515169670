#pragma once
// Stand-ins for the recording session's collaborators: the shared scripted engine (its capture
// thread delivers generated 440 Hz blocks on demand), writers that record what they get and fail where
// told, a host that records the window calls, and a message sink that notes the thread of each
// message. All of them append to one event log so tests can check the order of the steps.
#include "i18n/LanguageFile.h"
#include "platform/MessageSink.h"
#include "recording/RecordWriter.h"
#include "recording/RecordWriterFactory.h"
#include "recording/RecordingHost.h"
#include "support/FakeAudio.h"

#include <QFile>
#include <QStringList>

#include <cstdint>
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

// The shared scripted engine, writing its calls into the event log. Its capture thread
// delivers generated 440 Hz blocks on demand (deliver()).
class FakeCaptureAudio : public testsupport::FakeAudio {
public:
    explicit FakeCaptureAudio(EventLog& log)
        : FakeAudio([&log](const QString& event) { log.add(event); })
    {
    }
};

// What a test tells the next writer to do, and what the writer saw.
struct WriterScript {
    int openResult = 0;  // chunk size, or -1 to fail
    int failOnWrite = -1; // 0-based index of the write call that fails, -1 never
    bool closeResult = true;
};

struct WriterTrace {
    QString path;
    recording::RecordFormat format;
    std::vector<std::int64_t> writes;  // sizes, in order
    std::vector<std::thread::id> writeThreads;
    std::vector<char> bytes;           // everything written successfully
    int closes = 0;
    int writesAfterClose = 0;
    bool destroyed = false;
};

class FakeWriter : public recording::RecordWriter {
public:
    FakeWriter(EventLog& log, WriterScript script, std::shared_ptr<WriterTrace> trace)
        : log_(log), script_(script), trace_(std::move(trace))
    {
    }
    ~FakeWriter() override { trace_->destroyed = true; }

    int open(const QString& path, const recording::RecordFormat& format) override
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

class FakeWriterFactory : public recording::RecordWriterFactory {
public:
    FakeWriterFactory(platform::MessageSink& sink, EventLog& log)
        : recording::RecordWriterFactory(sink), log_(log)
    {
    }
    WriterScript script;
    std::vector<std::shared_ptr<WriterTrace>> traces;

    std::unique_ptr<recording::RecordWriter> create(std::uint8_t formatCode) override
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
    // Writes short texts for the session's messages to `path` (the title, str001-str003 and the
    // lines `more` adds to [Strings]) and loads them; false when that fails.
    bool loadTexts(const QString& path, const QByteArray& more = {})
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return false;
        f.write("[Common]\nMessage=Vexa Recorder\n[Strings]\nstr001=cannot open\n"
                "str002=cannot capture\nstr003=cannot write\n" +
                more);
        f.close();
        return languageFile.open(path);
    }
    void takeStarted(const QString& path) override
    {
        log_.add(QStringLiteral("host.takeStarted %1").arg(path.section(QLatin1Char('/'), -1)));
    }
    // "host.takeFinished NAME FORMAT FRAMES" for a completed file, "... incomplete" otherwise.
    void takeFinished(const recording::FinishedTake& take) override
    {
        const QString name = take.path.section(QLatin1Char('/'), -1);
        log_.add(take.complete ? QStringLiteral("host.takeFinished %1 %2 %3")
                                     .arg(name)
                                     .arg(int(take.format.format))
                                     .arg(take.frames)
                               : QStringLiteral("host.takeFinished %1 incomplete").arg(name));
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
