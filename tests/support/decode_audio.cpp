#include "support/decode_audio.h"

#include "audio/FfmpegPath.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
#include <libswresample/swresample.h>
}
#include <fftw3.h>

#include <cmath>
#include <memory>

namespace testsupport {

std::vector<float> DecodedAudio::channel(int index, std::int64_t from, std::int64_t to) const
{
    std::vector<float> out;
    if (index < 0 || index >= channels)
        return out;
    if (to < 0 || to > frames())
        to = frames();
    for (std::int64_t f = std::max<std::int64_t>(from, 0); f < to; ++f)
        out.push_back(samples[std::size_t(f * channels + index)]);
    return out;
}

namespace {

struct Resources {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    SwrContext* swr = nullptr;
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    ~Resources()
    {
        av_frame_free(&frame);
        av_packet_free(&packet);
        swr_free(&swr);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
    }
};

QString errorText(const char* what, int code)
{
    char buf[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, buf, sizeof buf);
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QLatin1String(buf));
}

bool convertFrame(Resources& r, DecodedAudio& out)
{
    AVFrame* f = r.frame;
    const int room = swr_get_out_samples(r.swr, f->nb_samples);
    std::vector<float> buffer(std::size_t(std::max(room, 1)) * out.channels);
    auto* dst = reinterpret_cast<std::uint8_t*>(buffer.data());
    const int got = swr_convert(r.swr, &dst, room, const_cast<const std::uint8_t**>(f->extended_data),
                                f->nb_samples);
    if (got < 0)
        return false;
    out.samples.insert(out.samples.end(), buffer.begin(), buffer.begin() + std::size_t(got) * out.channels);
    return true;
}

bool receiveAll(Resources& r, DecodedAudio& out)
{
    for (;;) {
        const int ret = avcodec_receive_frame(r.codec, r.frame);
        if (ret == AVERROR(EAGAIN) || ret == AVERROR_EOF)
            return true;
        if (ret < 0) {
            out.error = errorText("receive frame", ret);
            return false;
        }
        if (!convertFrame(r, out)) {
            out.error = QStringLiteral("conversion failed");
            return false;
        }
    }
}

} // namespace

