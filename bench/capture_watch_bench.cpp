// What the recording's watches (free space, dropouts, clipping) cost, in one run:
//  - BM_WatchedRecordingCpu/watch:1 and /watch:0: share of one core the whole process uses
//    while recording 30 s of WAV (44100 Hz stereo) with the real engine, the display tick's
//    step (which reads the free space every two seconds) called every 100 ms, with the
//    watches on and off. Needs a sound server (scripts/services.sh start DIR gives one).
//  - BM_WatchCountersCpu: the CPU the dropout and clipping counters take for 30 s of audio in
//    the capture's 10 ms blocks, clock reads included (the part the capture thread adds),
//    as a share of one core over those 30 s; the free-space reads (15 per 30 s) likewise.
// The watches are meant to add at most 0.1 % of a core.
#include "audio/Engine.h"
#include "platform/DiskSpace.h"
#include "recording/CaptureWatch.h"
#include "recording/RecordWriterFactory.h"
#include "recording/RecordingSession.h"
#include "recording/SessionFakes.h"
#include "recording/TappedAudio.h"
#include "support/RecordingMessageSink.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <ctime>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double cpuSeconds(clockid_t id)
{
    timespec ts{};
    clock_gettime(id, &ts);
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

void BM_WatchedRecordingCpu(benchmark::State& state)
{
    Rig rig;
    if (!rig.ok) {
        state.SkipWithError("no audio devices");
        return;
    }
    recording::RecordFormat format;
    format.format = recording::RecordFormat::Wav;
    const bool watch = state.range(0) != 0;
    double share = 0;
    for (auto _ : state) {
        QTemporaryDir dir;
        rig.host.state = Idle;
        recording::RecordingSession session(rig.audio, rig.writers, rig.sink, rig.host);
        session.setWatching(watch);
        session.record(dir.path() + '/', format);
        if (!session.isRecording()) {
            state.SkipWithError("recording did not start");
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(300)); // past the start
        const double cpu0 = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
        const auto t0 = Clock::now();
        const auto end = t0 + std::chrono::seconds(30);
        for (auto tick = t0; tick < end; tick += std::chrono::milliseconds(100)) {
            std::this_thread::sleep_until(tick);
            session.checkCapture();
        }
        std::this_thread::sleep_until(end);
        const double cpu = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpu0;
        const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
        session.stop();
        share = 100.0 * cpu / wall;
        state.SetIterationTime(wall);
    }
    state.counters["cpu_percent_of_core"] = share;
}
BENCHMARK(BM_WatchedRecordingCpu)->ArgName("watch")->Arg(1)->Arg(0)->Arg(1)->Arg(0)
    ->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

void BM_WatchCountersCpu(benchmark::State& state)
{
    constexpr int Frames = 441, Blocks = 3000; // 30 s in 10 ms blocks
    std::vector<std::int16_t> block(Frames * 2);
    for (int i = 0; i < Frames; ++i)
        block[2 * i] = block[2 * i + 1] = std::int16_t(16000 * std::sin(2 * M_PI * 440.0 * i / 44100));
    platform::StorageDiskSpace disk;
    const QString folder = QDir::tempPath();
    double counters = 0, space = 0;
    for (auto _ : state) {
        recording::ClipCounter clips(2);
        recording::GapCounter gaps(44100);
        const double c0 = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
        std::uint64_t silence = 0;
        for (int b = 0; b < Blocks; ++b) {
            const auto now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                 Clock::now().time_since_epoch()).count();
            silence += gaps.block(now, Frames).silence;
            clips.feed(block.data(), Frames);
        }
        const double c1 = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
        std::int64_t free = 0;
        for (int i = 0; i < 15; ++i)
            free += disk.freeBytes(folder);
        const double c2 = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
        benchmark::DoNotOptimize(silence);
        benchmark::DoNotOptimize(free);
        benchmark::DoNotOptimize(clips.count());
        counters = 100.0 * (c1 - c0) / 30.0;
        space = 100.0 * (c2 - c1) / 30.0;
    }
    state.counters["counters_percent_of_core"] = counters;
    state.counters["free_space_percent_of_core"] = space;
}
BENCHMARK(BM_WatchCountersCpu)->Iterations(20)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
