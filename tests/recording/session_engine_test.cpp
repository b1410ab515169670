// ctest-label: audio
// ctest-timeout: 240
// The recording session with the real engine, the real writers and the private sound server,
// whose default source hears a 440 Hz tone: every format recorded for 2 s of sound and read
// back, a pause left out of the file, a writer failing half-way, and a sound server that is gone.
#include "recording/RecordingSession.h"

#include "audio/Engine.h"
#include "recording/RecordWriterFactory.h"
#include "recording/SessionFakes.h"
#include "recording/TappedAudio.h"
#include "support/RecordingMessageSink.h"
#include "support/decode_audio.h"
#include "support/record_formats.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>

namespace {

using testsupport::recordFormat;

// A real writer that fails every write once it has taken `limit` bytes: a disk that fills up.
class FillingWriter : public recording::RecordWriter {
public:
    FillingWriter(std::unique_ptr<recording::RecordWriter> inner, std::int64_t limit)
        : inner_(std::move(inner)), limit_(limit)
    {
    }
    int open(const QString& path, const recording::RecordFormat& format) override
    {
        return inner_->open(path, format);
    }
    bool write(const char* data, std::int64_t bytes) override
    {
        if (taken_ + bytes > limit_)
            return false;
        taken_ += bytes;
        return inner_->write(data, bytes);
    }
    bool close() override { return inner_->close(); }
    int chunkSize() const override { return inner_->chunkSize(); }

private:
    std::unique_ptr<recording::RecordWriter> inner_;
    std::int64_t limit_;
    std::int64_t taken_ = 0;
};

class FillingWriterFactory : public recording::RecordWriterFactory {
public:
    FillingWriterFactory(platform::MessageSink& sink, std::int64_t limit)
        : recording::RecordWriterFactory(sink), limit_(limit)
    {
    }
    std::unique_ptr<recording::RecordWriter> create(std::uint8_t code) override
    {
        return std::make_unique<FillingWriter>(recording::RecordWriterFactory::create(code),
                                               limit_);
    }

private:
    std::int64_t limit_;
};

class SessionEngine : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("PULSE_SERVER"))
            GTEST_SKIP() << "needs the private sound server (scripts/services.sh)";
        ASSERT_TRUE(dir_.isValid());
        folder_ = dir_.path() + QLatin1Char('/');
        ASSERT_TRUE(host_.loadTexts(dir_.filePath("lang.ini")));
        ASSERT_TRUE(engine_.recordInit(-1));
        ASSERT_TRUE(engine_.init(-1, 44100));
    }
    void TearDown() override
    {
        engine_.recordFree();
        engine_.free();
    }

    using Clock = fakes::TappedAudio::Clock;

    static double since(Clock::time_point t)
    {
        return std::chrono::duration<double>(Clock::now() - t).count();
    }
    static std::int64_t bytesFor(const recording::RecordFormat& f, double seconds)
    {
        return std::int64_t(seconds * f.sampleRate) * f.channels * 2;
    }
    // Runs the event loop until `done` holds; false after a minute (a capture that stopped
    // delivering). What a test records is counted in data, not in time: a busy machine
    // delivers it later, not less of it.
    static bool waitUntil(const std::function<bool()>& done)
    {
        const auto until = Clock::now() + std::chrono::minutes(1);
        while (!done()) {
            if (Clock::now() > until)
                return false;
            QTest::qWait(10);
        }
        return true;
    }
    bool capturedAtLeast(const recording::RecordFormat& f, double seconds)
    {
        return waitUntil([&] { return audio_.capturedBytes() >= bytesFor(f, seconds); });
    }

    QTemporaryDir dir_;
    QString folder_;
    audio::Engine engine_;
    fakes::TappedAudio audio_{engine_};
    fakes::EventLog log_;
    fakes::FakeHost host_{log_};
    testsupport::RecordingMessageSink sink_;
};

