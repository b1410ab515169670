// ctest-label: unit
// The single-instance lock: a second holder is refused while the first lives and succeeds once
// it is gone; the lock lives in XDG_RUNTIME_DIR or, without it, in the temp folder; a lock file
// left behind by an ended holder does not block.
#include "platform/InstanceLock.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using platform::InstanceLock;

class EnvGuard {
public:
    explicit EnvGuard(const char* name) : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {}
    ~EnvGuard() { had_ ? qputenv(name_, old_) : qunsetenv(name_); }

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

TEST(InstanceLockTest, SecondHolderIsRefusedUntilTheFirstIsGone)
{
    EnvGuard guard("XDG_RUNTIME_DIR");
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    const QString name = QStringLiteral("VexaTestLock");
    auto first = std::make_unique<InstanceLock>(name);
    ASSERT_EQ(first->tryLock(), InstanceLock::Result::Acquired);
    EXPECT_EQ(first->path(), runtime.path() + "/VexaTestLock.lock");

    InstanceLock second(name);
    EXPECT_EQ(second.tryLock(), InstanceLock::Result::HeldElsewhere);
    EXPECT_FALSE(second.isHeld());
    InstanceLock other(QStringLiteral("AnotherName"));
    EXPECT_EQ(other.tryLock(), InstanceLock::Result::Acquired);

    first.reset(); // the file stays behind, unlocked
    EXPECT_TRUE(QFile::exists(runtime.path() + "/VexaTestLock.lock"));
    EXPECT_EQ(second.tryLock(), InstanceLock::Result::Acquired);
}

TEST(InstanceLockTest, WithoutRuntimeFolderTheTempFolderServes)
{
    EnvGuard guard("XDG_RUNTIME_DIR");
    EnvGuard tmp("TMPDIR");
    QTemporaryDir temp;
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    InstanceLock first(QStringLiteral("VexaTestLock"));
    ASSERT_EQ(first.tryLock(), InstanceLock::Result::Acquired);
    EXPECT_EQ(first.path(), temp.path() + "/VexaTestLock-" + QString::number(::getuid()) + ".lock");
    InstanceLock second(QStringLiteral("VexaTestLock"));
    EXPECT_EQ(second.tryLock(), InstanceLock::Result::HeldElsewhere);
}

TEST(InstanceLockTest, UnusableRuntimeFolderFallsBackToTheTempFolder)
{
    EnvGuard guard("XDG_RUNTIME_DIR");
    EnvGuard tmp("TMPDIR");
    QTemporaryDir temp;
    qputenv("XDG_RUNTIME_DIR", "/nonexistent/runtime");
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    InstanceLock lock(QStringLiteral("VexaTestLock"));
    ASSERT_EQ(lock.tryLock(), InstanceLock::Result::Acquired);
    EXPECT_TRUE(lock.path().startsWith(temp.path()));
}

TEST(InstanceLockTest, SymbolicLinkInPlaceOfTheLockIsNotFollowed)
{
    EnvGuard guard("XDG_RUNTIME_DIR");
    EnvGuard tmp("TMPDIR");
    QTemporaryDir runtime;
    QTemporaryDir temp;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    const QString target = runtime.filePath("victim");
    ASSERT_TRUE(QFile::link(target, runtime.filePath("VexaTestLock.lock")));
    InstanceLock lock(QStringLiteral("VexaTestLock"));
    EXPECT_EQ(lock.tryLock(), InstanceLock::Result::Acquired);
    EXPECT_FALSE(QFile::exists(target));            // nothing created through the link
    EXPECT_TRUE(lock.path().startsWith(temp.path())); // the next place was used
}

} // namespace
