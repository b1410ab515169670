// ctest-label: unit
// The QSettings-backed store on real files: values round-trip as text in [General]; values of
// other types, binary garbage and a folder in the file's place read as absent; garbage is kept
// aside when a fresh file is written; a read-only folder reads but stores nothing. The default
// location follows XDG_CONFIG_HOME.
#include "platform/QtSettingsStore.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using platform::QtSettingsStore;

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

TEST(QtSettingsStoreTest, TextRoundTripsInTheGeneralSection)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("sub/VexaRecorder.ini");
    {
        QtSettingsStore store(path);
        ASSERT_TRUE(store.open());
        EXPECT_EQ(store.readText("Dir"), QString()); // missing file, missing value
        store.writeText("Dir", "/my recordings, old/");
        store.writeText("Mixer", "-1");
        store.writeText("LanguageFile", QString::fromUtf8("中文.ini"));
        ASSERT_TRUE(store.close());
    }
    const QByteArray text = readAll(path);
    EXPECT_TRUE(text.startsWith("[General]")) << text.constData();
    QtSettingsStore store(path);
    ASSERT_TRUE(store.open());
    EXPECT_EQ(store.readText("Dir"), QStringLiteral("/my recordings, old/"));
    EXPECT_EQ(store.readText("Mixer"), QStringLiteral("-1"));
    EXPECT_EQ(store.readText("LanguageFile"), QString::fromUtf8("中文.ini"));
    EXPECT_EQ(store.readText("dir"), QString()); // names are exact
    EXPECT_TRUE(store.close());
}

TEST(QtSettingsStoreTest, ValuesOfOtherTypesReadAsAbsent)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("VexaRecorder.ini");
    writeAll(path, "[General]\n"
                   "Dir=/a, /b\n"
                   "Mixer=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)\n"
                   "Format=@ByteArray(1)\n"
                   "Channels=1\n");
    QtSettingsStore store(path);
    ASSERT_TRUE(store.open());
    EXPECT_EQ(store.readText("Dir"), QString());    // a list
    EXPECT_EQ(store.readText("Mixer"), QString());  // a number
    EXPECT_EQ(store.readText("Format"), QString()); // bytes
    EXPECT_EQ(store.readText("Channels"), QStringLiteral("1"));
    store.close();
}

TEST(QtSettingsStoreTest, GarbageReadsAsEmptyAndIsKeptAsideWhenWritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("VexaRecorder.ini");
    QByteArray garbage(4096, '\0');
    QRandomGenerator generator(42);
    for (char& c : garbage)
        c = char(generator.bounded(256));
    garbage.replace(0, 22, QByteArray("[General]\nChannels=1\n\0", 22)); // looks like settings at first
    writeAll(path, garbage);

    QtSettingsStore store(path);
    ASSERT_TRUE(store.open());
    EXPECT_EQ(store.readText("Channels"), QString());
    store.writeText("Version", "3.1");
    ASSERT_TRUE(store.close());

    EXPECT_EQ(readAll(path + ".bad"), garbage);
    QtSettingsStore again(path);
    ASSERT_TRUE(again.open());
    EXPECT_EQ(again.readText("Version"), QStringLiteral("3.1"));
    EXPECT_EQ(again.readText("Channels"), QString());
    again.close();
}

