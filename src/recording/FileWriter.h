#pragma once
// The file service the writers write through: create or truncate, sequential writes, seek for
// header patches, and a sync that hands everything to the disk. An interface so that tests can
// stand in a writer that fails (a full disk, a failed seek) at a chosen point.
#include <QString>
#include <cstdint>

namespace recording {

class FileWriter {
public:
    virtual ~FileWriter() = default;

    // Creates the file or truncates an existing one, opened for writing. False on failure.
    virtual bool open(const QString& path) = 0;
    // Writes at the current position. Returns the number of bytes written, which is short of
    // bytes (possibly 0) when the write failed part way, for example on a full disk.
    virtual std::int64_t write(const char* data, std::int64_t bytes) = 0;
    virtual bool seek(std::int64_t position) = 0;
    virtual std::int64_t position() const = 0;
    // Cuts or extends the file to size bytes (the position is left where it was).
    virtual bool resize(std::int64_t size) = 0;
    // Hands every written byte to the system and asks it to store them on the disk, so that a
    // killed process or a power loss keeps what was written so far. The storing may go on after
    // the call returns (SystemFileWriter does it on a thread of its own, because the capture
    // thread calls this and must not wait for the disk); close() waits for it. False when the
    // file is not open or an earlier store is known to have failed.
    virtual bool sync() = 0;
    // Closes the file; false if the last bytes could not be written. Closing a closed writer
    // does nothing and succeeds.
    virtual bool close() = 0;
    virtual bool isOpen() const = 0;
    // Removes the file at path (used to drop a file whose writer failed to start).
    virtual bool remove(const QString& path) = 0;

    // Whether the open file still has a name: false once the file, or its folder, was removed
    // while it was open (the writes then go to a file nobody can find).
    virtual bool hasName() { return true; }
    // For a file that lost its name: creates the folder again, copies everything the open file
    // holds into a new file at the same path and goes on writing there, at the same position.
    // False when that cannot be done (the old file stays open then).
    virtual bool restore() { return false; }
    // The same at another path (its folder made when missing), never over an existing file:
    // for a file whose own folder cannot be made again. False when that cannot be done.
    virtual bool restoreAt(const QString& /*path*/) { return false; }
};

} // namespace recording
