// ctest-label: unit
// Syncing a file: what was written is in the file afterwards; a closed file, or data the
// system refuses (a full device), is reported as a failure rather than as success.
#include "platform/FileSync.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(FileSyncTest, WrittenDataIsInTheFileAndFailuresAreReported)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.filePath(QStringLiteral("synced.bin")));
    EXPECT_FALSE(platform::syncFile(file)); // not open

    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write("header+data", 11), 11); // still in QFile's buffer
    EXPECT_TRUE(platform::syncFile(file));
    QFile reader(file.fileName());
    ASSERT_TRUE(reader.open(QIODevice::ReadOnly));
    EXPECT_EQ(reader.readAll(), QByteArray("header+data"));
    file.close();
    EXPECT_FALSE(platform::syncFile(file));

    QFile full(QStringLiteral("/dev/full"));
    if (full.open(QIODevice::WriteOnly)) {
        ASSERT_EQ(full.write("x", 1), 1); // buffered; the device refuses it on the flush
        EXPECT_FALSE(platform::syncFile(full));
    }
}

} // namespace
