#pragma once
// Writes a recording as a RIFF/WAVE file: a 44-byte header (16-byte PCM format chunk, one data
// chunk) followed by the captured 16-bit samples exactly as delivered.
//
// The two size fields are patched after every second of appended audio (and at finalise), so
// a recording whose process dies keeps all but its last second. Only bytes that reached the
// file are counted; a failed or short write makes the append fail. The data never grows past
// what the 32-bit sizes can describe: the append that would pass that limit is refused, which
// leaves a valid file.
#include <memory>

#include "recording/FileWriter.h"
#include "recording/RecordWriter.h"

namespace recording {

class WavWriter : public RecordWriter {
public:
    static constexpr std::int64_t HeaderSize = 44;
    // The most data bytes a file with this block align may hold: the whole file stays within
    // 4 GiB - 1 and the data is whole sample frames.
    static std::uint32_t maxDataBytes(int blockAlign);

    // file: where to write (tests inject failing writers); null uses a SystemFileWriter.
    explicit WavWriter(std::unique_ptr<FileWriter> file = nullptr);
    ~WavWriter() override;

    // Creates the file and writes the header with zero sizes. False on failure (nothing is
    // left on disk then). channels 1 or 2, sampleRate above 0.
    bool openFile(const QString& path, int channels, int sampleRate);
    // Appends a block at the end. False when the file is not open, the block would pass the
    // size limit (nothing written) or the write failed (only whole frames that reached the
    // file are counted; a torn frame is overwritten by the next append or cut at finalise).
    bool append(const char* data, std::int64_t bytes);
    // Writes the final sizes, cuts anything after the counted data and closes the file.
    bool finalise();

    std::uint32_t dataBytes() const { return count_; }
    bool isOpen() const { return file_ && file_->isOpen(); }
    // A lower limit than maxDataBytes (rounded down to whole frames), for tests; 0 = none.
    void setDataLimit(std::uint32_t bytes);

    // RecordWriter: chunk size 0, blocks go in as they are captured.
    int open(const QString& path, const RecordFormat& format) override;
    bool write(const char* data, std::int64_t bytes) override { return append(data, bytes); }
    bool close() override { return finalise(); }
    int chunkSize() const override { return 0; }

private:
    bool patchSizes();

    std::unique_ptr<FileWriter> file_;
    int blockAlign_ = 0;
    std::uint32_t bytesPerSecond_ = 0;
    std::uint32_t count_ = 0;          // data bytes on disk, whole frames
    std::uint32_t limit_ = 0;          // data bytes the file may hold
    std::uint32_t requestedLimit_ = 0; // setDataLimit, 0 = none
    std::uint32_t patchedAt_ = 0;      // count_ when the sizes were last written
    bool torn_ = false;                // a failed write left part of a frame behind the data
};

} // namespace recording
