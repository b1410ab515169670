// ctest-label: audio
// ctest-timeout: 300
// ctest-needs: vexa-recorder
// MP3 and WMA lengths read in a process of their own (the program started to serve them):
// - files made by other programs, broken ones, a FIFO, a vanished file and names that are not
//   UTF-8 or hold a line break come back as the engine reads them in-process;
// - a reader that crashes or hangs on one file costs only that file (the time limit is per
//   file), one ended from outside reads that file again, one that cannot start or stops early
//   leaves the files to the caller;
// - the window's library lists a folder and fills the panel from it without opening a file.
#include "GeneratedAudio.h"
#include "LibraryFakes.h"
#include "audio/Engine.h"
#include "library/RecordingsLibrary.h"
#include "library/StreamProbe.h"
#include "platform/LocalFiles.h"
#include "support/FakeAudio.h"
#include "support/RecordingMessageSink.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace librarytest;
using Outcome = library::StreamProbe::Outcome;

namespace {

QString program()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/vexa-recorder");
}

// Every result of a reading, waiting for the process as long as it takes (a hang guard only).
QList<library::StreamProbe::Result> readAll(library::StreamProbe& probe)
{
    QList<library::StreamProbe::Result> all;
    const QDeadlineTimer guard(120000);
    while (probe.busy() && !guard.hasExpired()) {
        probe.waitForResults(1000);
        all += probe.take();
    }
    return all;
}

// What the engine in this process reads of the file, as the panel would keep it.
library::StreamProbe::Result inProcess(audio::AudioApi& engine, const QString& path)
{
    library::StreamProbe::Result r;
    r.path = path;
    r.outcome = Outcome::Unreadable;
    if (platform::LocalFiles::isSpecialFile(path))
        return r;
    const audio::HSTREAM s = engine.streamCreateFile(path);
    if (s == 0)
        return r;
    audio::ChannelInfo info;
    engine.channelGetInfo(s, info);
    r.outcome = Outcome::Read;
    r.facts.freq = info.freq;
    r.facts.chans = info.chans;
    r.facts.bitrate = info.bitrate;
    r.facts.seconds = engine.channelBytes2Seconds(s, engine.channelGetLength(s));
    r.facts.fileSize = std::uint32_t(engine.streamGetFilePosition(s, audio::FilePosEnd));
    engine.streamFree(s);
    return r;
}

QString text(const library::StreamProbe::Result& r)
{
    const char* outcome[] = {"read", "unreadable", "not read"};
    return QStringLiteral("%1 %2 Hz %3 ch %4 bit/s %5 s %6 bytes")
        .arg(outcome[int(r.outcome)])
        .arg(r.facts.freq)
        .arg(r.facts.chans)
        .arg(r.facts.bitrate)
        .arg(r.facts.seconds, 0, 'f', 6)
        .arg(r.facts.fileSize);
}

// A stand-in reader: a shell script answering every name with the same facts, crashing on a
// name holding "crash" (a segmentation fault) or "abort", stopping on one holding "quit", never
// answering one holding "hang" and taking two seconds over one holding "slow". On a name
// holding "oom" or "term" it is ended as another process would end it (SIGKILL, as the
// out-of-memory killer does, or SIGTERM), the first time only; on one holding "always", every
// time.
QString scriptReader(const QString& dir)
{
    const QString path = dir + QStringLiteral("/reader.sh");
    writeFile(
        path,
        "#!/bin/bash\n"
        "[ \"$1\" = --read-stream-facts ] || exit 2\n"
        "seen=\"$(dirname \"$0\")/seen\"\n"
        "mkdir -p \"$seen\"\n"
        "while IFS= read -r -d '' name || [ -n \"$name\" ]; do\n"
        "  case $name in *crash*) kill -SEGV $$ ;; *abort*) kill -ABRT $$ ;; *quit*) exit 0 ;;\n"
        "    *hang*) exec sleep 1000 ;; *slow*) sleep 2 ;; *always*) kill -KILL $$ ;; esac\n"
        "  case $name in *oom*|*term*)\n"
        "    if [ ! -e \"$seen/$name\" ]; then\n"
        "      touch \"$seen/$name\"\n"
        "      case $name in *oom*) kill -KILL $$ ;; *) kill -TERM $$ ;; esac\n"
        "    fi ;; esac\n"
        "  echo 'ok 8000 1 16000 4000 32000'\n"
        "done\n");
    ::chmod(QFile::encodeName(path).constData(), 0755);
    return path;
}

} // namespace

