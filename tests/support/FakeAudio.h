#pragma once
// One scripted engine for the tests of the layers above the engine (library, recording, app).
// - Streams: files are registered with what a decoder would report; streams keep their play
//   state and position on the test's thread, and the test moves time by hand (advance).
// - Captures: recordStart starts a capture thread of the fake's own that waits for deliver()
//   requests; each request sends blocks of a 440 Hz sine (interleaved 16-bit) to the callback
//   on that thread. A paused or ended capture drops them, as the real engine does; stop and
//   free wait for a running callback, so none runs after they return.
// - Every life-cycle and transport call can be written to a log (the tests' event order).
// Streams are meant for one thread (the test's); the capture side is thread-safe.
#include "audio/AudioApi.h"

#include <QList>
#include <QMap>
#include <QString>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

namespace testsupport {

class FakeAudio : public audio::AudioApi {
public:
    using Log = std::function<void(const QString& event)>;

    struct FileSpec {
        std::int64_t bytes = 0; // decoded 16-bit PCM length
        std::uint32_t freq = 44100, chans = 2, flags = 0;
        std::int64_t fileSize = 0;
        std::uint32_t bitrate = 0; // of the audio data, bit/s (0: not known)
    };
    struct Stream {
        QString path;
        FileSpec fileSpec;
        int active = audio::Stopped;
        std::int64_t pos = 0;
        bool lost = false; // the output went away
    };

    explicit FakeAudio(Log log = {});
    ~FakeAudio() override;
    FakeAudio(const FakeAudio&) = delete;
    FakeAudio& operator=(const FakeAudio&) = delete;

    // What the next calls do.
    bool failRecordInit = false;
    bool failInit = false;
    bool failRecordStart = false;

    void addFile(const QString& path, FileSpec fileSpec) { files[path] = fileSpec; }

    bool recordInit(int device) override;
    bool init(int device, std::uint32_t freq) override;
    void recordFree() override;
    void free() override;
    bool recordSetInput(int line, std::uint32_t flags, float level) override;
    audio::HRECORD recordStart(std::uint32_t freq, std::uint32_t chans, audio::RecordProc proc,
                               void* user) override;

    audio::HSTREAM streamCreateFile(const QString& path) override { return open(path, false); }
    audio::HSTREAM wmaStreamCreateFile(const QString& path) override { return open(path, true); }
    bool streamFree(audio::HSTREAM h) override;
    std::int64_t streamGetFilePosition(audio::HSTREAM h, int mode) override;

    bool channelPlay(audio::Handle h, bool restart) override;
    bool channelPause(audio::Handle h) override;
    bool channelStop(audio::Handle h) override;
    int channelIsActive(audio::Handle h) override;
    std::int64_t channelGetLength(audio::Handle h) override;
    std::int64_t channelGetPosition(audio::Handle h) override;
    bool channelSetPosition(audio::Handle h, std::int64_t pos) override;
    double channelBytes2Seconds(audio::Handle h, std::int64_t pos) override;
    std::uint32_t channelGetLevel(audio::Handle) override { return 0xFFFFFFFF; }
    int channelGetData(audio::Handle, void*, std::uint32_t) override { return -1; }
    bool channelGetInfo(audio::Handle h, audio::ChannelInfo& info) override;
    bool channelDeviceLost(audio::Handle h) override;
    bool recordGetLine(audio::HRECORD h, audio::InputLine& line) override;

    // The device or the sound server goes away: the stream stops where it is, the capture
    // ends by itself and delivers nothing more. lineOnly: the capture's line went away, the
    // server stayed.
    void loseDevice(audio::Handle h, bool lineOnly = false);
    // The line the next captures report (its description and mute at the start).
    audio::InputLine line{QStringLiteral("Fake line")};

    // Streams: plays on by so many bytes; a stream that reaches its end stops by itself.
    void advance(audio::Handle h, std::int64_t bytes);
    const Stream* stream(audio::Handle h) const;
    int openStreams() const { return int(streams.size()); }

    // Captures: sends count blocks of frames frames each from the capture thread and waits
    // until they were handled. Returns how many reached the callback.
    int deliver(int count, int frames = 512);
    // Peak of the delivered tone, 1.0 = full scale; above it the samples clip at full scale.
    // Set between deliveries.
    double amplitude = 0.5;
    // The running capture's callback returned false.
    bool ended() const;
    std::thread::id captureThread() const;
    // Bytes handed to the callback so far, over all captures.
    std::int64_t deliveredBytes() const;

    QMap<QString, FileSpec> files;
    std::map<audio::Handle, Stream> streams;
    QList<QString> opened;
    QList<bool> openedAsWma;
    QList<audio::Handle> freed, stopped;
    QList<std::int64_t> seeks;
    audio::Handle next = 100; // the next stream handle

private:
    struct Request {
        int count;
        int frames;
    };

    audio::HSTREAM open(const QString& path, bool wma);
    void note(const QString& event) const;
    bool isCapture(audio::Handle h) const;
    void endCapture(audio::Handle h); // stops and joins the capture thread
    void run();
    void joinThread();

    Log log_;

    mutable std::mutex mutex_; // the capture fields below
    std::condition_variable wake_;
    std::condition_variable done_;
    std::thread thread_;
    std::thread::id captureThread_;
    std::deque<Request> requests_;
    std::uint64_t requested_ = 0;
    std::uint64_t finished_ = 0;
    int lastDelivered_ = 0;
    std::int64_t deliveredBytes_ = 0;
    std::int64_t captureBytes_ = 0; // of the current capture
    std::uint32_t freq_ = 0;
    std::uint32_t chans_ = 0;
    audio::RecordProc proc_ = nullptr;
    void* user_ = nullptr;
    audio::HRECORD handle_ = 0;
    audio::HRECORD nextCapture_ = 41;
    bool running_ = false;
    bool ended_ = false;
    bool lost_ = false;
    bool lineGone_ = false;
    bool paused_ = false;
    bool quit_ = false;
    std::int64_t phase_ = 0;
};

} // namespace testsupport
