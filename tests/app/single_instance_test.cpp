// ctest-label: e2e
// ctest-timeout: 120
// Two real processes of the program: the second ends at once with code 0 and leaves the first
// running; a lock left by a killed instance does not block the next start; without
// XDG_RUNTIME_DIR the temp folder serves. The processes run offscreen with a private home.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(dir_.filePath("runtime"));
        QDir().mkpath(dir_.filePath("tmp"));
        environment_ = QProcessEnvironment::systemEnvironment();
        environment_.insert("QT_QPA_PLATFORM", "offscreen");
        environment_.insert("HOME", dir_.filePath("home"));
        environment_.insert("XDG_CONFIG_HOME", dir_.filePath("config"));
        environment_.insert("XDG_RUNTIME_DIR", dir_.filePath("runtime"));
        environment_.insert("TMPDIR", dir_.filePath("tmp"));
        environment_.insert("LANG", "C");
        environment_.remove("LC_ALL");
    }

    void TearDown() override
    {
        for (auto& p : processes_) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
        }
    }

    QProcess* start()
    {
        processes_.push_back(std::make_unique<QProcess>());
        QProcess* p = processes_.back().get();
        p->setProcessEnvironment(environment_);
        p->setProgram(qEnvironmentVariable("VEXA_BINARY_DIR") + "/vexa-recorder");
        p->start();
        EXPECT_TRUE(p->waitForStarted(5000));
        return p;
    }

    // True once the instance is past its lock and has made its window: it has then written
    // the default language into a settings file that did not exist before. (Probing the lock
    // from here would race with the starting process.)
    bool waitUntilRunning(QProcess* holder)
    {
        QFile::remove(settingsPath());
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 20000) {
            QFile f(settingsPath());
            if (f.open(QIODevice::ReadOnly) && f.readAll().contains("LanguageFile="))
                return true;
            if (holder->waitForFinished(20))
                return false; // it ended instead
        }
        return false;
    }

    QString settingsPath() const { return dir_.filePath("config/Quandrel/VexaRecorder.ini"); }

    void secondEndsAtOnceAndFirstKeepsRunning(QProcess* first)
    {
        ASSERT_TRUE(waitUntilRunning(first));
        QFile::remove(settingsPath());
        QProcess* second = start();
        QElapsedTimer timer;
        timer.start();
        // It ends at once (the time is printed); the bound only catches one that stays.
        ASSERT_TRUE(second->waitForFinished(30000)) << "the second instance did not end";
        const qint64 ms = timer.elapsed();
        std::printf("second instance ended after %lld ms\n", static_cast<long long>(ms));
        EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(second->exitCode(), 0);
        EXPECT_TRUE(second->readAllStandardOutput().isEmpty());
        EXPECT_FALSE(QFile::exists(settingsPath())); // it read and wrote nothing
        EXPECT_FALSE(first->waitForFinished(300)); // untouched
        EXPECT_EQ(first->state(), QProcess::Running);
    }

    QTemporaryDir dir_;
    QProcessEnvironment environment_;
    std::vector<std::unique_ptr<QProcess>> processes_;
};

TEST_F(SingleInstanceTest, SecondProcessEndsAndStaleLockDoesNotBlock)
{
    QProcess* first = start();
    secondEndsAtOnceAndFirstKeepsRunning(first);

    first->kill(); // SIGKILL: no shutdown, the lock file stays behind
    ASSERT_TRUE(first->waitForFinished(5000));
    EXPECT_TRUE(QFile::exists(dir_.filePath("runtime/RunOnlyOneVexaRecorder.lock")));

    QProcess* third = start();
    ASSERT_TRUE(waitUntilRunning(third)) << "a killed instance's lock blocked the next start";
    third->terminate(); // SIGTERM: the normal shutdown
    ASSERT_TRUE(third->waitForFinished(10000));
    EXPECT_EQ(third->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(third->exitCode(), 0);
    QFile settings(settingsPath());
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_TRUE(settings.readAll().contains("Version=3.3"));
}

TEST_F(SingleInstanceTest, WithoutRuntimeFolderTheTempFolderHoldsTheLock)
{
    environment_.remove("XDG_RUNTIME_DIR");
    QProcess* first = start();
    secondEndsAtOnceAndFirstKeepsRunning(first);
    EXPECT_FALSE(QDir(dir_.filePath("tmp")).entryList({"RunOnlyOneVexaRecorder-*.lock"}).isEmpty());
    first->terminate();
    ASSERT_TRUE(first->waitForFinished(10000));
    EXPECT_EQ(first->exitCode(), 0);
}

} // namespace