TEST(StreamProbe, ReadsWhatTheEngineReads)
{
    ASSERT_TRUE(QFile::exists(program())) << "the program is built beside the tests";
    QTemporaryDir dir;
    const QString d = dir.path() + "/";
    QString log;
    ASSERT_TRUE(ffmpegSine(d + "cbr.mp3", 7.5, 440, 128, &log)) << log.toStdString();
    ASSERT_TRUE(ffmpegSine(d + "low.mp3", 61.2, 440, 32, &log, 8000, 1)) << log.toStdString();
    ASSERT_TRUE(ffmpegSine(d + "music.wma", 12.25, 440, 96, &log)) << log.toStdString();
    ASSERT_TRUE(writeFile(d + "wave inside.mp3", sineWav(2.5, 440)));
    ASSERT_TRUE(writeFile(d + "text.mp3", "not audio at all\n"));
    ASSERT_TRUE(writeFile(d + "empty.wma", QByteArray()));
    ASSERT_TRUE(QFile::copy(d + "cbr.mp3", d + "line\nbreak.mp3"));
    const QString latin1 = platform::LocalFiles::decodeName(QFile::encodeName(d) + "caf\xe9.mp3");
    ASSERT_TRUE(QFile::copy(d + "cbr.mp3", d + "tmp.mp3"));
    ASSERT_EQ(::rename(QFile::encodeName(d + "tmp.mp3").constData(),
                       platform::LocalFiles::encodeName(latin1).constData()),
              0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(d + "fifo.mp3").constData(), 0600), 0);
    const QStringList paths = {d + "cbr.mp3",         d + "low.mp3",  d + "music.wma",
                               d + "wave inside.mp3", d + "text.mp3", d + "empty.wma",
                               d + "line\nbreak.mp3", latin1,         d + "fifo.mp3",
                               d + "gone.mp3"};

    QStringList expected;
    {
        audio::Engine engine;
        for (const QString& p : paths)
            expected << text(inProcess(engine, p));
    }
    EXPECT_TRUE(expected[0].startsWith("read 44100 Hz 2 ch 128000")) << expected[0].toStdString();
    EXPECT_TRUE(expected[7].startsWith("read")) << "a name that is not UTF-8 opens";

    library::StreamProbe probe(program());
    ASSERT_TRUE(probe.start(paths));
    EXPECT_FALSE(probe.start(paths)) << "one reading at a time";
    const auto results = readAll(probe);
    ASSERT_EQ(results.size(), paths.size());
    for (int i = 0; i < paths.size(); ++i) {
        SCOPED_TRACE(paths[i].toStdString());
        EXPECT_EQ(results[i].path, paths[i]);
        EXPECT_EQ(text(results[i]), expected[i]);
    }
    EXPECT_TRUE(probe.start({})) << "nothing to read is done at once";
    EXPECT_FALSE(probe.busy());
    ::unlink(platform::LocalFiles::encodeName(latin1).constData()); // Qt cannot see it to remove it
}

