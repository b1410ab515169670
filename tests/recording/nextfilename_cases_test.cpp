// ctest-label: unit
// Numbering of new recordings in a real temporary folder: taken numbers, gaps, padding, the
// last number, a full folder, and names that differ from ours only in letter case.
#include "recording/NextFileName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

namespace {

void touch(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
}

QStringList range(int from, int to, const char* pattern)
{
    QStringList names;
    for (int n = from; n <= to; ++n)
        names << QString::asprintf(pattern, n);
    return names;
}

struct Case {
    const char* what;
    std::function<QStringList()> files;
    std::uint8_t format; // 0 WAV, 1 MP3, 2 WMA
    const char* expected; // nullptr: no name
};

const Case kCases[] = {
    {"empty folder", [] { return QStringList(); }, 1, "Vexa_001.mp3"},
    {"a wav takes the number for mp3", [] { return QStringList{"Vexa_001.wav"}; }, 1,
     "Vexa_002.mp3"},
    {"a wma takes the number for wav", [] { return QStringList{"Vexa_001.wma"}; }, 0,
     "Vexa_002.wav"},
    {"gap at 1 is reused", [] { return QStringList{"Vexa_002.mp3"}; }, 1, "Vexa_001.mp3"},
    {"gap in the middle", [] { return QStringList{"Vexa_001.mp3", "Vexa_002.wav", "Vexa_004.wma"}; },
     2, "Vexa_003.wma"},
    {"number 10", [] { return range(1, 9, "Vexa_%03d.wav"); }, 0, "Vexa_010.wav"},
    {"number 100", [] { return range(1, 99, "Vexa_%03d.mp3"); }, 2, "Vexa_100.wma"},
    {"1..999 taken gives 1000", [] { return range(1, 999, "Vexa_%03d.wav"); }, 1,
     "Vexa_1000.mp3"},
    {"all 1000 taken", [] { return range(1, 1000, "Vexa_%03d.wma"); }, 0, nullptr},
    {"upper-case extension takes the number", [] { return QStringList{"Vexa_001.WAV"}; }, 0,
     "Vexa_002.wav"},
    {"upper-case prefix takes the number", [] { return QStringList{"VEXA_001.mp3", "vexa_002.Wma"}; },
     1, "Vexa_003.mp3"},
    {"unpadded names are other files", [] { return QStringList{"Vexa_1.wav", "Vexa_01.mp3"}; }, 0,
     "Vexa_001.wav"},
    {"other extensions do not count", [] { return QStringList{"Vexa_001.ogg", "Vexa_001.wav.bak"}; },
     0, "Vexa_001.wav"},
    {"a folder of that name counts", [] { return QStringList{"Vexa_001.wav/"}; }, 0,
     "Vexa_002.wav"},
    {"unknown format code records wma", [] { return QStringList(); }, 7, "Vexa_001.wma"},
};

TEST(NextFileName, Cases)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        for (const QString& name : c.files()) {
            if (name.endsWith(QLatin1Char('/')))
                ASSERT_TRUE(QDir(dir.path()).mkdir(name.chopped(1)));
            else
                touch(dir.filePath(name));
        }
        const QString folder = dir.path() + QLatin1Char('/');
        const QString got = recording::nextFileName(folder, c.format);
        if (c.expected == nullptr) {
            EXPECT_TRUE(got.isEmpty()) << got.toStdString();
        } else {
            EXPECT_EQ(got, folder + QLatin1String(c.expected));
            EXPECT_FALSE(QFileInfo::exists(got));
        }
    }
}

TEST(NextFileName, FolderWithoutTrailingSeparator)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    touch(dir.filePath("Vexa_001.mp3"));
    EXPECT_EQ(recording::nextFileName(dir.path(), 0), dir.path() + QStringLiteral("/Vexa_002.wav"));
}

} // namespace
