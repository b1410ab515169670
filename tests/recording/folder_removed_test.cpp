// The recordings folder removed while a recording runs: the writer notices within a second of
// audio that its file has no name any more, makes the folder again, copies what the open file
// holds into a new file at the same path and goes on there; the user is told where the
// recording is. When a file took the folder's name, the recording goes on beside that file
// under the next free name there, and the user is told so. Real writers of each format behind
// the session, fed by the fake capture.
// ctest-label: unit
#include "recording/RecordingSession.h"

#include "recording/RecordWriterFactory.h"
#include "recording/SessionFakes.h"
#include "support/RecordingMessageSink.h"
#include "support/WithoutRights.h"
#include "support/decode_audio.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <iostream>

namespace {

constexpr int Rate = 44100;
constexpr int BlockFrames = 512;

int blocksFor(double seconds) { return int(seconds * Rate / BlockFrames); }

struct Case {
    const char* name;
    std::uint8_t format;
    double keptAtLeast; // of the 4 s captured (the encoders' last frames aside)
    bool replaced;      // a file takes the folder's name
};

// A session with the real writers behind it, fed by the fake capture, with the shipped English
// texts; record() starts a 44100 Hz stereo recording into root/Recordings/.
class RealWriters : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_TRUE(host.languageFile.open(qEnvironmentVariable("VEXA_SOURCE_DIR") +
                                           "/languages/English.ini"));
    }

    void record(std::uint8_t code)
    {
        recording::RecordFormat format;
        format.format = code;
        format.sampleRate = Rate;
        format.channels = 2;
        format.mp3Bitrate = 128;
        format.wmaBitrate = 96;
        session.record(folder, format);
        ASSERT_TRUE(session.isRecording());
    }

    QTemporaryDir root;
    const QString folder = root.filePath("Recordings") + "/";
    fakes::EventLog log;
    fakes::FakeCaptureAudio audio{log};
    fakes::ThreadNotingSink sink{log};
    recording::RecordWriterFactory writers{sink};
    fakes::FakeHost host{log};
    recording::RecordingSession session{audio, writers, sink, host};
};

class FolderRemoved : public RealWriters, public ::testing::WithParamInterface<Case> { };

TEST_P(FolderRemoved, RecordingIsKeptInTheFolderMadeAgainOrBesideAndTheUserIsTold)
{
    const Case c = GetParam();
    // Beside the folder, a take of the name the recording will have is already there.
    const QString name =
        QStringLiteral("Vexa_001") + recording::RecordFormat::extensionFor(c.format);
    QFile other(root.filePath(name));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.close();
    ASSERT_NO_FATAL_FAILURE(record(c.format));
    ASSERT_EQ(QFileInfo(session.recordFilePath()).fileName(), name);
    const QString path =
        c.replaced ? root.filePath(QString(name).replace("001", "002")) : session.recordFilePath();

    const int before = blocksFor(2.0);
    ASSERT_EQ(audio.deliver(before, BlockFrames), before);
    ASSERT_TRUE(QDir(folder).removeRecursively());
    if (c.replaced) {
        QFile blocker(root.filePath("Recordings"));
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
        blocker.close();
    }
    ASSERT_FALSE(QFile::exists(path));
    const int after = blocksFor(2.0);
    ASSERT_EQ(audio.deliver(after, BlockFrames), after);
    EXPECT_FALSE(session.captureFailed());
    ASSERT_TRUE(QFile::exists(path)) << "noticed within a second of audio";
    ASSERT_TRUE(session.stop());
    EXPECT_EQ(session.recordFilePath(), path);
    EXPECT_EQ(QFile(root.filePath(name)).size(), 0) << "the other take is left alone";
    EXPECT_EQ(log.events()
                  .filter(QStringLiteral("host.takeFinished %1 %2 ")
                              .arg(QFileInfo(path).fileName())
                              .arg(c.format))
                  .size(),
              1)
        << log.events().join('\n').toStdString();

    // Told once, with the place of the file; nothing about a failed write.
    const auto messages = sink.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].message.text.startsWith(
        c.replaced ? "The recordings folder was replaced" : "The recordings folder was removed"))
        << messages[0].message.text.toStdString();
    EXPECT_TRUE(messages[0].message.text.endsWith(QDir::toNativeSeparators(path)));

    const double captured = double((before + after) * BlockFrames) / Rate;
    const testsupport::DecodedAudio d = testsupport::decodeAudio(path);
    ASSERT_TRUE(d.ok) << d.error.toStdString();
    std::cout << c.name << ": folder " << (c.replaced ? "replaced" : "removed") << " after 2 s; "
              << d.duration() << " s of " << captured << " s captured kept\n";
    EXPECT_GE(d.duration(), c.keptAtLeast);
    // The audio on both sides of the removal is the tone, without a gap.
    const auto span = testsupport::soundSpan(d, 0.25f);
    EXPECT_NEAR(double(span.second - span.first) / Rate, captured, 0.05);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, FolderRemoved,
    ::testing::Values(Case{"WAV", recording::RecordFormat::Wav, 3.99, false},
                      Case{"MP3", recording::RecordFormat::Mp3, 3.95, false},
                      Case{"WMA", recording::RecordFormat::Wma, 3.95, false},
                      Case{"WAVReplaced", recording::RecordFormat::Wav, 3.99, true},
                      Case{"MP3Replaced", recording::RecordFormat::Mp3, 3.95, true},
                      Case{"WMAReplaced", recording::RecordFormat::Wma, 3.95, true}),
    [](const ::testing::TestParamInfo<Case>& i) { return std::string(i.param.name); });

// A folder that cannot be made again, and no room beside it either (its parent cannot be
// written to): the write fails as on a full disk (str003) and the capture ends; nothing claims
// the recording was kept.
class FolderRemovedFailure : public RealWriters { };

TEST_F(FolderRemovedFailure, FolderThatCannotBeMadeAgainEndsTheCaptureWithTheWriteFailure)
{
    ASSERT_NO_FATAL_FAILURE(record(recording::RecordFormat::Wav));
    ASSERT_EQ(audio.deliver(10, BlockFrames), 10);
    ASSERT_TRUE(QDir(folder).removeRecursively());
    // A plain file where the folder was: the folder cannot be made again.
    QFile blocker(root.filePath("Recordings"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    {
        testsupport::WithoutRights readOnly(root.path());
        audio.deliver(blocksFor(1.5), BlockFrames);
    }
    EXPECT_TRUE(session.captureFailed());
    ASSERT_TRUE(session.stop());
    const auto messages = sink.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].message.text.startsWith("The recording could not be written"));
}

} // namespace
