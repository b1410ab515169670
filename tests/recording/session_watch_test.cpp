// ctest-label: unit
// The recording session's watches over a take, against the fake engine, a scripted disk and a
// scripted clock: Record refused without room for ten seconds, the free-space note once and
// without a modal box, the recording ended before the disk is full as Stop ends it; dropouts
// written as silence of their length and, with clipping, told in one box after Stop; a pause is
// no dropout; a clean take tells nothing.
#include "recording/RecordingSession.h"

#include "SessionFakes.h"
#include "support/record_formats.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

namespace {

using testsupport::recordFormat;

class ScriptedDisk : public platform::DiskSpace {
public:
    std::int64_t freeBytes(const QString& path) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        paths.push_back(path);
        return bytes;
    }
    void set(std::int64_t b)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        bytes = b;
    }
    std::vector<QString> paths;

private:
    std::mutex mutex_;
    std::int64_t bytes = std::int64_t(1) << 40;
};

// Notes (non-modal) apart from boxes.
class NoteSink : public fakes::ThreadNotingSink {
public:
    using ThreadNotingSink::ThreadNotingSink;
    void note(const platform::Message& m) override { notes.push_back(m.text); }
    QStringList notes;
};

std::atomic<std::int64_t> fakeNow{0};
std::int64_t fakeClock() { return fakeNow.load(); }

constexpr std::int64_t Ms = 1'000'000;
constexpr int Frames = 441; // 10 ms at 44100 Hz

class SessionWatch : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        recordings_ = dir_.filePath("rec");
        ASSERT_TRUE(QDir().mkpath(recordings_));
        recordings_ += QLatin1Char('/');
        fakeNow = 0;
        audio_.amplitude = 0.5;
    }

    std::unique_ptr<recording::RecordingSession> session()
    {
        auto s = std::make_unique<recording::RecordingSession>(audio_, writers_, sink_, host_);
        s->setDiskSpace(&disk_);
        s->setClock(&fakeClock);
        return s;
    }

    // n blocks of 10 ms, each arriving 10 ms after the one before.
    void blocks(int n)
    {
        for (int i = 0; i < n; ++i) {
            fakeNow += 10 * Ms;
            ASSERT_EQ(audio_.deliver(1, Frames), 1);
        }
    }

    QStringList boxes() const
    {
        QStringList texts;
        for (const auto& m : sink_.messages())
            texts << m.message.text;
        return texts;
    }

    QTemporaryDir dir_;
    QString recordings_;
    fakes::EventLog log_;
    fakes::FakeCaptureAudio audio_{log_};
    NoteSink sink_{log_};
    fakes::FakeWriterFactory writers_{sink_, log_};
    fakes::FakeHost host_{log_};
    ScriptedDisk disk_;
};

TEST_F(SessionWatch, RecordNeedsRoomForTenSeconds)
{
    struct Case {
        std::uint8_t code;
        double bytesPerSecond;
    };
    const Case cases[] = {{recording::RecordFormat::Wav, 176400},
                          {recording::RecordFormat::Mp3, 16000},
                          {recording::RecordFormat::Wma, 12000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.code));
        EXPECT_GE(recording::RecordingSession::bytesPerSecond(recordFormat(c.code)),
                  c.bytesPerSecond);
        EXPECT_LE(recording::RecordingSession::bytesPerSecond(recordFormat(c.code)),
                  c.bytesPerSecond * 1.2);
        const double rate = recording::RecordingSession::bytesPerSecond(recordFormat(c.code));
        for (const QString& f : QDir(recordings_).entryList(QDir::Files))
            QFile::remove(recordings_ + f);
        auto s = session();
        sink_.clear();
        log_.clear();
        disk_.set(std::int64_t(rate * 9.5));
        s->record(recordings_, recordFormat(c.code));
        EXPECT_FALSE(s->isRecording());
        EXPECT_EQ(host_.state, Idle);
        EXPECT_TRUE(log_.events().filter("writers.create").isEmpty()) << log_.events().join('\n').toStdString();
        EXPECT_TRUE(QDir(recordings_).entryList(QDir::Files).isEmpty());
        ASSERT_EQ(boxes().size(), 1);
        EXPECT_TRUE(boxes()[0].contains("0:09.5")) << boxes()[0].toStdString();
        EXPECT_TRUE(boxes()[0].contains("less than 10 seconds"));

        sink_.clear();
        disk_.set(std::int64_t(rate * 10.5));
        s->record(recordings_, recordFormat(c.code));
        EXPECT_TRUE(s->isRecording());
        ASSERT_TRUE(s->stop());
        EXPECT_TRUE(boxes().isEmpty());
    }
}

