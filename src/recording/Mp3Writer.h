#pragma once
// Encodes a recording to a constant-bit-rate MP3 file while it is captured, over the LAME
// encoder, and owns the output file. One adapter per recording: initialise, encode chunks
// (from the capture thread), close at Stop, destroy.
//
// Messages ("Lame Encoder") go to the message sink, which queues them to the GUI thread when
// encode() runs on the capture thread.
#include <memory>

#include "recording/FileWriter.h"
#include "recording/RecordWriter.h"

namespace platform {
class MessageSink;
} // namespace platform

namespace recording {

class Mp3Writer : public RecordWriter {
public:
    // Channel-mode codes of initialise().
    enum ChannelMode { ModeStereo = 1, ModeJointStereo = 2, ModeDualChannel = 3, ModeMono = 4 };

    // MPEG bit rate (kbit/s) that a requested rate is encoded at.
    static int snapBitrate(unsigned int kbps);

    // Create. file: where the MP3 data goes (tests inject failing writers); null uses a
    // SystemFileWriter.
    explicit Mp3Writer(platform::MessageSink& messages, std::unique_ptr<FileWriter> file = nullptr);
    // Destroy: an adapter that was not closed is closed here.
    ~Mp3Writer() override;

    // Starts the encoder (constant bit rate, output rate = input rate) and creates the file.
    // Returns the chunk size in bytes (LAME's samples per frame x channels x 2: 4608 for a
    // stereo MPEG-1 rate) or -1 after its message.
    int initialise(const QString& path, int sampleRate, int channelMode, int bitrate,
                   bool privateFlag = false, bool crc = false, bool copyright = false,
                   bool original = false);
    // Encodes interleaved 16-bit samples, any whole number of sample frames (normally one
    // chunk; a shorter final block is fine). Returns the MP3 bytes written to the file, which
    // may be 0, or -1 after its message.
    int encode(const char* data, std::int64_t bytes);
    // Close: flushes the encoder (the last, partial frame), writes it, ends the stream and
    // closes the file. False if the last bytes could not be written. No VBR or tag header is
    // written: the file is audio frames from its first byte to its last.
    bool close() override;

    // RecordWriter
    int open(const QString& path, const RecordFormat& format) override;
    bool write(const char* data, std::int64_t bytes) override { return encode(data, bytes) >= 0; }
    int chunkSize() const override { return chunkSize_; }
    // Whole MPEG frames: with no tag to say otherwise, a decoder gives all their samples.
    std::int64_t decodedFrames() const override { return decodedFrames_; }

private:
    struct Encoder;
    void report(const char* text);
    bool writeOut(const unsigned char* data, int bytes);

    platform::MessageSink& messages_;
    std::unique_ptr<FileWriter> file_;
    std::unique_ptr<Encoder> encoder_;
    int channels_ = 0;
    int chunkSize_ = 0;
    std::int64_t bytesPerSecond_ = 0; // of the PCM input
    std::int64_t sinceCheck_ = 0;     // PCM bytes since the file's name was last checked
    bool writeFailed_ = false;        // reported once; Close does not repeat it
    std::int64_t decodedFrames_ = -1; // set by close()
};

} // namespace recording
