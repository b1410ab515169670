#include "recording/WavWriter.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>

#include "recording/SystemFileWriter.h"

namespace recording {

namespace {

void put32(char* at, std::uint32_t value) { qToLittleEndian<quint32>(value, at); }
void put16(char* at, std::uint16_t value) { qToLittleEndian<quint16>(value, at); }

} // namespace

std::uint32_t WavWriter::maxDataBytes(int blockAlign)
{
    if (blockAlign <= 0)
        return 0;
    const std::uint64_t room = 0xFFFFFFFFull - HeaderSize;
    return static_cast<std::uint32_t>(room / blockAlign * blockAlign);
}

WavWriter::WavWriter(std::unique_ptr<FileWriter> file)
    : file_(file ? std::move(file) : std::make_unique<SystemFileWriter>())
{
}

WavWriter::~WavWriter()
{
    if (file_->isOpen())
        finalise();
}

void WavWriter::setDataLimit(std::uint32_t bytes)
{
    requestedLimit_ = bytes;
    if (blockAlign_ <= 0)
        return; // applied by openFile
    limit_ = maxDataBytes(blockAlign_);
    if (bytes != 0)
        limit_ = std::min(limit_, bytes / blockAlign_ * blockAlign_);
}

bool WavWriter::openFile(const QString& path, int channels, int sampleRate)
{
    if (file_->isOpen())
        return false;
    if ((channels != 1 && channels != 2) || sampleRate <= 0)
        return false;

    blockAlign_ = channels * 16 / 8;
    bytesPerSecond_ = static_cast<std::uint32_t>(blockAlign_) * static_cast<std::uint32_t>(sampleRate);
    count_ = 0;
    patchedAt_ = 0;
    torn_ = false;
    setDataLimit(requestedLimit_);

    char header[HeaderSize];
    std::memcpy(header + 0, "RIFF", 4);
    put32(header + 4, 0);
    std::memcpy(header + 8, "WAVE", 4);
    std::memcpy(header + 12, "fmt ", 4);
    put32(header + 16, 16);
    put16(header + 20, 1); // PCM
    put16(header + 22, static_cast<std::uint16_t>(channels));
    put32(header + 24, static_cast<std::uint32_t>(sampleRate));
    put32(header + 28, bytesPerSecond_);
    put16(header + 32, static_cast<std::uint16_t>(blockAlign_));
    put16(header + 34, 16);
    std::memcpy(header + 36, "data", 4);
    put32(header + 40, 0);

    if (!file_->open(path))
        return false;
    if (file_->write(header, HeaderSize) != HeaderSize) {
        file_->close();
        file_->remove(path);
        return false;
    }
    return true;
}

bool WavWriter::append(const char* data, std::int64_t bytes)
{
    if (!file_->isOpen() || bytes < 0)
        return false;
    if (bytes == 0)
        return true;
    if (static_cast<std::uint64_t>(count_) + static_cast<std::uint64_t>(bytes) > limit_)
        return false;

    const std::int64_t written = file_->write(data, bytes);
    if (written != bytes) {
        // Count the whole frames that arrived and put the append position behind them, so that
        // the header never claims bytes that are not there and the data stays frame-aligned.
        const std::uint32_t whole = static_cast<std::uint32_t>(std::max<std::int64_t>(written, 0))
                                    / blockAlign_ * blockAlign_;
        count_ += whole;
        torn_ = torn_ || written > std::int64_t(whole);
        file_->seek(HeaderSize + count_);
        return false;
    }
    count_ += static_cast<std::uint32_t>(bytes);

    if (count_ - patchedAt_ >= bytesPerSecond_) {
        if (!keepNamed(*file_) || !patchSizes())
            return false;
        // Best effort: a file system that cannot sync still got the bytes.
        file_->sync();
    }
    return true;
}

bool WavWriter::patchSizes()
{
    char riffSize[4];
    char dataSize[4];
    put32(riffSize, count_ + 36);
    put32(dataSize, count_);
    const std::int64_t end = HeaderSize + count_;
    const bool ok = file_->seek(4) && file_->write(riffSize, 4) == 4
                    && file_->seek(40) && file_->write(dataSize, 4) == 4;
    // Whatever happened, appends go on at the end of the counted data.
    const bool back = file_->seek(end);
    if (ok)
        patchedAt_ = count_;
    return ok && back;
}

bool WavWriter::finalise()
{
    if (!file_->isOpen())
        return false;
    bool ok = patchSizes();
    if (torn_) // part of a frame after the counted data, from a failed write
        ok = file_->resize(HeaderSize + count_) && ok;
    ok = file_->close() && ok;
    torn_ = false;
    return ok;
}

int WavWriter::open(const QString& path, const RecordFormat& format)
{
    return openFile(path, format.channels, format.sampleRate) ? 0 : -1;
}

} // namespace recording
