// ctest-label: unit
// The recording session against a fake engine whose capture thread delivers generated blocks:
// the order of the start and stop steps, the hand-over of blocks to the writer in whole chunks
// with the tail at Stop, pause and continue, every failure with its message, and a writer that
// fails on the capture thread.
#include "recording/RecordingSession.h"

#include "SessionFakes.h"
#include "platform/LocalFiles.h"
#include "support/WithoutRights.h"
#include "support/record_formats.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using testsupport::recordFormat;

using fakes::EventLog;

class SessionFlow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        folder_ = dir_.path() + QLatin1Char('/');
        ASSERT_TRUE(host_.loadTexts(dir_.filePath("English.ini"),
                                    "DeviceLostRecord=gone, kept in %1\n"
                                    "LineLostRecord=%1 gone, kept in %2\n"
                                    "FolderNotWritable=cannot write in %1 (%2)\n"));
        recordings_ = dir_.filePath("rec");
        ASSERT_TRUE(QDir().mkpath(recordings_));
        recordings_ += QLatin1Char('/');
    }

    QStringList messageTexts() const
    {
        QStringList texts;
        for (const auto& m : sink_.messages())
            texts << m.message.text;
        return texts;
    }

    QStringList filesOnDisk() const { return QDir(recordings_).entryList(QDir::Files); }

    QTemporaryDir dir_;
    QString folder_;
    QString recordings_;
    EventLog log_;
    fakes::FakeCaptureAudio audio_{log_};
    fakes::ThreadNotingSink sink_{log_};
    fakes::FakeWriterFactory writers_{sink_, log_};
    fakes::FakeHost host_{log_};
};

// 250 stereo frames = 1000 bytes a block.
constexpr int kFrames = 250;

