// Encoding speed of the recording writers, side by side with the command-line tools that use
// the same libraries, on the same 60 s of 44.1 kHz stereo, and the share of one core that a
// real-time 44.1 kHz stereo recording costs in each format.
//
//   encode_bench                      all figures (about a minute)
//   encode_bench --benchmark_filter=Speed
//
// Figures: x_realtime = seconds of audio per CPU second (one core); cpu_share_pct = CPU time
// per second of audio, in percent of one core. CPU time is the encoding thread's own for the
// writers and the child's user + system time for the tools (which also start a process and
// read the WAV file; x_realtime_net leaves out their fixed start-up cost).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

#include "codecs/WmaWriter.h"
#include "recording/Mp3Writer.h"
#include "recording/RecordFormat.h"
#include "recording/RecordWriter.h"
#include "recording/WavWriter.h"
#include "support/RecordingMessageSink.h"

namespace {

constexpr int Rate = 44100;
constexpr int Seconds = 60;
constexpr int CaptureBlockFrames = 512; // what the capture hands over per callback

double threadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

double childrenCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    auto sec = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; };
    return sec(usage.ru_utime) + sec(usage.ru_stime);
}

// Something closer to music than a pure tone: a few partials with vibrato plus soft noise.
const std::vector<std::int16_t>& input()
{
    static const std::vector<std::int16_t> pcm = [] {
        std::vector<std::int16_t> out(std::size_t(Rate) * Seconds * 2);
        std::uint32_t noise = 12345;
        double phase[4] = {};
        const double base[4] = {220.0, 330.0, 440.0, 1760.0};
        for (std::size_t f = 0; f < out.size() / 2; ++f) {
            const double t = double(f) / Rate;
            double v[2] = {0, 0};
            for (int p = 0; p < 4; ++p) {
                phase[p] += 2 * M_PI * base[p] * (1 + 0.01 * std::sin(2 * M_PI * 5 * t)) / Rate;
                v[p % 2] += 0.12 * std::sin(phase[p]);
                v[(p + 1) % 2] += 0.06 * std::sin(phase[p]);
            }
            for (std::size_t c = 0; c < 2; ++c) {
                noise = noise * 1664525u + 1013904223u;
                const double x = v[c] + 0.02 * (double(noise >> 8) / double(1u << 24) - 0.5);
                out[2 * f + c] = std::int16_t(std::lround(x * 32767));
            }
        }
        return out;
    }();
    return pcm;
}

struct Workspace {
    QTemporaryDir dir;
    QString wav;      // the 60 s
    QString shortWav; // its first second: a tool's cost on it is mostly its fixed start-up
    Workspace()
    {
        wav = dir.filePath(QStringLiteral("input.wav"));
        shortWav = dir.filePath(QStringLiteral("input1s.wav"));
        write(wav, Seconds);
        write(shortWav, 1);
    }
    static void write(const QString& path, int seconds)
    {
        recording::WavWriter w;
        w.openFile(path, 2, Rate);
        w.append(reinterpret_cast<const char*>(input().data()), std::int64_t(seconds) * Rate * 4);
        w.finalise();
    }
};

Workspace& workspace()
{
    static Workspace w;
    return w;
}

std::unique_ptr<recording::RecordWriter> makeWriter(std::uint8_t code, platform::MessageSink& sink)
{
    switch (code) {
    case recording::RecordFormat::Wav: return std::make_unique<recording::WavWriter>();
    case recording::RecordFormat::Mp3: return std::make_unique<recording::Mp3Writer>(sink);
    default: return std::make_unique<codecs::WmaWriter>(sink);
    }
}

recording::RecordFormat formatFor(std::uint8_t code)
{
    recording::RecordFormat f;
    f.format = code;
    f.channels = 2;
    f.sampleRate = Rate;
    f.mp3Bitrate = 128;
    f.wmaBitrate = 96;
    return f;
}

// Feeds the 60 s the way a recording does: capture-sized blocks, gathered into the writer's
// chunks (WAV takes them as they come), the tail handed over at Stop. `pace` sleeps so that
// the blocks arrive in real time (only the first `seconds` of the input are used then).
double record(std::uint8_t code, const QString& path, bool pace, int seconds)
{
    testsupport::RecordingMessageSink sink;
    auto writer = makeWriter(code, sink);
    const auto* bytes = reinterpret_cast<const char*>(input().data());
    const std::int64_t total = std::int64_t(seconds) * Rate * 4;
    const std::int64_t block = CaptureBlockFrames * 4;
    const auto start = std::chrono::steady_clock::now();
    const double cpu0 = threadCpuSeconds();
    const int chunk = writer->open(path, formatFor(code));
    std::vector<char> pending;
    for (std::int64_t at = 0; at < total; at += block) {
        const std::int64_t n = std::min(block, total - at);
        if (pace) {
            std::this_thread::sleep_until(start + std::chrono::duration<double>(double(at + n) / (Rate * 4)));
        }
        if (chunk <= 0) {
            writer->write(bytes + at, n);
            continue;
        }
        pending.insert(pending.end(), bytes + at, bytes + at + n);
        std::size_t used = 0;
        while (used + std::size_t(chunk) <= pending.size()) {
            writer->write(pending.data() + used, chunk);
            used += std::size_t(chunk);
        }
        pending.erase(pending.begin(), pending.begin() + std::ptrdiff_t(used));
    }
    writer->write(pending.data(), std::int64_t(pending.size()));
    writer->close();
    return threadCpuSeconds() - cpu0;
}

