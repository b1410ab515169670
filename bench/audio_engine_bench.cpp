// Audio engine figures, against the sound server in PULSE_SERVER (start the private one with
// scripts/services.sh first):
//   - CPU share of one core while capturing 44100 Hz stereo for 30 s and while playing an MP3;
//   - opening a file and reading its length, per format, over 1,000 files;
//   - time from recordStart to the first callback, and from channelPlay to the sound arriving
//     at the speaker's monitor (this includes the monitor capture's own delay: an upper bound).
// Test files are made with the ffmpeg command-line tool.
#include "audio/Engine.h"
#include "platform/PulseMixerBackend.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <ctime>
#include <unistd.h>
#include <mutex>
#include <thread>
#include <vector>

using namespace std::chrono;

namespace {

QTemporaryDir& workDir()
{
    static QTemporaryDir dir;
    return dir;
}

// Makes (once) a file of the given kind and length with ffmpeg; returns its path.
QString makeFile(const QString& kind, int seconds)
{
    const QString path = workDir().filePath(QString("src_%1s.%2").arg(seconds).arg(kind));
    if (QFile::exists(path))
        return path;
    QStringList args{"-loglevel", "error", "-y", "-f", "lavfi", "-i",
                     QString("sine=frequency=1000:duration=%1:sample_rate=44100").arg(seconds), "-ac", "2"};
    if (kind == "mp3")
        args << "-c:a" << "libmp3lame" << "-b:a" << "128k";
    else if (kind == "wma")
        args << "-c:a" << "wmav2" << "-b:a" << "128k";
    args << path;
    QProcess::execute("ffmpeg", args);
    return path;
}

double processCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

bool discard(audio::HRECORD, const void*, std::uint32_t, void*) { return true; }

void BM_OpenAndLength(benchmark::State& state, const QString& kind)
{
    const QString source = makeFile(kind, 180); // three minutes, like a typical recording
    const QString folder = workDir().filePath("list_" + kind);
    QDir().mkpath(folder);
    std::vector<QString> files;
    for (int i = 0; i < 1000; ++i) {
        const QString f = folder + QString("/Vexa_%1.%2").arg(i + 1, 3, 10, QChar('0')).arg(kind);
        // Hard links: a thousand directory entries without a thousand copies on disk.
        if (!QFile::exists(f))
            ::link(QFile::encodeName(source).constData(), QFile::encodeName(f).constData());
        files.push_back(f);
    }
    audio::Engine engine;
    std::size_t i = 0;
    std::int64_t total = 0;
    for (auto _ : state) {
        const QString& f = files[i++ % files.size()];
        const audio::HSTREAM h = kind == "wma" ? engine.wmaStreamCreateFile(f) : engine.streamCreateFile(f);
        total += engine.channelGetLength(h);
        engine.streamFree(h);
    }
    benchmark::DoNotOptimize(total);
    state.SetLabel("per file, 1000 files of 180 s");
}

void BM_CaptureCpu(benchmark::State& state)
{
    audio::Engine engine;
    if (!engine.recordInit(-1)) {
        state.SkipWithError("no sound server");
        return;
    }
    double share = 0;
    for (auto _ : state) {
        const audio::HRECORD h = engine.recordStart(44100, 2, &discard, nullptr);
        const double cpu0 = processCpuSeconds();
        const auto wall0 = steady_clock::now();
        std::this_thread::sleep_for(seconds(30));
        const double cpu = processCpuSeconds() - cpu0;
        const double wall = duration<double>(steady_clock::now() - wall0).count();
        engine.channelStop(h);
        engine.streamFree(h);
        share = 100.0 * cpu / wall;
    }
    state.counters["cpu_percent"] = share;
}

void BM_PlayMp3Cpu(benchmark::State& state)
{
    audio::Engine engine;
    if (!engine.init(-1, 44100)) {
        state.SkipWithError("no sound server");
        return;
    }
    const QString file = makeFile("mp3", 40);
    double share = 0;
    for (auto _ : state) {
        const audio::HSTREAM h = engine.streamCreateFile(file);
        engine.channelPlay(h, true);
        const double cpu0 = processCpuSeconds();
        const auto wall0 = steady_clock::now();
        std::this_thread::sleep_for(seconds(30));
        const double cpu = processCpuSeconds() - cpu0;
        const double wall = duration<double>(steady_clock::now() - wall0).count();
        engine.channelStop(h);
        engine.streamFree(h);
        share = 100.0 * cpu / wall;
    }
    state.counters["cpu_percent"] = share;
}

struct FirstCall {
    std::atomic<bool> seen{false};
    steady_clock::time_point at;
};

bool firstCall(audio::HRECORD, const void*, std::uint32_t, void* user)
{
    auto* f = static_cast<FirstCall*>(user);
    if (!f->seen) {
        f->at = steady_clock::now();
        f->seen = true;
    }
    return true;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void BM_RecordStartToFirstCallback(benchmark::State& state)
{
    audio::Engine engine;
    if (!engine.recordInit(-1)) {
        state.SkipWithError("no sound server");
        return;
    }
    std::vector<double> ms;
    for (auto _ : state) {
        FirstCall f;
        const auto t0 = steady_clock::now();
        const audio::HRECORD h = engine.recordStart(44100, 2, &firstCall, &f);
        while (!f.seen)
            std::this_thread::sleep_for(microseconds(200));
        ms.push_back(duration<double, std::milli>(f.at - t0).count());
        engine.channelStop(h);
        engine.streamFree(h);
    }
    state.counters["median_ms"] = median(ms);
    state.counters["max_ms"] = *std::max_element(ms.begin(), ms.end());
}

// Blocks captured from the speaker's monitor with the time each arrived.
struct Monitor {
    std::mutex mutex;
    std::vector<std::int16_t> samples; // mono
    std::vector<std::pair<steady_clock::time_point, std::size_t>> arrivals; // time, samples so far
};

bool monitor(audio::HRECORD, const void* buffer, std::uint32_t length, void* user)
{
    auto* m = static_cast<Monitor*>(user);
    const auto now = steady_clock::now();
    std::lock_guard<std::mutex> lock(m->mutex);
    const auto* s = static_cast<const std::int16_t*>(buffer);
    m->samples.insert(m->samples.end(), s, s + length / 2);
    m->arrivals.emplace_back(now, m->samples.size());
    return true;
}

void BM_PlayToAudible(benchmark::State& state)
{
    platform::PulseMixerBackend mixer;
    audio::Engine engine(nullptr, &mixer);
    if (!mixer.open(0) || !engine.recordInit(-1) || !engine.init(-1, 44100)) {
        state.SkipWithError("no sound server");
        return;
    }
    const int line = mixer.recordingLines().indexOf("Monitor of Speaker");
    if (line < 0) {
        state.SkipWithError("no \"Monitor of Speaker\" line (private test server expected)");
        return;
    }
    const int before = mixer.selectedLine();
    engine.recordSetInput(line, audio::InputOn, 1.0f);
    const QString file = makeFile("wav", 1);
    std::vector<double> ms;
    for (auto _ : state) {
        Monitor m;
        const audio::HRECORD rec = engine.recordStart(44100, 1, &monitor, &m);
        std::this_thread::sleep_for(milliseconds(300));
        const audio::HSTREAM h = engine.streamCreateFile(file);
        std::size_t from;
        {
            std::lock_guard<std::mutex> lock(m.mutex);
            from = m.samples.size();
        }
        const auto t0 = steady_clock::now();
        engine.channelPlay(h, true);
        std::this_thread::sleep_for(milliseconds(400));
        engine.channelStop(rec);
        engine.streamFree(rec);
        engine.streamFree(h);
        std::lock_guard<std::mutex> lock(m.mutex);
        std::size_t onset = 0;
        for (std::size_t i = from; i < m.samples.size() && !onset; ++i)
            if (std::abs(int(m.samples[i])) > 1000)
                onset = i;
        if (!onset)
            continue;
        // The onset's arrival: its block's arrival minus the samples after it in that block.
        for (const auto& a : m.arrivals)
            if (a.second > onset) {
                const auto at = a.first - microseconds(std::int64_t((a.second - onset) * 1e6 / 44100));
                ms.push_back(duration<double, std::milli>(at - t0).count());
                break;
            }
    }
    mixer.setSelectedLine(before);
    state.counters["median_ms"] = median(ms);
    state.counters["max_ms"] = ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end());
}

} // namespace

BENCHMARK_CAPTURE(BM_OpenAndLength, wav, QString("wav"))->Iterations(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_OpenAndLength, mp3, QString("mp3"))->Iterations(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_OpenAndLength, wma, QString("wma"))->Iterations(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RecordStartToFirstCallback)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayToAudible)->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CaptureCpu)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_PlayMp3Cpu)->Iterations(1)->Unit(benchmark::kSecond);

int main(int argc, char** argv)
{
    QApplication app(argc, argv); // Qt's event loop is not used; the objects want an instance
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
