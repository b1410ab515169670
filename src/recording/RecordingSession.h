#pragma once
// One recording from Record to Stop: picks the next file name, opens the writer of the format,
// starts the capture, pauses and continues it, feeds the captured blocks to the writer on the
// capture thread and completes the file at Stop.
//
// Threads: record(), stop() and finalise() run on the GUI thread. The capture callback runs on
// the engine's capture thread and touches only the writer, the pending buffer and the failure
// flag; the GUI thread touches those only before the capture starts and after channelStop has
// returned, so no lock is needed. A failure found on the capture thread is handed to the
// message sink (which posts it to the GUI thread) and ends the capture at once; the transport
// stays in the recording state until the user's Stop completes the file.
#include "audio/AudioApi.h"
#include "platform/DiskSpace.h"
#include "platform/MessageSink.h"
#include "recording/CaptureWatch.h"
#include "recording/PendingBuffer.h"
#include "recording/RecordFormat.h"
#include "recording/RecordWriter.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>

namespace recording {

class RecordWriterFactory;

class RecordingHost;

class RecordingSession {
public:
    RecordingSession(audio::AudioApi& audio, RecordWriterFactory& writers,
                     platform::MessageSink& messages, RecordingHost& host);
    // Completes a running recording (as finalise()).
    ~RecordingSession();
    RecordingSession(const RecordingSession&) = delete;
    RecordingSession& operator=(const RecordingSession&) = delete;

    // QLTCircleButtonRecordClick. Idle: starts a recording into the next free file of folder in
    // format; a failed start shows one box: FolderNotMade, FolderNotWritable (no file can be
    // made in the folder), str001 (no free name, writer not opened) or str002 (capture not
    // started), leaves nothing on disk and the transport Idle. Recording: pauses.
    // RecordPaused: continues. During playback: nothing.
    void record(const QString& folder, const RecordFormat& format);

    // The recording half of QLTCircleButtonStopClick: stops the capture, completes the file,
    // re-lists the folder, selects the recorded file and sets Idle. False (and nothing done)
    // when no recording runs, so the caller goes on with playback's Stop.
    bool stop();

    // Stops the capture and completes the file like stop(), without touching the list or the
    // transport: for the shutdown, before the audio engine is released. A take that captured
    // no audio is removed (its number is free again). True when a recording ran and its file
    // was completed with every frame taken.
    bool finalise();

    // The display tick's step: a capture that ended by itself (the recording line, the device
    // or the sound server went away) is completed exactly as Stop does, and the user is told
    // once which line went away (when the server stayed) and where the file with everything
    // captured until then is. True when that happened. A take whose first SilenceRule::Seconds
    // are digital silence gets a note (once; none when the line was muted at Record, which
    // record() notes at once); it goes on recording.
    // Every FreeSpaceTicks-th call also reads the free space of the recordings folder's disk:
    // below five minutes at the format's rate a note says so (once), below five seconds the
    // recording is ended as Stop does and a box says why.
    bool checkCapture();
    static constexpr int FreeSpaceTicks = 20; // two seconds of the window's 100 ms tick

    // Where the free space is read (default: the file system's own figure). Not owned.
    void setDiskSpace(platform::DiskSpace* disk) { disk_ = disk ? disk : &storage_; }
    // Off: no dropouts, clipping or silence are watched (for measuring what watching costs).
    void setWatching(bool on) { watching_ = on; }
    // The monotonic clock (nanoseconds) the capture's blocks are timed with; default steady_clock.
    using Clock = std::int64_t (*)();
    void setClock(Clock clock);

    // What the last recording's capture met (read after it stopped).
    const ClipCounter& clips() const { return clips_; }
    const GapCounter& gaps() const { return gaps_; }
    // Bytes per second the format fills the disk with (a margin included for compressed ones).
    static double bytesPerSecond(const RecordFormat& format);

    // A recording runs (capturing, paused, or ended by a failure and waiting for Stop).
    bool isRecording() const { return writer_ != nullptr; }
    bool isPaused() const { return paused_; }
    // The capture callback ended the capture after a failure of the writer.
    bool captureFailed() const { return failed_.load(std::memory_order_acquire); }
    // RecordFilePath: the file being recorded, or the last one recorded (where the take went
    // on when its folder was replaced by a file, once Stop or the display tick saw it).
    QString recordFilePath() const { return path_; }
    audio::HRECORD channel() const { return channel_; }

private:
    static bool captureProc(audio::HRECORD handle, const void* buffer, std::uint32_t length,
                            void* user);
    bool onCapture(const void* buffer, std::uint32_t length);
    void start(const QString& folder, const RecordFormat& format);
    platform::Message message(const char* key) const;
    // A note about the take's line (key's %1: the line), the take going on.
    void lineNote(const char* key);
    // Closes the writer; false if the file could not be completed.
    bool closeWriter();
    bool write(const void* data, std::size_t length); // capture thread
    // A block of the take: counted for clipping, then written (capture thread).
    bool writeBlock(const void* data, std::size_t length);
    // Writes the oldest frames held back for the gap counter (capture thread, or after the
    // capture stopped), and silence for a gap.
    static constexpr std::uint64_t AllHeld = ~std::uint64_t(0) / 64;
    bool writeHeld(std::uint64_t frames);
    bool writeSilence(std::uint64_t frames);
    // After Stop: one text about dropouts and clipping, empty when there were none.
    QString captureSummary() const;
    // Completes the file as Stop does, then re-lists and selects it and sets Idle.
    void finishTake();
    // After the writer moved the take beside a file that took its folder's name: the take's
    // path is the rescue path from now on (GUI thread).
    void followMove();
    static QString timeText(double seconds);

    audio::AudioApi& audio_;
    RecordWriterFactory& writers_;
    platform::MessageSink& messages_;
    RecordingHost& host_;

    QString path_;
    audio::HRECORD channel_ = 0;
    bool paused_ = false;

    // Shared with the capture thread (see the class comment).
    std::unique_ptr<RecordWriter> writer_;
    std::unique_ptr<PendingBuffer> pending_;
    std::atomic<bool> failed_{false};
    platform::Message failureMessage_; // str003, resolved on the GUI thread at the start
    platform::Message restoredMessage_; // FolderRecreated and the file's path, likewise
    platform::Message movedMessage_;    // FolderReplaced and the rescue path, likewise
    QString rescuePath_;                // where the take goes on when its folder became a file
    std::atomic<bool> moved_{false};    // it went there (set on the capture thread)

    // Watches over the take: the counters belong to the capture thread while it runs.
    platform::StorageDiskSpace storage_;
    platform::DiskSpace* disk_ = &storage_;
    bool watching_ = true;
    bool watchingNow_ = true;
    QString folder_;
    FreeSpaceRule freeSpace_{1.0};
    int ticks_ = 0;
    ClipCounter clips_;
    GapCounter gaps_;
    SilenceRule silence_;
    QString line_;   // the line the take records from, as the sound server described it
    HeldAudio held_; // blocks held back while the gap counter waits
    std::uint32_t frameBytes_ = 4;
    int sampleRate_ = 44100;
    RecordFormat format_;
    std::uint64_t bytesTaken_ = 0; // given to the writer (capture thread while it runs)
    std::int64_t decodedFrames_ = -1; // what a decoder reads from the closed file, if not that
    std::atomic<bool> rebase_{false};
    Clock clock_;
};

} // namespace recording
