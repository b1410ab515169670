// Resident memory of a long recording: records from the default source (real engine, real
// writer) for the given minutes and prints the process's resident set size every 30 s, with
// the bytes captured and the file size, so a leak per block or per chunk shows as a rising RSS.
// Beside the total: the anonymous part (our allocations) and the sound server's shared memory
// mapped into the process (the blocks it hands over count in our RSS once read). Before Stop it
// lists the libraries mapped since the recording started (for WMA: the codec module, FFmpeg and
// what FFmpeg needs), each split into relocated pages (private dirty) and file pages touched.
//
//   session_memory_bench [minutes=10] [format: wav|mp3|wma = mp3] [folder = a temporary one]
//
// Needs a sound server (scripts/services.sh start DIR gives a private one hearing 440 Hz).
#include "ResidentMemory.h"
#include "audio/Engine.h"
#include "support/RecordingMessageSink.h"
#include "recording/RecordWriterFactory.h"
#include "recording/RecordingSession.h"
#include "recording/SessionFakes.h"
#include "recording/TappedAudio.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>


#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {


struct Mapping {
    long rss = 0;
    long dirty = 0;
};

// The process's mappings from /proc/self/smaps, summed by file (anonymous memory under "").
std::map<std::string, Mapping> mappings()
{
    std::map<std::string, Mapping> byName;
    std::ifstream smaps("/proc/self/smaps");
    std::string line;
    Mapping* current = nullptr;
    while (std::getline(smaps, line)) {
        std::istringstream fields(line);
        std::string first;
        fields >> first;
        if (first.find('-') != std::string::npos && first.back() != ':') {
            std::string perms, offset, device, inode, name;
            fields >> perms >> offset >> device >> inode;
            std::getline(fields >> std::ws, name);
            current = &byName[name];
        } else if (current && (first == "Rss:" || first == "Private_Dirty:")) {
            long kib = 0;
            fields >> kib;
            (first == "Rss:" ? current->rss : current->dirty) += kib;
        }
    }
    return byName;
}

// The sound server's memory pool as mapped here (PulseAudio: a memfd or a /dev/shm file).
long serverShmKiB(const std::map<std::string, Mapping>& maps)
{
    long sum = 0;
    for (const auto& [name, m] : maps)
        if (name.find("memfd:pulseaudio") != std::string::npos || name.find("pulse-shm") != std::string::npos)
            sum += m.rss;
    return sum;
}

long anonymousKiB(const std::map<std::string, Mapping>& maps)
{
    long sum = 0;
    for (const auto& [name, m] : maps)
        if (name.empty() || name == "[heap]")
            sum += m.rss;
    return sum;
}

// The shared libraries mapped now that were not in `before`, largest first.
void printNewLibraries(const std::set<std::string>& before)
{
    struct Row {
        std::string name;
        Mapping m;
    };
    std::vector<Row> rows;
    Mapping total;
    for (const auto& [name, m] : mappings()) {
        if (before.count(name) || name.find(".so") == std::string::npos || name[0] != '/')
            continue;
        rows.push_back({name.substr(name.rfind('/') + 1), m});
        total.rss += m.rss;
        total.dirty += m.dirty;
    }
    if (rows.empty())
        return;
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.m.rss > b.m.rss; });
    std::printf("libraries mapped since the start: %zu, resident %ld KiB = relocated (private dirty) "
                "%ld KiB + file pages touched %ld KiB\n",
                rows.size(), total.rss, total.dirty, total.rss - total.dirty);
    std::printf("%8s %8s %8s  %s\n", "rss_kib", "dirty", "touched", "library");
    for (std::size_t i = 0; i < rows.size() && i < 25; ++i)
        std::printf("%8ld %8ld %8ld  %s\n", rows[i].m.rss, rows[i].m.dirty, rows[i].m.rss - rows[i].m.dirty,
                    rows[i].name.c_str());
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const double minutes = argc > 1 ? std::atof(argv[1]) : 10.0;
    const std::string name = argc > 2 ? argv[2] : "mp3";
    QTemporaryDir temp;
    const QString folder = (argc > 3 ? QString::fromLocal8Bit(argv[3]) : temp.path()) + '/';

    recording::RecordFormat format;
    format.format = name == "wav" ? recording::RecordFormat::Wav
        : name == "wma"           ? recording::RecordFormat::Wma
                                  : recording::RecordFormat::Mp3;
    format.channels = 2;
    format.sampleRate = 44100;

    audio::Engine engine;
    if (!engine.recordInit(-1) || !engine.init(-1, 44100)) {
        std::fprintf(stderr, "no audio devices\n");
        return 1;
    }
    fakes::TappedAudio audio(engine);
    testsupport::RecordingMessageSink sink;
    recording::RecordWriterFactory writers(sink);
    fakes::EventLog log;
    fakes::FakeHost host(log);
    {
        recording::RecordingSession session(audio, writers, sink, host);
        const long before = residentKiB();
        std::set<std::string> mappedBefore;
        for (const auto& entry : mappings())
            mappedBefore.insert(entry.first);
        session.record(folder, format);
        if (!session.isRecording()) {
            std::fprintf(stderr, "recording did not start\n");
            return 1;
        }
        std::printf("format %s, %.1f min, RSS before start %ld KiB\n", name.c_str(), minutes,
                    before);
        std::printf("%8s %10s %10s %10s %14s %14s\n", "time_s", "rss_kib", "anon_kib", "srvshm_kib",
                    "captured_b", "file_b");
        const auto start = std::chrono::steady_clock::now();
        const auto end = start + std::chrono::duration<double>(minutes * 60.0);
        for (int tick = 0;; ++tick) {
            const auto at = start + std::chrono::seconds(30) * tick;
            if (at > end)
                break;
            std::this_thread::sleep_until(at);
            const auto maps = mappings();
            std::printf("%8d %10ld %10ld %10ld %14lld %14lld\n", tick * 30, residentKiB(), anonymousKiB(maps),
                        serverShmKiB(maps),
                        static_cast<long long>(audio.capturedBytes()),
                        static_cast<long long>(QFileInfo(session.recordFilePath()).size()));
            std::fflush(stdout);
        }
        printNewLibraries(mappedBefore);
        session.stop();
        std::printf("after stop RSS %ld KiB, messages %lld\n", residentKiB(),
                    static_cast<long long>(sink.messages().size()));
    }
    engine.recordFree();
    engine.free();
    return 0;
}
