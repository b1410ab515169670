#include "recording/RecordingSession.h"

#include "i18n/LanguageFile.h"
#include "i18n/LanguageMessages.h"
#include "platform/LocalFiles.h"
#include "recording/NextFileName.h"
#include "recording/RecordWriterFactory.h"
#include "recording/RecordingHost.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <chrono>

namespace recording {

namespace {

std::int64_t steadyNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

RecordingSession::RecordingSession(audio::AudioApi& audio, RecordWriterFactory& writers,
                                   platform::MessageSink& messages, RecordingHost& host)
    : audio_(audio), writers_(writers), messages_(messages), host_(host), clock_(&steadyNanoseconds)
{
}

void RecordingSession::setClock(Clock clock)
{
    clock_ = clock ? clock : &steadyNanoseconds;
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
            // The paused span is absent on purpose: the clock starts over, it is no dropout.
            rebase_.store(true, std::memory_order_release);
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

double RecordingSession::bytesPerSecond(const RecordFormat& format)
{
    switch (format.format) {
    case RecordFormat::Wav:
        return double(format.sampleRate) * format.channels * 2.0;
    case RecordFormat::Mp3:
        return double(RecordFormat::effectiveMp3Bitrate(format.sampleRate, format.mp3Bitrate)) * 125.0 * 1.05;
    default:
        return double(format.wmaBitrate) * 125.0 * 1.15; // the ASF packets' overhead
    }
}

QString RecordingSession::timeText(double seconds)
{
    // m:ss.s
    const qint64 tenths = qint64(seconds * 10.0 + 0.5);
    return QStringLiteral("%1:%2.%3")
        .arg(tenths / 600)
        .arg((tenths / 10) % 60, 2, 10, QLatin1Char('0'))
        .arg(tenths % 10);
}

void RecordingSession::start(const QString& folder, const RecordFormat& format)
{
    // 0. The folder, made with its parents when it is missing (a new account's documents
    // folder, or a chosen folder removed since); the writers only ever create the file.
    QString why;
    if (!platform::LocalFiles::makeFolder(folder, &why)) {
        platform::Message m = message("FolderNotMade");
        m.text = m.text.arg(QDir::toNativeSeparators(folder), why);
        messages_.show(m);
        return;
    }
    // Room for at least a few seconds, or nothing is started.
    freeSpace_ = FreeSpaceRule(bytesPerSecond(format));
    const std::int64_t room = disk_->freeBytes(folder);
    if (!freeSpace_.canStart(room)) {
        platform::Message m = message("DiskFullStart");
        m.text = m.text.arg(timeText(freeSpace_.secondsLeft(room)), QDir::toNativeSeparators(folder));
        messages_.show(m);
        return;
    }
    folder_ = folder;
    ticks_ = 0;
    watchingNow_ = watching_;
    clips_.reset(format.channels);
    silence_.reset(static_cast<std::uint32_t>(format.sampleRate), format.channels);
    gaps_.reset(static_cast<std::uint32_t>(format.sampleRate));
    frameBytes_ = static_cast<std::uint32_t>(format.channels) * 2u;
    if (watchingNow_) // room for the counter's whole hold and a large block
        held_.reserve(std::size_t(gaps_.holdFrames() + std::uint64_t(format.sampleRate) / 5) * frameBytes_);
    sampleRate_ = format.sampleRate;
    format_ = format;
    bytesTaken_ = 0;
    rebase_.store(false, std::memory_order_relaxed);

    // 1. The next free name. With all numbers taken nothing is recorded (never overwrite).
    const QString path = nextFileName(folder, format.format);
    if (path.isEmpty()) {
        messages_.show(message("str001"));
        return;
    }
    // The name is taken at once (so that nothing else gets it), and a folder that cannot be
    // written to is told in one box, with the system's reason, before any writer tries.
    if (!platform::LocalFiles::createNew(path, &why)) {
        platform::Message m = message("FolderNotWritable");
        m.text = m.text.arg(QDir::toNativeSeparators(folder), why);
        messages_.show(m);
        return;
    }

    // 2. The writer of the format (it reports its own failure before str001).
    std::unique_ptr<RecordWriter> writer = writers_.create(format.format);
    const int chunk = writer ? writer->open(path, format) : -1;
    if (chunk < 0) {
        platform::LocalFiles::remove(path);
        messages_.show(message("str001"));
        return;
    }
    path_ = path;
    failed_.store(false, std::memory_order_relaxed);
    failureMessage_ = message("str003");
    // Where the recording goes on after its folder was removed and made again by the writer.
    restoredMessage_ = message("FolderRecreated");
    restoredMessage_.text += QLatin1Char('\n') + QDir::toNativeSeparators(path);
    // ... or, when a file took the folder's name, beside that file under the next free name.
    const QString bare = QDir::cleanPath(QFileInfo(path).absolutePath());
    rescuePath_ = nextFileName(QFileInfo(bare).absolutePath(), format.format);
    writer->setRescue(bare, rescuePath_);
    movedMessage_ = message("FolderReplaced");
    movedMessage_.text += QLatin1Char('\n') + QDir::toNativeSeparators(rescuePath_);
    moved_.store(false, std::memory_order_relaxed);
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
        platform::LocalFiles::remove(path_);
        messages_.show(message("str002"));
        host_.transport().SetTransportState(Idle);
        return;
    }
    channel_ = handle;
    paused_ = false;

    // 6. Recording; the list shows its first entry and the panel the record format.
    host_.transport().setChannel(handle);
    host_.transport().setStop([this] { stop(); });
    host_.transport().SetTransportState(Recording);
    host_.takeStarted(path_);

    // A muted line records silence: said now, in a note that leaves the take running.
    audio::InputLine line;
    line_ = audio_.recordGetLine(handle, line) ? line.description : QString();
    if (line.muted) {
        silence_.told();
        lineNote("LineMuted");
    }
}

void RecordingSession::lineNote(const char* key)
{
    platform::Message m = message(key);
    m.text = m.text.arg(line_);
    messages_.note(m);
}

bool RecordingSession::captureProc(audio::HRECORD, const void* buffer, std::uint32_t length,
                                   void* user)
{
    return static_cast<RecordingSession*>(user)->onCapture(buffer, length);
}

bool RecordingSession::write(const void* data, std::size_t length)
{
    RecordWriter& writer = *writer_;
    const bool ok = pending_
        ? pending_->feed(data, length,
                         [&writer](const char* d, std::size_t n) {
                             return writer.write(d, static_cast<std::int64_t>(n));
                         })
        : writer.write(static_cast<const char*>(data), static_cast<std::int64_t>(length));
    if (ok)
        bytesTaken_ += length;
    return ok;
}

bool RecordingSession::writeBlock(const void* data, std::size_t length)
{
    if (watchingNow_)
        clips_.feed(static_cast<const std::int16_t*>(data), length / frameBytes_);
    return write(data, length);
}

bool RecordingSession::writeHeld(std::uint64_t frames)
{
    return held_.pop(std::size_t(frames) * frameBytes_, [this](const char* data, std::size_t n) {
        return writeBlock(data, n);
    });
}

bool RecordingSession::writeSilence(std::uint64_t frames)
{
    clips_.skip(frames);
    static const char zeros[4096] = {};
    std::uint64_t bytes = frames * frameBytes_;
    const std::uint64_t chunk = sizeof(zeros) / frameBytes_ * frameBytes_;
    bool ok = true;
    while (ok && bytes > 0) {
        const std::uint64_t n = std::min(bytes, chunk);
        ok = write(zeros, std::size_t(n));
        bytes -= n;
    }
    return ok;
}

bool RecordingSession::onCapture(const void* buffer, std::uint32_t length)
{
    if (failed_.load(std::memory_order_relaxed))
        return false;
    bool ok = true;
    bool hold = false;
    if (watchingNow_) {
        const std::uint32_t frames = length / frameBytes_;
        silence_.feed(static_cast<const std::int16_t*>(buffer), frames);
        if (rebase_.exchange(false, std::memory_order_acq_rel)) {
            ok = writeHeld(AllHeld);
            gaps_.rebase();
        }
        const GapCounter::Step step = gaps_.block(clock_(), frames);
        ok = ok && writeHeld(step.spill);
        if (ok && step.silence > 0) {
            // Audio the capture lost: silence of the same length keeps what follows in place.
            ok = writeHeld(step.before) && writeSilence(step.silence);
        }
        if (ok && step.release)
            ok = writeHeld(AllHeld);
        hold = step.hold;
    }
    if (ok && hold) {
        held_.push(static_cast<const char*>(buffer), length);
        return true;
    }
    if (ok)
        ok = writeBlock(buffer, length);
    if (ok) {
        // Either message is posted to the GUI thread by the sink.
        switch (writer_->takeRestored()) {
        case RecordWriter::Restored::No: break;
        case RecordWriter::Restored::Again: messages_.show(restoredMessage_); break;
        case RecordWriter::Restored::Elsewhere:
            moved_.store(true, std::memory_order_release);
            messages_.show(movedMessage_);
            break;
        }
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
    // Blocks held back while a shortfall was settling are audio like any other: the take ends
    // before the counter could tell, so no gap is counted.
    if (!failed_.load(std::memory_order_acquire))
        ok = writeHeld(AllHeld);
    held_.release();
    // The tail of the capture (less than one chunk) is encoded too, unless the writer failed.
    if (pending_ && !failed_.load(std::memory_order_acquire)) {
        RecordWriter& writer = *writer_;
        ok = pending_->finish([&writer](const char* data, std::size_t n) {
            return writer.write(data, static_cast<std::int64_t>(n));
        });
    }
    ok = writer_->close() && ok;
    decodedFrames_ = writer_->decodedFrames();
    writer_.reset();
    pending_.reset();
    return ok;
}

bool RecordingSession::finalise()
{
    if (!writer_)
        return false;
    // After channelStop returns no callback runs: the writer belongs to this thread again.
    audio_.channelStop(channel_);
    audio_.streamFree(channel_);
    followMove();
    const bool completed = closeWriter();
    // A take that captured nothing leaves no file (a header or an encoder's empty stream that
    // no player opens), and its number stays free for the next take.
    const bool empty = bytesTaken_ == 0;
    if (empty)
        platform::LocalFiles::remove(path_);
    else if (!completed && !failed_.load(std::memory_order_acquire))
        messages_.show(failureMessage_); // the end of the file could not be written
    paused_ = false;
    const bool whole = completed && !empty && !failed_.load(std::memory_order_acquire);
    failed_.store(false, std::memory_order_relaxed);
    return whole;
}

void RecordingSession::followMove()
{
    if (moved_.exchange(false, std::memory_order_acq_rel))
        path_ = rescuePath_;
}

bool RecordingSession::checkCapture()
{
    // A capture we ended ourselves after a write failure waits for the user's Stop.
    if (!writer_ || failed_.load(std::memory_order_acquire))
        return false;
    followMove();
    const QString path = path_;
    const char* reason = nullptr;
    audio::InputLine line;
    if (audio_.channelIsActive(channel_) == audio::Stopped) {
        // The line alone went away (the server stayed): named, as the user chose it.
        const bool lineGone = audio_.recordGetLine(channel_, line) && line.gone;
        reason = lineGone ? "LineLostRecord" : "DeviceLostRecord";
    } else if (silence_.check()) {
        lineNote("LineSilent");
    }
    if (!reason && ticks_++ % FreeSpaceTicks == 0) {
        const std::int64_t room = disk_->freeBytes(path);
        switch (freeSpace_.check(room)) {
        case FreeSpaceRule::Verdict::Fine:
            break;
        case FreeSpaceRule::Verdict::Note: {
            platform::Message m = message("DiskSpaceLow");
            m.text = m.text.arg(timeText(freeSpace_.secondsLeft(room)));
            messages_.note(m);
            break;
        }
        case FreeSpaceRule::Verdict::Stop:
            reason = "DiskFullStop";
            break;
        }
    }
    if (!reason)
        return false;
    finishTake();
    platform::Message m = message(reason);
    m.text = line.gone ? m.text.arg(line_, QDir::toNativeSeparators(path))
                       : m.text.arg(QDir::toNativeSeparators(path));
    const QString summary = captureSummary();
    if (!summary.isEmpty())
        m.text += QStringLiteral("\n\n") + summary;
    messages_.show(m);
    return true;
}

QString RecordingSession::captureSummary() const
{
    if (!watchingNow_)
        return QString();
    QStringList parts;
    const double frameRate = double(std::max(1, sampleRate_));
    if (gaps_.count() > 0) {
        platform::Message m = message("DropoutSummary");
        parts << m.text.arg(QString::number(gaps_.count()),
                            QString::number(double(gaps_.totalFrames()) / frameRate, 'f', 2),
                            timeText(double(gaps_.firstAt()) / frameRate));
    }
    if (clips_.count() > 0) {
        platform::Message m = message("ClipSummary");
        parts << m.text.arg(QString::number(clips_.count()), timeText(double(clips_.firstAt()) / frameRate));
    }
    return parts.join(QStringLiteral("\n\n"));
}

void RecordingSession::finishTake()
{
    // A file completed with all it was given holds exactly the frames taken: the library need
    // not decode it to know its length.
    FinishedTake take;
    take.complete = finalise();
    take.path = path_; // where the take ended up (finalise follows a move)
    take.format = format_;
    take.frames = !take.complete ? 0
        : decodedFrames_ >= 0    ? std::uint64_t(decodedFrames_)
                                 : bytesTaken_ / frameBytes_;
    host_.takeFinished(take);
    host_.transport().SetTransportState(Idle);
}

bool RecordingSession::stop()
{
    if (!writer_)
        return false;
    finishTake();
    // What the capture met, in one box (nothing when all went well).
    const QString summary = captureSummary();
    if (!summary.isEmpty()) {
        platform::Message m = message("DropoutSummary"); // its caption
        m.text = summary;
        messages_.show(m);
    }
    return true;
}

} // namespace recording