TEST(StreamProbe, CrashesAndEarlyEndsLoseOnlyWhatTheyMust)
{
    QTemporaryDir dir;
    const QString reader = scriptReader(dir.path());
    struct Case {
        const char* what;
        QStringList names;
        QList<Outcome> outcomes;
    };
    const Case cases[] = {
        {"a crash in the middle",
         {"a", "b crash", "c", "d"},
         {Outcome::Read, Outcome::Unreadable, Outcome::Read, Outcome::Read}},
        {"crashes one after another",
         {"crash 1", "crash 2", "e"},
         {Outcome::Unreadable, Outcome::Unreadable, Outcome::Read}},
        {"a crash on the last", {"f", "g crash"}, {Outcome::Read, Outcome::Unreadable}},
        {"an early end", {"h", "i quit", "j"}, {Outcome::Read, Outcome::NotRead, Outcome::NotRead}},
        {"an abort", {"i2 abort", "j2"}, {Outcome::Unreadable, Outcome::Read}},
        // Ended from outside: the file is read again by a new process, once.
        {"killed from outside", {"n", "o oom", "p"}, {Outcome::Read, Outcome::Read, Outcome::Read}},
        {"terminated from outside", {"q term", "r"}, {Outcome::Read, Outcome::Read}},
        {"killed from outside on two files", {"s oom", "t oom"}, {Outcome::Read, Outcome::Read}},
        {"killed from outside twice on one file",
         {"u", "v always", "w"},
         {Outcome::Read, Outcome::NotRead, Outcome::NotRead}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        library::StreamProbe probe(reader);
        ASSERT_TRUE(probe.start(c.names));
        const auto results = readAll(probe);
        ASSERT_EQ(results.size(), c.names.size());
        for (int i = 0; i < results.size(); ++i) {
            EXPECT_EQ(results[i].path, c.names[i]);
            EXPECT_EQ(int(results[i].outcome), int(c.outcomes[i])) << i;
            if (results[i].outcome == Outcome::Read) {
                EXPECT_EQ(results[i].facts.seconds, 2.0) << i;
            }
        }
    }
    // Stuck on one file: after the time limit (far beyond any start of the stand-in, so a busy
    // machine cannot make a quick file look stuck) it is unreadable and the rest is read. The
    // limit is per file: three slow files take longer together than the limit, each far less.
    const struct {
        const char* what;
        QStringList names;
        QList<Outcome> outcomes;
    } limited[] = {
        {"a hang", {"k", "l hang", "m"}, {Outcome::Read, Outcome::Unreadable, Outcome::Read}},
        {"slow files",
         {"slow 1", "slow 2", "slow 3"},
         {Outcome::Read, Outcome::Read, Outcome::Read}},
    };
    for (const auto& c : limited) {
        SCOPED_TRACE(c.what);
        library::StreamProbe patient(reader, 5000);
        ASSERT_TRUE(patient.start(c.names));
        const auto results = readAll(patient);
        ASSERT_EQ(results.size(), c.names.size());
        for (int i = 0; i < results.size(); ++i)
            EXPECT_EQ(int(results[i].outcome), int(c.outcomes[i])) << i;
    }

    library::StreamProbe missing(dir.path() + "/no-such-program");
    EXPECT_FALSE(missing.start({"a"})) << "the caller reads the files itself";
    EXPECT_FALSE(missing.busy());
}

// The window's library with the real reader: an activation lists the folder, the panel shows
// the first file by its format alone, and the tick fills in every length and then the panel;
// a file copied in and found by Refresh goes the same way. This process's engine (a fake that
// can decode nothing) is never asked.
TEST(StreamProbe, LibraryListsAndDetailsWithoutOpeningAFile)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + "/rec/";
    ASSERT_TRUE(QDir().mkpath(folder));
    QString log;
    ASSERT_TRUE(ffmpegSine(folder + "a.mp3", 65.5, 440, 128, &log)) << log.toStdString();
    ASSERT_TRUE(ffmpegSine(folder + "b.wma", 3.5, 440, 96, &log)) << log.toStdString();
    ASSERT_TRUE(writeFile(folder + "c.mp3", "broken"));
    ASSERT_TRUE(writeFile(folder + "d.wav", sineWav(1.5, 440)));

    struct Case {
        const char* what;
        QString reader;
        QStringList openedHere; // what this process's engine is asked to open
    };
    const Case cases[] = {
        {"the program as reader", program(), {}},
        // The list reads its files here, then the panel its first one.
        {"no reader can start",
         dir.path() + "/missing",
         {folder + "a.mp3", folder + "b.wma", folder + "c.mp3", folder + "a.mp3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeHost host;
        host.folder = folder;
        host.lang.open(writeLanguage(dir.path()));
        FakeListView list;
        list.editable = true;
        FakePanel panel;
        testsupport::RecordingMessageSink sink;
        testsupport::FakeAudio engine;
        library::RecordingsLibrary library(host, list, panel, engine, sink, QIcon());
        library.setProbeProgram(c.reader);

        library.activate();
        ASSERT_EQ(list.captions(), QStringList({"a.mp3", "b.wma", "c.mp3", "d.wav"}));
        EXPECT_EQ(list.items[3].duration, "00:01");
        const QDeadlineTimer guard(120000);
        const auto ticks = [&] {
            while (library.lister().deferredCount() > 0 && !guard.hasExpired()) {
                QTest::qWait(20);
                library.readDeferredDurations();
            }
        };
        ticks();
        QStringList durations;
        for (const ListItem& i : list.items)
            durations << i.duration;
        EXPECT_TRUE(library.info().pendingPath().isEmpty());
        if (c.openedHere.isEmpty()) {
            EXPECT_EQ(durations, QStringList({"01:05", "00:03", "00:00", "00:01"}));
            EXPECT_EQ(panel.labels,
                      library::FileInfoLabels({"mp3", "44100", "Stereo", "16", "128", "01:05"}));
            EXPECT_TRUE(sink.messages().isEmpty());
        } else {
            // The fake engine decodes nothing: every stream file reads as broken here. The
            // activation's own selection of the first one says nothing of it.
            EXPECT_EQ(durations, QStringList({"00:00", "00:00", "00:00", "00:01"}));
            EXPECT_EQ(panel.labels, library::FileInfoLabels());
            EXPECT_TRUE(sink.messages().isEmpty());
        }
        EXPECT_EQ(engine.opened, c.openedHere);

        // Copied in with a broken one, the folder refreshed; the broken one clicked before its
        // facts are in says so once they are; then the new file selected.
        ASSERT_TRUE(QFile::copy(folder + "a.mp3", folder + "z.mp3"));
        ASSERT_TRUE(writeFile(folder + "y.mp3", "broken too"));
        library.commands().Refresh();
        list.focused = list.captions().indexOf("y.mp3");
        library.commands().ListClick();
        ticks();
        ASSERT_EQ(sink.messages().size(), 1);
        EXPECT_EQ(sink.messages()[0].text, "Bad MP3");
        EXPECT_EQ(panel.fileName, "y.mp3");
        EXPECT_EQ(panel.labels, library::FileInfoLabels());
        library.SelectFile("z.mp3");
        ticks();
        ASSERT_EQ(list.captions(),
                  QStringList({"a.mp3", "b.wma", "c.mp3", "d.wav", "y.mp3", "z.mp3"}));
        if (c.openedHere.isEmpty()) {
            EXPECT_EQ(list.items[5].duration, "01:05");
            EXPECT_EQ(panel.labels.totalTime, "01:05");
            EXPECT_EQ(engine.opened, QStringList());
        } else {
            EXPECT_EQ(engine.opened.mid(c.openedHere.size()),
                      QStringList({folder + "y.mp3", folder + "z.mp3", folder + "y.mp3",
                                   folder + "z.mp3"}));
        }
        EXPECT_EQ(sink.messages().size(), 1);
        QFile::remove(folder + "y.mp3");
        QFile::remove(folder + "z.mp3");
    }
}