TEST_F(SessionFlow, StartFeedStopPerFormat)
{
    struct Case {
        std::uint8_t code;
        int chunk;
        const char* name;
        std::vector<std::int64_t> writes; // after 5 blocks of 1000 bytes and Stop
        int writesOnCaptureThread;
    };
    const Case cases[] = {
        {recording::RecordFormat::Wav, 0, "Vexa_001.wav", {1000, 1000, 1000, 1000, 1000}, 5},
        {recording::RecordFormat::Mp3, 4608, "Vexa_001.mp3", {4608, 392}, 1},
        {recording::RecordFormat::Wma, 16384, "Vexa_001.wma", {5000}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        log_.clear();
        for (const QString& f : filesOnDisk())
            QFile::remove(recordings_ + f);
        writers_.script = fakes::WriterScript{c.chunk, -1, true};
        host_.arrange(Idle);
        recording::RecordingSession session(audio_, writers_, sink_, host_);

        session.record(recordings_, recordFormat(c.code));
        ASSERT_TRUE(session.isRecording());
        EXPECT_EQ(session.recordFilePath(), recordings_ + QLatin1String(c.name));
        const QStringList started = {
            QStringLiteral("writers.create %1").arg(c.code),
            QStringLiteral("writer.open %1").arg(QLatin1String(c.name)),
            QStringLiteral("audio.recordSetInput 3 20000 0.250"),
            QStringLiteral("audio.recordStart 44100 2"),
            QStringLiteral("host.setChannel %1").arg(session.channel()),
            QStringLiteral("host.SetTransportState 3"),
            QStringLiteral("host.takeStarted %1").arg(QLatin1String(c.name)),
        };
        EXPECT_EQ(log_.events(), started);

        EXPECT_EQ(audio_.deliver(5, kFrames), 5);
        log_.clear();
        ASSERT_TRUE(session.stop());
        const QStringList stopped = {
            QStringLiteral("audio.channelStop %1").arg(session.channel()),
            QStringLiteral("audio.streamFree %1").arg(session.channel()),
            QStringLiteral("writer.close"),
            // Every frame given reached the file: the library is told how many.
            QStringLiteral("host.takeFinished %1 %2 1250").arg(QLatin1String(c.name)).arg(c.code),
            QStringLiteral("host.SetTransportState 0"),
        };
        EXPECT_EQ(log_.events(), stopped);
        EXPECT_FALSE(session.isRecording());
        EXPECT_FALSE(session.stop()); // nothing left to stop

        const auto& trace = *writers_.traces.back();
        EXPECT_EQ(trace.writes, c.writes);
        EXPECT_EQ(trace.bytes.size(), 5000u);
        EXPECT_EQ(trace.closes, 1);
        EXPECT_EQ(trace.writesAfterClose, 0);
        EXPECT_TRUE(trace.destroyed);
        for (std::size_t i = 0; i < trace.writeThreads.size(); ++i) {
            const bool onCapture = static_cast<int>(i) < c.writesOnCaptureThread;
            EXPECT_EQ(trace.writeThreads[i] == audio_.captureThread(), onCapture) << i;
        }
        EXPECT_TRUE(sink_.messages().empty());
    }
}

// The number of a take that captured no audio (Stop at once, before the first block) stays free:
// its file is removed, and the next take gets that number, in whatever format.
TEST_F(SessionFlow, NumbersFollowExistingRecordingsAndEmptyTakesLeaveNone)
{
    struct Take {
        std::uint8_t code;
        int blocks; // captured before Stop
        const char* name;
        QStringList onDisk; // afterwards
    };
    const std::uint8_t mp3 = recording::RecordFormat::Mp3, wav = recording::RecordFormat::Wav,
                       wma = recording::RecordFormat::Wma;
    const Take takes[] = {
        {mp3, 1, "Vexa_001.mp3", {"Vexa_001.mp3"}},
        {wav, 0, "Vexa_002.wav", {"Vexa_001.mp3"}},
        {wma, 0, "Vexa_002.wma", {"Vexa_001.mp3"}},
        {mp3, 0, "Vexa_002.mp3", {"Vexa_001.mp3"}},
        {wav, 2, "Vexa_002.wav", {"Vexa_001.mp3", "Vexa_002.wav"}},
        {wma, 1, "Vexa_003.wma", {"Vexa_001.mp3", "Vexa_002.wav", "Vexa_003.wma"}},
    };
    recording::RecordingSession session(audio_, writers_, sink_, host_);
    for (const Take& t : takes) {
        SCOPED_TRACE(t.name);
        writers_.script = fakes::WriterScript{t.code == wav ? 0 : 4608, -1, true};
        session.record(recordings_, recordFormat(t.code));
        EXPECT_EQ(session.recordFilePath(), recordings_ + QLatin1String(t.name));
        EXPECT_EQ(audio_.deliver(t.blocks, kFrames), t.blocks);
        log_.clear();
        ASSERT_TRUE(session.stop());
        EXPECT_EQ(filesOnDisk(), t.onDisk);
        // The library is told of the take; one without audio is no complete file.
        const QString finished = log_.events().filter("host.takeFinished").value(0);
        EXPECT_EQ(finished.endsWith(" incomplete"), t.blocks == 0) << finished.toStdString();
        EXPECT_EQ(host_.state, Idle);
    }
    EXPECT_TRUE(sink_.messages().empty());
}

TEST_F(SessionFlow, PauseLeavesThePausedSpanOut)
{
    constexpr int Resumed = 200; // blocks after the pause: 1.13 s

    for (bool stopWhilePaused : {false, true}) {
        SCOPED_TRACE(stopWhilePaused);
        writers_.script = fakes::WriterScript{0, -1, true};
        host_.arrange(Idle);
        recording::RecordingSession session(audio_, writers_, sink_, host_);
        const recording::RecordFormat wav = recordFormat(recording::RecordFormat::Wav);
        session.record(recordings_, wav);
        const audio::Handle h = session.channel();
        EXPECT_EQ(audio_.deliver(3, kFrames), 3);

        log_.clear();
        session.record(recordings_, wav); // pause
        EXPECT_TRUE(session.isPaused());
        EXPECT_EQ(log_.events(), QStringList({QStringLiteral("audio.channelPause %1").arg(h),
                                              QStringLiteral("host.SetTransportState 4")}));
        EXPECT_EQ(audio_.deliver(4, kFrames), 0);

        if (!stopWhilePaused) {
            log_.clear();
            session.record(recordings_, wav); // continue
            EXPECT_EQ(log_.events(),
                      QStringList({QStringLiteral("audio.channelPlay %1 0").arg(h),
                                   QStringLiteral("host.SetTransportState 3")}));
            // The take runs on for more than a second after the pause, every block written.
            EXPECT_EQ(audio_.deliver(Resumed, kFrames), Resumed);
        }
        log_.clear();
        ASSERT_TRUE(session.stop());
        EXPECT_EQ(host_.state, Idle);
        const auto& trace = *writers_.traces.back();
        const int blocks = stopWhilePaused ? 3 : 3 + Resumed;
        EXPECT_EQ(trace.bytes.size(), std::size_t(blocks) * 1000u);
        // The length the library is given leaves the paused span out as the file does.
        EXPECT_TRUE(log_.events().contains(QStringLiteral("host.takeFinished %1 0 %2")
                                               .arg(QFileInfo(session.recordFilePath()).fileName())
                                               .arg(blocks * kFrames)))
            << log_.events().join('\n').toStdString();
        EXPECT_EQ(trace.closes, 1);
    }
}

TEST_F(SessionFlow, FailedStartsShowTheirMessageAndLeaveNothing)
{
    struct Case {
        const char* what;
        bool fillFolder;
        int openResult;
        bool failCapture;
        const char* message; // "%1" stands for the folder
        bool writerCreated;
        bool captureTried;
        bool setsIdle;
        bool readOnly = false;
    };
    const Case cases[] = {
        {"all numbers taken", true, 0, false, "cannot open", false, false, false},
        // One box that names the folder and the system's reason, and no writer's box before it.
        {"folder cannot be written to", false, 4608, false,
         "cannot write in %1 (Permission denied)", false, false, false, true},
        {"writer cannot open", false, -1, false, "cannot open", true, false, false},
        {"capture cannot start", false, 0, true, "cannot capture", true, true, true},
        {"capture cannot start (mp3)", false, 4608, true, "cannot capture", true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir folder;
        ASSERT_TRUE(folder.isValid());
        const QString path = folder.path() + QLatin1Char('/');
        if (c.fillFolder) {
            for (int n = 1; n <= 1000; ++n) {
                QFile f(path + QString::asprintf("Vexa_%03d.mp3", n));
                ASSERT_TRUE(f.open(QIODevice::WriteOnly));
                f.write("keep");
            }
        }
        const QStringList before = QDir(path).entryList(QDir::Files);
        log_.clear();
        sink_.clear();
        writers_.traces.clear();
        writers_.script = fakes::WriterScript{c.openResult, -1, true};
        audio_.failRecordStart = c.failCapture;
        host_.arrange(Idle);

        recording::RecordingSession session(audio_, writers_, sink_, host_);
        {
            std::unique_ptr<testsupport::WithoutRights> readOnly;
            if (c.readOnly) {
                testsupport::WithoutRights::openToOthers(folder.path());
                readOnly = std::make_unique<testsupport::WithoutRights>(folder.path());
            }
            session.record(path, recordFormat(recording::RecordFormat::Mp3));
        }

        EXPECT_FALSE(session.isRecording());
        EXPECT_EQ(host_.state, Idle);
        EXPECT_EQ(QDir(path).entryList(QDir::Files), before);
        const auto messages = sink_.messages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].message.text, QString::fromLatin1(c.message).replace("%1", path));
        EXPECT_EQ(messages[0].message.caption, QStringLiteral("Vexa Recorder"));
        EXPECT_EQ(messages[0].message.icon, platform::MessageIcon::Information);
        EXPECT_FALSE(messages[0].message.withOwner);
        EXPECT_EQ(writers_.traces.size(), c.writerCreated ? 1u : 0u);
        if (c.captureTried) {
            EXPECT_EQ(writers_.traces[0]->closes, 1);
            EXPECT_TRUE(writers_.traces[0]->destroyed);
        }
        const QStringList events = log_.events();
        EXPECT_EQ(events.contains(QStringLiteral("audio.recordStart 44100 2")), c.captureTried);
        EXPECT_EQ(events.contains(QStringLiteral("host.SetTransportState 0")), c.setsIdle);
        EXPECT_FALSE(events.contains(QStringLiteral("host.SetTransportState 3")));
        EXPECT_EQ(host_.channel, 0u);
        if (c.fillFolder) {
            QFile first(path + QStringLiteral("Vexa_001.mp3"));
            ASSERT_TRUE(first.open(QIODevice::ReadOnly));
            EXPECT_EQ(first.readAll(), QByteArray("keep"));
        }
    }
    audio_.failRecordStart = false;
}

