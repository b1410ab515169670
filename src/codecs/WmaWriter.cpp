#include "codecs/WmaWriter.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include "audio/FfmpegPath.h"
#include "recording/AdapterMessage.h"
#include "recording/SystemFileWriter.h"

namespace codecs {

namespace {

const QString Caption = QStringLiteral("WMA Audio SDK");
constexpr int IoBufferSize = 32768;

// The container writes through the FileWriter, so that a failing disk (or a test's failing
// writer) shows up as a failed packet write. The first bytes (the ASF header) are kept so that
// the places of its counts can be found for the patches during the recording.
struct IoTarget {
    recording::FileWriter* file = nullptr;
    bool keepHead = true;
    QByteArray head;
};

int writePacket(void* opaque, std::uint8_t* buf, int size)
{
    auto* target = static_cast<IoTarget*>(opaque);
    if (target->keepHead && target->file->position() == target->head.size())
        target->head.append(reinterpret_cast<const char*>(buf), size);
    const std::int64_t written = target->file->write(reinterpret_cast<const char*>(buf), size);
    return written == size ? size : AVERROR(EIO);
}

std::int64_t seekFile(void* opaque, std::int64_t offset, int whence)
{
    recording::FileWriter* file = static_cast<IoTarget*>(opaque)->file;
    switch (whence & ~AVSEEK_FORCE) {
    case SEEK_SET: break;
    case SEEK_CUR: offset += file->position(); break;
    default: return AVERROR(ENOSYS); // SEEK_END and AVSEEK_SIZE: the container needs neither
    }
    return file->seek(offset) ? offset : AVERROR(EIO);
}

std::uint64_t le64(const QByteArray& b, int at)
{
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | std::uint8_t(b.at(at + i));
    return v;
}

void put64(char* at, std::uint64_t v)
{
    for (int i = 0; i < 8; ++i)
        at[i] = char((v >> (8 * i)) & 0xff);
}

const char HeaderGuid[16] = {'\x30', '\x26', '\xB2', '\x75', '\x8E', '\x66', '\xCF', '\x11',
                             '\xA6', '\xD9', '\x00', '\xAA', '\x00', '\x62', '\xCE', '\x6C'};
const char FilePropertiesGuid[16] = {'\xA1', '\xDC', '\xAB', '\x8C', '\x47', '\xA9',
                                     '\xCF', '\x11', '\x8E', '\xE4', '\x00', '\xC0',
                                     '\x0C', '\x20', '\x53', '\x65'};
const char DataGuid[16] = {'\x36', '\x26', '\xB2', '\x75', '\x8E', '\x66', '\xCF', '\x11',
                           '\xA6', '\xD9', '\x00', '\xAA', '\x00', '\x62', '\xCE', '\x6C'};

// Where the counts of an ASF file lie, found in the header the container wrote. The container
// fills them only when the file is finished; a killed recording, or one whose disk filled,
// would keep zeros there (players then stop after the preroll). The writer patches them after
// every packet it writes, so the header always describes the complete packets in the file.
struct AsfCounts {
    std::int64_t fileProperties = -1; // offset of the file properties object
    std::int64_t data = -1;           // offset of the data object
    std::int64_t packetSize = 0;
    std::uint64_t prerollMs = 0;

    std::int64_t firstPacket() const { return data + 50; }

    bool find(const QByteArray& head)
    {
        if (head.size() < 30 || std::memcmp(head.constData(), HeaderGuid, 16) != 0)
            return false;
        const std::uint64_t headerSize = le64(head, 16);
        if (headerSize < 30 || headerSize + 50 > std::uint64_t(head.size()))
            return false;
        for (std::int64_t at = 30; at + 24 <= std::int64_t(headerSize);) {
            const std::uint64_t size = le64(head, int(at) + 16);
            if (size < 24 || at + std::int64_t(size) > std::int64_t(headerSize))
                return false;
            if (std::memcmp(head.constData() + at, FilePropertiesGuid, 16) == 0 && size >= 104) {
                fileProperties = at;
                prerollMs = le64(head, int(at) + 80);
                packetSize = std::int64_t(le64(head, int(at) + 92) & 0xffffffffu);
            }
            at += std::int64_t(size);
        }
        data = std::int64_t(headerSize);
        return fileProperties > 0 && packetSize > 0 &&
            std::memcmp(head.constData() + data, DataGuid, 16) == 0;
    }

