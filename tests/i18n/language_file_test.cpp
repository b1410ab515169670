// ctest-label: unit
// The profile-string rules of the language file reader, as one table over small files, plus
// the encodings, a missing file, a 1 MiB file with a 100,000-byte line and what is refused:
// larger files, FIFOs, devices and names that lead out of the Languages folder.
#include "i18n/LanguageFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

namespace {

using i18n::LanguageFile;

// The process's peak resident memory so far.
long peakMemoryKiB()
{
    struct rusage usage { };
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

QString writeFile(const QTemporaryDir& dir, const QByteArray& data, const char* name = "t.ini")
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(data);
    return path;
}

TEST(LanguageFileTest, ProfileStringRules)
{
    const struct {
        const char* name;
        QByteArray file;
        const char* section;
        const char* key;
        QString expected;
    } rows[] = {
        {"plain", "[Menu]\nOpen=Open...\n", "Menu", "Open", "Open..."},
        {"section without regard to case", "[MENU]\nOpen=x\n", "menu", "Open", "x"},
        {"key without regard to case", "[Menu]\nOPEN=x\n", "Menu", "open", "x"},
        {"blanks around the value", "[Menu]\nOpen =   Open file  \t\n", "Menu", "Open", "Open file"},
        {"blanks around the name", "[ Menu ]\n  Open=x\n", "Menu", "Open", "x"},
        {"double quotes removed", "[Menu]\nOpen=\" spaced \"\n", "Menu", "Open", " spaced "},
        {"single quotes removed", "[Menu]\nOpen='x'\n", "Menu", "Open", "x"},
        {"only one pair removed", "[Menu]\nOpen=\"\"x\"\"\n", "Menu", "Open", "\"x\""},
        {"unmatched quotes kept", "[Menu]\nOpen=\"x'\n", "Menu", "Open", "\"x'"},
        {"single quote char kept", "[Menu]\nOpen=\"\n", "Menu", "Open", "\""},
        {"equals sign in the value", "[OpenDialog]\nFilter=a=b|*.wav\n", "OpenDialog", "Filter", "a=b|*.wav"},
        {"empty value", "[Menu]\nOpen=\n", "Menu", "Open", ""},
        {"missing key gives default", "[Menu]\nOpen=x\n", "Menu", "Exit", "<default>"},
        {"missing section gives default", "[Menu]\nOpen=x\n", "Button", "Open", "<default>"},
        {"key of another section", "[Menu]\nOpen=x\n[Button]\n", "Button", "Open", "<default>"},
        {"comment lines skipped", "[Menu]\n;Open=x\nOpen=y\n", "Menu", "Open", "y"},
        {"first occurrence wins", "[Menu]\nOpen=1\nOpen=2\n", "Menu", "Open", "1"},
        {"carriage returns", "[Menu]\r\nOpen=x\r\n", "Menu", "Open", "x"},
        {"byte-order mark", "\xEF\xBB\xBF[Menu]\nOpen=x\n", "Menu", "Open", "x"},
        {"UTF-8 text", "[Menu]\nOpen=\xE6\x89\x93\xE5\xBC\x80\n", "Menu", "Open", QString::fromUtf8("打开")},
        {"line before any section", "Open=x\n[Menu]\n", "Menu", "Open", "<default>"},
    };
    QTemporaryDir dir;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LanguageFile ini(writeFile(dir, row.file));
        ASSERT_TRUE(ini.isOpen());
        EXPECT_EQ(ini.readString(QString::fromLatin1(row.section), QString::fromLatin1(row.key),
                                 QStringLiteral("<default>")),
                  row.expected);
    }
}

TEST(LanguageFileTest, ValuesAreCutAt2047BytesWithoutSplittingACharacter)
{
    QTemporaryDir dir;
    const QByteArray ascii(3000, 'a');
    QByteArray chinese;
    for (int i = 0; i < 1000; ++i)
        chinese += "\xE4\xB8\xAD"; // 3 bytes each: 2047 = 682 * 3 + 1
    LanguageFile ini(writeFile(dir, "[S]\nA=" + ascii + "\nC=" + chinese + "\nQ=\"" + ascii + "\"\n"));
    EXPECT_EQ(ini.readString("S", "A").toUtf8(), ascii.left(2047));
    EXPECT_EQ(ini.readString("S", "C").toUtf8(), chinese.left(682 * 3));
    EXPECT_EQ(ini.readString("S", "Q").toUtf8(), ascii.left(2047)); // quotes first, then the cut
}

TEST(LanguageFileTest, MissingFileGivesEveryDefault)
{
    QTemporaryDir dir;
    LanguageFile ini(dir.filePath("missing.ini"));
    EXPECT_FALSE(ini.isOpen());
    EXPECT_EQ(ini.readString("LanguageProperty", "FontName", "Tahoma"), QStringLiteral("Tahoma"));
    EXPECT_EQ(ini.readString("Menu", "Open"), QString());
    LanguageFile folder(dir.path()); // a folder is no file either
    EXPECT_EQ(folder.readString("Menu", "Open", "d"), QStringLiteral("d"));
}

