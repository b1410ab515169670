// The information panel: duration text, WAV labels from the header, MP3 and WMA labels from the
// engine, the record format, and the messages of files that cannot be read.
#include "LibraryFakes.h"
#include "library/DurationText.h"
#include "library/FileInfo.h"
#include "platform/LocalFiles.h"
#include "support/RecordingMessageSink.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace librarytest;
using library::FileInfo;
using library::FileInfoLabels;

TEST(DurationText, HoursOnlyWhenThereAreAny)
{
    const std::vector<std::pair<std::uint32_t, const char*>> cases = {
        {0, "00:00"},       {9, "00:09"},       {59, "00:59"},         {60, "01:00"},
        {65, "01:05"},      {3599, "59:59"},    {3600, "1:00:00"},     {3725, "1:02:05"},
        {36000, "10:00:00"}, {4294967295u, "1193046:28:15"},
    };
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(library::DurationText(seconds), QString::fromLatin1(text)) << seconds;
}

TEST(FileInfo, BitsAndBitrateFromTheStream)
{
    EXPECT_EQ(FileInfo::bitsText(0), "16");
    EXPECT_EQ(FileInfo::bitsText(1), "8");
    EXPECT_EQ(FileInfo::bitsText(256), "32");
    EXPECT_EQ(FileInfo::bitsText(257), "16"); // the flags are compared as a whole
    EXPECT_EQ(FileInfo::bitsText(0x40000), "16");

    struct RateCase {
        std::uint32_t size;
        float seconds;
        bool wma;
        const char* text;
    };
    const std::vector<RateCase> cases = {
        {1000000, 62.5f, false, "128"},
        {78750, 10.0f, false, "63"},  // 63.0 + 0.5 truncates to 63
        {78750, 10.0f, true, "64"},   // WMA: odd raised to even
        {80000, 10.0f, true, "64"},
        {78125, 10.0f, false, "63"},  // 62.5 rounds half up
        {78124, 10.0f, false, "62"},
        {1000, 0.0f, false, ""},      // no length: no rate, no division
        {1000, 0.0f, true, ""},
        {0, 5.0f, false, "0"},
        {14475000, 100.0f, false, ""}, // 1158: more than the label holds, left out, not cut
        {12487500, 100.0f, false, "999"},
    };
    for (const RateCase& c : cases)
        EXPECT_EQ(FileInfo::bitrateText(c.size, c.seconds, c.wma), QString::fromLatin1(c.text))
            << c.size << " " << c.seconds << " " << c.wma;

    // The engine's rate of the audio data, in bit/s.
    EXPECT_EQ(FileInfo::kbpsText(128000, false), "128");
    EXPECT_EQ(FileInfo::kbpsText(96499, false), "96");
    EXPECT_EQ(FileInfo::kbpsText(96500, false), "97");
    EXPECT_EQ(FileInfo::kbpsText(999499, false), "999");
    EXPECT_EQ(FileInfo::kbpsText(999500, false), "");
}

class FileInfoPanel : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        host.lang.open(writeLanguage(dir.path()));
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    void show(const QString& p) { info.ShowFileInfo(p, panel, host.format, host.lang); }

    QTemporaryDir dir;
    FakeHost host;
    FakeEngine engine;
    FakePanel panel;
    testsupport::RecordingMessageSink sink;
    FileInfo info{engine, sink};
};

TEST_F(FileInfoPanel, DescribesEachFileKind)
{
    writeFile(path("ten.wav"), canonicalWav(2, 44100, 16, 1764000));
    writeFile(path("mono.WAV"), canonicalWav(1, 22050, 8, 22050 * 65));
    writeFile(path("hour.wav"), riff(chunk("fmt ", fmtBody(1, 1, 8000, 8))) + "data" + le32(3600 * 8000));
    QFile::resize(path("hour.wav"), 44 + 3600 * 8000);
    writeFile(path("almost.wav"), riff(chunk("fmt ", fmtBody(1, 1, 8000, 8))) + "data" + le32(3599 * 8000));
    QFile::resize(path("almost.wav"), 44 + 3599 * 8000);
    engine.addFile(path("song.mp3"), {11025000, 44100, 2, 0, 1000000});     // 62.5 s, 1,000,000 bytes
    engine.addFile(path("voice.MP3"), {8000 * 2 * 30, 8000, 1, 1, 120000}); // 8-bit flag
    engine.addFile(path("talk.wma"), {441000 * 4, 44100, 2, 0, 78750});    // 10 s: 63 -> 64
    engine.addFile(path("float.wma"), {48000 * 4 * 3, 48000, 2, 256, 48000});
    engine.addFile(path("empty.mp3"), {0, 44100, 2, 0, 417});               // no length

    struct PanelCase {
        const char* file;
        FileInfoLabels labels;
    };
    const std::vector<PanelCase> cases = {
        {"ten.wav", {"wav", "44100", "Stereo", "16", "", "00:10"}},
        {"mono.WAV", {"wav", "22050", "Mono", "8", "", "01:05"}},
        {"hour.wav", {"wav", "8000", "Mono", "8", "", "1:00:00"}},
        {"almost.wav", {"wav", "8000", "Mono", "8", "", "59:59"}},
        {"song.mp3", {"mp3", "44100", "Stereo", "16", "128", "01:02"}},
        {"voice.MP3", {"mp3", "8000", "Mono", "8", "32", "00:30"}},
        {"talk.wma", {"wma", "44100", "Stereo", "16", "64", "00:10"}},
        {"float.wma", {"wma", "48000", "Stereo", "32", "128", "00:03"}},
        {"empty.mp3", {"mp3", "44100", "Stereo", "16", "", "00:00"}},
    };
    for (const PanelCase& c : cases) {
        SCOPED_TRACE(c.file);
        show(path(c.file));
        EXPECT_EQ(panel.labels.format, c.labels.format);
        EXPECT_EQ(panel.labels.frequency, c.labels.frequency);
        EXPECT_EQ(panel.labels.channel, c.labels.channel);
        EXPECT_EQ(panel.labels.bits, c.labels.bits);
        EXPECT_EQ(panel.labels.bitrate, c.labels.bitrate);
        EXPECT_EQ(panel.labels.totalTime, c.labels.totalTime);
    }
    EXPECT_TRUE(sink.messages().isEmpty());
    EXPECT_EQ(engine.openStreams(), 0) << "every stream opened for the panel is freed";
    // The WMA entry of the engine is used for ".wma" only.
    for (int i = 0; i < engine.opened.size(); ++i)
        EXPECT_EQ(engine.openedAsWma[i], engine.opened[i].endsWith(".wma")) << engine.opened[i].toStdString();
}