void writerSpeed(benchmark::State& state, std::uint8_t code)
{
    const QString out = workspace().dir.filePath(QStringLiteral("out") +
                                                 recording::RecordFormat::extensionFor(code));
    double cpu = 0;
    for (auto _ : state) {
        const double used = record(code, out, false, Seconds);
        cpu += used;
        state.SetIterationTime(used);
    }
    state.counters["x_realtime"] = double(Seconds) * double(state.iterations()) / cpu;
    state.counters["cpu_share_pct"] = 100.0 * cpu / (double(Seconds) * double(state.iterations()));
    state.counters["file_kB"] = double(QFile(out).size()) / 1000;
}

// Runs the tool once on `in`; its CPU seconds, or -1 when it failed.
double runTool(const QString& exe, QStringList args, const QString& in, const QString& out)
{
    args.replaceInStrings(QStringLiteral("{in}"), in);
    args.replaceInStrings(QStringLiteral("{out}"), out);
    QFile::remove(out);
    const double before = childrenCpuSeconds();
    QProcess p;
    p.start(exe, args);
    p.waitForFinished(-1);
    const double used = childrenCpuSeconds() - before;
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0 ? used : -1.0;
}

// x_realtime: the whole run of the tool on the 60 s; x_realtime_net: without its fixed costs
// (process start, file opening), from the difference between the 60 s and the 1 s run.
void toolSpeed(benchmark::State& state, const QString& program, const QStringList& arguments, const char* ext)
{
    const QString out = workspace().dir.filePath(QStringLiteral("tool.") + QString::fromLatin1(ext));
    const QString exe = QStandardPaths::findExecutable(program);
    if (exe.isEmpty()) {
        state.SkipWithError("tool not installed");
        return;
    }
    double cpu = 0;
    double cpuShort = 0;
    for (auto _ : state) {
        const double shortRun = runTool(exe, arguments, workspace().shortWav, out);
        const double used = runTool(exe, arguments, workspace().wav, out);
        if (used < 0 || shortRun < 0) {
            state.SkipWithError("tool failed");
            return;
        }
        cpu += used;
        cpuShort += shortRun;
        state.SetIterationTime(used);
    }
    const double n = double(state.iterations());
    state.counters["x_realtime"] = double(Seconds) * n / cpu;
    state.counters["x_realtime_net"] = double(Seconds - 1) * n / (cpu - cpuShort);
    state.counters["file_kB"] = double(QFile(out).size()) / 1000;
}

void BM_Speed_Mp3Writer_128k_stereo(benchmark::State& s)
{
    writerSpeed(s, recording::RecordFormat::Mp3);
}
void BM_Speed_lame_cli_b128(benchmark::State& s)
{
    toolSpeed(s, QStringLiteral("lame"), {"--quiet", "-b", "128", "{in}", "{out}"}, "mp3");
}
void BM_Speed_lame_cli_b128_ms(benchmark::State& s) // the adapter's channel mode (plain stereo)
{
    toolSpeed(s, QStringLiteral("lame"), {"--quiet", "-b", "128", "-m", "s", "{in}", "{out}"}, "mp3");
}
void BM_Speed_WmaWriter_96k_stereo(benchmark::State& s)
{
    writerSpeed(s, recording::RecordFormat::Wma);
}
void BM_Speed_ffmpeg_cli_wmav2_96k(benchmark::State& s)
{
    toolSpeed(s, QStringLiteral("ffmpeg"),
              {"-nostdin", "-loglevel", "error", "-y", "-i", "{in}", "-c:a", "wmav2", "-b:a", "96k", "{out}"},
              "wma");
}
void BM_Speed_WavWriter(benchmark::State& s)
{
    writerSpeed(s, recording::RecordFormat::Wav);
}

// A recording in real time: 512-frame blocks arrive at the capture's pace for 5 s.
void realPace(benchmark::State& state, std::uint8_t code)
{
    const QString out = workspace().dir.filePath(QStringLiteral("paced") +
                                                 recording::RecordFormat::extensionFor(code));
    constexpr int PacedSeconds = 5;
    double cpu = 0;
    for (auto _ : state) {
        const double used = record(code, out, true, PacedSeconds);
        cpu += used;
        state.SetIterationTime(used);
    }
    state.counters["cpu_share_pct"] = 100.0 * cpu / (double(PacedSeconds) * double(state.iterations()));
}
void BM_RealTime_WAV(benchmark::State& s)
{
    realPace(s, recording::RecordFormat::Wav);
}
void BM_RealTime_MP3_128k(benchmark::State& s)
{
    realPace(s, recording::RecordFormat::Mp3);
}
void BM_RealTime_WMA_96k(benchmark::State& s)
{
    realPace(s, recording::RecordFormat::Wma);
}

} // namespace

// Interleaved so that the writers and the tools share the machine's state of the moment.
BENCHMARK(BM_Speed_Mp3Writer_128k_stereo)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Speed_lame_cli_b128)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Speed_lame_cli_b128_ms)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Speed_WmaWriter_96k_stereo)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Speed_ffmpeg_cli_wmav2_96k)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Speed_WavWriter)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RealTime_WAV)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RealTime_MP3_128k)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RealTime_WMA_96k)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