TEST(LanguageFileTest, AFileUpTo1MiBWithAHugeLineIsReadAndCutALargerOneIsRefused)
{
    QTemporaryDir dir;
    QByteArray data = "[LanguageProperty]\nName=Big\nLong=" + QByteArray(100000, 'x') + "\n";
    const QByteArray filler = "[Filler]\nKey=" + QByteArray(1000, 'f') + "\n";
    const QByteArray tail = "[Menu]\nOpen=Open...\n";
    while (data.size() + filler.size() + tail.size() <= LanguageFile::MaxFileBytes)
        data += filler;
    data += tail;
    data += QByteArray(LanguageFile::MaxFileBytes - data.size(), '\n'); // exactly 1 MiB
    ASSERT_EQ(data.size(), LanguageFile::MaxFileBytes);
    LanguageFile ini(writeFile(dir, data));
    EXPECT_TRUE(ini.isOpen());
    EXPECT_EQ(ini.readString("LanguageProperty", "Name"), QStringLiteral("Big"));
    EXPECT_EQ(ini.readString("LanguageProperty", "Long").size(), 2047);
    EXPECT_EQ(ini.readString("Filler", "Key").size(), 1000);
    EXPECT_EQ(ini.readString("Menu", "Open"), QStringLiteral("Open..."));

    // One byte more, 10 MB, or a sparse file of 512 MiB: no language file; nothing of it is
    // read, or even taken into memory (the size is looked at first).
    for (qint64 size : {LanguageFile::MaxFileBytes + 1, qint64(10) << 20, qint64(512) << 20}) {
        const QString path = writeFile(dir, data, "big.ini");
        ASSERT_TRUE(QFile::resize(path, size)); // the rest reads as zero bytes
        const long peakBefore = peakMemoryKiB();
        LanguageFile refused;
        EXPECT_FALSE(refused.open(path));
        EXPECT_EQ(refused.readString("LanguageProperty", "Name", "d"), QStringLiteral("d"));
        EXPECT_LT(peakMemoryKiB() - peakBefore, 64 * 1024) << size << " bytes were read";
    }
}

TEST(LanguageFileTest, OnlyRegularFilesAreReadAndNoneWaits)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("fifo.ini");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString zero = dir.filePath("zero.ini");
    ASSERT_TRUE(QFile::link("/dev/zero", zero));
    // A FIFO without a writer would block an ordinary open for ever; /dev/zero never ends.
    for (const QString& path : {fifo, zero, QStringLiteral("/dev/zero"), QStringLiteral("/dev/null")}) {
        SCOPED_TRACE(path.toStdString());
        LanguageFile ini;
        EXPECT_FALSE(ini.open(path));
        EXPECT_EQ(ini.readString("Menu", "Open", "d"), QStringLiteral("d"));
    }
}

TEST(LanguageFileTest, PathInFolderTakesOnlyPlainNamesOfFilesThere)
{
    QTemporaryDir dir;
    const QString languages = dir.filePath("Languages");
    ASSERT_TRUE(QDir().mkpath(languages));
    writeFile(dir, "[x]\n", "Languages/English.ini");
    writeFile(dir, "[x]\n", "Outside.ini");
    ASSERT_TRUE(QDir(languages).mkdir("Folder.ini"));
    EXPECT_EQ(LanguageFile::pathInFolder(languages, "English.ini"), languages + "/English.ini");
    for (const char* name : {"", ".", "..", "../Outside.ini", "/etc/passwd", "Missing.ini",
                             "Folder.ini", "..\\Outside.ini", "sub/English.ini", "C:English.ini"})
        EXPECT_EQ(LanguageFile::pathInFolder(languages, QString::fromLatin1(name)), QString()) << name;
    EXPECT_EQ(LanguageFile::pathInFolder(QString(), "English.ini"), QString());
}

TEST(LanguageFileTest, BinaryGarbageReadsWithoutHarm)
{
    QTemporaryDir dir;
    QByteArray data;
    for (int i = 0; i < 65536; ++i)
        data += char((i * 7919) & 0xFF);
    LanguageFile ini(writeFile(dir, data));
    EXPECT_EQ(ini.readString("Menu", "Open", "d"), QStringLiteral("d"));
}

TEST(LanguageFileTest, ReopeningReplacesTheContent)
{
    QTemporaryDir dir;
    LanguageFile ini(writeFile(dir, "[Menu]\nOpen=one\n", "a.ini"));
    EXPECT_EQ(ini.readString("Menu", "Open"), QStringLiteral("one"));
    ini.open(writeFile(dir, "[Button]\nOpen=two\n", "b.ini"));
    EXPECT_EQ(ini.readString("Menu", "Open", "gone"), QStringLiteral("gone"));
    EXPECT_EQ(ini.readString("Button", "Open"), QStringLiteral("two"));
    ini.close();
    EXPECT_EQ(ini.readString("Button", "Open", "closed"), QStringLiteral("closed"));
}

} // namespace