TEST_F(FileInfoPanel, FailuresEmptyTheLabelsAndAreSaidEachTimeTheUserChoosesTheFile)
{
    writeFile(path("deep.wav"), riff(chunk("fmt ", fmtBody(1, 2, 44100, 24)) + chunk("data", QByteArray(60, '\0'))));
    writeFile(path("float.wav"), riff(chunk("fmt ", fmtBody(3, 2, 44100, 32)) + chunk("data", QByteArray(80, '\0'))));
    writeFile(path("zero.wav"), QByteArray());
    writeFile(path("cut.wav"), canonicalWav(2, 44100, 16, 100).left(38));
    writeFile(path("text.mp3"), "this is only text\n");

    struct FailCase {
        const char* file;
        QStringList texts;
    };
    const std::vector<FailCase> cases = {
        {"deep.wav", {"Not PCM formats!", "Bad WAV"}},
        {"float.wav", {"This is not a valid Wave file", "Bad WAV"}},
        {"zero.wav", {"This is not a valid Wave file", "Bad WAV"}},
        {"cut.wav", {"This is not a valid Wave file", "Bad WAV"}},
        {"missing.wav", {"Cannot open the file!", "Bad WAV"}},
        {"text.mp3", {"Bad MP3"}},
        {"missing.wma", {"Bad WMA"}},
    };
    writeFile(path("good.wav"), canonicalWav(2, 44100, 16, 1764000));
    // Chosen by the user (a click, Previous, Next), twice: the messages come each time. Shown
    // by the program itself (a re-list, Refresh, the end of a recording, the activation):
    // nothing is said. The values are empty every time.
    for (const bool chosen : {true, true, false}) {
        for (const FailCase& c : cases) {
            SCOPED_TRACE(std::string(c.file) + (chosen ? " chosen" : " shown again"));
            // Another file's values first: none of them may stay under the new file's name.
            show(path("good.wav"));
            ASSERT_EQ(panel.labels.frequency, "44100");
            sink.clear();
            if (chosen) {
                const FileInfo::UserChoice user(info);
                show(path(c.file));
            } else {
                show(path(c.file));
            }
            EXPECT_EQ(panel.labels, FileInfoLabels()) << "the failed file shows empty values";
            QStringList texts;
            for (const platform::Message& m : sink.messages())
                texts << m.text;
            EXPECT_EQ(texts, chosen ? c.texts : QStringList());
            if (!chosen || sink.messages().isEmpty())
                continue;
            const platform::Message last = sink.messages().last();
            EXPECT_EQ(last.caption, "Note");
            EXPECT_EQ(last.icon, platform::MessageIcon::Information);
            EXPECT_FALSE(last.withOwner);
        }
    }
    // A file that was mended and then reads well has nothing to say.
    writeFile(path("deep.wav"), canonicalWav(1, 8000, 16, 16000));
    sink.clear();
    const FileInfo::UserChoice user(info);
    show(path("deep.wav"));
    EXPECT_TRUE(sink.messages().isEmpty());
    EXPECT_EQ(panel.labels.totalTime, "00:01");
}

TEST_F(FileInfoPanel, FailureMessagesHaveWordsWithoutALanguageFile)
{
    host.lang.close(); // no Languages folder
    writeFile(path("deep.wav"), riff(chunk("fmt ", fmtBody(1, 2, 44100, 24)) + chunk("data", QByteArray(60, '\0'))));
    for (const char* file : {"deep.wav", "bad.mp3", "bad.wma"}) {
        SCOPED_TRACE(file);
        sink.clear();
        const FileInfo::UserChoice user(info);
        show(path(file));
        ASSERT_FALSE(sink.messages().isEmpty());
        for (const platform::Message& m : sink.messages()) {
            EXPECT_FALSE(m.text.isEmpty());
            EXPECT_FALSE(m.caption.isEmpty());
        }
    }
}

