// ctest-label: unit
// The program's files are found beside the executable first (a build tree) and in the
// installed share folder otherwise, whatever root the program was installed or unpacked under.
#include "platform/ResourcePaths.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using platform::ResourcePaths;

struct LookupCase {
    const char* what;
    bool beside;     // <root>/bin/Languages exists
    bool installed;  // <root>/share/vexa-recorder/Languages exists
    bool besideIsFile; // <root>/bin/Languages is a plain file, not a folder
    const char* expected; // relative to the root
};

TEST(ResourcePathsTest, LanguagesFolderLookupOrder)
{
    const LookupCase cases[] = {
        {"build tree", true, false, false, "bin/Languages"},
        {"installed", false, true, false, "share/vexa-recorder/Languages"},
        {"both: beside wins", true, true, false, "bin/Languages"},
        {"neither: the beside path", false, false, false, "bin/Languages"},
        {"a file named like the folder is skipped", false, true, true, "share/vexa-recorder/Languages"},
    };
    for (const LookupCase& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir root;
        ASSERT_TRUE(root.isValid());
        QDir dir(root.path());
        ASSERT_TRUE(dir.mkpath("bin"));
        if (c.beside) {
            ASSERT_TRUE(dir.mkpath("bin/Languages"));
        }
        if (c.besideIsFile) {
            QFile f(dir.filePath("bin/Languages"));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
        if (c.installed) {
            ASSERT_TRUE(dir.mkpath("share/vexa-recorder/Languages"));
        }
        const QString expected = dir.filePath(QString::fromLatin1(c.expected));
        // With and without the trailing separator the executable's folder is given as.
        EXPECT_EQ(ResourcePaths::languagesFolder(dir.filePath("bin") + "/"), expected);
        EXPECT_EQ(ResourcePaths::languagesFolder(dir.filePath("bin")), expected);
    }
}

TEST(ResourcePathsTest, OtherResourcesFollowTheSameRule)
{
    QTemporaryDir root;
    QDir dir(root.path());
    ASSERT_TRUE(dir.mkpath("usr/bin"));
    ASSERT_TRUE(dir.mkpath("usr/share/vexa-recorder/manual"));
    EXPECT_EQ(ResourcePaths::resourceFolder(dir.filePath("usr/bin/"), "manual"),
              dir.filePath("usr/share/vexa-recorder/manual"));
    EXPECT_EQ(ResourcePaths::installedDataFolder(dir.filePath("usr/bin/")),
              dir.filePath("usr/share/vexa-recorder"));
}

} // namespace
