#include "codecs/FfmpegDecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstring>
#include <vector>

namespace codecs {

using namespace audio;

struct FfmpegDecoder::Impl {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    SwrContext* swr = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    int stream = -1;
    std::uint32_t rate = 0;
    std::uint32_t channels = 0;
    std::int64_t length = 0;
    std::int64_t fileSize = 0;
    std::int64_t bitRate = 0;
    std::int64_t startFrames = 0; // timestamp of the first sample, in frames

    std::vector<std::int16_t> pending; // decoded and converted, not yet read
    std::size_t pendingPos = 0;        // in samples
    std::int64_t pendingFrame = 0;     // frame index of pending[pendingPos]
    std::int64_t nextDecoded = 0;      // frame index of the next decoded frame's first sample
    std::int64_t discardBefore = 0;    // frames before this index are dropped (after a seek)
    bool takePts = true;               // set the frame index from the next frame's timestamp
    std::int64_t lastFirst = 0;        // frame index of the last decoded frame's first sample
    bool draining = false;
    bool ended = false;
    const AVCodec* decoder = nullptr;
    bool codecOk = false;
    bool havePacket = false; // packet holds the stream's first packet, read by open()
    std::int64_t fillEndTo = 0; // the PCM is filled with silence up to this frame at the end...
    std::int64_t fillMax = 0;   // ...when no more than this many frames are missing

    ~Impl()
    {
        swr_free(&swr);
        av_channel_layout_uninit(&swrLayout);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
        av_packet_free(&packet);
        av_frame_free(&frame);
    }

    AVStream* st() const { return format->streams[stream]; }

    std::int64_t ptsToFrames(std::int64_t pts) const
    {
        return av_rescale_q(pts, st()->time_base, AVRational{1, int(rate)});
    }

    // The input format the resampler was set up for. A stream may change its channel count,
    // rate or sample format between frames (MP3 files joined from different recordings): the
    // conversion follows every change, while the output format stays the stream's own.
    AVChannelLayout swrLayout{};
    int swrRate = 0;
    int swrFormat = -1;

    // Appends what the resampler still holds (rate conversion keeps a few samples back).
    bool flushResampler()
    {
        if (!swr)
            return true;
        const int room = swr_get_out_samples(swr, 0);
        if (room <= 0)
            return true;
        const std::size_t base = pending.size();
        pending.resize(base + std::size_t(room) * channels);
        uint8_t* outPlanes[1] = {reinterpret_cast<uint8_t*>(pending.data() + base)};
        const int got = swr_convert(swr, outPlanes, room, nullptr, 0);
        pending.resize(base + std::size_t(std::max(got, 0)) * channels);
        return got >= 0;
    }