TEST_F(FileInfoPanel, WithoutAFileShowsTheRecordFormat)
{
    struct FormatCase {
        recording::RecordFormat format;
        QString path;
        FileInfoLabels labels;
    };
    const auto mp3At = [](std::int32_t rate, std::int32_t kbps) {
        recording::RecordFormat f;
        f.sampleRate = rate;
        f.mp3Bitrate = kbps;
        return f;
    };
    recording::RecordFormat mp3; // MP3 stereo 44100 128
    recording::RecordFormat wav;
    wav.format = recording::RecordFormat::Wav;
    wav.channels = 1;
    wav.sampleRate = 8000;
    recording::RecordFormat wma;
    wma.format = recording::RecordFormat::Wma;
    wma.sampleRate = 48000;
    wma.wmaBitrate = 160;
    const std::vector<FormatCase> cases = {
        {mp3, QString(), {"mp3", "44100", "Stereo", "16", "128", "00:00"}},
        {wav, QString(), {"wav", "8000", "Mono", "16", "", "00:00"}},
        {wma, QString(), {"wma", "48000", "Stereo", "16", "160", "00:00"}},
        // MPEG-2 (22050 Hz) carries at most 160 kbit/s, MPEG-2.5 (11025, 8000 Hz) 64: the panel
        // shows what the file will really get.
        {mp3At(22050, 320), QString(), {"mp3", "22050", "Stereo", "16", "160", "00:00"}},
        {mp3At(22050, 128), QString(), {"mp3", "22050", "Stereo", "16", "128", "00:00"}},
        {mp3At(11025, 96), QString(), {"mp3", "11025", "Stereo", "16", "64", "00:00"}},
        {mp3At(8000, 32), QString(), {"mp3", "8000", "Stereo", "16", "32", "00:00"}},
        {mp3At(48000, 320), QString(), {"mp3", "48000", "Stereo", "16", "320", "00:00"}},
        {mp3, path("notes.txt"), {"mp3", "44100", "Stereo", "16", "128", "00:00"}},
        {wav, path("noextension"), {"wav", "8000", "Mono", "16", "", "00:00"}},
    };
    for (const FormatCase& c : cases) {
        host.format = c.format;
        show(c.path);
        EXPECT_EQ(panel.labels, c.labels) << c.labels.format.toStdString();
    }
    EXPECT_TRUE(engine.opened.isEmpty());
    EXPECT_TRUE(sink.messages().isEmpty());
}

// A WMA file's odd rate shows raised by one whichever way the panel learnt it: from the
// engine's stream in this process, from the facts the reader process answered, or from the
// file size over the length when neither knows the rate of the audio data. MP3 rates stay.
TEST_F(FileInfoPanel, OddWmaRatesShowEvenWhereverTheyComeFrom)
{
    enum Way { Engine, Reader, SizeOverLength };
    struct Case {
        Way way;
        const char* file;
        std::uint32_t bitsPerSecond; // the rate known (Engine, Reader) or made by size and length
        const char* shown;
    };
    const Case cases[] = {
        {Engine, "a.wma", 63000, "64"},         {Engine, "b.mp3", 63000, "63"},
        {Engine, "c.wma", 62600, "64"},         {Engine, "d.wma", 64000, "64"},
        {Engine, "e.wma", 998600, ""},          {Engine, "f.mp3", 998600, "999"},
        {Reader, "g.wma", 63000, "64"},         {Reader, "h.mp3", 63000, "63"},
        {Reader, "i.wma", 95400, "96"},         {Reader, "j.wma", 96000, "96"},
        {SizeOverLength, "k.wma", 63000, "64"}, {SizeOverLength, "l.mp3", 63000, "63"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const QString p = path(c.file);
        // Ten seconds of audio, the file as large as the rate makes it.
        FakeEngine::FileSpec tenSeconds{441000 * 4,     44100, 2, 0, c.bitsPerSecond / 8 * 10,
                                        c.bitsPerSecond};
        switch (c.way) {
        case Engine: engine.addFile(p, tenSeconds); break;
        case Reader: {
            ASSERT_TRUE(writeFile(p, "the reader process read it"));
            library::StreamFacts facts;
            facts.freq = 44100;
            facts.chans = 2;
            facts.bitrate = c.bitsPerSecond;
            facts.seconds = 10;
            facts.fileSize = c.bitsPerSecond / 8 * 10;
            info.rememberStream(p, platform::LocalFiles::stamp(p), &facts);
            break;
        }
        case SizeOverLength:
            tenSeconds.bitrate = 0;
            engine.addFile(p, tenSeconds);
            break;
        }
        show(p);
        EXPECT_EQ(panel.labels.bitrate, QString::fromLatin1(c.shown));
        EXPECT_EQ(panel.labels.totalTime, "00:10");
    }
    EXPECT_TRUE(sink.messages().isEmpty());
}