// A missing recordings folder (a new account without a documents folder, a chosen folder
// removed since) is made with its parents at Record, in every format; a folder that cannot be
// made gives one message that names it and says why, and nothing starts.
TEST_F(SessionFlow, MissingFolderIsMadeAtRecordOrNamedInOneMessage)
{
    struct Case {
        const char* what;
        const char* folder; // under a fresh folder that holds a plain file "plain"
        const char* reason; // empty: the folder is made and the take starts
    };
    const Case cases[] = {
        {"missing with its parents", "home/Documents/takes/", ""},
        {"names with spaces and accents",
         "Mes documents/\xc3\x9c"
         "ber Aufnahmen/",
         ""},
        {"under a plain file", "plain/rec/", "Not a directory"},
        {"a plain file itself", "plain/", "Not a directory"},
    };
    for (const std::uint8_t code : {recording::RecordFormat::Wav, recording::RecordFormat::Mp3,
                                    recording::RecordFormat::Wma}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + " " + std::to_string(code));
            QTemporaryDir base;
            ASSERT_TRUE(base.isValid());
            QFile plain(base.filePath("plain"));
            ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
            plain.close();
            const QString folder = base.path() + QLatin1Char('/') +
                platform::LocalFiles::decodeName(QByteArray(c.folder));
            sink_.clear();
            writers_.traces.clear();
            writers_.script = fakes::WriterScript{0, -1, true};
            host_.arrange(Idle);
            {
                recording::RecordingSession session(audio_, writers_, sink_, host_);
                session.record(folder, recordFormat(code));

                const bool made = *c.reason == 0;
                EXPECT_EQ(session.isRecording(), made);
                EXPECT_TRUE(platform::LocalFiles::isRegularFile(base.filePath("plain")));
                if (made) {
                    EXPECT_TRUE(platform::LocalFiles::exists(folder));
                    EXPECT_FALSE(platform::LocalFiles::isRegularFile(folder));
                    ASSERT_EQ(writers_.traces.size(), 1u);
                    EXPECT_TRUE(writers_.traces[0]->path.startsWith(folder));
                    EXPECT_TRUE(sink_.messages().empty())
                        << sink_.messages()[0].message.text.toStdString();
                    EXPECT_TRUE(session.stop());
                } else {
                    EXPECT_TRUE(writers_.traces.empty());
                    EXPECT_EQ(host_.state, Idle);
                    const auto messages = sink_.messages();
                    ASSERT_EQ(messages.size(), 1u);
                    const QString text = messages[0].message.text;
                    EXPECT_TRUE(text.contains(QDir::toNativeSeparators(folder)))
                        << text.toStdString();
                    EXPECT_TRUE(text.contains(QLatin1String(c.reason))) << text.toStdString();
                }
            }
        }
    }
}

