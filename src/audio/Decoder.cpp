#include "audio/Decoder.h"

#include "audio/CodecBackends.h"

namespace audio {

Decoder::Decoder()
{
    if (const AudioCodecs* codecs = audioCodecs())
        d_ = codecs->newDecoder();
}

Decoder::~Decoder() = default;

bool Decoder::open(const std::string& path) { return d_ && d_->open(path); }
std::uint32_t Decoder::rate() const { return d_ ? d_->rate() : 0; }
std::uint32_t Decoder::channels() const { return d_ ? d_->channels() : 0; }
std::int64_t Decoder::lengthFrames() const { return d_ ? d_->lengthFrames() : 0; }
std::int64_t Decoder::fileSize() const { return d_ ? d_->fileSize() : 0; }
std::int64_t Decoder::bitRate() const { return d_ ? d_->bitRate() : 0; }
std::int64_t Decoder::position() const { return d_ ? d_->position() : 0; }
std::size_t Decoder::read(std::int16_t* out, std::size_t frames) { return d_ ? d_->read(out, frames) : 0; }
bool Decoder::seek(std::int64_t frame) { return d_ && d_->seek(frame); }
bool Decoder::atEnd() const { return !d_ || d_->atEnd(); }

} // namespace audio
