// ctest-label: unit
// Starting the audio engine with the window and releasing it at shutdown: the order of the
// engine calls, the message when a device is missing, and a running recording completed
// before the engine goes away.
#include "app/AudioStartup.h"
#include "recording/RecordingSession.h"

#include "recording/SessionFakes.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(AudioStartup, StartOrderAndFailure)
{
    struct Case {
        const char* what;
        bool failRecordInit;
        bool failInit;
        bool started;
        QStringList calls;
    };
    const Case cases[] = {
        {"both start", false, false, true, {"audio.recordInit -1", "audio.init -1 44100"}},
        // Both stay asked for: the engine starts them when the sound server comes.
        {"no recording device", true, false, false, {"audio.recordInit -1", "audio.init -1 44100"}},
        {"no output device", false, true, false, {"audio.recordInit -1", "audio.init -1 44100"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fakes::EventLog log;
        fakes::FakeCaptureAudio audio(log);
        fakes::ThreadNotingSink sink(log);
        audio.failRecordInit = c.failRecordInit;
        audio.failInit = c.failInit;
        EXPECT_EQ(app::AudioStartup::start(audio, sink), c.started);
        QStringList calls = log.events();
        calls.removeIf([](const QString& e) { return e.startsWith(QLatin1String("message")); });
        EXPECT_EQ(calls, c.calls);
        const auto messages = sink.messages();
        if (c.started) {
            EXPECT_TRUE(messages.empty());
        } else {
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_EQ(messages[0].message.text,
                      QStringLiteral("Can not start default recording device!"));
            EXPECT_TRUE(messages[0].message.caption.isEmpty());
            EXPECT_EQ(messages[0].message.icon, platform::MessageIcon::Error);
            EXPECT_FALSE(messages[0].message.withOwner);
        }
    }
}

TEST(AudioStartup, ReleaseCompletesARunningRecordingFirst)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    enum What { Recording, RecordingPaused, PlaybackChannel, Nothing };
    for (What what : {Recording, RecordingPaused, PlaybackChannel, Nothing}) {
        SCOPED_TRACE(int(what));
        fakes::EventLog log;
        fakes::FakeCaptureAudio audio(log);
        fakes::ThreadNotingSink sink(log);
        fakes::FakeWriterFactory writers(sink, log);
        fakes::FakeHost host(log);
        writers.script = fakes::WriterScript{4608, -1, true};
        recording::RecordingSession session(audio, writers, sink, host);
        audio::Handle channel = 0;
        if (what == Recording || what == RecordingPaused) {
            recording::RecordFormat f;
            f.format = recording::RecordFormat::Mp3;
            session.record(dir.path(), f);
            ASSERT_TRUE(session.isRecording());
            audio.deliver(5, 250);
            if (what == RecordingPaused)
                session.record(dir.path(), f);
            channel = session.channel();
        } else if (what == PlaybackChannel) {
            channel = 77;
        }
        log.clear();
        app::AudioStartup::release(audio, session, channel);

        QStringList expected;
        if (channel != 0)
            expected << QStringLiteral("audio.channelStop %1").arg(channel)
                     << QStringLiteral("audio.streamFree %1").arg(channel);
        if (what == Recording || what == RecordingPaused)
            expected << QStringLiteral("writer.close");
        expected << QStringLiteral("audio.recordFree") << QStringLiteral("audio.free");
        EXPECT_EQ(log.events(), expected);
        if (what == Recording || what == RecordingPaused) {
            EXPECT_FALSE(session.isRecording());
            EXPECT_EQ(writers.traces.back()->writes, std::vector<std::int64_t>({4608, 392}));
        }
    }
}

} // namespace