void expectTone(const testsupport::DecodedAudio& a)
{
    // Skip the first and last 100 ms: encoder padding and the device's start.
    const std::int64_t margin = a.sampleRate / 10;
    for (int c = 0; c < a.channels; ++c) {
        const auto signal = a.channel(c, margin, a.frames() - margin);
        ASSERT_GT(signal.size(), 1000u);
        EXPECT_NEAR(testsupport::dominantFrequency(signal, a.sampleRate), 440.0, 3.0)
            << "channel " << c;
        EXPECT_GT(testsupport::rms(signal), 0.01) << "channel " << c;
    }
}

TEST_F(SessionEngine, TwoSecondsInEveryFormat)
{
    struct Case {
        std::uint8_t code;
        int channels;
        int rate;
        const char* codec;
        const char* container;
        int fileChannels; // the WMA writer always writes 44100 Hz stereo
        int fileRate;
    };
    const Case cases[] = {
        {recording::RecordFormat::Wav, 2, 44100, "pcm_s16le", "wav", 2, 44100},
        {recording::RecordFormat::Wav, 1, 22050, "pcm_s16le", "wav", 1, 22050},
        {recording::RecordFormat::Mp3, 2, 44100, "mp3", "mp3", 2, 44100},
        {recording::RecordFormat::Mp3, 1, 48000, "mp3", "mp3", 1, 48000},
        {recording::RecordFormat::Wma, 2, 44100, "wmav2", "asf", 2, 44100},
        {recording::RecordFormat::Wma, 1, 22050, "wmav2", "asf", 2, 44100},
    };
    recording::RecordWriterFactory writers(sink_);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.codec) + " " + std::to_string(c.channels) + " ch " +
                     std::to_string(c.rate));
        sink_.clear(); // each case answers for its own messages
        host_.arrange(Idle);
        recording::RecordingSession session(audio_, writers, sink_, host_);
        const recording::RecordFormat f = recordFormat(c.code, c.channels, c.rate);
        const auto beforeStart = Clock::now();
        session.record(folder_, f);
        ASSERT_TRUE(session.isRecording()) << "the recording did not start";
        ASSERT_TRUE(capturedAtLeast(f, 2.0));
        EXPECT_EQ(host_.state, Recording);
        ASSERT_TRUE(session.stop());
        const double wall = since(beforeStart);
        EXPECT_EQ(host_.state, Idle);
        EXPECT_TRUE(sink_.messages().isEmpty()) << sink_.messages().value(0).text.toStdString();
        EXPECT_EQ(engine_.channelCount(), 0u); // the capture was freed

        const double captured = double(audio_.capturedBytes()) / (2.0 * c.channels * c.rate);
        const testsupport::DecodedAudio a = testsupport::decodeAudio(session.recordFilePath());
        ASSERT_TRUE(a.ok) << a.error.toStdString();
        EXPECT_EQ(a.codec, QLatin1String(c.codec));
        EXPECT_EQ(a.container, QLatin1String(c.container));
        EXPECT_EQ(a.sampleRate, c.fileRate);
        EXPECT_EQ(a.channels, c.fileChannels);
        // The file holds what was captured, which is at least the two seconds waited for and
        // at most the time from before the start to after the stop (a busy machine only makes
        // that longer).
        EXPECT_NEAR(a.duration(), captured, 0.15);
        EXPECT_GE(a.duration(), 2.0 - 0.15);
        EXPECT_LE(a.duration(), wall + 0.15);
        expectTone(a);
    }
}

