#include "recording/RecordingSession.h"

#include "i18n/LanguageFile.h"
#include "i18n/LanguageMessages.h"
#include "recording/NextFileName.h"
#include "recording/RecordWriterFactory.h"
#include "recording/RecordingHost.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace recording {

RecordingSession::RecordingSession(audio::AudioApi& audio, RecordWriterFactory& writers,
                                   platform::MessageSink& messages, RecordingHost& host)
    : audio_(audio), writers_(writers), messages_(messages), host_(host)
{
}

RecordingSession::~RecordingSession()
{
    finalise();
}

platform::Message RecordingSession::message(const char* key) const
{
    return i18n::LanguageMessages::information(host_.language(), QLatin1String(key), false);
}

void RecordingSession::record(const QString& folder, const RecordFormat& format)
{
    if (writer_) {
        if (paused_) {
            audio_.channelPlay(channel_, false);
            paused_ = false;
            host_.transport().SetTransportState(Recording);
        } else {
            // A paused capture delivers nothing: the paused span is absent from the file.
            audio_.channelPause(channel_);
            paused_ = true;
            host_.transport().SetTransportState(RecordPaused);
        }
        return;
    }
    if (host_.transport().state() != Idle)
        return; // Record is disabled during playback.
    start(folder, format);
}

void RecordingSession::start(const QString& folder, const RecordFormat& format)
{
    // 1. The next free name. With all numbers taken nothing is recorded (never overwrite).
    const QString path = nextFileName(folder, format.format);
    if (path.isEmpty()) {
        messages_.show(message("str001"));
        return;
    }

    // 2. The writer of the format (it reports its own failure before str001).
    std::unique_ptr<RecordWriter> writer = writers_.create(format.format);
    const int chunk = writer ? writer->open(path, format) : -1;
    if (chunk < 0) {
        messages_.show(message("str001"));
        return;
    }
    path_ = path;
    failed_.store(false, std::memory_order_relaxed);
    failureMessage_ = message("str003");
    // Where the recording goes on after its folder was removed and made again by the writer.
    restoredMessage_ = message("FolderRecreated");
    restoredMessage_.text += QLatin1Char('\n') + QDir::toNativeSeparators(path);
    pending_ = chunk > 0 ? std::make_unique<PendingBuffer>(static_cast<std::size_t>(chunk)) : nullptr;
    writer_ = std::move(writer);

    // 3. The selected recording line at the recording volume (not the speaker's).
    audio_.recordSetInput(host_.recordLineIndex(), audio::InputOn, host_.recordVolume());

    // 4./5. The capture. Without it the file just opened is closed and removed again.
    const audio::HRECORD handle =
        audio_.recordStart(static_cast<std::uint32_t>(format.sampleRate),
                           static_cast<std::uint32_t>(format.channels), &captureProc, this);
    if (handle == 0) {
        writer_->close();
        writer_.reset();
        pending_.reset();
        QFile::remove(path_);
        messages_.show(message("str002"));
        host_.transport().SetTransportState(Idle);
        return;
    }
    channel_ = handle;
    paused_ = false;

    // 6. Recording; the list shows its first entry and the panel the record format.
    host_.transport().setChannel(handle);
    host_.transport().SetTransportState(Recording);
    host_.selectFile(QString());
}

bool RecordingSession::captureProc(audio::HRECORD, const void* buffer, std::uint32_t length,
                                   void* user)
{
    return static_cast<RecordingSession*>(user)->onCapture(buffer, length);
}

bool RecordingSession::onCapture(const void* buffer, std::uint32_t length)
{
    if (failed_.load(std::memory_order_relaxed))
        return false;
    RecordWriter& writer = *writer_;
    bool ok;
    if (pending_) {
        ok = pending_->feed(buffer, length, [&writer](const char* data, std::size_t n) {
            return writer.write(data, static_cast<std::int64_t>(n));
        });
    } else {
        ok = writer.write(static_cast<const char*>(buffer), length);
    }
    if (ok) {
        if (writer.takeRestored())
            messages_.show(restoredMessage_); // posted to the GUI thread by the sink
        return true;
    }
    // Disk full, encoder failure or the size limit: end the capture now; the message is posted
    // to the GUI thread by the sink. What reached the file stays valid and Stop completes it.
    failed_.store(true, std::memory_order_release);
    messages_.show(failureMessage_);
    return false;
}

bool RecordingSession::closeWriter()
{
    bool ok = true;
    // The tail of the capture (less than one chunk) is encoded too, unless the writer failed.
    if (pending_ && !failed_.load(std::memory_order_acquire)) {
        RecordWriter& writer = *writer_;
        ok = pending_->finish([&writer](const char* data, std::size_t n) {
            return writer.write(data, static_cast<std::int64_t>(n));
        });
    }
    ok = writer_->close() && ok;
    writer_.reset();
    pending_.reset();
    return ok;
}

void RecordingSession::finalise()
{
    if (!writer_)
        return;
    // After channelStop returns no callback runs: the writer belongs to this thread again.
    audio_.channelStop(channel_);
    audio_.streamFree(channel_);
    const bool completed = closeWriter();
    if (!completed && !failed_.load(std::memory_order_acquire))
        messages_.show(failureMessage_); // the end of the file could not be written
    paused_ = false;
    failed_.store(false, std::memory_order_relaxed);
}

bool RecordingSession::checkCapture()
{
    // A capture we ended ourselves after a write failure waits for the user's Stop.
    if (!writer_ || failed_.load(std::memory_order_acquire))
        return false;
    if (audio_.channelIsActive(channel_) != audio::Stopped)
        return false;
    const QString path = path_;
    stop();
    platform::Message m = message("DeviceLostRecord");
    m.text = m.text.arg(QDir::toNativeSeparators(path));
    messages_.show(m);
    return true;
}

bool RecordingSession::stop()
{
    if (!writer_)
        return false;
    finalise();
    // The transport is still in the recording state here, so the panel keeps the record format
    // and the name of the file just written.
    host_.listRecordings();
    host_.selectFile(QFileInfo(path_).fileName());
    host_.transport().SetTransportState(Idle);
    return true;
}

} // namespace recording