    // Writes the counts of a file whose packets end at `end` and whose complete packets hold
    // `durationMs` of audio; the file position is left at `end`.
    bool patch(recording::FileWriter& file, std::int64_t end, std::uint64_t durationMs) const
    {
        const std::uint64_t packets = std::uint64_t((end - firstPacket()) / packetSize);
        char fields[40];
        put64(fields, std::uint64_t(end));                    // file size
        put64(fields + 8, packets);                           // data packets
        put64(fields + 16, (durationMs + prerollMs) * 10000); // play duration
        put64(fields + 24, durationMs * 10000);               // send duration
        char dataFields[8];
        put64(dataFields, std::uint64_t(end - data)); // data object size
        char dataPackets[8];
        put64(dataPackets, packets);
        const bool ok = file.seek(fileProperties + 40) && file.write(fields, 8) == 8 &&
            file.seek(fileProperties + 56) && file.write(fields + 8, 24) == 24 &&
            file.seek(data + 16) && file.write(dataFields, 8) == 8 && file.seek(data + 40) &&
            file.write(dataPackets, 8) == 8;
        return file.seek(end) && ok;
    }
};

// Room for one encoded frame and the packet's and its payload's headers.
int packetSizeFor(int frameBytes)
{
    constexpr int Headers = 64;
    constexpr int Usual = 3200; // the container's own choice
    return frameBytes > 0 ? std::clamp(frameBytes + Headers, 100, Usual) : Usual;
}

} // namespace

struct WmaWriter::Writer {
    AVFormatContext* format = nullptr;
    AVIOContext* io = nullptr;
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
    SwrContext* swr = nullptr;
    AVAudioFifo* fifo = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    bool headerWritten = false;
    IoTarget target;
    AsfCounts counts;
    bool countsFound = false;
    std::int64_t goodEnd = 0;         // file end after the last complete packet that reached it
    std::int64_t completeSamples = 0; // audio (at 44100 Hz, from the lead-in) in those packets
    std::int64_t patchedSamples = 0;  // completeSamples at the last sync
    int inChannels = 0;
    std::int64_t pts = 0;
    std::vector<float> converted[2]; // one block after resampling, per output channel

    ~Writer()
    {
        av_packet_free(&packet);
        av_frame_free(&frame);
        if (fifo)
            av_audio_fifo_free(fifo);
        swr_free(&swr);
        avcodec_free_context(&codec);
        if (format)
            avformat_free_context(format);
        if (io) {
            av_freep(&io->buffer);
            avio_context_free(&io);
        }
    }

    // Moves samples of both output channels into the FIFO.
    bool queue(int samples)
    {
        if (samples <= 0)
            return true;
        void* planes[2] = {converted[0].data(), converted[1].data()};
        return av_audio_fifo_write(fifo, planes, samples) == samples;
    }

    // Sends one frame (or null: end of stream) and writes every packet the encoder has ready.
    bool encode(AVFrame* input)
    {
        int ret = avcodec_send_frame(codec, input);
        if (ret < 0)
            return false;
        for (;;) {
            ret = avcodec_receive_packet(codec, packet);
            if (ret == AVERROR(EAGAIN) || ret == AVERROR_EOF)
                return true;
            if (ret < 0)
                return false;
            const std::int64_t start = packet->pts; // in samples
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            ret = av_interleaved_write_frame(format, packet);
            if (ret < 0 || io->error < 0)
                return false;
            if (countsFound && !track(start))
                return false;
        }
    }

