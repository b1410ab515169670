// ctest-label: unit
// The settings table: every stored text and what it loads as, the save order and texts, the
// language file written at once on first run and never at shutdown, and a store that cannot be
// opened or written.
#include "app/AppSettings.h"
#include "support/MemorySettingsStore.h"
#include "platform/QtSettingsStore.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

namespace {

using testsupport::MemorySettingsStore;

app::AppSettings::Environment english()
{
    return {QStringLiteral("/home/u/Documents"), 1033};
}

void expectSame(const app::AppSettings& a, const app::AppSettings& b)
{
    EXPECT_EQ(a.RecordingsFolder, b.RecordingsFolder);
    EXPECT_EQ(a.StayOnTop, b.StayOnTop);
    EXPECT_EQ(a.MixerIndex, b.MixerIndex);
    EXPECT_EQ(int(a.Format.format), int(b.Format.format));
    EXPECT_EQ(a.Format.channels, b.Format.channels);
    EXPECT_EQ(a.Format.sampleRate, b.Format.sampleRate);
    EXPECT_EQ(a.Format.bitsPerSample, b.Format.bitsPerSample);
    EXPECT_EQ(a.Format.mp3Bitrate, b.Format.mp3Bitrate);
    EXPECT_EQ(a.Format.wmaBitrate, b.Format.wmaBitrate);
    EXPECT_EQ(a.SpectrumMode, b.SpectrumMode);
    EXPECT_EQ(a.FileListShown, b.FileListShown);
    EXPECT_EQ(a.LanguageFile, b.LanguageFile);
}

TEST(AppSettingsTest, EmptyStoreGivesTheDocumentedDefaults)
{
    MemorySettingsStore store;
    app::AppSettings s;
    s.Format.format = recording::RecordFormat::Wav; // must be overwritten
    ASSERT_TRUE(s.Load(store, english()));
    EXPECT_EQ(int(s.Format.format), int(recording::RecordFormat::Mp3));
    EXPECT_EQ(s.Format.channels, 2);
    EXPECT_EQ(s.Format.sampleRate, 44100);
    EXPECT_EQ(s.Format.bitsPerSample, 16);
    EXPECT_EQ(s.Format.mp3Bitrate, 128);
    EXPECT_EQ(s.Format.wmaBitrate, 96);
    EXPECT_EQ(s.SpectrumMode, 0);
    EXPECT_TRUE(s.FileListShown);
    EXPECT_FALSE(s.StayOnTop);
    EXPECT_EQ(s.MixerIndex, 0);
    EXPECT_EQ(s.RecordingsFolder, QStringLiteral("/home/u/Documents/"));
    EXPECT_EQ(s.LanguageFile, QStringLiteral("English.ini"));
    // The default language is written while loading, before anything else could go wrong.
    ASSERT_EQ(store.writes().size(), 1);
    EXPECT_EQ(store.writes()[0].first, QStringLiteral("LanguageFile"));
    EXPECT_EQ(store.writes()[0].second, QStringLiteral("English.ini"));
}

struct LoadRow {
    const char* name;
    QMap<QString, QString> stored;
    std::function<void(app::AppSettings&)> change; // applied to the defaults: the expected record
};

TEST(AppSettingsTest, EveryStoredTextLoadsAsTheTableSays)
{
    const auto set = [](auto f) { return std::function<void(app::AppSettings&)>(f); };
    const LoadRow rows[] = {
        {"Dir taken as it is", {{"Dir", "/rec/"}}, set([](app::AppSettings& s) {
             s.RecordingsFolder = "/rec/";
         })},
        {"Dir gets its separator", {{"Dir", "/rec"}}, set([](app::AppSettings& s) {
             s.RecordingsFolder = "/rec/";
         })},
        {"Dir with blanks kept", {{"Dir", " /my rec/"}}, set([](app::AppSettings& s) {
             s.RecordingsFolder = " /my rec/";
         })},
        {"OnTop 1", {{"OnTop", "1"}}, set([](app::AppSettings& s) { s.StayOnTop = true; })},
        {"OnTop 0", {{"OnTop", "0"}}, set([](app::AppSettings&) {})},
        {"OnTop true", {{"OnTop", "true"}}, set([](app::AppSettings&) {})},
        {"Mixer -1", {{"Mixer", "-1"}}, set([](app::AppSettings& s) { s.MixerIndex = -1; })},
        {"Mixer 3", {{"Mixer", "3"}}, set([](app::AppSettings& s) { s.MixerIndex = 3; })},
        {"Mixer +2", {{"Mixer", "+2"}}, set([](app::AppSettings& s) { s.MixerIndex = 2; })},
        {"Mixer lowest int32", {{"Mixer", "-2147483648"}}, set([](app::AppSettings& s) {
             s.MixerIndex = -2147483647 - 1;
         })},
        {"Mixer too large", {{"Mixer", "2147483648"}}, set([](app::AppSettings&) {})},
        {"Mixer not a number", {{"Mixer", "abc"}}, set([](app::AppSettings&) {})},
        {"Mixer with a blank", {{"Mixer", "5 "}}, set([](app::AppSettings&) {})},
        {"Mixer sign only", {{"Mixer", "-"}}, set([](app::AppSettings&) {})},
        {"Format 0", {{"Format", "0"}}, set([](app::AppSettings& s) {
             s.Format.format = recording::RecordFormat::Wav;
         })},
        {"Format 1", {{"Format", "1"}}, set([](app::AppSettings&) {})},
        {"Format 2", {{"Format", "2"}}, set([](app::AppSettings& s) {
             s.Format.format = recording::RecordFormat::Wma;
         })},
        {"Format 3", {{"Format", "3"}}, set([](app::AppSettings&) {})},
        {"Format -1", {{"Format", "-1"}}, set([](app::AppSettings&) {})},
        {"Format 0 with blank", {{"Format", "0 "}}, set([](app::AppSettings&) {})},
        {"Channels 1", {{"Channels", "1"}}, set([](app::AppSettings& s) {
             s.Format.channels = 1;
         })},
        {"Channels 2", {{"Channels", "2"}}, set([](app::AppSettings&) {})},
        {"Channels 0", {{"Channels", "0"}}, set([](app::AppSettings&) {})},
        {"Channels 01", {{"Channels", "01"}}, set([](app::AppSettings&) {})},
        {"Frequency 48000", {{"Frequency", "48000"}}, set([](app::AppSettings& s) {
             s.Format.sampleRate = 48000;
         })},
        {"Frequency 22050", {{"Frequency", "22050"}}, set([](app::AppSettings& s) {
             s.Format.sampleRate = 22050;
         })},
        {"Frequency 11025", {{"Frequency", "11025"}}, set([](app::AppSettings& s) {
             s.Format.sampleRate = 11025;
         })},
        {"Frequency 8000", {{"Frequency", "8000"}}, set([](app::AppSettings& s) {
             s.Format.sampleRate = 8000;
         })},
        {"Frequency 96000", {{"Frequency", "96000"}}, set([](app::AppSettings&) {})},
        {"Frequency with unit", {{"Frequency", "48000Hz"}}, set([](app::AppSettings&) {})},
        {"Frequency with blank", {{"Frequency", " 48000"}}, set([](app::AppSettings&) {})},
        {"MP3 32", {{"MP3Bitrate", "32"}}, set([](app::AppSettings& s) {
             s.Format.mp3Bitrate = 32;
         })},
        {"MP3 64", {{"MP3Bitrate", "64"}}, set([](app::AppSettings& s) {
             s.Format.mp3Bitrate = 64;
         })},
        {"MP3 96", {{"MP3Bitrate", "96"}}, set([](app::AppSettings& s) {
             s.Format.mp3Bitrate = 96;
         })},
        {"MP3 192", {{"MP3Bitrate", "192"}}, set([](app::AppSettings& s) {
             s.Format.mp3Bitrate = 192;
         })},
        {"MP3 256", {{"MP3Bitrate", "256"}}, set([](app::AppSettings& s) {
             s.Format.mp3Bitrate = 256;
         })},
        {"MP3 320", {{"MP3Bitrate", "320"}}, set([](app::AppSettings& s) {
             s.Format.mp3Bitrate = 320;
         })},
        {"MP3 160", {{"MP3Bitrate", "160"}}, set([](app::AppSettings&) {})},
        {"MP3 with unit", {{"MP3Bitrate", "320k"}}, set([](app::AppSettings&) {})},
        {"WMA 48", {{"WMABitrate", "48"}}, set([](app::AppSettings& s) {
             s.Format.wmaBitrate = 48;
         })},
        {"WMA 64", {{"WMABitrate", "64"}}, set([](app::AppSettings& s) {
             s.Format.wmaBitrate = 64;
         })},
        {"WMA 80", {{"WMABitrate", "80"}}, set([](app::AppSettings& s) {
             s.Format.wmaBitrate = 80;
         })},
        {"WMA 128", {{"WMABitrate", "128"}}, set([](app::AppSettings& s) {
             s.Format.wmaBitrate = 128;
         })},
        {"WMA 160", {{"WMABitrate", "160"}}, set([](app::AppSettings& s) {
             s.Format.wmaBitrate = 160;
         })},
        {"WMA 192", {{"WMABitrate", "192"}}, set([](app::AppSettings&) {})},
        {"Spectrum 1", {{"Spectrum", "1"}}, set([](app::AppSettings& s) { s.SpectrumMode = 1; })},
        {"Spectrum 2", {{"Spectrum", "2"}}, set([](app::AppSettings& s) { s.SpectrumMode = 2; })},
        {"Spectrum 3", {{"Spectrum", "3"}}, set([](app::AppSettings&) {})},
        {"FileList 0", {{"FileList", "0"}}, set([](app::AppSettings& s) {
             s.FileListShown = false;
         })},
        {"FileList 1", {{"FileList", "1"}}, set([](app::AppSettings&) {})},
        {"FileList no", {{"FileList", "no"}}, set([](app::AppSettings&) {})},
        {"LanguageFile kept", {{"LanguageFile", "ChineseGB.ini"}}, set([](app::AppSettings& s) {
             s.LanguageFile = "ChineseGB.ini";
         })},
        {"LanguageFile names a missing file",
         {{"LanguageFile", "Klingon.ini"}},
         set([](app::AppSettings& s) { s.LanguageFile = "Klingon.ini"; })},
        // Only a plain file name: anything that leads out of the Languages folder is refused.
        {"LanguageFile leading out",
         {{"LanguageFile", "../../../../dev/zero"}},
         set([](app::AppSettings&) {})},
        {"LanguageFile absolute", {{"LanguageFile", "/etc/passwd"}}, set([](app::AppSettings&) {})},
        {"LanguageFile in a subfolder",
         {{"LanguageFile", "old/English.ini"}},
         set([](app::AppSettings&) {})},
        {"LanguageFile with a backslash",
         {{"LanguageFile", "..\\x.ini"}},
         set([](app::AppSettings&) {})},
        {"LanguageFile dot-dot", {{"LanguageFile", ".."}}, set([](app::AppSettings&) {})},
    };
    for (const LoadRow& row : rows) {
        SCOPED_TRACE(row.name);
        MemorySettingsStore store;
        for (auto it = row.stored.constBegin(); it != row.stored.constEnd(); ++it)
            store.setValue(it.key(), it.value());
        app::AppSettings expected = app::AppSettings::Defaults(english());
        row.change(expected);
        app::AppSettings loaded;
        ASSERT_TRUE(loaded.Load(store, english()));
        expectSame(loaded, expected);
        // LanguageFile is written during load only when nothing was stored.
        EXPECT_EQ(store.writes().isEmpty(), row.stored.contains("LanguageFile"));
    }
}

TEST(AppSettingsTest, LanguageFileMustBeAFileOfTheLanguagesFolder)
{
    QTemporaryDir dir;
    const QString languages = dir.filePath("Languages");
    ASSERT_TRUE(QDir().mkpath(languages));
    for (const char* name : {"English.ini", "ChineseGB.ini"}) {
        QFile f(QDir(languages).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[LanguageProperty]\nName=x\n");
    }
    ASSERT_TRUE(QDir(languages).mkdir("Folder.ini"));
    ASSERT_TRUE(QFile::link("/dev/zero", QDir(languages).filePath("Zero.ini")));
    QFile outside(dir.filePath("Outside.ini"));
    ASSERT_TRUE(outside.open(QIODevice::WriteOnly));
    outside.close();

    const struct {
        const char* stored;
        const char* loaded;
    } rows[] = {
        {"ChineseGB.ini", "ChineseGB.ini"},
        {"English.ini", "English.ini"},
        {"Klingon.ini", "English.ini"},     // not there
        {"Folder.ini", "English.ini"},      // a folder
        {"Zero.ini", "English.ini"},        // a device behind a link
        {"../Outside.ini", "English.ini"},  // there, but outside the folder
        {"../../../../dev/zero", "English.ini"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.stored);
        MemorySettingsStore store;
        store.setValue("LanguageFile", row.stored);
        app::AppSettings s;
        ASSERT_TRUE(s.Load(store, english(), languages));
        EXPECT_EQ(s.LanguageFile, QString::fromLatin1(row.loaded));
        EXPECT_TRUE(store.writes().isEmpty()) << "a refused name is replaced for this run only";
    }
}

TEST(AppSettingsTest, DefaultLanguageFollowsTheUserLanguageAndIsWrittenAtOnce)
{
    const struct {
        std::uint16_t id;
        const char* file;
    } rows[] = {
        {1033, "English.ini"}, {2052, "ChineseGB.ini"}, {4100, "ChineseGB.ini"},
        {1028, "ChineseBig5.ini"}, {3076, "ChineseBig5.ini"}, {5124, "English.ini"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.id);
        MemorySettingsStore store;
        app::AppSettings s;
        s.Load(store, {QStringLiteral("/d"), row.id});
        EXPECT_EQ(s.LanguageFile, QString::fromLatin1(row.file));
        EXPECT_EQ(store.value("LanguageFile"), QString::fromLatin1(row.file));
    }
}

TEST(AppSettingsTest, SaveWritesEveryValueInOrderAndNeverTheLanguage)
{
    struct SaveRow {
        const char* name;
        std::function<void(app::AppSettings&)> change;
        bool onTopChecked;
        int height;
        QList<QPair<QString, QString>> writes;
    };
    const auto set = [](auto f) { return std::function<void(app::AppSettings&)>(f); };
    const SaveRow rows[] = {
        {"defaults",
         set([](app::AppSettings&) {}),
         false,
         358,
         {{"Version", "3.3"},
          {"Dir", "/home/u/Documents/"},
          {"OnTop", "0"},
          {"Mixer", "0"},
          {"Channels", "2"},
          {"Frequency", "44100"},
          {"Format", "1"},
          {"MP3Bitrate", "128"},
          {"WMABitrate", "96"},
          {"Spectrum", "0"},
          {"FileList", "1"}}},
        {"window facts win over the record",
         set([](app::AppSettings& s) {
             s.StayOnTop = false;
             s.FileListShown = true;
         }),
         true,
         168,
         {{"Version", "3.3"},
          {"Dir", "/home/u/Documents/"},
          {"OnTop", "1"},
          {"Mixer", "0"},
          {"Channels", "2"},
          {"Frequency", "44100"},
          {"Format", "1"},
          {"MP3Bitrate", "128"},
          {"WMABitrate", "96"},
          {"Spectrum", "0"},
          {"FileList", "0"}}},
        {"any other height hides the list",
         set([](app::AppSettings&) {}),
         false,
         400,
         {{"Version", "3.3"},
          {"Dir", "/home/u/Documents/"},
          {"OnTop", "0"},
          {"Mixer", "0"},
          {"Channels", "2"},
          {"Frequency", "44100"},
          {"Format", "1"},
          {"MP3Bitrate", "128"},
          {"WMABitrate", "96"},
          {"Spectrum", "0"},
          {"FileList", "0"}}},
        {"every value changed",
         set([](app::AppSettings& s) {
             s.RecordingsFolder = "/rec/";
             s.MixerIndex = -1;
             s.Format.channels = 1;
             s.Format.sampleRate = 8000;
             s.Format.format = recording::RecordFormat::Wma;
             s.Format.mp3Bitrate = 320;
             s.Format.wmaBitrate = 48;
             s.SpectrumMode = 2;
             s.LanguageFile = "ChineseGB.ini";
         }),
         false,
         358,
         {{"Version", "3.3"},
          {"Dir", "/rec/"},
          {"OnTop", "0"},
          {"Mixer", "-1"},
          {"Channels", "1"},
          {"Frequency", "8000"},
          {"Format", "2"},
          {"MP3Bitrate", "320"},
          {"WMABitrate", "48"},
          {"Spectrum", "2"},
          {"FileList", "1"}}},
    };
    for (const SaveRow& row : rows) {
        SCOPED_TRACE(row.name);
        app::AppSettings s = app::AppSettings::Defaults(english());
        row.change(s);
        MemorySettingsStore store;
        store.setValue("LanguageFile", "Chosen.ini");
        ASSERT_TRUE(s.Save(store, row.onTopChecked, row.height));
        EXPECT_EQ(store.writes(), row.writes);
        EXPECT_EQ(store.value("LanguageFile"), QStringLiteral("Chosen.ini"));
    }
}

TEST(AppSettingsTest, UnknownValuesAreReplacedOnTheNextSave)
{
    MemorySettingsStore store;
    store.setValue("Frequency", "96000");
    store.setValue("MP3Bitrate", "160");
    store.setValue("Format", "3");
    store.setValue("Mixer", "x");
    app::AppSettings s;
    s.Load(store, english());
    s.Save(store, false, 358);
    EXPECT_EQ(store.value("Frequency"), QStringLiteral("44100"));
    EXPECT_EQ(store.value("MP3Bitrate"), QStringLiteral("128"));
    EXPECT_EQ(store.value("Format"), QStringLiteral("1"));
    EXPECT_EQ(store.value("Mixer"), QStringLiteral("0"));
}

TEST(AppSettingsTest, LanguageChoiceIsStoredAtOnceAndSurvivesWithoutSave)
{
    MemorySettingsStore store;
    app::AppSettings s;
    s.Load(store, english());
    ASSERT_TRUE(app::AppSettings::StoreLanguageChoice(store, "ChineseBig5.ini"));
    // The program ends abnormally here: no Save. The next start reads the choice.
    app::AppSettings next;
    next.Load(store, english());
    EXPECT_EQ(next.LanguageFile, QStringLiteral("ChineseBig5.ini"));
    // And a normal shutdown afterwards does not undo it, even with an older record.
    s.Save(store, false, 358);
    EXPECT_EQ(store.value("LanguageFile"), QStringLiteral("ChineseBig5.ini"));
}

// The window stores a default language only after its first paint: Load hands it back instead
// of writing it, and hands back nothing when a language was stored or the store is closed.
TEST(AppSettingsTest, DefaultLanguageCanBeHandedBackInsteadOfWritten)
{
    const struct {
        const char* name;
        const char* stored; // nullptr: no LanguageFile value
        bool openFails;
        const char* handedBack;
        const char* chosen;
    } rows[] = {
        {"fresh store", nullptr, false, "ChineseGB.ini", "ChineseGB.ini"},
        {"empty value", "", false, "ChineseGB.ini", "ChineseGB.ini"},
        {"stored choice", "English.ini", false, "", "English.ini"},
        {"unusable name", "../x.ini", false, "", "ChineseGB.ini"},
        {"store closed", nullptr, true, "", "ChineseGB.ini"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        MemorySettingsStore store;
        if (row.stored)
            store.setValue("LanguageFile", row.stored);
        store.setOpenFails(row.openFails);
        store.clearWrites();
        app::AppSettings s;
        QString toStore = QStringLiteral("left over");
        s.Load(store, {QStringLiteral("/d"), 2052}, QString(), &toStore);
        EXPECT_EQ(toStore, QString::fromLatin1(row.handedBack));
        EXPECT_EQ(s.LanguageFile, QString::fromLatin1(row.chosen));
        EXPECT_TRUE(store.writes().isEmpty());
    }
}

TEST(AppSettingsTest, StoreThatCannotBeOpenedGivesDefaultsAndSavesNothing)
{
    MemorySettingsStore store;
    store.setValue("Format", "0");
    store.setOpenFails(true);
    app::AppSettings s;
    EXPECT_FALSE(s.Load(store, {QStringLiteral("/d"), 2052}));
    expectSame(s, app::AppSettings::Defaults({QStringLiteral("/d"), 2052}));
    EXPECT_EQ(s.LanguageFile, QStringLiteral("ChineseGB.ini")); // still chosen, for this run
    EXPECT_FALSE(s.Save(store, true, 168));
    EXPECT_FALSE(app::AppSettings::StoreLanguageChoice(store, "English.ini"));
    EXPECT_TRUE(store.writes().isEmpty());
    EXPECT_EQ(store.value("Format"), QStringLiteral("0"));
}

TEST(AppSettingsTest, StoreThatCannotBeWrittenReportsFailure)
{
    MemorySettingsStore store;
    store.setCloseFails(true);
    app::AppSettings s;
    s.Load(store, english()); // reading works, the default language does not stick
    EXPECT_EQ(s.LanguageFile, QStringLiteral("English.ini"));
    EXPECT_FALSE(store.contains("LanguageFile"));
    EXPECT_FALSE(s.Save(store, false, 358));
    EXPECT_FALSE(store.contains("Version"));
}

TEST(AppSettingsTest, RoundTripThroughTheSettingsFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Quandrel/VexaRecorder.ini");
    platform::QtSettingsStore store(path);
    app::AppSettings first;
    ASSERT_TRUE(first.Load(store, english()));
    first.RecordingsFolder = QString::fromUtf8("/录音, \"old\"/");
    first.MixerIndex = -1;
    first.Format.format = recording::RecordFormat::Wav;
    first.Format.sampleRate = 22050;
    first.SpectrumMode = 1;
    ASSERT_TRUE(first.Save(store, true, 168));

    app::AppSettings second;
    ASSERT_TRUE(second.Load(store, english()));
    app::AppSettings expected = first;
    expected.StayOnTop = true;      // from the window, not the record
    expected.FileListShown = false;
    expectSame(second, expected);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.startsWith("[General]\n")) << text.constData();
    EXPECT_TRUE(text.contains("\nVersion=3.3\n"));
    EXPECT_TRUE(text.contains("\nLanguageFile=English.ini\n"));
}

TEST(AppSettingsTest, GarbageSettingsFileGivesDefaults)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("VexaRecorder.ini");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += char((i * 131 + 7) & 0xFF);
    file.write("[General]\nFormat=0\nChannels=1\n" + garbage);
    file.close();
    platform::QtSettingsStore store(path);
    app::AppSettings s;
    ASSERT_TRUE(s.Load(store, english()));
    expectSame(s, app::AppSettings::Defaults(english()));
}

} // namespace

