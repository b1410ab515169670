// ListRecordings over a folder of 1,000 recordings (a third each of WAV, MP3 and WMA, 10 s each)
// with a warm cache, beside reading the same durations with one ffprobe run per file.
#include "../tests/library/GeneratedAudio.h"
#include "audio/Engine.h"
#include "library/FileLister.h"
#include "support/RecordingMessageSink.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>

using namespace librarytest;

namespace {

struct Folder {
    QTemporaryDir dir;
    QString path;
    QStringList files;
    bool ok = false;

    Folder()
    {
        path = dir.path() + "/";
        // The seeds lie outside the listed folder.
        path = dir.path() + "/list/";
        QDir().mkpath(path);
        const QString mp3 = dir.path() + "/seed.mp3", wma = dir.path() + "/seed.wma";
        if (!ffmpegSine(mp3, 10, 440, 128) || !ffmpegSine(wma, 10, 440, 96))
            return;
        const QByteArray wav = sineWav(10, 440);
        for (int i = 1; i <= 1000; ++i) {
            const char* ext = i % 3 == 1 ? "wav" : i % 3 == 2 ? "mp3" : "wma";
            const QString name = QStringLiteral("Vexa_%1.%2").arg(i, 3, 10, QLatin1Char('0')).arg(ext);
            const bool made = i % 3 == 1 ? writeFile(path + name, wav)
                                         : QFile::copy(i % 3 == 2 ? mp3 : wma, path + name);
            if (!made)
                return;
            files << path + name;
        }
        ok = true;
    }
};

Folder& folder()
{
    static Folder f;
    return f;
}

void BM_ListRecordings1000(benchmark::State& state)
{
    Folder& f = folder();
    if (!f.ok) {
        state.SkipWithError("could not generate the folder (ffmpeg?)");
        return;
    }
    audio::Engine engine;
    platform::RecordingMessageSink sink;
    FakeListView view;
    library::FileLister lister(engine, sink, QIcon());
    lister.ListRecordings(f.path, view); // warm the cache
    for (auto _ : state)
        benchmark::DoNotOptimize(lister.ListRecordings(f.path, view));
    int tenSeconds = 0;
    for (const ListItem& i : view.items)
        tenSeconds += i.duration == "00:10";
    state.counters["files"] = view.count();
    state.counters["read_as_00:10"] = tenSeconds;
}
BENCHMARK(BM_ListRecordings1000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_FfprobePerFile1000(benchmark::State& state)
{
    Folder& f = folder();
    const QString ffprobe = QStandardPaths::findExecutable("ffprobe");
    if (!f.ok || ffprobe.isEmpty()) {
        state.SkipWithError("no folder or no ffprobe");
        return;
    }
    int tenSeconds = 0;
    for (auto _ : state) {
        tenSeconds = 0;
        for (const QString& file : f.files) {
            QProcess p;
            p.start(ffprobe, {"-v", "error", "-show_entries", "format=duration", "-of", "csv=p=0", file});
            p.waitForFinished(10000);
            tenSeconds += int(p.readAllStandardOutput().trimmed().toDouble()) == 10;
        }
    }
    state.counters["files"] = f.files.size();
    state.counters["read_as_10s"] = tenSeconds;
}
BENCHMARK(BM_FfprobePerFile1000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    // The list's icons need a GUI application; no window is shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