    // After each packet: the container's complete ASF packets go to the file at once and the
    // header's counts follow them (a few small writes per packet of about a quarter second);
    // once a second of audio the file is handed to the disk.
    bool track(std::int64_t packetStart)
    {
        avio_flush(io);
        if (io->error < 0)
            return false;
        const std::int64_t end = target.file->position();
        if (end <= goodEnd)
            return true;
        // A packet went out while this one was added: every earlier one is complete in it.
        goodEnd = end;
        completeSamples = std::max(completeSamples, packetStart);
        if (!counts.patch(*target.file, goodEnd, durationMs()))
            return false;
        if (completeSamples - patchedSamples >= OutputRate) {
            patchedSamples = completeSamples;
            target.file->sync(); // best effort, as the WAV writer
        }
        return true;
    }

    std::uint64_t durationMs() const { return std::uint64_t(completeSamples) * 1000 / OutputRate; }

    // After a failed write: the file is cut after its last complete packet and the counts say
    // what it holds, so the recording plays up to there.
    void repair()
    {
        if (!countsFound || goodEnd <= counts.firstPacket())
            return;
        target.file->resize(goodEnd);
        counts.patch(*target.file, goodEnd, durationMs());
    }

    // Encodes every whole frame in the FIFO.
    bool drain()
    {
        const int frameSize = codec->frame_size;
        while (av_audio_fifo_size(fifo) >= frameSize) {
            if (av_frame_make_writable(frame) < 0)
                return false;
            if (av_audio_fifo_read(fifo, reinterpret_cast<void**>(frame->data), frameSize) !=
                frameSize)
                return false;
            frame->pts = pts;
            pts += frameSize;
            if (!encode(frame))
                return false;
        }
        return true;
    }