TEST_F(SessionWatch, NoteOnceThenEndsAsStopBeforeTheDiskIsFull)
{
    for (std::uint8_t code : {recording::RecordFormat::Wav, recording::RecordFormat::Mp3,
                              recording::RecordFormat::Wma}) {
        SCOPED_TRACE(int(code));
        const double rate = recording::RecordingSession::bytesPerSecond(recordFormat(code));
        writers_.script =
            fakes::WriterScript{code == recording::RecordFormat::Wav ? 0 : 4608, -1, true};
        auto s = session();
        sink_.clear();
        sink_.notes.clear();
        disk_.set(std::int64_t(rate * 1000));
        s->record(recordings_, recordFormat(code));
        ASSERT_TRUE(s->isRecording());
        const QString path = s->recordFilePath();
        auto ticks = [&](int n) {
            for (int i = 0; i < n; ++i)
                if (s->checkCapture())
                    return true;
            return false;
        };
        blocks(5);
        EXPECT_FALSE(ticks(3 * recording::RecordingSession::FreeSpaceTicks));
        EXPECT_TRUE(sink_.notes.isEmpty());
        // The disk is read every FreeSpaceTicks ticks, on the file's own file system.
        disk_.paths.clear();
        EXPECT_FALSE(ticks(recording::RecordingSession::FreeSpaceTicks));
        ASSERT_EQ(disk_.paths.size(), 1u);
        EXPECT_EQ(disk_.paths[0], path);

        disk_.set(std::int64_t(rate * 240));
        EXPECT_FALSE(ticks(recording::RecordingSession::FreeSpaceTicks * 3));
        ASSERT_EQ(sink_.notes.size(), 1); // once, and not as a box
        EXPECT_TRUE(sink_.notes[0].contains("4:00.0")) << sink_.notes[0].toStdString();
        EXPECT_TRUE(boxes().isEmpty());
        EXPECT_TRUE(s->isRecording());

        disk_.set(std::int64_t(rate * 4.9));
        log_.clear();
        EXPECT_TRUE(ticks(recording::RecordingSession::FreeSpaceTicks));
        EXPECT_FALSE(s->isRecording());
        EXPECT_EQ(host_.state, Idle);
        const QStringList events = log_.events();
        EXPECT_TRUE(events.contains("writer.close"));
        EXPECT_EQ(
            events.filter(QStringLiteral("host.takeFinished %1").arg(QFileInfo(path).fileName()))
                .size(),
            1);
        ASSERT_EQ(boxes().size(), 1);
        EXPECT_TRUE(boxes()[0].contains("recording has stopped"));
        EXPECT_TRUE(boxes()[0].contains(QDir::toNativeSeparators(path)));
        EXPECT_EQ(writers_.traces.back()->closes, 1);
        EXPECT_EQ(sink_.notes.size(), 1);
    }
}

TEST_F(SessionWatch, UnknownFreeSpaceNeverStops)
{
    writers_.script = fakes::WriterScript{0, -1, true};
    auto s = session();
    disk_.set(-1);
    s->record(recordings_, recordFormat(recording::RecordFormat::Wav));
    ASSERT_TRUE(s->isRecording());
    for (int i = 0; i < 5 * recording::RecordingSession::FreeSpaceTicks; ++i)
        EXPECT_FALSE(s->checkCapture());
    EXPECT_TRUE(sink_.notes.isEmpty());
    ASSERT_TRUE(s->stop());
}

TEST_F(SessionWatch, CleanTakeTellsNothing)
{
    writers_.script = fakes::WriterScript{0, -1, true};
    auto s = session();
    s->record(recordings_, recordFormat(recording::RecordFormat::Wav));
    blocks(300);
    ASSERT_TRUE(s->stop());
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(writers_.traces.back()->bytes.size(), 300u * Frames * 4);
}

