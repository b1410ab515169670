#pragma once
// Writes a recording as a WMA file (Windows Media Audio 2 in an ASF container) while it is
// captured, over FFmpeg. The output is always 44100 Hz stereo at the requested bit rate; the
// input may be any of the recording rates, mono or stereo, in blocks of any size.
// One adapter per recording: initialise, write blocks (from the capture thread), close at
// Stop, destroy. Messages ("WMA Audio SDK") go to the message sink, which queues them to the
// GUI thread when called from the capture thread.
#include <memory>

#include "recording/FileWriter.h"
#include "recording/RecordWriter.h"

namespace platform {
class MessageSink;
} // namespace platform

namespace codecs {

class WmaWriter : public recording::RecordWriter {
public:
    static constexpr int ChunkSize = 16384;
    static constexpr int OutputRate = 44100;

    // Create: checks that the WMA encoder and the ASF container are available. file: where
    // the WMA data goes (tests inject failing writers); null uses a SystemFileWriter.
    explicit WmaWriter(platform::MessageSink& messages,
                       std::unique_ptr<recording::FileWriter> file = nullptr);
    // Destroy: finishes and releases a writer that is still present.
    ~WmaWriter() override;

    // Creates the file and the writer for 16-bit PCM input of sampleRate and channels, WMA
    // output at bitrate bit/s. Returns 16384 or -1 after its message.
    int initialise(const QString& path, int sampleRate, int channels, int bitrate);
    // Hands over interleaved 16-bit samples (any whole number of sample frames). False when
    // the encoder or the file fails. 0 bytes write nothing and give true.
    bool write(const char* data, std::int64_t bytes) override;
    // Finishes the file: the last partial frame padded with silence, the trailer, the file
    // closed. True with no writer; false if the file could not be finished (the writer is
    // released either way: a failed finish cannot be retried).
    bool close() override;

    // RecordWriter
    int open(const QString& path, const recording::RecordFormat& format) override;
    int chunkSize() const override { return chunkSize_; }

private:
    struct Writer;
    void report(const char* text);
    // The work of initialise, on the thread that runs it; a failure's message is left in
    // failure.
    int setUpWriter(const QString& path, int sampleRate, int channels, int bitrate,
                    const char*& failure);
    void release(bool removeFile);

    platform::MessageSink& messages_;
    std::unique_ptr<recording::FileWriter> file_;
    std::unique_ptr<Writer> writer_;
    bool available_ = false;
    QString path_;
    int chunkSize_ = 0;
    std::int64_t bytesPerSecond_ = 0; // of the PCM input
    std::int64_t sinceCheck_ = 0;     // PCM bytes since the file's name was last checked
};

} // namespace codecs
