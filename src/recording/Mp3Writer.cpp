#include "recording/Mp3Writer.h"

#include <lame/lame.h>
#include <vector>

#include "recording/AdapterMessage.h"
#include "recording/SystemFileWriter.h"

// LAME is linked into the program, not loaded at run time, so the library-load and
// entry-point messages of a run-time loaded encoder ("Could not load lame_enc.dll file",
// "Could not found ... library function") cannot occur and are not part of this adapter.

namespace recording {

struct Mp3Writer::Encoder {
    lame_global_flags* flags = nullptr;
    std::vector<unsigned char> out; // encoder output of one call

    ~Encoder()
    {
        if (flags)
            lame_close(flags);
    }
};

namespace {

const QString Caption = QStringLiteral("Lame Encoder");

// LAME's worst case for n samples per channel is 1.25 n + 7200 bytes.
std::size_t outputBound(std::int64_t samplesPerChannel)
{
    return static_cast<std::size_t>(samplesPerChannel + samplesPerChannel / 4 + 7200);
}

} // namespace

int Mp3Writer::snapBitrate(unsigned int kbps)
{
    struct Step {
        unsigned int upTo;
        int rate;
    };
    static constexpr Step Steps[] = {
        {36, 32},   {44, 40},   {52, 48},   {60, 56},   {67, 64},   {88, 80},   {104, 96},
        {120, 112}, {144, 128}, {176, 160}, {208, 192}, {240, 224}, {288, 256},
    };
    for (const Step& step : Steps) {
        if (kbps <= step.upTo)
            return step.rate;
    }
    return 320;
}

Mp3Writer::Mp3Writer(platform::MessageSink& messages, std::unique_ptr<FileWriter> file)
    : messages_(messages), file_(file ? std::move(file) : std::make_unique<SystemFileWriter>())
{
}

Mp3Writer::~Mp3Writer()
{
    if (encoder_)
        close();
}

void Mp3Writer::report(const char* text)
{
    recording::showAdapterMessage(messages_, Caption, text);
}

int Mp3Writer::initialise(const QString& path, int sampleRate, int channelMode, int bitrate,
                          bool privateFlag, bool crc, bool copyright, bool original)
{
    if (encoder_)
        return -1; // one recording per adapter

    MPEG_mode mode = STEREO;
    switch (channelMode) {
    case ModeStereo: mode = STEREO; break;
    case ModeJointStereo: mode = JOINT_STEREO; break;
    case ModeDualChannel: mode = DUAL_CHANNEL; break;
    case ModeMono: mode = MONO; break;
    default: report("Could not initialize Lame encoder"); return -1;
    }
    const int channels = mode == MONO ? 1 : 2;

    auto encoder = std::make_unique<Encoder>();
    encoder->flags = lame_init();
    bool ok = encoder->flags != nullptr && sampleRate > 0;
    if (ok) {
        lame_global_flags* gf = encoder->flags;
        lame_set_num_channels(gf, channels);
        lame_set_in_samplerate(gf, sampleRate);
        lame_set_out_samplerate(gf, sampleRate);
        lame_set_mode(gf, mode);
        lame_set_VBR(gf, vbr_off);
        lame_set_brate(gf, snapBitrate(static_cast<unsigned int>(bitrate)));
        lame_set_extension(gf, privateFlag ? 1 : 0);
        lame_set_error_protection(gf, crc ? 1 : 0);
        lame_set_copyright(gf, copyright ? 1 : 0);
        lame_set_original(gf, original ? 1 : 0);
        // A plain stream of audio frames: no VBR/Info header frame in front and no ID3 tag at
        // either end. Every frame is audio, so a file cut off anywhere plays what it holds.
        lame_set_bWriteVbrTag(gf, 0);
        lame_set_write_id3tag_automatic(gf, 0);
        ok = lame_init_params(gf) >= 0 && lame_get_out_samplerate(gf) == sampleRate;
    }
    if (!ok) {
        report("Could not initialize Lame encoder");
        return -1;
    }

    if (!file_->open(path)) {
        report("Can not create the file.");
        return -1;
    }

    const int framesize = lame_get_framesize(encoder->flags);
    encoder->out.resize(outputBound(framesize));
    encoder_ = std::move(encoder);
    channels_ = channels;
    chunkSize_ = framesize * channels * 2;
    bytesPerSecond_ = std::int64_t(sampleRate) * channels * 2;
    sinceCheck_ = 0;
    return chunkSize_;
}

bool Mp3Writer::writeOut(const unsigned char* data, int bytes)
{
    return bytes <= 0 || file_->write(reinterpret_cast<const char*>(data), bytes) == bytes;
}

int Mp3Writer::encode(const char* data, std::int64_t bytes)
{
    if (!encoder_ || bytes < 0 || bytes % (2 * channels_) != 0 || bytes > (1 << 28)) {
        report("Could not perform compression");
        return -1;
    }
    if (bytes == 0)
        return 0;

    const int frames = static_cast<int>(bytes / (2 * channels_));
    auto& out = encoder_->out;
    if (out.size() < outputBound(frames))
        out.resize(outputBound(frames));

    const auto* pcm = reinterpret_cast<const short*>(data);
    int produced;
    if (channels_ == 1) {
        // The interleaved entry point would read mono input as stereo (pitch doubles).
        produced = lame_encode_buffer(encoder_->flags, pcm, nullptr, frames, out.data(),
                                      static_cast<int>(out.size()));
    } else {
        produced = lame_encode_buffer_interleaved(encoder_->flags, const_cast<short*>(pcm), frames,
                                                  out.data(), static_cast<int>(out.size()));
    }
    if (produced < 0) {
        report("Could not perform compression");
        return -1;
    }
    sinceCheck_ += bytes;
    bool ok = writeOut(out.data(), produced);
    if (ok && sinceCheck_ >= bytesPerSecond_) {
        sinceCheck_ = 0;
        ok = keepNamed(*file_);
    }
    if (!ok) {
        if (!writeFailed_)
            report("Can not write the file.");
        writeFailed_ = true;
        return -1;
    }
    return produced;
}

bool Mp3Writer::close()
{
    if (!encoder_)
        return true;
    auto& out = encoder_->out;
    if (out.size() < 7200)
        out.resize(7200);
    const int flushed =
        lame_encode_flush(encoder_->flags, out.data(), static_cast<int>(out.size()));
    bool ok = flushed >= 0 && writeOut(out.data(), flushed);
    decodedFrames_ =
        std::int64_t(lame_get_frameNum(encoder_->flags)) * lame_get_framesize(encoder_->flags);
    encoder_.reset();
    ok = file_->close() && ok;
    if (!ok && !writeFailed_)
        report("Can not write the file.");
    writeFailed_ = false;
    return ok;
}

int Mp3Writer::open(const QString& path, const RecordFormat& format)
{
    return initialise(path, format.sampleRate, format.channels == 2 ? ModeStereo : ModeMono,
                      format.mp3Bitrate);
}

} // namespace recording