TEST(QtSettingsStoreTest, MalformedLinesLoseOnlyTheirOwnKeys)
{
    struct Row {
        const char* name;
        QByteArray text;
        QMap<QString, QString> expected; // name -> text read; every other name reads empty
    };
    const QMap<QString, QString> all = {{"Dir", "/rec/"}, {"Format", "0"}, {"Channels", "1"}};
    const Row rows[] = {
        {"a [[[ line at the end", "[General]\nDir=/rec/\nFormat=0\nChannels=1\n[[[\n", all},
        {"a [[[ line in the middle: what follows belongs to that section",
         "[General]\nDir=/rec/\nFormat=0\n[[[\nChannels=1\n", {{"Dir", "/rec/"}, {"Format", "0"}}},
        {"[[[ then [General] again", "[General]\nDir=/rec/\n[[[\nFormat=7\n[General]\nFormat=0\nChannels=1\n", all},
        {"a header without its bracket", "[General\nDir=/rec/\nFormat=0\nChannels=1\n", all},
        {"a line without =", "[General]\nDir=/rec/\nthis is no setting\nFormat=0\nChannels=1\n", all},
        {"a line that is not UTF-8", "[General]\nDir=/caf\xe9/\nFormat=0\nChannels=1\n",
         {{"Format", "0"}, {"Channels", "1"}}},
        {"two lines not UTF-8 and a [[[", "[General]\nDir=/rec/\nFormat=\xff\nChannels=1\nSpectrum=\xfe\x80\n[[[\n",
         {{"Dir", "/rec/"}, {"Channels", "1"}}},
        {"CRLF and a byte-order mark", "\xef\xbb\xbf[General]\r\nDir=/rec/\r\nFormat=0\r\nChannels=1\r\n[[[\r\n", all},
        {"keys before any section", "Dir=/rec/\nFormat=0\nChannels=1\n[[[\n", all},
        // A serialized value whose length field asks for 26 GB (found by the fuzzer), quoted too.
        {"a damaged @Variant", "[General]\nDir=/rec/\nMixer=@Variant(\\0\\0\\0\\t2\\0\\0\\0\\x5)\nFormat=0\nChannels=1\n", all},
        {"a quoted @ByteArray", "[General]\nDir=/rec/\nOnTop=\"@ByteArray(1)\"\nFormat=0\nChannels=1\n", all},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        const QString path = dir.filePath("VexaRecorder.ini");
        writeAll(path, row.text);
        {
            QtSettingsStore store(path);
            ASSERT_TRUE(store.open());
            for (const char* name : {"Dir", "Format", "Channels", "Spectrum", "OnTop"})
                EXPECT_EQ(store.readText(name), row.expected.value(name)) << name;
            store.close();
        }
        // Writing one value (the language choice) keeps the others that could be read, and
        // the original aside.
        {
            QtSettingsStore store(path);
            ASSERT_TRUE(store.open());
            store.writeText("LanguageFile", "English.ini");
            ASSERT_TRUE(store.close());
        }
        EXPECT_EQ(readAll(path + ".bad"), row.text);
        QtSettingsStore again(path);
        ASSERT_TRUE(again.open());
        EXPECT_EQ(again.readText("LanguageFile"), QStringLiteral("English.ini"));
        for (const char* name : {"Dir", "Format", "Channels", "Spectrum", "OnTop"})
            EXPECT_EQ(again.readText(name), row.expected.value(name)) << name;
        again.close();
    }
}

TEST(QtSettingsStoreTest, AFifoInPlaceOfTheFileReadsAsEmpty)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("VexaRecorder.ini");
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    QtSettingsStore store(path); // an ordinary open would wait for a writer for ever
    ASSERT_TRUE(store.open());
    EXPECT_EQ(store.readText("Dir"), QString());
    store.close();
}

TEST(QtSettingsStoreTest, AFolderInPlaceOfTheFileCannotBeOpened)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("VexaRecorder.ini");
    ASSERT_TRUE(QDir().mkpath(path));
    QtSettingsStore store(path);
    EXPECT_FALSE(store.open());
    EXPECT_EQ(store.readText("Dir"), QString());
    store.writeText("Dir", "/x/");
    EXPECT_FALSE(store.close());
}

TEST(QtSettingsStoreTest, ReadOnlyFolderReadsButStoresNothing)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    QTemporaryDir dir;
    const QString folder = dir.filePath("Quandrel");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + "/VexaRecorder.ini";
    writeAll(path, "[General]\nChannels=1\n");
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0555), 0);
    QtSettingsStore store(path);
    ASSERT_TRUE(store.open());
    EXPECT_EQ(store.readText("Channels"), QStringLiteral("1"));
    store.writeText("Channels", "2");
    EXPECT_FALSE(store.close());
    ::chmod(QFile::encodeName(folder).constData(), 0755);
    EXPECT_EQ(readAll(path), QByteArray("[General]\nChannels=1\n"));
}

TEST(QtSettingsStoreTest, UnwritableLocationReadsAsEmptyAndStoresNothing)
{
    // A file where the folder should be: no user, root included, can create the settings.
    QTemporaryDir dir;
    writeAll(dir.filePath("Quandrel"), "not a folder");
    const QString path = dir.filePath("Quandrel/VexaRecorder.ini");
    QtSettingsStore store(path);
    ASSERT_TRUE(store.open());
    EXPECT_EQ(store.readText("Dir"), QString());
    store.writeText("Dir", "/x/");
    EXPECT_FALSE(store.close());
    EXPECT_EQ(readAll(dir.filePath("Quandrel")), QByteArray("not a folder"));
}

TEST(QtSettingsStoreTest, DefaultLocationFollowsXdgConfigHome)
{
    QTemporaryDir dir;
    const QByteArray old = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path()));
    QtSettingsStore store;
    EXPECT_EQ(store.location(), dir.path() + "/Quandrel/VexaRecorder.ini");
    ASSERT_TRUE(store.open());
    store.writeText("Version", "3.1");
    EXPECT_TRUE(store.close());
    EXPECT_TRUE(QFile::exists(dir.path() + "/Quandrel/VexaRecorder.ini"));
    qputenv("XDG_CONFIG_HOME", old);
}

} // namespace
