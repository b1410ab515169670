// An interrupted WMA recording stays playable: the writer keeps the ASF header's counts (file
// size, packets, duration) up to the last complete packet in the file, and after a failed write (a
// full disk) it cuts the file after its last complete packet and writes the counts itself.
// The kill test runs itself again as a child that records 10 s and waits to be killed.
// ctest-label: unit
// ctest-link: vexa_audio
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <iostream>

#include "audio/Decoder.h"
#include "codecs/WmaWriter.h"
#include "recording/RecordFormat.h"
#include "support/RecordingMessageSink.h"
#include "support/child_process.h"
#include "support/decode_audio.h"
#include "wav_failing_file.h"

namespace {

constexpr char ChildPathVariable[] = "VEXA_WMA_CHILD_PATH";
constexpr int Rate = 44100;
constexpr int Channels = 2;
constexpr double Captured = 10.0;

recording::RecordFormat wmaFormat()
{
    recording::RecordFormat format;
    format.format = recording::RecordFormat::Wma;
    format.sampleRate = Rate;
    format.channels = Channels;
    format.wmaBitrate = 96;
    return format;
}

std::vector<std::int16_t> signal()
{
    return testsupport::sinePcm(Rate, std::int64_t(Captured * Rate), {440.0, 660.0});
}

// Feeds the signal in the writer's chunks; false at the first failed write.
bool feed(codecs::WmaWriter& writer, const std::vector<std::int16_t>& pcm, int chunk)
{
    const auto* bytes = reinterpret_cast<const char*>(pcm.data());
    const std::int64_t total = std::int64_t(pcm.size()) * 2;
    for (std::int64_t done = 0; done + chunk <= total; done += chunk)
        if (!writer.write(bytes + done, chunk))
            return false;
    return true;
}

struct ReadBack {
    double ffprobeSeconds = -1;
    double ffmpegSeconds = -1;
    double engineLengthSeconds = -1;
    double engineDecodedSeconds = -1;
};

ReadBack readBack(const QString& path)
{
    ReadBack r;
    QByteArray probed;
    if (testsupport::runProgram("ffprobe", {"-v", "error", "-show_entries", "format=duration", "-of", "csv=p=0", path}, &probed))
        r.ffprobeSeconds = probed.trimmed().toDouble();
    const testsupport::DecodedAudio d = testsupport::decodeAudio(path);
    if (d.ok)
        r.ffmpegSeconds = d.duration();
    audio::Decoder dec;
    if (dec.open(QFile::encodeName(path).toStdString())) {
        r.engineLengthSeconds = double(dec.lengthFrames()) / dec.rate();
        std::vector<std::int16_t> buf(4096 * dec.channels());
        std::int64_t frames = 0;
        for (std::size_t n; (n = dec.read(buf.data(), 4096)) > 0;)
            frames += std::int64_t(n);
        r.engineDecodedSeconds = double(frames) / dec.rate();
    }
    return r;
}

void report(const char* what, const ReadBack& r, double captured)
{
    std::cout << what << ": captured " << captured << " s; ffprobe " << r.ffprobeSeconds
              << " s, FFmpeg decodes " << r.ffmpegSeconds << " s, engine length "
              << r.engineLengthSeconds << " s, engine decodes " << r.engineDecodedSeconds << " s\n";
}

// In the child: record 10 s, say so, and wait to be killed (never closing).
TEST(WmaInterrupted, ChildRecords)
{
    const QString path = qEnvironmentVariable(ChildPathVariable);
    if (path.isEmpty())
        GTEST_SKIP() << "runs only as the child of KilledRecordingPlaysAllButItsLastSecond";
    static testsupport::RecordingMessageSink sink;
    auto* writer = new codecs::WmaWriter(sink); // never destroyed: the process dies with it open
    const int chunk = writer->open(path, wmaFormat());
    ASSERT_GT(chunk, 0);
    ASSERT_TRUE(feed(*writer, signal(), chunk));
    std::fputs("RECORDED\n", stdout);
    std::fflush(stdout);
    QThread::sleep(120);
}

TEST(WmaInterrupted, KilledRecordingPlaysAllButItsLastSecond)
{
    if (qEnvironmentVariableIsSet(ChildPathVariable))
        GTEST_SKIP();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Vexa_001.wma"));

    testsupport::ChildProcess child(QCoreApplication::applicationFilePath(),
                                    {QStringLiteral("--gtest_filter=WmaInterrupted.ChildRecords")},
                                    {{ChildPathVariable, QFile::encodeName(path)}});
    ASSERT_TRUE(child.started());
    while (!child.output().contains("RECORDED") && child.readSome(1000)) {
    }
    ASSERT_TRUE(child.output().contains("RECORDED")) << child.output().toStdString();
    child.kill(); // SIGKILL: no destructor, no trailer
    ASSERT_TRUE(child.finish(10000));
    EXPECT_EQ(child.signal(), SIGKILL);

    const ReadBack r = readBack(path);
    report("WMA killed", r, Captured);
    // Lost: only the ASF packet in progress (about a quarter second at 96 kbit/s) and the
    // frame in the encoder.
    EXPECT_GE(r.ffprobeSeconds, Captured - 0.5);
    EXPECT_GE(r.ffmpegSeconds, Captured - 0.5);
    EXPECT_GE(r.engineLengthSeconds, Captured - 0.5);
    EXPECT_GE(r.engineDecodedSeconds, Captured - 0.5);
    // Never more than there is: the captured audio, its lead-in and closing frames.
    EXPECT_LE(r.engineLengthSeconds, Captured + 0.2);
    EXPECT_NEAR(r.engineDecodedSeconds, r.engineLengthSeconds, 0.05);
}

// What the ASF header of a file says of its size: the file properties object's file size and
// packet count and its packet size, and where the data object ends by its own size.
struct AsfSizes {
    bool found = false;
    std::uint64_t fileSize = 0;
    std::uint64_t packets = 0;
    std::uint64_t packetSize = 0;
    std::uint64_t firstPacket = 0; // after the data object's own 50 bytes
    std::uint64_t dataEnd = 0;
};

AsfSizes asfSizes(const QByteArray& bytes)
{
    const auto le = [&bytes](qsizetype at, int width) {
        std::uint64_t v = 0;
        for (int i = width - 1; i >= 0; --i)
            v = (v << 8) | std::uint8_t(bytes.at(at + i));
        return v;
    };
    static const QByteArray filePropertiesGuid(
        "\xA1\xDC\xAB\x8C\x47\xA9\xCF\x11\x8E\xE4\x00\xC0\x0C\x20\x53\x65", 16);
    AsfSizes s;
    if (bytes.size() < 30)
        return s;
    const qsizetype data = qsizetype(le(16, 8)); // the header object's size
    const qsizetype properties = bytes.indexOf(filePropertiesGuid);
    if (properties < 0 || properties + 104 > data || data + 50 > bytes.size())
        return s;
    s.found = true;
    s.fileSize = le(properties + 40, 8);
    s.packets = le(properties + 56, 8);
    s.packetSize = le(properties + 92, 4);
    s.firstPacket = std::uint64_t(data) + 50;
    s.dataEnd = std::uint64_t(data) + le(data + 16, 8);
    return s;
}

// The disk fills after about 4 s (or 1.5 s) of audio: the write fails, Close cannot write the
// trailer, and the file still plays everything that reached it. It is cut after its last
// complete packet: it is exactly as long as its header says, the data object and the packets
// ending there too.
TEST(WmaInterrupted, FullDiskKeepsWhatReachedTheFile)
{
    // The disk's room: about 4 s and 1.5 s at 96 kbit/s with the header.
    for (const std::int64_t capacity :
         {std::int64_t(4 * 96000 / 8 + 7000), std::int64_t(3 * 96000 / 16 + 7000)}) {
        SCOPED_TRACE(capacity);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Vexa_001.wma"));
        auto file = std::make_unique<FailingFileWriter>();
        file->capacity = capacity;
        testsupport::RecordingMessageSink sink;
        {
            codecs::WmaWriter writer(sink, std::move(file));
            const int chunk = writer.open(path, wmaFormat());
            ASSERT_GT(chunk, 0);
            EXPECT_FALSE(feed(writer, signal(), chunk));
            EXPECT_FALSE(writer.close());
        }
        QFile written(path);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        const QByteArray bytes = written.readAll();
        const std::uint64_t size = std::uint64_t(bytes.size());
        EXPECT_LE(std::int64_t(size), capacity);
        const AsfSizes asf = asfSizes(bytes);
        ASSERT_TRUE(asf.found);
        ASSERT_GT(asf.packetSize, 0u);
        EXPECT_EQ(size, asf.fileSize) << "the file ends where its header says";
        EXPECT_EQ(size, asf.dataEnd);
        EXPECT_EQ(asf.packets * asf.packetSize, size - asf.firstPacket) << "whole packets only";
        EXPECT_GT(asf.packets, 0u);

        const ReadBack r = readBack(path);
        // What the full disk held, in seconds of audio at 96 kbit/s (ASF packet overhead aside).
        const double held = double(size) * 8 / 96000;
        report("WMA full disk", r, held);
        EXPECT_GE(r.ffmpegSeconds, held - 0.7);
        EXPECT_GE(r.engineLengthSeconds, held - 0.7);
        EXPECT_GE(r.engineDecodedSeconds, held - 0.7);
        EXPECT_NEAR(r.ffprobeSeconds, r.engineLengthSeconds, 0.01);
        EXPECT_NEAR(r.engineDecodedSeconds, r.engineLengthSeconds, 0.05);
    }
}

} // namespace
