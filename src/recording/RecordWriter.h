#pragma once
// The output of one running recording, whatever its format: the WAV writer, the MP3 adapter
// (Mp3Writer) or the WMA adapter (WmaWriter). The recording session drives it:
//
//   GUI thread      open(path, format)   -> chunk size in bytes, or -1 (message already shown)
//   capture thread  write(block, bytes)  -> false: the output failed, end the capture (str003)
//   GUI thread      write(pending tail)     optional final partial chunk, after the capture
//   GUI thread      close()                 completes the file; then destroy the object
//
// Chunk size: 0 means "hand every captured block over as it is" (WAV). A positive size means
// the writer wants whole chunks of that many bytes during the capture; at Stop it also takes
// one final shorter block of whole sample frames (the session's pending tail), so nothing
// captured is dropped. Every size is a whole number of sample frames.
//
// Threading: write() runs on the capture thread, one call at a time; open(), the final write
// and close() run on the GUI thread strictly before the capture starts / after it stopped.
// Messages go through the platform::MessageSink given to the writer, which queues them to the
// GUI thread when called from the capture thread: write() never waits for the user.
#include <QFileInfo>
#include <QString>
#include <atomic>
#include <cstdint>

#include "recording/FileWriter.h"
#include "recording/RecordFormat.h"

namespace recording {

class RecordWriter {
public:
    virtual ~RecordWriter() = default;

    // Creates the file at path for format (channels, sample rate and the bit rate of its own
    // format code). Returns the chunk size (>= 0) or -1 after the failure has been reported.
    virtual int open(const QString& path, const RecordFormat& format) = 0;
    // Appends a block of interleaved signed 16-bit PCM (a whole number of sample frames).
    // A block of 0 bytes writes nothing and succeeds.
    virtual bool write(const char* data, std::int64_t bytes) = 0;
    // Completes and closes the file. Safe to call once after a failed write; false if the file
    // could not be completed. A writer destroyed without close() still closes its file.
    virtual bool close() = 0;
    // The chunk size open() returned (0 before a successful open).
    virtual int chunkSize() const = 0;
    // After close(): the sample frames a decoder reads from the file, when that differs from
    // the frames written (an MP3 without a tag also holds the encoder's delay and padding);
    // -1 when it is the frames written.
    virtual std::int64_t decodedFrames() const { return -1; }

    // Where a file that lost its name during the recording goes on (see keepNamed).
    enum class Restored { No, Again, Elsewhere };
    // Once after the file lost its name (its folder was removed or replaced) and the writer
    // restored it: Again at its own path, Elsewhere at the rescue path. Capture thread, after
    // a write.
    Restored takeRestored() { return static_cast<Restored>(restored_.exchange(0)); }
    // Where the recording goes on when its folder was replaced by something that is not a
    // folder (so that the folder cannot be made again): the path rescue. folder: the recordings
    // folder, without a trailing separator. GUI thread, before the capture starts.
    void setRescue(const QString& folder, const QString& rescue)
    {
        folder_ = folder;
        rescue_ = rescue;
    }

protected:
    // The writers' check once a second of audio (capture thread): a file that lost its name
    // is restored at its path with everything written so far, and the recording goes on
    // there. False when it cannot be restored (the write fails then).
    bool keepNamed(FileWriter& file)
    {
        if (file.hasName())
            return true;
        if (file.restore()) {
            restored_.store(int(Restored::Again));
            return true;
        }
        // A file (or anything but a folder) took the folder's name: the take goes on beside it.
        const QFileInfo folder(folder_);
        if (rescue_.isEmpty() || !folder.exists() || folder.isDir() || !file.restoreAt(rescue_))
            return false;
        restored_.store(int(Restored::Elsewhere));
        return true;
    }

private:
    std::atomic<int> restored_{0};
    QString folder_;
    QString rescue_;
};

} // namespace recording
