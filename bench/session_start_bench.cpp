// The recording session with the real engine and writers (needs a sound server; scripts/
// services.sh start DIR gives a private one):
//  - BM_RecordClickToFirstData/<format>: from the Record command to the first data byte in the
//    file (time column, manual time; counter first_byte_ms, the median) and to the first
//    captured block (counter first_block_ms, the median); the file's size right after the
//    start is its header, the first byte beyond it is data. For WMA the codec module is loaded
//    first, as the window loads it in the background when WMA is the chosen format.
//  - BM_RecordingCpu/<format>/<display>: share of one core the whole process uses while
//    recording 10 s, with display=1 also reading position, levels and FFT every 100 ms as the
//    window's display timer does (no drawing).
// Formats: 0 WAV, 1 MP3, 2 WMA; 44100 Hz stereo, MP3 128 kbit/s, WMA 96 kbit/s.
#include "audio/Engine.h"
#include "platform/CodecModule.h"
#include "support/RecordingMessageSink.h"
#include "recording/RecordWriterFactory.h"
#include "recording/RecordingSession.h"
#include "recording/SessionFakes.h"
#include "recording/TappedAudio.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

recording::RecordFormat formatFor(int code)
{
    recording::RecordFormat f;
    f.format = static_cast<std::uint8_t>(code);
    f.channels = 2;
    f.sampleRate = 44100;
    f.mp3Bitrate = 128;
    f.wmaBitrate = 96;
    return f;
}

double processCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

struct Rig {
    audio::Engine engine;
    fakes::TappedAudio audio{engine};
    testsupport::RecordingMessageSink sink;
    recording::RecordWriterFactory writers{sink};
    fakes::EventLog log;
    fakes::FakeHost host{log};
    bool ok = engine.recordInit(-1) && engine.init(-1, 44100);
    ~Rig()
    {
        engine.recordFree();
        engine.free();
    }
};

void BM_RecordClickToFirstData(benchmark::State& state)
{
    Rig rig;
    if (!rig.ok) {
        state.SkipWithError("no audio devices");
        return;
    }
    const recording::RecordFormat format = formatFor(static_cast<int>(state.range(0)));
    if (format.format == recording::RecordFormat::Wma &&
        !platform::codecModuleSymbol("vexa_new_wma_writer")) {
        state.SkipWithError("no codec module");
        return;
    }
    std::vector<double> firstBlockMs;
    std::vector<double> firstByteMs;
    for (auto _ : state) {
        QTemporaryDir dir;
        rig.host.state = Idle;
        recording::RecordingSession session(rig.audio, rig.writers, rig.sink, rig.host);
        const auto t0 = Clock::now();
        session.record(dir.path() + '/', format);
        if (!session.isRecording()) {
            state.SkipWithError("recording did not start");
            return;
        }
        const QString path = session.recordFilePath();
        const qint64 header = QFileInfo(path).size();
        Clock::time_point byteAt;
        for (;;) {
            if (QFileInfo(path).size() > header) {
                byteAt = Clock::now();
                break;
            }
            if (Clock::now() - t0 > std::chrono::seconds(3))
                break;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        while (rig.audio.blocks() == 0 && Clock::now() - t0 < std::chrono::seconds(3))
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        const auto blockAt = rig.audio.firstBlockAt();
        session.stop();
        if (byteAt == Clock::time_point() || rig.audio.blocks() == 0) {
            state.SkipWithError("no data within 3 s");
            return;
        }
        const double byteS = std::chrono::duration<double>(byteAt - t0).count();
        state.SetIterationTime(byteS);
        firstByteMs.push_back(byteS * 1000);
        firstBlockMs.push_back(std::chrono::duration<double, std::milli>(blockAt - t0).count());
    }
    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v.empty() ? 0.0 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    };
    state.counters["first_block_ms"] = median(firstBlockMs);
    state.counters["first_byte_ms"] = median(firstByteMs);
}
BENCHMARK(BM_RecordClickToFirstData)
    ->ArgName("format")
    ->DenseRange(0, 2)
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

void BM_RecordingCpu(benchmark::State& state)
{
    Rig rig;
    if (!rig.ok) {
        state.SkipWithError("no audio devices");
        return;
    }
    const recording::RecordFormat format = formatFor(static_cast<int>(state.range(0)));
    const bool display = state.range(1) != 0;
    double share = 0;
    for (auto _ : state) {
        QTemporaryDir dir;
        rig.host.state = Idle;
        recording::RecordingSession session(rig.audio, rig.writers, rig.sink, rig.host);
        session.record(dir.path() + '/', format);
        if (!session.isRecording()) {
            state.SkipWithError("recording did not start");
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(300)); // past the start
        const double cpu0 = processCpuSeconds();
        const auto t0 = Clock::now();
        std::vector<char> data(4096);
        const auto end = t0 + std::chrono::seconds(10);
        for (auto tick = t0; tick < end; tick += std::chrono::milliseconds(100)) {
            std::this_thread::sleep_until(tick);
            if (display) {
                const audio::Handle h = session.channel();
                benchmark::DoNotOptimize(rig.engine.channelGetPosition(h));
                benchmark::DoNotOptimize(rig.engine.channelGetLevel(h));
                benchmark::DoNotOptimize(rig.engine.channelGetData(h, data.data(), audio::DataFft1024));
                benchmark::DoNotOptimize(rig.engine.channelGetData(h, data.data(), 2048));
            }
        }
        std::this_thread::sleep_until(end);
        const double cpu = processCpuSeconds() - cpu0;
        const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
        session.stop();
        share = 100.0 * cpu / wall;
        state.SetIterationTime(wall);
    }
    state.counters["cpu_percent_of_core"] = share;
}
BENCHMARK(BM_RecordingCpu)
    ->ArgNames({"format", "display"})
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