TEST_F(SessionFlow, WriterFailingOnTheCaptureThread)
{
    struct Case {
        const char* what;
        std::uint8_t code;
        int chunk;
        int failOnWrite;
        std::size_t writesBeforeStop; // including the failed one
    };
    const Case cases[] = {
        {"mp3 second chunk", recording::RecordFormat::Mp3, 4608, 1, 2},
        {"wma first chunk", recording::RecordFormat::Wma, 16384, 0, 1},
        {"wav third block", recording::RecordFormat::Wav, 0, 2, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        log_.clear();
        sink_.clear();
        writers_.script = fakes::WriterScript{c.chunk, c.failOnWrite, true};
        host_.arrange(Idle);
        recording::RecordingSession session(audio_, writers_, sink_, host_);
        session.record(recordings_, recordFormat(c.code));
        ASSERT_TRUE(session.isRecording());

        // Enough blocks for several chunks; the capture ends at the failure.
        audio_.deliver(40, kFrames);
        EXPECT_TRUE(audio_.ended());
        EXPECT_TRUE(session.captureFailed());
        EXPECT_EQ(audio_.deliver(5, kFrames), 0);
        const auto messages = sink_.messages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].message.text, QStringLiteral("cannot write"));
        EXPECT_EQ(messages[0].message.caption, QStringLiteral("Vexa Recorder"));
        EXPECT_EQ(messages[0].thread, audio_.captureThread());
        // The transport stays in the recording state until Stop.
        EXPECT_EQ(host_.state, Recording);

        log_.clear();
        ASSERT_TRUE(session.stop());
        // The file holds less than was captured: its length is left to whoever reads it.
        EXPECT_TRUE(log_.events().join('\n').contains(" incomplete"));
        const auto& trace = *writers_.traces.back();
        EXPECT_EQ(trace.writes.size(), c.writesBeforeStop); // no tail after a failure
        EXPECT_EQ(trace.closes, 1);
        EXPECT_EQ(host_.state, Idle);
        EXPECT_EQ(sink_.messages().size(), 1u);
    }
}

