#pragma once
// Decodes a WAV, MP3 or WMA file to interleaved signed 16-bit PCM at the file's own rate and
// channel count (FFmpeg, in the codec module: see CodecBackends.h). Not synchronised: one
// thread at a time.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace audio {

class DecoderBackend;

class Decoder {
public:
    Decoder();
    ~Decoder();
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    // Opens the file and decodes its first frame, so that an undecodable file fails here.
    // The extension picks the container to try first; the content decides in the end.
    // path is in UTF-8 (audio::ffmpegPath).
    bool open(const std::string& path);

    std::uint32_t rate() const;
    std::uint32_t channels() const;
    // Length in sample frames (exact for PCM, from the header or the bit rate otherwise).
    std::int64_t lengthFrames() const;
    std::int64_t fileSize() const;
    // Bit rate of the audio data in bit/s: FFmpeg's rate of the stream (a constant-rate MP3's
    // frame rate, the average of a VBR MP3's Info tag, a WMA's format rate), otherwise the
    // bytes from the first audio packet to the end over the length. Tags, cover pictures and
    // container headers do not count. 0 when unknown.
    std::int64_t bitRate() const;
    // The frame index of the next frame read() returns.
    std::int64_t position() const;

    // Decodes up to `frames` frames into `out`; fewer only at the end of the data or on a read
    // error (see failed()).
    std::size_t read(std::int16_t* out, std::size_t frames);
    // Moves to frame `frame`: the demuxer goes to a key frame before it and the frames up to
    // the target are decoded and dropped.
    bool seek(std::int64_t frame);
    bool atEnd() const;

private:
    std::unique_ptr<DecoderBackend> d_; // null without the codec module: nothing opens
};

} // namespace audio