    // Silence up to the next whole frame plus `frames` whole frames more.
    bool padWithSilence(int frames)
    {
        const int frameSize = codec->frame_size;
        const int partial = av_audio_fifo_size(fifo) % frameSize;
        const int samples = (partial ? frameSize - partial : 0) + frames * frameSize;
        for (auto& plane : converted)
            plane.assign(static_cast<std::size_t>(std::max(samples, 1)), 0.0f);
        return queue(samples) && drain();
    }
};

WmaWriter::WmaWriter(platform::MessageSink& messages, std::unique_ptr<recording::FileWriter> file)
    : messages_(messages),
      file_(file ? std::move(file) : std::make_unique<recording::SystemFileWriter>())
{
    // The encoder and the container take the place of the writer library and its entry
    // point; a build of FFmpeg without them gets the messages that name those.
    if (!avcodec_find_encoder(AV_CODEC_ID_WMAV2))
        report("Could not load wmaudsdk.dll file");
    else if (!av_guess_format("asf", nullptr, nullptr))
        report("Could not found WMAudioCreateWriter library function");
    else
        available_ = true;
}

WmaWriter::~WmaWriter()
{
    if (writer_)
        close();
}

void WmaWriter::report(const char* text)
{
    recording::showAdapterMessage(messages_, Caption, text);
}

void WmaWriter::release(bool removeFile)
{
    writer_.reset();
    file_->close();
    if (removeFile)
        file_->remove(path_);
}

int WmaWriter::initialise(const QString& path, int sampleRate, int channels, int bitrate)
{
    if (!available_ || writer_)
        return -1;
    // The encoder's and the container's contexts and buffers come to about half a megabyte,
    // given back at the end of the take. Made on the caller's thread (the window's) they would
    // come from its heap, and the small allocations that last (the list's row of the new file,
    // what is known of it) would settle in the holes they leave: the next take's contexts
    // would no longer fit there, and the heap would grow by about as much with every take kept
    // in the folder. Made on a thread of their own they come from another of the allocator's
    // arenas (glibc gives threads their own), which the next take's setting up uses again.
    // Whatever fails is said on the caller's thread, in its order.
    int chunk = -1;
    const char* failure = nullptr;
    std::thread setUp([&] { chunk = setUpWriter(path, sampleRate, channels, bitrate, failure); });
    setUp.join();
    if (failure)
        report(failure);
    return chunk;
}

int WmaWriter::setUpWriter(const QString& path, int sampleRate, int channels, int bitrate,
                           const char*& failure)
{
    // Create the writer: the container on a file of our own.
    auto w = std::make_unique<Writer>();
    path_ = path;
    const QByteArray name = audio::ffmpegPath(path);
    bool ok = avformat_alloc_output_context2(&w->format, nullptr, "asf", name.constData()) >= 0 &&
        file_->open(path);
    if (ok) {
        auto* buffer = static_cast<unsigned char*>(av_malloc(IoBufferSize));
        w->target.file = file_.get();
        w->io = buffer ? avio_alloc_context(buffer, IoBufferSize, 1, &w->target, nullptr,
                                            writePacket, seekFile)
                       : nullptr;
        if (!w->io)
            av_free(buffer);
        ok = w->io != nullptr;
    }
    if (!ok) {
        writer_ = std::move(w);
        release(file_->isOpen());
        failure = "Failed to Create Audio Writer";
        return -1;
    }
    w->io->seekable = AVIO_SEEKABLE_NORMAL;
    w->format->pb = w->io;
    w->format->flags |= AVFMT_FLAG_CUSTOM_IO;
    writer_ = std::move(w);
    Writer& wr = *writer_;

    // Input format: 16-bit PCM at the recording's rate and channels, converted to the
    // encoder's planar float at 44100 Hz stereo. Mono goes to both sides at full level.
    AVChannelLayout inLayout;
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    ok = (channels == 1 || channels == 2) && sampleRate > 0 && sampleRate <= 384000;
    if (ok) {
        av_channel_layout_default(&inLayout, channels);
        ok = swr_alloc_set_opts2(&wr.swr, &stereo, AV_SAMPLE_FMT_FLTP, OutputRate, &inLayout,
                                 AV_SAMPLE_FMT_S16, sampleRate, 0, nullptr) >= 0;
        av_channel_layout_uninit(&inLayout);
    }
    if (ok && channels == 1) {
        const double matrix[2] = {1.0, 1.0};
        ok = swr_set_matrix(wr.swr, matrix, 1) >= 0;
    }
    ok = ok && swr_init(wr.swr) >= 0;
    if (!ok) {
        release(true);
        failure = "Failed to Set Input Format";
        return -1;
    }
    wr.inChannels = channels;

    // Output format: WMA 2 at the bit rate, 44100 Hz stereo.
    const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_WMAV2);
    wr.codec = avcodec_alloc_context3(encoder);
    ok = wr.codec != nullptr && bitrate > 0;
    if (ok) {
        wr.codec->bit_rate = bitrate;
        wr.codec->sample_rate = OutputRate;
        wr.codec->sample_fmt = AV_SAMPLE_FMT_FLTP;
        av_channel_layout_copy(&wr.codec->ch_layout, &stereo);
        wr.codec->time_base = AVRational{1, OutputRate};
        if (wr.format->oformat->flags & AVFMT_GLOBALHEADER)
            wr.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        ok = avcodec_open2(wr.codec, encoder, nullptr) >= 0 && wr.codec->frame_size > 0;
    }
    if (ok) {
        wr.stream = avformat_new_stream(wr.format, nullptr);
        ok = wr.stream != nullptr &&
            avcodec_parameters_from_context(wr.stream->codecpar, wr.codec) >= 0;
    }
    if (ok) {
        wr.stream->time_base = wr.codec->time_base;
        // A container packet sized to one encoded frame goes to the file as soon as the frame
        // is there; the container's usual 3200 bytes would hold a quarter second and more of
        // audio back at the start of a recording (and lose as much when it is cut short).
        AVDictionary* options = nullptr;
        av_dict_set_int(&options, "packet_size", packetSizeFor(wr.codec->block_align), 0);
        ok = avformat_write_header(wr.format, &options) >= 0 && wr.io->error >= 0;
        av_dict_free(&options);
        wr.headerWritten = ok;
        if (ok) {
            avio_flush(wr.io);
            ok = wr.io->error >= 0;
            wr.countsFound = ok && wr.counts.find(wr.target.head);
            wr.target.keepHead = false;
            wr.target.head.clear();
            wr.goodEnd = file_->position();
        }
    }
    if (ok) {
        wr.fifo = av_audio_fifo_alloc(AV_SAMPLE_FMT_FLTP, 2, wr.codec->frame_size * 4);
        wr.frame = av_frame_alloc();
        wr.packet = av_packet_alloc();
        ok = wr.fifo && wr.frame && wr.packet;
    }
    if (ok) {
        wr.frame->nb_samples = wr.codec->frame_size;
        wr.frame->format = AV_SAMPLE_FMT_FLTP;
        wr.frame->sample_rate = OutputRate;
        ok = av_channel_layout_copy(&wr.frame->ch_layout, &stereo) >= 0 &&
            av_frame_get_buffer(wr.frame, 0) >= 0;
    }
    // The decoder drops the first frame it decodes: lead in with one frame of silence so the
    // recording starts at time 0.
    ok = ok && wr.padWithSilence(1);
    if (!ok) {
        release(true);
        failure = "Failed to Set Output Format";
        return -1;
    }

