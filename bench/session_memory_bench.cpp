// Resident memory of a long recording: records from the default source (real engine, real
// writer) for the given minutes and prints the process's resident set size every 30 s, with
// the bytes captured and the file size, so a leak per block or per chunk shows as a rising RSS.
//
//   session_memory_bench [minutes=10] [format: wav|mp3|wma = mp3] [folder = a temporary one]
//
// Needs a sound server (scripts/services.sh start DIR gives a private one hearing 440 Hz).
#include "audio/Engine.h"
#include "support/RecordingMessageSink.h"
#include "recording/RecordWriterFactory.h"
#include "recording/RecordingSession.h"
#include "recording/SessionFakes.h"
#include "recording/TappedAudio.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>


#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

namespace {

long residentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const double minutes = argc > 1 ? std::atof(argv[1]) : 10.0;
    const std::string name = argc > 2 ? argv[2] : "mp3";
    QTemporaryDir temp;
    const QString folder = (argc > 3 ? QString::fromLocal8Bit(argv[3]) : temp.path()) + '/';

    RecordFormat format;
    format.format = name == "wav" ? RecordFormat::Wav : name == "wma" ? RecordFormat::Wma
                                                                      : RecordFormat::Mp3;
    format.channels = 2;
    format.sampleRate = 44100;

    audio::Engine engine;
    if (!engine.recordInit(-1) || !engine.init(-1, 44100)) {
        std::fprintf(stderr, "no audio devices\n");
        return 1;
    }
    fakes::TappedAudio audio(engine);
    platform::RecordingMessageSink sink;
    RecordWriterFactory writers(sink);
    fakes::EventLog log;
    fakes::FakeHost host(log);
    {
        recording::RecordingSession session(audio, writers, sink, host);
        const long before = residentKiB();
        session.record(folder, format);
        if (!session.isRecording()) {
            std::fprintf(stderr, "recording did not start\n");
            return 1;
        }
        std::printf("format %s, %.1f min, RSS before start %ld KiB\n", name.c_str(), minutes,
                    before);
        std::printf("%8s %10s %14s %14s\n", "time_s", "rss_kib", "captured_b", "file_b");
        const auto start = std::chrono::steady_clock::now();
        const auto end = start + std::chrono::duration<double>(minutes * 60.0);
        for (int tick = 0;; ++tick) {
            const auto at = start + std::chrono::seconds(30) * tick;
            if (at > end)
                break;
            std::this_thread::sleep_until(at);
            std::printf("%8d %10ld %14lld %14lld\n", tick * 30, residentKiB(),
                        static_cast<long long>(audio.capturedBytes()),
                        static_cast<long long>(QFileInfo(session.recordFilePath()).size()));
            std::fflush(stdout);
        }
        session.stop();
        std::printf("after stop RSS %ld KiB, messages %lld\n", residentKiB(),
                    static_cast<long long>(sink.messages().size()));
    }
    engine.recordFree();
    engine.free();
    return 0;
}
