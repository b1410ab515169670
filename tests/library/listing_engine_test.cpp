// ctest-label: audio
// Durations and panel labels of real files of each format, decoded by the audio engine.
#include "GeneratedAudio.h"
#include "audio/Engine.h"
#include "library/FileInfo.h"
#include "library/FileLister.h"
#include "support/RecordingMessageSink.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace librarytest;

class ListingEngine : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = new QTemporaryDir;
        folder = dir->path() + "/";
        QString log;
        ok = writeFile(folder + "a.wav", sineWav(3.5, 440)) &&
             ffmpegSine(folder + "b.mp3", 65.5, 440, 128, &log) &&
             ffmpegSine(folder + "C.WMA", 20.5, 440, 96, &log) &&
             ffmpegSine(folder + "d.Mp3", 3725.5, 440, 32, &log, 8000, 1) &&
             writeFile(folder + "e.mp3", "this is a text file, not MP3\n") &&
             writeFile(folder + "f.wma", QByteArray()) &&
             writeFile(folder + "g.wav", "RIFF");
        if (!ok)
            message = log;
    }
    static void TearDownTestSuite() { delete dir; }

    static QTemporaryDir* dir;
    static QString folder;
    static bool ok;
    static QString message;

    audio::Engine engine;
    testsupport::RecordingMessageSink sink;
    FakeListView view;
};
QTemporaryDir* ListingEngine::dir = nullptr;
QString ListingEngine::folder;
bool ListingEngine::ok = false;
QString ListingEngine::message;

TEST_F(ListingEngine, DurationsOfEachFormat)
{
    ASSERT_TRUE(ok) << message.toStdString();
    library::FileLister lister(engine, sink, QIcon());
    EXPECT_EQ(lister.ListRecordings(folder, view), "a.wav");
    EXPECT_EQ(view.captions(), QStringList({"a.wav", "b.mp3", "C.WMA", "d.Mp3", "e.mp3", "f.wma", "g.wav"}));
    QStringList durations;
    for (const ListItem& i : view.items)
        durations << i.duration;
    EXPECT_EQ(durations, QStringList({"00:03", "01:05", "00:20", "1:02:05", "00:00", "00:00", "00:00"}));
    ASSERT_EQ(sink.messages().size(), 1);
    EXPECT_EQ(sink.messages()[0].text, "This is not a valid Wave file");
    EXPECT_EQ(engine.channelCount(), 0u) << "every stream opened for a duration is freed";
}

TEST_F(ListingEngine, PanelOfEachFormat)
{
    ASSERT_TRUE(ok) << message.toStdString();
    FakeHost host;
    host.lang.open(writeLanguage(dir->path()));
    FakePanel panel;
    library::FileInfo info(engine, sink);

    info.ShowFileInfo(folder + "a.wav", panel, host.format, host.lang);
    EXPECT_EQ(panel.labels, library::FileInfoLabels({"wav", "44100", "Stereo", "16", "", "00:03"}));

    info.ShowFileInfo(folder + "b.mp3", panel, host.format, host.lang);
    EXPECT_EQ(panel.labels.format, "mp3");
    EXPECT_EQ(panel.labels.frequency, "44100");
    EXPECT_EQ(panel.labels.channel, "Stereo");
    EXPECT_EQ(panel.labels.bits, "16");
    EXPECT_EQ(panel.labels.totalTime, "01:05");
    // File size over length: 128 kbit/s and the few bytes of the tag frame.
    EXPECT_NEAR(panel.labels.bitrate.toInt(), 128, 1);

    info.ShowFileInfo(folder + "C.WMA", panel, host.format, host.lang);
    EXPECT_EQ(panel.labels.format, "wma");
    EXPECT_EQ(panel.labels.frequency, "44100");
    EXPECT_EQ(panel.labels.totalTime, "00:20");
    const int wmaRate = panel.labels.bitrate.toInt();
    EXPECT_EQ(wmaRate % 2, 0) << "WMA rates are shown even";
    EXPECT_NEAR(wmaRate, 96, 24) << "the encoder's rate is approximate, and the container counts in";

    info.ShowFileInfo(folder + "d.Mp3", panel, host.format, host.lang);
    EXPECT_EQ(panel.labels, library::FileInfoLabels({"mp3", "8000", "Mono", "16", "32", "1:02:05"}));

    sink.clear();
    const library::FileInfo::UserChoice chosen(info); // as a click in the list picks them
    info.ShowFileInfo(folder + "e.mp3", panel, host.format, host.lang);
    info.ShowFileInfo(folder + "f.wma", panel, host.format, host.lang);
    ASSERT_EQ(sink.messages().size(), 2);
    EXPECT_EQ(sink.messages()[0].text, "Bad MP3");
    EXPECT_EQ(sink.messages()[1].text, "Bad WMA");
    EXPECT_EQ(panel.labels, library::FileInfoLabels()) << "no values of another file under its name";
    EXPECT_EQ(engine.channelCount(), 0u);
}
