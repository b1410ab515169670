// ctest-label: unit
// ctest-timeout: 120
// The recording's periodic sync away from the capture thread: a request made while a sync is
// held up on the disk returns at once (were it to wait, this test would hang until its timeout),
// requests made meanwhile are merged into one more sync of the latest handle, nothing asked for
// is skipped at finish() or destruction, and a failed sync is reported once. Then the same through
// SystemFileWriter: its data is in the file and close() waits for a sync that was still running.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "recording/BackgroundSync.h"
#include "recording/SystemFileWriter.h"

namespace {

// A disk the test holds: each sync reports that it started, then waits until let go (or passes
// straight through once opened for good), and records the handle it was given.
struct HeldDisk {
    std::mutex mutex;
    std::condition_variable changed;
    int started = 0;
    int released = 0;
    bool open = false;
    std::vector<int> handles;
    bool result = true;

    bool sync(int handle)
    {
        std::unique_lock<std::mutex> lock(mutex);
        const int me = ++started;
        changed.notify_all();
        changed.wait(lock, [&] { return open || released >= me; });
        handles.push_back(handle);
        return result;
    }
    void waitStarted(int n)
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return started >= n; });
    }
    void releaseOne()
    {
        std::lock_guard<std::mutex> lock(mutex);
        ++released;
        changed.notify_all();
    }
    void openForGood()
    {
        std::lock_guard<std::mutex> lock(mutex);
        open = true;
        changed.notify_all();
    }
};

TEST(BackgroundSyncTest, RequestsDoNotWaitForTheDiskAndMergeWhileASyncRuns)
{
    HeldDisk disk;
    recording::BackgroundSync syncer([&](int h) { return disk.sync(h); });
    EXPECT_TRUE(syncer.request(3));
    disk.waitStarted(1); // the first sync is now on the disk, held there
    for (int h : {4, 5, 6})
        EXPECT_TRUE(syncer.request(h)); // would hang here if a request waited for the disk
    EXPECT_EQ(syncer.completed(), 0u);
    disk.releaseOne();
    disk.waitStarted(2);
    disk.releaseOne();
    EXPECT_TRUE(syncer.finish());
    EXPECT_EQ(syncer.completed(), 2u);
    EXPECT_EQ(disk.handles, (std::vector<int>{3, 6}));
}

TEST(BackgroundSyncTest, AFailureIsReportedUntilFinishAndNothingAskedIsSkipped)
{
    for (const bool diskAccepts : {true, false}) {
        SCOPED_TRACE(diskAccepts ? "disk accepts" : "disk refuses");
        HeldDisk disk;
        disk.result = diskAccepts;
        disk.openForGood();
        {
            recording::BackgroundSync syncer([&](int h) { return disk.sync(h); });
            EXPECT_TRUE(syncer.request(7)); // nothing has failed yet
            while (syncer.completed() < 1)
                std::this_thread::yield();
            EXPECT_EQ(syncer.request(8), diskAccepts); // the writer hears of 7's failure
            EXPECT_EQ(syncer.finish(), diskAccepts);
            EXPECT_TRUE(syncer.finish()); // reported once: the mark was cleared
            EXPECT_TRUE(syncer.request(9));
            // Destroyed with 9 perhaps not yet started: it is still synced.
        }
        EXPECT_EQ(disk.handles, (std::vector<int>{7, 8, 9}));
    }
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(BackgroundSyncTest, SystemFileWriterSyncsInTheBackgroundAndCloseWaitsForIt)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("take.wav"));
    recording::SystemFileWriter file;
    EXPECT_FALSE(file.sync()); // nothing open
    ASSERT_TRUE(file.open(path));
    for (int second = 0; second < 5; ++second) {
        const QByteArray block(4096, char('a' + second));
        ASSERT_EQ(file.write(block.constData(), block.size()), block.size());
        EXPECT_TRUE(file.sync());
    }
    ASSERT_TRUE(file.seek(0));
    ASSERT_EQ(file.write("HEAD", 4), 4); // a header patch after the syncs were asked for
    EXPECT_TRUE(file.close());
    // At least one sync ran, and none is left running on a closed handle: every request before
    // close() was done by then (merged ones count once).
    const std::uint64_t done = file.syncsDone();
    EXPECT_GE(done, 1u);
    EXPECT_LE(done, 5u);
    const QByteArray data = readAll(path);
    ASSERT_EQ(data.size(), 5 * 4096);
    EXPECT_EQ(data.left(4), QByteArray("HEAD"));
    EXPECT_EQ(data.at(4 * 4096), 'e');
    EXPECT_FALSE(file.sync()); // closed again
    EXPECT_EQ(file.syncsDone(), done);
}

} // namespace