namespace {

// Every row of the settings table, through the real store's texts: each allowed value comes
// back from Load as itself and is saved as the same text (so its field is read and written as
// one), and a text that is none of them loads as the row's default.
TEST(AppSettingsTest, EveryChoiceOfTheTableSurvivesLoadAndSave)
{
    for (const app::AppSettings::Choice& choice : app::AppSettings::choices()) {
        SCOPED_TRACE(choice.key);
        std::vector<std::int32_t> values = choice.allowed;
        if (values.empty())
            values = {-1, 0, 7, 2147483647};
        for (std::int32_t value : values) {
            MemorySettingsStore store;
            store.setValue(choice.key, QString::number(value));
            app::AppSettings loaded;
            ASSERT_TRUE(loaded.Load(store, english()));
            EXPECT_EQ(choice.get(loaded), value);
            MemorySettingsStore saved;
            // The window's own state stands for stay-on-top and the list.
            ASSERT_TRUE(loaded.Save(saved, loaded.StayOnTop, loaded.FileListShown ? 358 : 168));
            EXPECT_EQ(saved.value(choice.key), QString::number(value));
        }
        for (const char* other : {"x", " ", "99999999999"}) {
            MemorySettingsStore store;
            store.setValue(choice.key, QString::fromLatin1(other));
            app::AppSettings loaded;
            ASSERT_TRUE(loaded.Load(store, english()));
            EXPECT_EQ(choice.get(loaded), choice.defaultValue) << other;
        }
        EXPECT_EQ(choice.get(app::AppSettings::Defaults(english())), choice.defaultValue);
    }
}

} // namespace
