// Resident memory of the window's library over many takes recorded into one folder: each take
// is written by the program's own writer (1 s of a tone, 44.1 kHz stereo), then the library
// does what the window does at the end of a take (the take's figures handed over, the folder
// listed again, the new file selected, the display tick until the list and the panel are
// complete, MP3 and WMA lengths read by the program's reader process). The resident set size
// is printed every 50 takes, with the growth since the first take and the allocator's figures
// (the heap in use, of what the heap took from the system: a heap much larger than its use is
// fragmented); "deleted" removes each take again (and lists the folder) before the next.
//
//   library_takes_memory_bench [format: wma|mp3 = wma] [takes = 400] [keep|deleted = keep]
//
// Needs the program (vexa-recorder) beside it; the list is the window's list widget, offscreen.
// Measured (400 takes, 2 cores): with the WMA writer's contexts made on the window's thread,
// WMA +21.7 MB (the heap 23.2 MB for 2.6 MB in use), MP3 +1.8 MB, WMA deleted each time
// +0.6 MB; with them made on a thread of their own, WMA +1.8 MB (heap 3.5 MB for 2.6 MB).
#include "ResidentMemory.h"
#include "../tests/library/LibraryFakes.h"
#include "audio/Engine.h"
#include "codecs/WmaWriter.h"
#include "library/RecordingsLibrary.h"
#include "library/TreeWidgetFileListView.h"
#include "recording/Mp3Writer.h"
#include "support/RecordingMessageSink.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTreeWidget>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <string>
#include <vector>

namespace {


// One take through the writer, as the recording session feeds it: whole chunks, then the rest.
bool writeTake(recording::RecordWriter& writer, const QString& path,
               const recording::RecordFormat& format, const std::vector<std::int16_t>& pcm)
{
    const int chunk = writer.open(path, format);
    if (chunk <= 0)
        return false;
    const auto* bytes = reinterpret_cast<const char*>(pcm.data());
    const std::int64_t total = std::int64_t(pcm.size()) * 2;
    bool ok = true;
    for (std::int64_t done = 0; ok && done < total; done += chunk)
        ok = writer.write(bytes + done, std::min<std::int64_t>(chunk, total - done));
    return writer.close() && ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool wma = argc < 2 || std::strcmp(argv[1], "mp3") != 0;
    const int takes = argc > 2 ? std::max(1, std::atoi(argv[2])) : 400;
    const bool deleted = argc > 3 && std::strcmp(argv[3], "deleted") == 0;
    const QString program =
        QCoreApplication::applicationDirPath() + QStringLiteral("/vexa-recorder");
    if (!QFile::exists(program)) {
        std::fprintf(stderr, "no program at %s\n", qPrintable(program));
        return 1;
    }

    QTemporaryDir dir;
    librarytest::FakeHost host;
    host.folder = dir.path() + QStringLiteral("/rec/");
    QDir().mkpath(host.folder);
    host.lang.open(librarytest::writeLanguage(dir.path()));
    recording::RecordFormat format;
    format.format = wma ? recording::RecordFormat::Wma : recording::RecordFormat::Mp3;
    format.sampleRate = 44100;
    format.channels = 2;
    host.format = format;

    audio::Engine engine;
    testsupport::RecordingMessageSink sink;
    QTreeWidget widget;
    widget.setColumnCount(2);
    library::TreeWidgetFileListView list(&widget);
    librarytest::FakePanel panel;
    library::RecordingsLibrary library(host, list, panel, engine, sink, QIcon());
    library.setProbeProgram(program);
    library.activate();

    std::vector<std::int16_t> pcm(44100 * 2);
    for (std::size_t i = 0; i < pcm.size(); ++i)
        pcm[i] = std::int16_t(8000 * std::sin(double(i / 2) * 2 * M_PI * 440 / 44100));

    std::printf("%d %s takes%s, 1 s each; resident memory (kB) after each 50:\n", takes,
                wma ? "WMA" : "MP3", deleted ? ", each deleted again" : "");
    long first = -1;
    for (int i = 1; i <= takes; ++i) {
        const QString name =
            QStringLiteral("Vexa_%1.%2").arg(i, 3, 10, QLatin1Char('0')).arg(wma ? "wma" : "mp3");
        const QString path = host.folder + name;
        std::unique_ptr<recording::RecordWriter> writer;
        if (wma)
            writer = std::make_unique<codecs::WmaWriter>(sink);
        else
            writer = std::make_unique<recording::Mp3Writer>(sink);
        if (!writeTake(*writer, path, format, pcm)) {
            std::fprintf(stderr, "take %d could not be written\n", i);
            return 1;
        }
        writer.reset();
        // The end of the take, as the window's library part follows it.
        library.rememberRecording(path, format, 44100);
        library.ListRecordings(host.folder);
        library.SelectFile(name);
        const QDeadlineTimer guard(60000);
        while ((library.lister().deferredCount() > 0 || !library.info().pendingPath().isEmpty()) &&
               !guard.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(5);
            library.readDeferredDurations();
        }
        if (panel.labels.totalTime != QStringLiteral("00:01"))
            std::fprintf(stderr, "take %d: the panel shows %s\n", i,
                         qPrintable(panel.labels.totalTime));
        if (deleted) {
            QFile::remove(path);
            library.ListRecordings(host.folder);
        }
        if (i == 1)
            first = residentKiB();
        if (i % 50 == 0 || i == takes) {
            const long now = residentKiB();
            const struct mallinfo2 heap = mallinfo2();
            std::printf(
                "  take %4d: %6ld kB (%+ld kB since take 1); heap in use %zu kB of %zu kB\n", i,
                now, now - first, heap.uordblks / 1024, heap.arena / 1024);
            std::fflush(stdout);
        }
    }
    return 0;
}
