// ctest-label: audio
// ctest-link: vexa_recording
// A take just recorded to MP3 is listed and detailed from what the recording knew of it (its
// format and the frames it wrote), without opening the file: the list's duration and every
// panel label must then be what the decoder reads from the same file. Real files of the MP3
// writer at the boundaries that matter (a frame either side of a whole second, the MPEG-2 and
// 2.5 rates whose bit rate is capped, mono), compared against the real engine. A file changed
// after the take is read again.
#include "LibraryFakes.h"
#include "audio/Engine.h"
#include "library/RecordingsLibrary.h"
#include "recording/Mp3Writer.h"
#include "support/FakeAudio.h"
#include "support/RecordingMessageSink.h"
#include "support/decode_audio.h"
#include "support/take_writer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace librarytest;

namespace {

recording::RecordFormat mp3Format(int rate = 44100, int channels = 2, int kbps = 128)
{
    recording::RecordFormat format;
    format.format = recording::RecordFormat::Mp3;
    format.sampleRate = rate;
    format.channels = channels;
    format.mp3Bitrate = kbps;
    return format;
}

// A take of exactly `frames` frames as a recording writes it, to <dir>/rec/Vexa_001.mp3; its
// path, or empty when it could not be written. `told`: the frames the recording tells the
// library of (what a decoder reads from the file, as the writer reports it).
QString mp3Take(const QTemporaryDir& dir, const recording::RecordFormat& format,
                std::int64_t frames, std::int64_t* told = nullptr)
{
    const QString folder = dir.path() + "/rec/";
    const QString path = folder + "Vexa_001.mp3";
    const std::vector<double> tones(std::size_t(format.channels), 440.0);
    testsupport::RecordingMessageSink sink;
    recording::Mp3Writer writer(sink);
    const bool written = QDir().mkpath(folder) &&
        testsupport::writeAsTake(writer, path, format,
                                 testsupport::sinePcm(format.sampleRate, frames, tones));
    if (told)
        *told = writer.decodedFrames() >= 0 ? writer.decodedFrames() : frames;
    return written ? path : QString();
}

struct Shown {
    QString duration;
    library::FileInfoLabels labels;
    QString text() const
    {
        return QStringList({duration, labels.format, labels.frequency, labels.channel, labels.bits,
                            labels.bitrate, labels.totalTime})
            .join(QLatin1Char(' '));
    }
};

// The library's list and panel for the one file of folder; `recorded` tells it of the take first.
Shown show(audio::AudioApi& engine, const QString& folder, const QString& path,
           const recording::RecordFormat* recorded, std::int64_t frames)
{
    FakeHost host;
    host.folder = folder;
    host.lang.open(writeLanguage(folder + QStringLiteral("../")));
    FakeListView list;
    FakePanel panel;
    testsupport::RecordingMessageSink sink;
    library::RecordingsLibrary library(host, list, panel, engine, sink, QIcon());
    if (recorded)
        library.rememberRecording(path, *recorded, std::uint64_t(frames));
    library.ListRecordings(folder);
    library.info().ShowFileInfo(path, panel, host.format, host.lang);
    return {list.items.isEmpty() ? QString("(no row)") : list.items[0].duration, panel.labels};
}

} // namespace

TEST(RecordedTake, ListedAndDetailedAsTheDecoderReadsIt)
{
    struct Case {
        int rate;
        int channels;
        int kbps;
        std::int64_t frames;
    };
    const Case cases[] = {
        {44100, 2, 128, 44100 * 3 - 1},   {44100, 2, 128, 44100 * 3},
        {44100, 2, 128, 44100 * 3 + 1},   {48000, 2, 320, 48000 * 2 + 1152},
        {32000, 1, 256, 32000 * 4 - 576}, {22050, 1, 192, 22050 * 2 + 7}, // MPEG-2: capped at 160
        {8000, 1, 128, 8000 * 5 - 1},                                     // MPEG-2.5
        {11025, 2, 64, 11025 * 61 + 300},                                 // past a minute
    };
    audio::Engine engine;
    for (const Case& c : cases) {
        SCOPED_TRACE(QString("%1 Hz, %2 ch, %3 kbit/s, %4 frames")
                         .arg(c.rate)
                         .arg(c.channels)
                         .arg(c.kbps)
                         .arg(c.frames)
                         .toStdString());
        QTemporaryDir dir;
        const recording::RecordFormat format = mp3Format(c.rate, c.channels, c.kbps);
        std::int64_t told = 0;
        const QString path = mp3Take(dir, format, c.frames, &told);
        ASSERT_FALSE(path.isEmpty());
        const QString folder = dir.path() + "/rec/";

        const Shown decoded = show(engine, folder, path, nullptr, 0);
        ASSERT_EQ(decoded.labels.format, "mp3") << "the decoder read the file";
        testsupport::FakeAudio blind; // opens nothing it was not given
        const Shown known = show(blind, folder, path, &format, told);
        EXPECT_TRUE(blind.opened.isEmpty()) << blind.opened.join(", ").toStdString();
        EXPECT_EQ(known.text(), decoded.text());
    }
}

TEST(RecordedTake, FileChangedAfterTheTakeIsReadAgain)
{
    QTemporaryDir dir;
    const recording::RecordFormat format = mp3Format();
    const QString path = mp3Take(dir, format, 44100 * 2);
    ASSERT_FALSE(path.isEmpty());
    const QString folder = dir.path() + "/rec/";

    FakeHost host;
    host.folder = folder;
    host.lang.open(writeLanguage(dir.path()));
    FakeListView list;
    FakePanel panel;
    testsupport::RecordingMessageSink sink;
    testsupport::FakeAudio engine;
    library::RecordingsLibrary library(host, list, panel, engine, sink, QIcon());
    library.rememberRecording(path, format, 44100 * 2);
    // Something else writes to it after the take (an editor, a tagger): a new size and time.
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::Append));
        ASSERT_EQ(f.write(QByteArray(417, '\0')), 417);
    }
    library.ListRecordings(folder);
    library.info().ShowFileInfo(path, panel, host.format, host.lang);
    EXPECT_EQ(engine.opened, QStringList({path, path}))
        << "the list and the panel each read the changed file";
}