// The device, the sound server or the recorded line alone goes away while recording,
// capturing or paused: the next tick completes the file exactly as Stop does (tail included,
// re-listed, Idle) and says once where it is, and which line went away when the server stayed.
// A running capture, a capture ended by a write failure, and no recording are left alone.
TEST_F(SessionFlow, LostDeviceCompletesTheFileAtTheNextTick)
{
    struct Case {
        const char* what;
        bool paused;
        bool lose;
        int failOnWrite;
        bool completed;
        bool lineOnly = false;
    };
    const Case cases[] = {
        {"lost while capturing", false, true, -1, true},
        {"lost while paused", true, true, -1, true},
        {"line lost while capturing", false, true, -1, true, true},
        {"line lost while paused", true, true, -1, true, true},
        {"capturing", false, false, -1, false},
        {"paused", true, false, -1, false},
        {"ended by a write failure", false, false, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        log_.clear();
        sink_.clear();
        for (const QString& f : filesOnDisk())
            QFile::remove(recordings_ + f);
        writers_.script = fakes::WriterScript{4608, c.failOnWrite, true};
        host_.arrange(Idle);
        recording::RecordingSession session(audio_, writers_, sink_, host_);
        session.record(recordings_, recordFormat(recording::RecordFormat::Mp3));
        ASSERT_TRUE(session.isRecording());
        audio_.deliver(5, kFrames);
        if (c.paused)
            session.record(recordings_, recordFormat(recording::RecordFormat::Mp3));
        if (c.lose)
            audio_.loseDevice(session.channel(), c.lineOnly);
        sink_.clear();
        log_.clear();

        EXPECT_EQ(session.checkCapture(), c.completed);
        EXPECT_EQ(session.checkCapture(), false) << "said once";
        if (!c.completed) {
            EXPECT_TRUE(session.isRecording());
            EXPECT_TRUE(sink_.messages().empty());
            session.stop();
            continue;
        }
        EXPECT_FALSE(session.isRecording());
        EXPECT_EQ(host_.state, Idle);
        EXPECT_EQ(writers_.traces.back()->writes, std::vector<std::int64_t>({4608, 392}));
        EXPECT_EQ(writers_.traces.back()->closes, 1);
        EXPECT_EQ(log_.events().filter(QStringLiteral("host.takeFinished Vexa_001.mp3")).size(), 1);
        ASSERT_EQ(sink_.messages().size(), 1u);
        EXPECT_EQ(sink_.messages()[0].message.text,
                  (c.lineOnly ? QStringLiteral("Fake line gone, kept in ")
                              : QStringLiteral("gone, kept in ")) +
                      QDir::toNativeSeparators(recordings_ + "Vexa_001.mp3"));
    }
}

TEST_F(SessionFlow, CloseFailureIsReportedOnce)
{
    writers_.script = fakes::WriterScript{0, -1, false};
    recording::RecordingSession session(audio_, writers_, sink_, host_);
    session.record(recordings_, recordFormat(recording::RecordFormat::Wav));
    audio_.deliver(2, kFrames);
    log_.clear();
    ASSERT_TRUE(session.stop());
    const auto messages = sink_.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].message.text, QStringLiteral("cannot write"));
    EXPECT_EQ(messages[0].thread, std::this_thread::get_id());
    EXPECT_TRUE(log_.events().join('\n').contains(" incomplete")) << "an incomplete file";
}

TEST_F(SessionFlow, RecordDuringPlaybackDoesNothing)
{
    for (TransportState s : {Playing, PlayPaused}) {
        log_.clear();
        host_.arrange(s);
        recording::RecordingSession session(audio_, writers_, sink_, host_);
        session.record(recordings_, recordFormat(recording::RecordFormat::Wav));
        EXPECT_FALSE(session.isRecording());
        EXPECT_TRUE(log_.events().isEmpty());
    }
}

// Closing the window: the file is completed, tail included, without touching the list or the
// transport of a window that is going away.
TEST_F(SessionFlow, FinaliseAndDestructionCompleteTheFile)
{
    for (bool byDestructor : {false, true}) {
        SCOPED_TRACE(byDestructor);
        writers_.script = fakes::WriterScript{4608, -1, true};
        host_.arrange(Idle);
        {
            recording::RecordingSession session(audio_, writers_, sink_, host_);
            session.record(recordings_, recordFormat(recording::RecordFormat::Mp3));
            audio_.deliver(5, kFrames);
            log_.clear();
            if (!byDestructor) {
                session.finalise();
                EXPECT_FALSE(session.isRecording());
            }
        }
        const QStringList events = log_.events();
        ASSERT_EQ(events.size(), 3);
        EXPECT_TRUE(events[0].startsWith(QLatin1String("audio.channelStop")));
        EXPECT_TRUE(events[1].startsWith(QLatin1String("audio.streamFree")));
        EXPECT_EQ(events[2], QStringLiteral("writer.close"));
        const auto& trace = *writers_.traces.back();
        EXPECT_EQ(trace.writes, std::vector<std::int64_t>({4608, 392}));
        EXPECT_EQ(trace.closes, 1);
    }
}

} // namespace