    chunkSize_ = ChunkSize;
    bytesPerSecond_ = std::int64_t(sampleRate) * channels * 2;
    sinceCheck_ = 0;
    return chunkSize_;
}

bool WmaWriter::write(const char* data, std::int64_t bytes)
{
    if (!writer_ || bytes < 0)
        return false;
    if (bytes == 0)
        return true;
    Writer& wr = *writer_;
    const std::int64_t frameBytes = 2 * wr.inChannels;
    if (bytes % frameBytes != 0)
        return false;

    // Convert in slices, so that a block of any size needs only a bounded buffer.
    constexpr int SliceFrames = 8192;
    std::int64_t frames = bytes / frameBytes;
    const auto* in = reinterpret_cast<const std::uint8_t*>(data);
    while (frames > 0) {
        const int slice = static_cast<int>(std::min<std::int64_t>(frames, SliceFrames));
        const int room = swr_get_out_samples(wr.swr, slice);
        if (room < 0)
            return false;
        for (auto& plane : wr.converted)
            plane.resize(static_cast<std::size_t>(std::max(room, 1)));
        std::uint8_t* out[2] = {reinterpret_cast<std::uint8_t*>(wr.converted[0].data()),
                                reinterpret_cast<std::uint8_t*>(wr.converted[1].data())};
        const std::uint8_t* inPlanes[1] = {in};
        const int produced = swr_convert(wr.swr, out, room, inPlanes, slice);
        if (produced < 0 || !wr.queue(produced) || !wr.drain())
            return false;
        in += slice * frameBytes;
        frames -= slice;
    }
    sinceCheck_ += bytes;
    if (sinceCheck_ >= bytesPerSecond_) {
        sinceCheck_ = 0;
        return keepNamed(*file_);
    }
    return true;
}

bool WmaWriter::close()
{
    if (!writer_)
        return true;
    Writer& wr = *writer_;
    bool ok = true;

    // What the resampler still holds, then the last partial frame padded with silence and one
    // frame of silence after it (the decoder's delay), then the encoder's own tail.
    const int room = swr_get_out_samples(wr.swr, 0);
    if (room > 0) {
        for (auto& plane : wr.converted)
            plane.resize(static_cast<std::size_t>(room));
        std::uint8_t* out[2] = {reinterpret_cast<std::uint8_t*>(wr.converted[0].data()),
                                reinterpret_cast<std::uint8_t*>(wr.converted[1].data())};
        const int produced = swr_convert(wr.swr, out, room, nullptr, 0);
        ok = produced >= 0 && wr.queue(produced);
    }
    ok = ok && wr.drain() && wr.padWithSilence(1) && wr.encode(nullptr);
    if (wr.headerWritten)
        ok = av_write_trailer(wr.format) >= 0 && ok;
    avio_flush(wr.io);
    ok = ok && wr.io->error >= 0;
    if (!ok) // the container skips its own counts after a failed write
        wr.repair();
    writer_.reset();
    ok = file_->close() && ok;
    return ok;
}

int WmaWriter::open(const QString& path, const recording::RecordFormat& format)
{
    return initialise(path, format.sampleRate, format.channels, format.wmaBitrate * 1000);
}

} // namespace codecs
