// ctest-label: unit
// Programs are started with their arguments exactly as given (no shell interprets them), and
// requests that cannot be handed over fail instead of pretending.
#include "platform/DesktopShell.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

using platform::DesktopShell;

TEST(DesktopShellTest, ArgumentsArriveVerbatim)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("args.txt");
    const QString marker = dir.filePath("injected");
    const QStringList tricky = {
        "/rec dir/Vexa_003.mp3", "a\"b", "$(touch " + marker + ")", "; touch " + marker, "",
    };
    DesktopShell shell;
    // The helper prints each argument on a line of its own, then renames the file into place.
    ASSERT_TRUE(shell.startProgram("/bin/sh",
                                   QStringList{"-c", "printf '%s\\n' \"$@\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0\"", out} + tricky,
                                   dir.path()));
    QElapsedTimer timer;
    timer.start();
    while (!QFile::exists(out) && timer.elapsed() < 10000)
        QThread::msleep(10);
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll()).split('\n');
    EXPECT_EQ(lines.mid(0, tricky.size()), tricky);
    EXPECT_FALSE(QFile::exists(marker));
}

TEST(DesktopShellTest, WhatCannotBeHandedOverFails)
{
    QTemporaryDir dir;
    DesktopShell shell;
    EXPECT_FALSE(shell.startProgram(dir.filePath("Pelmora"), {}));
    EXPECT_FALSE(shell.startProgram(QString(), {}));
    EXPECT_FALSE(shell.openFolder(dir.filePath("missing")));
    EXPECT_FALSE(shell.openDocument(dir.filePath("VexaRecorder.chm")));
    EXPECT_FALSE(shell.openDocument(dir.path())); // a folder is no document
    EXPECT_FALSE(shell.openUrl("not an address"));
}

} // namespace