// A line that gives digital silence for the take's first 3 s, or is muted at Record, is told
// once in a note naming it, and the take goes on; live input tells nothing.
TEST_F(SessionWatch, SilentOrMutedLineIsNotedOnceWithoutStopping)
{
    struct Case {
        const char* what;
        double amplitude;
        bool muted;
        int notesAtRecord;
        int notesAfter;
    };
    const Case cases[] = {
        {"silent", 0.0, false, 0, 1}, {"muted", 0.0, true, 1, 1}, {"live", 0.5, false, 0, 0}};
    writers_.script = fakes::WriterScript{0, -1, true};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sink_.notes.clear();
        audio_.amplitude = c.amplitude;
        audio_.line.muted = c.muted;
        auto s = session();
        s->record(recordings_, recordFormat(recording::RecordFormat::Wav));
        EXPECT_EQ(sink_.notes.size(), c.notesAtRecord);
        for (int i = 0; i < 400; ++i) { // 4 s
            blocks(1);
            EXPECT_FALSE(s->checkCapture());
        }
        ASSERT_EQ(sink_.notes.size(), c.notesAfter);
        if (c.notesAfter > 0) {
            EXPECT_TRUE(sink_.notes[0].contains("Fake line")) << sink_.notes[0].toStdString();
        }
        EXPECT_TRUE(s->isRecording());
        EXPECT_TRUE(boxes().isEmpty());
        ASSERT_TRUE(s->stop());
    }
    audio_.line.muted = false;
}

// A dropout and clipping, in a stereo and a mono take, told in one box: after Stop on their own,
// or inside the box that says why the take ended by itself (the sound server gone, the disk
// full). The same tone in every channel gives the same runs in each.
TEST_F(SessionWatch, DropoutIsWrittenAsSilenceAndToldWithClippingInOneBox)
{
    enum End { Stop, ServerLost, DiskFull };
    struct Case {
        const char* name;
        int channels;
        End end;
        const char* reason; // what the box says besides the summary
    };
    const Case cases[] = {
        {"stereo, Stop", 2, Stop, ""},
        {"mono, Stop", 1, Stop, ""},
        {"stereo, sound server gone", 2, ServerLost, "stopped working"},
        {"mono, sound server gone", 1, ServerLost, "stopped working"},
        {"stereo, disk full", 2, DiskFull, "room for only a few more seconds"},
        {"mono, disk full", 1, DiskFull, "room for only a few more seconds"},
    };
    std::uint64_t clipCount = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writers_.script = fakes::WriterScript{0, -1, true};
        sink_.clear();
        disk_.set(std::int64_t(1) << 40);
        audio_.amplitude = 0.5;
        auto s = session();
        const recording::RecordFormat format =
            recordFormat(recording::RecordFormat::Wav, c.channels);
        s->record(recordings_, format);
        ASSERT_TRUE(s->isRecording());
        const QString path = s->recordFilePath();
        blocks(100);         // 1 s
        fakeNow += 500 * Ms; // half a second lost
        blocks(100);
        audio_.amplitude = 2.0; // then far too loud
        blocks(50);
        switch (c.end) {
        case Stop: ASSERT_TRUE(s->stop()); break;
        case ServerLost:
            audio_.loseDevice(s->channel());
            ASSERT_TRUE(s->checkCapture());
            break;
        case DiskFull:
            disk_.set(std::int64_t(recording::RecordingSession::bytesPerSecond(format) * 4.9));
            ASSERT_TRUE(s->checkCapture());
            break;
        }
        EXPECT_FALSE(s->isRecording());

        ASSERT_EQ(s->gaps().count(), 1u);
        const std::uint64_t gap = s->gaps().totalFrames();
        EXPECT_NEAR(double(gap), 0.5 * 44100, 441);
        const std::size_t frameBytes = std::size_t(c.channels) * 2;
        const auto& bytes = writers_.traces.back()->bytes;
        ASSERT_EQ(bytes.size(), (250u * Frames + gap) * frameBytes);
        // The silence stands where the gap was found: shortly after the audio came back.
        const std::uint64_t at = s->gaps().firstAt();
        EXPECT_GE(at, 100u * Frames);
        EXPECT_LE(at, 110u * Frames);
        const auto atByte = bytes.begin() + std::ptrdiff_t(at * frameBytes);
        EXPECT_TRUE(std::all_of(atByte, atByte + std::ptrdiff_t(gap * frameBytes),
                                [](char b) { return b == 0; }));
        EXPECT_FALSE(std::all_of(atByte - 400, atByte, [](char b) { return b == 0; }));

        // Clipping from the first loud block on, the same runs in each channel of mono and
        // stereo.
        EXPECT_GT(s->clips().count(), 0u);
        if (clipCount == 0)
            clipCount = s->clips().count() / std::uint64_t(c.channels);
        EXPECT_EQ(s->clips().count(), clipCount * std::uint64_t(c.channels));
        EXPECT_GE(s->clips().firstAt(), 200u * Frames + gap);
        EXPECT_LT(s->clips().firstAt(), 201u * Frames + gap);
        ASSERT_EQ(boxes().size(), 1); // all in one box
        const QString text = boxes()[0];
        EXPECT_TRUE(text.contains("lost 1 time(s)")) << text.toStdString();
        EXPECT_TRUE(
            text.contains(QStringLiteral("%1 s in total").arg(double(gap) / 44100, 0, 'f', 2)))
            << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("%1 clipped passage(s)").arg(s->clips().count())))
            << text.toStdString();
        EXPECT_TRUE(text.contains("Lower the recording volume"));
        EXPECT_TRUE(text.contains(QLatin1String(c.reason))) << text.toStdString();
        if (c.end != Stop) {
            EXPECT_TRUE(text.contains(QDir::toNativeSeparators(path))) << text.toStdString();
        }
    }
}