    bool setUpResampler(const AVFrame* f)
    {
        if (swr && swrRate == f->sample_rate && swrFormat == f->format
            && av_channel_layout_compare(&swrLayout, &f->ch_layout) == 0)
            return true;
        flushResampler();
        swr_free(&swr);
        av_channel_layout_uninit(&swrLayout);
        swrRate = 0;
        swrFormat = -1;
        AVChannelLayout in{};
        if (f->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
            av_channel_layout_default(&in, f->ch_layout.nb_channels);
        else if (av_channel_layout_copy(&in, &f->ch_layout) < 0)
            return false;
        AVChannelLayout out;
        av_channel_layout_default(&out, int(channels));
        bool ok = swr_alloc_set_opts2(&swr, &out, AV_SAMPLE_FMT_S16, int(rate), &in,
                                      AVSampleFormat(f->format), f->sample_rate, 0, nullptr) >= 0;
        if (ok && in.nb_channels == 1 && channels == 2) {
            // Mono into a stereo stream at full level on both sides (the default is -3 dB).
            const double matrix[2] = {1.0, 1.0};
            ok = swr_set_matrix(swr, matrix, 1) >= 0;
        }
        ok = ok && swr_init(swr) >= 0;
        av_channel_layout_uninit(&out);
        av_channel_layout_uninit(&in);
        if (!ok) {
            swr_free(&swr);
            return false;
        }
        av_channel_layout_copy(&swrLayout, &f->ch_layout);
        swrRate = f->sample_rate;
        swrFormat = f->format;
        return true;
    }

    bool convert(AVFrame* f)
    {
        const int n = f->nb_samples;
        if (n <= 0 || f->ch_layout.nb_channels <= 0 || f->sample_rate <= 0 || !f->extended_data)
            return true; // nothing to convert (a frame without samples)
        if (f->format == AV_SAMPLE_FMT_S16 && f->ch_layout.nb_channels == int(channels)
            && f->sample_rate == int(rate) && !swr) {
            const std::size_t base = pending.size();
            pending.resize(base + std::size_t(n) * channels);
            std::memcpy(pending.data() + base, f->data[0], std::size_t(n) * channels * sizeof(std::int16_t));
            return true;
        }
        if (!setUpResampler(f))
            return false;
        const int room = swr_get_out_samples(swr, n);
        if (room < 0)
            return false;
        const std::size_t base = pending.size();
        pending.resize(base + std::size_t(room) * channels);
        uint8_t* outPlanes[1] = {reinterpret_cast<uint8_t*>(pending.data() + base)};
        const int got = swr_convert(swr, outPlanes, room, const_cast<const uint8_t**>(f->extended_data), n);
        pending.resize(base + std::size_t(std::max(got, 0)) * channels);
        return got >= 0;
    }

    // Decodes until some frames are pending (after the drop of a seek) or the data ends.
    bool decodeMore()
    {
        while (!ended) {
            int ret = avcodec_receive_frame(codec, frame);
            if (ret == 0) {
                if (takePts) {
                    const std::int64_t pts = frame->best_effort_timestamp;
                    if (pts != AV_NOPTS_VALUE)
                        nextDecoded = ptsToFrames(pts) - startFrames;
                    else
                        nextDecoded = discardBefore;
                    takePts = false;
                }
                const std::int64_t first = nextDecoded;
                lastFirst = first;
                const std::size_t before = pending.size();
                const bool ok = convert(frame);
                const std::int64_t got = std::int64_t(pending.size() - before) / channels;
                nextDecoded += got;
                av_frame_unref(frame);
                if (!ok)
                    continue;
                // Drop what lies before the seek target.
                if (first < discardBefore) {
                    const std::int64_t drop = std::min<std::int64_t>(discardBefore - first, got);
                    pending.erase(pending.begin() + std::ptrdiff_t(before),
                                  pending.begin() + std::ptrdiff_t(before + std::size_t(drop) * channels));
                }
                if (pending.size() > pendingPos) {
                    if (pendingPos == 0 && before == 0)
                        pendingFrame = std::max(first, discardBefore);
                    return true;
                }
                continue;
            }
            if (ret == AVERROR_EOF) {
                ended = true;
                // The last samples the resampler kept back, then the silence that fills the
                // end up to the container's length (WMA: the frame the decoder withholds).
                const std::size_t before = pending.size();
                flushResampler();
                const std::int64_t end = nextDecoded + std::int64_t(pending.size() - before) / channels;
                const std::int64_t missing = fillEndTo - end;
                const std::int64_t from = std::max(end, discardBefore);
                const bool fill = missing > 0 && missing <= fillMax && fillEndTo > from;
                if (fill)
                    pending.resize(pending.size() + std::size_t(fillEndTo - from) * channels, 0);
                if (pending.size() == before)
                    return false;
                nextDecoded = fill ? fillEndTo : end;
                return pending.size() > pendingPos;
            }
            if (ret != AVERROR(EAGAIN)) {
                // A damaged frame: go on with the next packet.
            }
            if (draining) {
                ended = true;
                return false;
            }
            ret = havePacket ? 0 : av_read_frame(format, packet);
            havePacket = false;
            if (ret < 0) {
                draining = true;
                avcodec_send_packet(codec, nullptr);
                continue;
            }
            if (packet->stream_index == stream)
                avcodec_send_packet(codec, packet); // invalid data is skipped by the decoder
            av_packet_unref(packet);
        }
        return false;
    }

    // Opens the decoder and decodes the first frame (from the packet open() kept): frame
    // indices count from that frame's first sample, and later seeks measure timestamps from
    // there. False when the data does not decode.
    bool ensureCodec()
    {
        if (codec)
            return codecOk;
        codec = avcodec_alloc_context3(decoder);
        if (!codec || avcodec_parameters_to_context(codec, st()->codecpar) < 0
            || avcodec_open2(codec, decoder, nullptr) < 0)
            return false;
        startFrames = 0;
        discardBefore = INT64_MIN;
        takePts = true;
        if (!decodeMore())
            return false;
        startFrames = lastFirst;
        nextDecoded -= startFrames;
        pendingFrame = 0;
        discardBefore = 0;
        codecOk = true;
        return true;
    }

    void resetBuffers()
    {
        // What the resampler kept back belongs before the jump.
        swr_free(&swr);
        av_channel_layout_uninit(&swrLayout);
        swrRate = 0;
        swrFormat = -1;
        havePacket = false;
        pending.clear();
        pendingPos = 0;
        draining = false;
        ended = false;
        takePts = true;
    }
};

FfmpegDecoder::FfmpegDecoder() : d_(std::make_unique<Impl>()) {}
FfmpegDecoder::~FfmpegDecoder() = default;

namespace {
const AVInputFormat* formatForExtension(const std::string& path)
{
    const auto dot = path.rfind('.');
    if (dot == std::string::npos)
        return nullptr;
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    if (ext == "wav")
        return av_find_input_format("wav");
    if (ext == "mp3")
        return av_find_input_format("mp3");
    if (ext == "wma")
        return av_find_input_format("asf");
    return nullptr;
}
std::uint32_t be32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

// The exact sample count of an MP3 from the Xing/Info tag in the frame just before its first
// audio packet: frames x samples per frame - encoder delay - padding (LAME's extension). -1
// when there is no such tag. The read position of `pb` is left where it was.
std::int64_t mp3TagLength(AVIOContext* pb, std::int64_t firstPacket, std::uint32_t rate)
{
    if (!pb || firstPacket <= 0)
        return -1;
    constexpr int Window = 2880; // the largest MPEG audio frame
    const std::int64_t from = std::max<std::int64_t>(0, firstPacket - Window);
    std::uint8_t buf[Window];
    const std::int64_t keep = avio_tell(pb);
    int got = 0;
    if (avio_seek(pb, from, SEEK_SET) >= 0)
        got = avio_read(pb, buf, int(firstPacket - from));
    avio_seek(pb, keep, SEEK_SET);
    if (got <= 0)
        return -1;
    for (int at = 0; at + 8 <= got; ++at) {
        if (std::memcmp(buf + at, "Xing", 4) != 0 && std::memcmp(buf + at, "Info", 4) != 0)
            continue;
        const std::uint32_t flags = be32(buf + at + 4);
        int pos = at + 8;
        if (!(flags & 1) || pos + 4 > got)
            return -1; // no frame count
        const std::int64_t frames = be32(buf + pos);
        pos += 4;
        if (flags & 2)
            pos += 4;   // byte count
        if (flags & 4)
            pos += 100; // seek table
        if (flags & 8)
            pos += 4;   // quality
        // LAME's extension: 9 bytes of encoder name, ..., delay and padding (12 bits each) at 21.
        if (pos + 24 > got)
            return -1;
        const std::uint8_t* lame = buf + pos;
        const int delay = (lame[21] << 4) | (lame[22] >> 4);
        const int padding = ((lame[22] & 0x0f) << 8) | lame[23];
        const std::int64_t perFrame = rate >= 32000 ? 1152 : 576;
        const std::int64_t samples = frames * perFrame - delay - padding;
        return samples > 0 ? samples : -1;
    }
    return -1;
}

} // namespace

bool FfmpegDecoder::open(const std::string& path)
{
    d_ = std::make_unique<Impl>();
    Impl& d = *d_;
    av_log_set_level(AV_LOG_QUIET);
    d.packet = av_packet_alloc();
    d.frame = av_frame_alloc();
    if (!d.packet || !d.frame)
        return false;

    // The container named by the extension first (no probing: fast), then whatever the
    // content is.
    const AVInputFormat* guess = formatForExtension(path);
    AVDictionary* options = nullptr;
    // The WAV demuxer has its first packets probed for compressed sound labelled as PCM, up to
    // 2500 of them: 7 ms per file, far too slow for a list that opens every file. Probing stops
    // after the first packet this way.
    av_dict_set(&options, "max_probe_packets", "0", 0);
    const int opened = avformat_open_input(&d.format, path.c_str(), guess, &options);
    av_dict_free(&options);
    if (opened < 0) {
        d.format = nullptr;
        if (!guess || avformat_open_input(&d.format, path.c_str(), nullptr, nullptr) < 0) {
            d.format = nullptr;
            return false;
        }
    }
    d.fileSize = d.format->pb ? avio_size(d.format->pb) : 0;
    if (d.fileSize <= 0)
        return false;
    const std::int64_t dataStart = d.format->pb ? avio_tell(d.format->pb) : 0;

    d.stream = av_find_best_stream(d.format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (d.stream < 0 || d.st()->codecpar->sample_rate <= 0
        || d.st()->codecpar->ch_layout.nb_channels <= 0) {
        if (avformat_find_stream_info(d.format, nullptr) < 0)
            return false;
        d.stream = av_find_best_stream(d.format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
        if (d.stream < 0)
            return false;
    }
    AVCodecParameters* par = d.st()->codecpar;
    d.decoder = avcodec_find_decoder(par->codec_id);
    if (!d.decoder || par->sample_rate <= 0 || par->ch_layout.nb_channels <= 0)
        return false;
    d.rate = std::uint32_t(par->sample_rate);
    d.channels = std::uint32_t(par->ch_layout.nb_channels);
    for (unsigned i = 0; i < d.format->nb_streams; ++i)
        if (int(i) != d.stream)
            d.format->streams[i]->discard = AVDISCARD_ALL;

    // Compressed data: the first packet of the stream must be there; it is kept for the
    // decoder. (Uncompressed data needs no such proof, and reading a WAV packet costs a probe
    // of it.) Opening the decoder itself waits for the first read or seek: the file list only
    // wants the length, and a WMA decoder takes longer to set up than all the rest.
    const bool uncompressed = av_get_bits_per_sample(par->codec_id) > 0;
    while (!uncompressed) {
        if (av_read_frame(d.format, d.packet) < 0)
            return false;
        if (d.packet->stream_index == d.stream && d.packet->size > 0) {
            d.havePacket = true;
            break;
        }
        av_packet_unref(d.packet);
    }

    // Length.
    std::int64_t length = -1;
    if (d.st()->duration != AV_NOPTS_VALUE && d.st()->duration > 0) {
        length = d.ptsToFrames(d.st()->duration);
        // The duration of an MP3 counts the encoder delay that the decoder skips at the start
        // (the start time); what is left over is the padding of the last frame, under 26 ms.
        if (d.st()->start_time != AV_NOPTS_VALUE && d.st()->start_time > 0)
            length -= d.ptsToFrames(d.st()->start_time);
        // The Info tag also says how much padding the encoder added at the end; the decoder
        // leaves it out, so the length does too.
        if (par->codec_id == AV_CODEC_ID_MP3 && d.havePacket) {
            const std::int64_t exact = mp3TagLength(d.format->pb, d.packet->pos, d.rate);
            if (exact > 0)
                length = exact;
        }
    }
    else if (d.format->duration != AV_NOPTS_VALUE && d.format->duration > 0)
        length = av_rescale(d.format->duration, d.rate, AV_TIME_BASE);
    else {
        // No duration in the header (an MP3 without its Info tag): from the bit rate, which
        // the first decoded frame gives.
        if (!d.ensureCodec())
            return false;
        const std::int64_t bitRate = d.codec->bit_rate > 0 ? d.codec->bit_rate : par->bit_rate;
        if (bitRate > 0)
            length = av_rescale(d.fileSize - dataStart, std::int64_t(d.rate) * 8, bitRate);
    }
    if (length > 0 && (par->codec_id == AV_CODEC_ID_WMAV1 || par->codec_id == AV_CODEC_ID_WMAV2)) {
        // The container's duration is the file's length, as every player shows it. The WMA
        // decoder gives nothing for its first frame (the codec's overlap), so its PCM ends one
        // frame short of it: the end is filled with silence up to the length (see decodeMore),
        // so that positions, the length and the samples agree. Frame lengths as the codec
        // chooses them from the rate.
        const bool v1 = par->codec_id == AV_CODEC_ID_WMAV1;
        const std::int64_t frameLength = d.rate <= 16000                           ? 512
                                         : d.rate <= 22050 || (v1 && d.rate <= 32000) ? 1024
                                                                                      : 2048;
        d.fillEndTo = length;
        d.fillMax = 2 * frameLength;
    }
    const int bits = av_get_bits_per_sample(par->codec_id);
    if (bits > 0) {
        // Uncompressed data cannot be longer than the file: a header may claim more.
        const std::int64_t frameBytes = std::int64_t(bits / 8) * d.channels;
        const std::int64_t maxFrames = frameBytes > 0 ? (d.fileSize - dataStart) / frameBytes : 0;
        length = length < 0 ? maxFrames : std::min(length, maxFrames);
    }
    if (length < 0 || (uncompressed && length == 0))
        return false;
    d.length = length;
    d.bitRate = par->bit_rate > 0 ? par->bit_rate : 0;
    if (d.bitRate == 0 && length > 0) {
        const std::int64_t first = d.havePacket && d.packet->pos >= 0 ? d.packet->pos : dataStart;
        if (d.fileSize > first)
            d.bitRate = av_rescale(d.fileSize - first, std::int64_t(d.rate) * 8, length);
    }
    return true;
}

std::uint32_t FfmpegDecoder::rate() const { return d_->rate; }
std::uint32_t FfmpegDecoder::channels() const { return d_->channels; }
std::int64_t FfmpegDecoder::lengthFrames() const { return d_->length; }
std::int64_t FfmpegDecoder::fileSize() const { return d_->fileSize; }
std::int64_t FfmpegDecoder::bitRate() const { return d_->bitRate; }
std::int64_t FfmpegDecoder::position() const { return d_->pendingFrame; }
bool FfmpegDecoder::atEnd() const { return d_->ended && d_->pendingPos >= d_->pending.size(); }

std::size_t FfmpegDecoder::read(std::int16_t* out, std::size_t frames)
{
    Impl& d = *d_;
    if (!d.format || !d.ensureCodec())
        return 0;
    std::size_t done = 0;
    while (done < frames) {
        if (d.pendingPos >= d.pending.size()) {
            d.pending.clear();
            d.pendingPos = 0;
            if (!d.decodeMore())
                break;
        }
        const std::size_t avail = (d.pending.size() - d.pendingPos) / d.channels;
        const std::size_t take = std::min(avail, frames - done);
        std::memcpy(out + done * d.channels, d.pending.data() + d.pendingPos,
                    take * d.channels * sizeof(std::int16_t));
        d.pendingPos += take * d.channels;
        d.pendingFrame += std::int64_t(take);
        done += take;
    }
    return done;
}

bool FfmpegDecoder::seek(std::int64_t target)
{
    Impl& d = *d_;
    if (!d.format || !d.ensureCodec())
        return false;
    target = std::max<std::int64_t>(0, std::min(target, d.length));
    // Start a little before the target (the first frame after a jump may be damaged and the
    // demuxer may land late); if it still lands after the target, go further back.
    const std::int64_t margins[] = {std::int64_t(d.rate) / 10, std::int64_t(d.rate) * 2, -1};
    for (std::int64_t margin : margins) {
        const std::int64_t from = margin < 0 ? 0 : std::max<std::int64_t>(0, target - margin);
        std::int64_t ts = av_rescale_q(from + d.startFrames, AVRational{1, int(d.rate)}, d.st()->time_base);
        if (margin < 0 && d.st()->start_time != AV_NOPTS_VALUE)
            ts = d.st()->start_time;
        if (av_seek_frame(d.format, d.stream, ts, AVSEEK_FLAG_BACKWARD) < 0) {
            if (margin >= 0)
                continue;
            // Last resort: back to the first byte of the data.
            if (avformat_seek_file(d.format, d.stream, INT64_MIN, 0, 0, 0) < 0)
                return false;
        }
        avcodec_flush_buffers(d.codec);
        d.resetBuffers();
        d.discardBefore = target;
        d.pendingFrame = target;
        if (!d.decodeMore()) {
            // Nothing after the target: the data ends there.
            d.pendingFrame = target;
            return true;
        }
        // decodeMore() took the first frame's timestamp; it must not lie after the target.
        if (d.pendingFrame <= target || margin < 0) {
            d.pendingFrame = std::max(d.pendingFrame, target);
            return true;
        }
    }
    return false;
}

} // namespace codecs