DecodedAudio decodeAudio(const QString& path)
{
    av_log_set_level(AV_LOG_ERROR); // keep the demuxers' notes out of the test output
    DecodedAudio out;
    Resources r;
    const QByteArray name = audio::ffmpegPath(path);
    int ret = avformat_open_input(&r.format, name.constData(), nullptr, nullptr);
    if (ret < 0) {
        out.error = errorText("open", ret);
        return out;
    }
    if ((ret = avformat_find_stream_info(r.format, nullptr)) < 0) {
        out.error = errorText("stream info", ret);
        return out;
    }
    const AVCodec* decoder = nullptr;
    const int index = av_find_best_stream(r.format, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (index < 0 || !decoder) {
        out.error = QStringLiteral("no audio stream");
        return out;
    }
    AVStream* stream = r.format->streams[index];
    r.codec = avcodec_alloc_context3(decoder);
    if (avcodec_parameters_to_context(r.codec, stream->codecpar) < 0
        || avcodec_open2(r.codec, decoder, nullptr) < 0) {
        out.error = QStringLiteral("decoder does not open");
        return out;
    }
    out.codec = QString::fromLatin1(avcodec_get_name(stream->codecpar->codec_id));
    out.container = QString::fromLatin1(r.format->iformat->name);
    out.sampleRate = r.codec->sample_rate;
    out.channels = r.codec->ch_layout.nb_channels;
    out.bitRate = stream->codecpar->bit_rate ? stream->codecpar->bit_rate : r.format->bit_rate;
    if (r.format->duration != AV_NOPTS_VALUE && r.format->duration > 0)
        out.containerDuration = double(r.format->duration) / AV_TIME_BASE;

    if (swr_alloc_set_opts2(&r.swr, &r.codec->ch_layout, AV_SAMPLE_FMT_FLT, out.sampleRate,
                            &r.codec->ch_layout, r.codec->sample_fmt, out.sampleRate, 0, nullptr) < 0
        || swr_init(r.swr) < 0) {
        out.error = QStringLiteral("no converter");
        return out;
    }

    while ((ret = av_read_frame(r.format, r.packet)) >= 0) {
        if (r.packet->stream_index == index) {
            ret = avcodec_send_packet(r.codec, r.packet);
            av_packet_unref(r.packet);
            if (ret < 0 && ret != AVERROR_INVALIDDATA) {
                out.error = errorText("send packet", ret);
                return out;
            }
            if (!receiveAll(r, out))
                return out;
        } else {
            av_packet_unref(r.packet);
        }
    }
    avcodec_send_packet(r.codec, nullptr);
    if (!receiveAll(r, out))
        return out;
    out.ok = true;
    return out;
}

std::vector<std::int16_t> sinePcm(int sampleRate, std::int64_t frames,
                                  const std::vector<double>& frequencies, double amplitude)
{
    const std::size_t channels = frequencies.size();
    std::vector<std::int16_t> pcm(std::size_t(frames) * channels);
    for (std::int64_t f = 0; f < frames; ++f) {
        for (std::size_t c = 0; c < channels; ++c) {
            const double v = amplitude * std::sin(2.0 * M_PI * frequencies[c] * double(f) / sampleRate);
            pcm[std::size_t(f) * channels + c] = std::int16_t(std::lround(v * 32767.0));
        }
    }
    return pcm;
}

double dominantFrequency(const std::vector<float>& signal, int sampleRate)
{
    const int n = int(signal.size());
    if (n < 4 || sampleRate <= 0)
        return 0.0;
    std::unique_ptr<float, decltype(&fftwf_free)> in(fftwf_alloc_real(std::size_t(n)), fftwf_free);
    std::unique_ptr<fftwf_complex, decltype(&fftwf_free)> spectrum(
        fftwf_alloc_complex(std::size_t(n / 2 + 1)), fftwf_free);
    for (int i = 0; i < n; ++i)
        in.get()[i] = signal[std::size_t(i)] * float(0.5 - 0.5 * std::cos(2.0 * M_PI * i / (n - 1)));
    fftwf_plan plan = fftwf_plan_dft_r2c_1d(n, in.get(), spectrum.get(), FFTW_ESTIMATE);
    fftwf_execute(plan);
    fftwf_destroy_plan(plan);

    std::vector<double> magnitude(std::size_t(n / 2 + 1));
    for (std::size_t k = 0; k < magnitude.size(); ++k)
        magnitude[k] = std::hypot(spectrum.get()[k][0], spectrum.get()[k][1]);
    std::size_t peak = 1;
    for (std::size_t k = 1; k < magnitude.size(); ++k) {
        if (magnitude[k] > magnitude[peak])
            peak = k;
    }
    double offset = 0.0;
    if (peak > 0 && peak + 1 < magnitude.size()) {
        const double a = std::log(magnitude[peak - 1] + 1e-12);
        const double b = std::log(magnitude[peak] + 1e-12);
        const double c = std::log(magnitude[peak + 1] + 1e-12);
        const double d = a - 2 * b + c;
        if (d != 0.0)
            offset = 0.5 * (a - c) / d;
    }
    return (double(peak) + offset) * sampleRate / n;
}

std::pair<std::int64_t, std::int64_t> soundSpan(const DecodedAudio& audio, float threshold)
{
    std::int64_t first = -1;
    std::int64_t last = -1;
    for (std::int64_t f = 0; f < audio.frames(); ++f) {
        for (int c = 0; c < audio.channels; ++c) {
            if (std::fabs(audio.samples[std::size_t(f * audio.channels + c)]) >= threshold) {
                if (first < 0)
                    first = f;
                last = f;
            }
        }
    }
    return {first, last < 0 ? -1 : last + 1};
}

double rms(const std::vector<float>& signal)
{
    if (signal.empty())
        return 0.0;
    double sum = 0.0;
    for (float v : signal)
        sum += double(v) * v;
    return std::sqrt(sum / double(signal.size()));
}

} // namespace testsupport
