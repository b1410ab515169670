#pragma once
// FileWriter over a QFile. Writes go straight to the system (no buffer in the process), so a
// short write is seen at once and nothing waits in memory when the process dies; the callers
// write blocks of several kilobytes, so the system-call count stays low.
// sync() only asks: the data goes to the disk on a thread of its own (BackgroundSync), so the
// capture thread that writes never waits for the disk; close() and restore() wait for it.
#include <QFile>
#include <memory>

#include "recording/BackgroundSync.h"
#include "recording/FileWriter.h"

namespace recording {

class SystemFileWriter : public FileWriter {
public:
    SystemFileWriter() = default;
    ~SystemFileWriter() override;

    bool open(const QString& path) override;
    std::int64_t write(const char* data, std::int64_t bytes) override;
    bool seek(std::int64_t position) override;
    std::int64_t position() const override;
    bool resize(std::int64_t size) override;
    bool sync() override;
    bool close() override;
    bool isOpen() const override;
    bool remove(const QString& path) override;
    bool hasName() override;
    bool restore() override;
    bool restoreAt(const QString& path) override;

    // Syncs carried out since this writer was made (for tests).
    std::uint64_t syncsDone() const { return syncer_ ? syncer_->completed() : 0; }

private:
    std::unique_ptr<QFile> file_ = std::make_unique<QFile>();
    std::unique_ptr<recording::BackgroundSync> syncer_; // made on open(), with its thread

};

} // namespace recording