// A stall the server rode out, taken back so slowly (a busy machine) that the shortfall looks
// steady for a while, and a take that ends or pauses while the counter still waits: the file
// holds every delivered block once, in order, byte for byte as a take without the stall, and
// nothing is told.
TEST_F(SessionWatch, BlocksHeldWhileTheCounterWaitsAreWrittenInOrder)
{
    struct Case {
        const char* name;
        std::int64_t stallMs;
        std::int64_t catchUpStepNs; // how often a block arrives while catching up
        int catchUpBlocks;
        bool pauseWhileHeld;
    };
    const Case cases[] = {
        {"slow catch-up", 3000, 9'500'000, 6000, false},
        {"stop while held", 2000, 0, 0, false},   // lost for good, Stop before it settles
        {"pause while held", 2000, 0, 0, true},
    };
    writers_.script = fakes::WriterScript{0, -1, true};
    const recording::RecordFormat wav = recordFormat(recording::RecordFormat::Wav);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fakeNow = 0;
        auto s = session();
        s->record(recordings_, wav);
        blocks(100);
        fakeNow += c.stallMs * Ms;
        for (int i = 0; i < c.catchUpBlocks; ++i) {
            fakeNow += c.catchUpStepNs;
            ASSERT_EQ(audio_.deliver(1, Frames), 1);
        }
        blocks(30);
        int total = 100 + c.catchUpBlocks + 30;
        if (c.pauseWhileHeld) {
            s->record(recordings_, wav); // pause
            fakeNow += 1000 * Ms;
            s->record(recordings_, wav); // continue
            blocks(20);
            total += 20;
        }
        ASSERT_TRUE(s->stop());
        EXPECT_EQ(s->gaps().count(), 0u);
        const std::vector<char> taken = writers_.traces.back()->bytes;
        EXPECT_TRUE(boxes().isEmpty()) << boxes().join('|').toStdString();

        // The same blocks in one go: the tone starts over with each take.
        s = session();
        s->record(recordings_, wav);
        blocks(total);
        ASSERT_TRUE(s->stop());
        const std::vector<char>& clean = writers_.traces.back()->bytes;
        ASSERT_EQ(taken.size(), std::size_t(total) * Frames * 4);
        EXPECT_TRUE(taken == clean);
    }
}

TEST_F(SessionWatch, PauseIsNoDropout)
{
    writers_.script = fakes::WriterScript{0, -1, true};
    auto s = session();
    const recording::RecordFormat wav = recordFormat(recording::RecordFormat::Wav);
    s->record(recordings_, wav);
    blocks(50);
    s->record(recordings_, wav); // pause
    fakeNow += 3000 * Ms;
    s->record(recordings_, wav); // continue
    blocks(50);
    ASSERT_TRUE(s->stop());
    EXPECT_EQ(s->gaps().count(), 0u);
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(writers_.traces.back()->bytes.size(), 100u * Frames * 4);
}

TEST_F(SessionWatch, WatchesOffCountNothing)
{
    writers_.script = fakes::WriterScript{0, -1, true};
    auto s = session();
    s->setWatching(false);
    audio_.amplitude = 2.0;
    s->record(recordings_, recordFormat(recording::RecordFormat::Wav));
    blocks(20);
    fakeNow += 500 * Ms;
    blocks(20);
    ASSERT_TRUE(s->stop());
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(writers_.traces.back()->bytes.size(), 40u * Frames * 4);
}

} // namespace
