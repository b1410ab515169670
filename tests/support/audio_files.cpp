#include "support/audio_files.h"

#include "audio/FfmpegPath.h"

#include <QFile>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include <cstring>

namespace testsupport {

namespace {
void put16(QByteArray& b, unsigned v)
{
    b.append(char(v & 0xFF));
    b.append(char((v >> 8) & 0xFF));
}
void put32(QByteArray& b, unsigned long long v)
{
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
}
} // namespace

QByteArray wavBytes(const QByteArray& data, unsigned rate, unsigned channels, unsigned bits,
                    long long dataSizeField)
{
    const unsigned long long size = dataSizeField < 0 ? unsigned(data.size()) : (unsigned long long)dataSizeField;
    QByteArray b;
    b.append("RIFF");
    put32(b, 36 + size);
    b.append("WAVE");
    b.append("fmt ");
    put32(b, 16);
    put16(b, 1);
    put16(b, channels);
    put32(b, rate);
    put32(b, (unsigned long long)rate * channels * bits / 8);
    put16(b, channels * bits / 8);
    put16(b, bits);
    b.append("data");
    put32(b, size);
    b.append(data);
    return b;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

bool writeWav(const QString& path, const Pcm& samples, unsigned rate, unsigned channels)
{
    QByteArray data(reinterpret_cast<const char*>(samples.data()), int(samples.size() * 2));
    return writeFile(path, wavBytes(data, rate, channels, 16));
}

bool writeWav8(const QString& path, const Pcm& samples, unsigned rate, unsigned channels)
{
    QByteArray data;
    data.reserve(int(samples.size()));
    for (std::int16_t s : samples)
        data.append(char((s >> 8) + 128));
    return writeFile(path, wavBytes(data, rate, channels, 8));
}

bool encodeFile(const QString& path, const char* kind, const Pcm& samples, unsigned rate,
                unsigned channels, int bitRate)
{
    const bool mp3 = std::strcmp(kind, "mp3") == 0;
    const AVCodec* codec = mp3 ? avcodec_find_encoder_by_name("libmp3lame")
                               : avcodec_find_encoder(AV_CODEC_ID_WMAV2);
    if (!codec)
        return false;
    const QByteArray file = audio::ffmpegPath(path);
    AVFormatContext* fmt = nullptr;
    if (avformat_alloc_output_context2(&fmt, nullptr, mp3 ? "mp3" : "asf", file.constData()) < 0)
        return false;
    AVStream* st = avformat_new_stream(fmt, nullptr);
    AVCodecContext* ctx = avcodec_alloc_context3(codec);
    ctx->sample_rate = int(rate);
    av_channel_layout_default(&ctx->ch_layout, int(channels));
    ctx->sample_fmt = mp3 ? AV_SAMPLE_FMT_S16P : AV_SAMPLE_FMT_FLTP;
    ctx->bit_rate = bitRate;
    ctx->time_base = AVRational{1, int(rate)};
    if (fmt->oformat->flags & AVFMT_GLOBALHEADER)
        ctx->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    bool ok = avcodec_open2(ctx, codec, nullptr) >= 0
              && avcodec_parameters_from_context(st->codecpar, ctx) >= 0
              && avio_open(&fmt->pb, file.constData(), AVIO_FLAG_WRITE) >= 0;
    st->time_base = ctx->time_base;
    if (ok)
        ok = avformat_write_header(fmt, nullptr) >= 0;

    SwrContext* swr = nullptr;
    AVChannelLayout layout;
    av_channel_layout_default(&layout, int(channels));
    if (ok)
        ok = swr_alloc_set_opts2(&swr, &layout, ctx->sample_fmt, int(rate), &layout, AV_SAMPLE_FMT_S16,
                                 int(rate), 0, nullptr) >= 0 && swr_init(swr) >= 0;
    AVFrame* frame = av_frame_alloc();
    AVPacket* pkt = av_packet_alloc();
    const int frameSize = ctx->frame_size > 0 ? ctx->frame_size : 1152;
    // The WMA decoder gives nothing for the first frame: lead in with one frame of silence,
    // as the program's own WMA writer does, so the decoded sound starts with the signal.
    Pcm lead;
    if (!mp3) {
        lead.assign(std::size_t(frameSize) * channels, 0);
        lead.insert(lead.end(), samples.begin(), samples.end());
    }
    const Pcm& input = mp3 ? samples : lead;
    const std::size_t total = input.size() / channels;
    std::int64_t pts = 0;
    auto drain = [&]() {
        while (avcodec_receive_packet(ctx, pkt) == 0) {
            av_packet_rescale_ts(pkt, ctx->time_base, st->time_base);
            pkt->stream_index = st->index;
            av_interleaved_write_frame(fmt, pkt);
        }
    };
    for (std::size_t at = 0; ok && at < total; at += std::size_t(frameSize)) {
        const int n = int(std::min<std::size_t>(std::size_t(frameSize), total - at));
        frame->nb_samples = frameSize; // the last frame is padded with silence
        frame->format = ctx->sample_fmt;
        frame->sample_rate = int(rate);
        av_channel_layout_copy(&frame->ch_layout, &ctx->ch_layout);
        if (av_frame_get_buffer(frame, 0) < 0) {
            ok = false;
            break;
        }
        for (int p = 0; p < frame->ch_layout.nb_channels && av_sample_fmt_is_planar(ctx->sample_fmt); ++p)
            std::memset(frame->extended_data[p], 0, std::size_t(frameSize) * av_get_bytes_per_sample(ctx->sample_fmt));
        const uint8_t* in[1] = {reinterpret_cast<const uint8_t*>(input.data() + at * channels)};
        swr_convert(swr, frame->extended_data, n, in, n);
        if (n < frameSize && !mp3)
            frame->nb_samples = frameSize;
        else
            frame->nb_samples = n;
        frame->pts = pts;
        pts += frame->nb_samples;
        ok = avcodec_send_frame(ctx, frame) >= 0;
        av_frame_unref(frame);
        drain();
    }
    if (ok) {
        avcodec_send_frame(ctx, nullptr);
        drain();
        ok = av_write_trailer(fmt) >= 0;
    }
    av_channel_layout_uninit(&layout);
    av_frame_free(&frame);
    av_packet_free(&pkt);
    swr_free(&swr);
    avcodec_free_context(&ctx);
    if (fmt->pb)
        avio_closep(&fmt->pb);
    avformat_free_context(fmt);
    return ok;
}

} // namespace testsupport
