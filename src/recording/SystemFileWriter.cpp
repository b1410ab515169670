#include "recording/SystemFileWriter.h"

#include "platform/FileSync.h"

#include <QDir>
#include <QFileInfo>

namespace recording {

SystemFileWriter::~SystemFileWriter()
{
    close();
}

bool SystemFileWriter::open(const QString& path)
{
    close();
    // The sync thread is started here, on the thread that sets the recording up, and not by
    // the first sync() on the capture thread.
    if (!syncer_)
        syncer_ = std::make_unique<recording::BackgroundSync>();
    file_->setFileName(path);
    // Readable too, so that restore() can copy what the file holds.
    return file_->open(QIODevice::ReadWrite | QIODevice::Truncate | QIODevice::Unbuffered);
}

std::int64_t SystemFileWriter::write(const char* data, std::int64_t bytes)
{
    if (!file_->isOpen() || bytes < 0)
        return 0;
    if (bytes == 0)
        return 0;
    const qint64 written = file_->write(data, bytes);
    return written < 0 ? 0 : written;
}

bool SystemFileWriter::seek(std::int64_t position)
{
    return file_->isOpen() && file_->seek(position);
}

std::int64_t SystemFileWriter::position() const
{
    return file_->isOpen() ? file_->pos() : 0;
}

bool SystemFileWriter::resize(std::int64_t size)
{
    if (!file_->isOpen())
        return false;
    const qint64 keep = file_->pos();
    const bool ok = file_->resize(size);
    // QFile::resize moves the position to the new end when it cut before it.
    file_->seek(keep);
    return ok;
}

bool SystemFileWriter::sync()
{
    // Unbuffered: every write is already with the system; only the disk is left to wait for.
    if (!file_->isOpen() || !syncer_)
        return false;
    return syncer_->request(file_->handle());
}

bool SystemFileWriter::close()
{
    if (!file_->isOpen())
        return true;
    const bool ok = file_->flush() && file_->error() == QFileDevice::NoError;
    syncer_->finish(); // the handle stays open until its sync is done; the result was best effort
    file_->close();
    return ok;
}

bool SystemFileWriter::isOpen() const
{
    return file_->isOpen();
}

bool SystemFileWriter::remove(const QString& path)
{
    return QFile::remove(path);
}

bool SystemFileWriter::hasName()
{
    return platform::fileHasName(*file_);
}

bool SystemFileWriter::restore()
{
    return file_->isOpen() && restoreAt(file_->fileName());
}

bool SystemFileWriter::restoreAt(const QString& path)
{
    if (!file_->isOpen() || path.isEmpty())
        return false;
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    // Never over a file someone else put there meanwhile.
    auto fresh = std::make_unique<QFile>(path);
    if (!fresh->open(QIODevice::ReadWrite | QIODevice::NewOnly | QIODevice::Unbuffered))
        return false;
    const qint64 keep = file_->pos();
    const qint64 size = file_->size();
    bool ok = file_->seek(0);
    QByteArray block;
    for (qint64 done = 0; ok && done < size; done += block.size()) {
        block = file_->read(std::min<qint64>(1 << 20, size - done));
        ok = !block.isEmpty() && fresh->write(block) == block.size();
    }
    ok = ok && fresh->seek(keep);
    if (!ok) {
        file_->seek(keep);
        fresh->close();
        fresh->remove();
        return false;
    }
    syncer_->finish();
    file_->close();
    file_ = std::move(fresh);
    return true;
}

} // namespace recording
