// ListRecordings over a folder of 1,000 recordings (a third each of WAV, MP3 and WMA, 10 s each)
// with a warm cache, beside reading the same durations with one ffprobe run per file.
// BM_StopNewFileInList1000/<way>: the end of a recording in that folder, into the window's list
// widget: a new file appears, the folder is re-listed and the new file selected. Way 0 is the
// old way (every duration read again, the list built again), way 1 the lister as it is (only
// the new file read, the list edited in place).
// BM_FirstShowingList1000/<way>: the first showing's listing into the list widget, way 0 every
// duration read at once, way 1 MP3 and WMA durations deferred.
// After the usual lines the figures are printed again as table rows, each beside its peer of
// the same run (ffprobe, or the way before).
#include "../tests/library/GeneratedAudio.h"
#include "audio/Engine.h"
#include "library/FileLister.h"
#include "library/TreeWidgetFileListView.h"
#include "support/RecordingMessageSink.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTreeWidget>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <unistd.h>
#include <map>
#include <string>
#include <vector>

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
    testsupport::RecordingMessageSink sink;
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

// The list widget, seen as a view that cannot edit in place: every listing rebuilds it.
class RebuildingView : public library::TreeWidgetFileListView {
public:
    using TreeWidgetFileListView::TreeWidgetFileListView;
    bool canEditInPlace() const override { return false; }
};

void BM_StopNewFileInList1000(benchmark::State& state)
{
    Folder& f = folder();
    if (!f.ok) {
        state.SkipWithError("could not generate the folder (ffmpeg?)");
        return;
    }
    const bool oldWay = state.range(0) == 0;
    audio::Engine engine;
    testsupport::RecordingMessageSink sink;
    QTreeWidget widget;
    widget.setColumnCount(2);
    library::TreeWidgetFileListView editing(&widget);
    RebuildingView rebuilding(&widget);
    library::FileListView& view = oldWay ? static_cast<library::FileListView&>(rebuilding) : editing;
    auto lister = std::make_unique<library::FileLister>(engine, sink, QIcon());
    lister->ListRecordings(f.path, view);
    const QByteArray wav = sineWav(10, 440);
    const QString name = QStringLiteral("Vexa_1001.wav");
    int listed = 0;
    bool selected = true;
    for (auto _ : state) {
        if (!writeFile(f.path + name, wav)) {
            state.SkipWithError("cannot write the new file");
            return;
        }
        if (oldWay) // nothing known from before
            lister = std::make_unique<library::FileLister>(engine, sink, QIcon());
        QElapsedTimer clock;
        clock.start();
        lister->ListRecordings(f.path, view);
        int found = -1;
        for (int i = view.count() - 1; i >= 0 && found < 0; --i)
            found = view.caption(i) == name ? i : -1;
        view.setSelectedIndex(found);
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
        listed = view.count();
        selected = selected && found >= 0;
        QFile::remove(f.path + name);
        lister->ListRecordings(f.path, view); // back to the folder of 1,000
    }
    state.counters["files"] = listed;
    state.counters["new_file_selected"] = selected;
}
BENCHMARK(BM_StopNewFileInList1000)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

// What the first showing of the window does with that folder: a lister that knows nothing
// yet fills the window's list widget, MP3 and WMA durations deferred (arg 1) or read at once
// (arg 0, as every listing did before).
void BM_FirstShowingList1000(benchmark::State& state)
{
    Folder& f = folder();
    if (!f.ok) {
        state.SkipWithError("could not generate the folder (ffmpeg?)");
        return;
    }
    const auto streams = state.range(0) ? library::FileLister::StreamDurations::Defer
                                        : library::FileLister::StreamDurations::Read;
    audio::Engine engine;
    testsupport::RecordingMessageSink sink;
    int listed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTreeWidget widget;
        widget.setColumnCount(2);
        library::TreeWidgetFileListView view(&widget);
        library::FileLister lister(engine, sink, QIcon());
        state.ResumeTiming();
        lister.ListRecordings(f.path, view, streams);
        view.setSelectedIndex(0);
        state.PauseTiming();
        listed = view.count();
        state.ResumeTiming();
    }
    state.counters["files"] = listed;
}
BENCHMARK(BM_FirstShowingList1000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);

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

// The console's lines as usual, then the table rows: each figure beside its peer of the same
// run where there is one (another way of doing the same job), in milliseconds.
class TableReporter : public benchmark::ConsoleReporter {
public:
    // Colours only on a terminal, as the default reporter has them.
    TableReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                ms_[run.benchmark_name()] = run.GetAdjustedRealTime() *
                                            (run.time_unit == benchmark::kMillisecond ? 1.0 : 1e-3);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void printTable() const
    {
        const struct {
            const char* figure;
            const char* ours;
            const char* peerName;
            const char* peer;
        } rows[] = {
            {"window's list filled with 1,000 files", "BM_FirstShowingList1000/1/",
             "every duration read first", "BM_FirstShowingList1000/0/"},
            {"Stop to new file in list with 1,000 files", "BM_StopNewFileInList1000/1/",
             "list rebuilt, all read again", "BM_StopNewFileInList1000/0/"},
            {"durations of 1,000 files (re-list)", "BM_ListRecordings1000/",
             "ffprobe per file", "BM_FfprobePerFile1000/"},
        };
        // Runs are named "<function>/<args>/<options>": a row names the first parts.
        const auto find = [this](const std::string& prefix) {
            const auto at = ms_.lower_bound(prefix);
            return at != ms_.end() && at->first.compare(0, prefix.size(), prefix) == 0 ? at : ms_.end();
        };
        const auto figure = [&](const char* prefix) {
            const auto at = find(prefix);
            char text[32] = "-";
            if (at != ms_.end())
                std::snprintf(text, sizeof text, "%.1f ms", at->second);
            return std::string(text);
        };
        std::printf("\n%-44s | %-12s | %s\n", "figure", "this program", "peer in the same run");
        for (const auto& r : rows) {
            if (find(r.ours) == ms_.end() && find(r.peer) == ms_.end())
                continue; // filtered out
            std::printf("%-44s | %-12s | %s (%s)\n", r.figure, figure(r.ours).c_str(),
                        figure(r.peer).c_str(), r.peerName);
        }
    }

private:
    std::map<std::string, double> ms_;
};

} // namespace

int main(int argc, char** argv)
{
    // The list's icons need a GUI application; no window is shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printTable();
    benchmark::Shutdown();
    return 0;
}