TEST_F(SessionEngine, PauseIsLeftOut)
{
    recording::RecordWriterFactory writers(sink_);
    for (std::uint8_t code : {recording::RecordFormat::Wav, recording::RecordFormat::Mp3}) {
        SCOPED_TRACE(int(code));
        host_.arrange(Idle);
        recording::RecordingSession session(audio_, writers, sink_, host_);
        const recording::RecordFormat f = recordFormat(code, 2, 44100);
        const auto beforeStart = Clock::now();
        session.record(folder_, f);
        ASSERT_TRUE(session.isRecording());
        ASSERT_TRUE(capturedAtLeast(f, 1.0));
        session.record(folder_, f); // pause
        const auto paused = Clock::now();
        const std::int64_t atPause = audio_.capturedBytes();
        QTest::qWait(1000);
        EXPECT_EQ(audio_.capturedBytes(), atPause) << "a paused capture delivers nothing";
        const auto continuing = Clock::now();
        session.record(folder_, f); // continue
        // The take runs on for well over a second after the pause.
        const double before = double(atPause) / (2.0 * 2 * 44100);
        ASSERT_TRUE(capturedAtLeast(f, before + 2.5));
        ASSERT_TRUE(session.stop());
        // The capture ran at most from before the start to after the stop, less the span from
        // after the pause returned to before the continue was asked for (a second or more): a
        // busy machine lengthens both spans by what it delays, which only loosens the bound.
        // A file that held the paused second would exceed it.
        const double running =
            since(beforeStart) - std::chrono::duration<double>(continuing - paused).count();
        const double captured = double(audio_.capturedBytes()) / (2.0 * 2 * 44100);
        const testsupport::DecodedAudio a = testsupport::decodeAudio(session.recordFilePath());
        ASSERT_TRUE(a.ok) << a.error.toStdString();
        EXPECT_NEAR(a.duration(), captured, 0.15);
        EXPECT_GE(a.duration(), before + 2.5 - 0.15)
            << "all that came after the pause is in the file";
        EXPECT_LE(a.duration(), running + 0.15);
        expectTone(a);
    }
}

TEST_F(SessionEngine, WriterFailingHalfWay)
{
    for (std::uint8_t code : {recording::RecordFormat::Wav, recording::RecordFormat::Mp3}) {
        SCOPED_TRACE(int(code));
        sink_.clear();
        host_.arrange(Idle);
        // About 1 s of 44.1 kHz stereo, then the disk is full.
        FillingWriterFactory writers(sink_, 176400);
        recording::RecordingSession session(audio_, writers, sink_, host_);
        const recording::RecordFormat f = recordFormat(code, 2, 44100);
        session.record(folder_, f);
        ASSERT_TRUE(session.isRecording());
        ASSERT_TRUE(waitUntil([&] { return session.captureFailed(); }));
        // The capture has ended: nothing more arrives.
        const int blocks = audio_.blocks();
        QTest::qWait(300);
        EXPECT_EQ(audio_.blocks(), blocks);
        EXPECT_EQ(host_.state, Recording);
        ASSERT_EQ(sink_.messages().size(), 1);
        EXPECT_EQ(sink_.messages()[0].text, QStringLiteral("cannot write"));
        EXPECT_EQ(sink_.messages()[0].caption, QStringLiteral("Vexa Recorder"));

        ASSERT_TRUE(session.stop());
        EXPECT_EQ(host_.state, Idle);
        EXPECT_EQ(sink_.messages().size(), 1);
        EXPECT_EQ(engine_.channelCount(), 0u);
        const testsupport::DecodedAudio a = testsupport::decodeAudio(session.recordFilePath());
        ASSERT_TRUE(a.ok) << a.error.toStdString();
        EXPECT_GT(a.duration(), 0.8);
        EXPECT_LT(a.duration(), 1.1);
        expectTone(a);
    }
}

TEST_F(SessionEngine, SoundServerGoneAtStart)
{
    recording::RecordWriterFactory writers(sink_);
    const QByteArray server = qgetenv("PULSE_SERVER");
    // The engine is up; the server the next capture would connect to is not there.
    qputenv("PULSE_SERVER", "unix:" + QFile::encodeName(dir_.filePath("no-such-socket")));
    for (std::uint8_t code : {recording::RecordFormat::Wav, recording::RecordFormat::Mp3,
                              recording::RecordFormat::Wma}) {
        SCOPED_TRACE(int(code));
        sink_.clear();
        host_.arrange(Idle);
        recording::RecordingSession session(audio_, writers, sink_, host_);
        session.record(folder_, recordFormat(code, 2, 44100));
        EXPECT_FALSE(session.isRecording());
        EXPECT_EQ(host_.state, Idle);
        ASSERT_EQ(sink_.messages().size(), 1);
        EXPECT_EQ(sink_.messages()[0].text, QStringLiteral("cannot capture"));
        EXPECT_TRUE(QDir(folder_).entryList({QStringLiteral("Vexa_*")}, QDir::Files).isEmpty());
    }
    qputenv("PULSE_SERVER", server);
}

} // namespace
