// ctest-label: gui
// The Qt message sink: a box shown on the GUI thread is modal with the given caption, text and
// icon; a box asked for on another thread is queued to the GUI thread and the call returns at
// once; a confirmation answers Yes or No.
#include "platform/QtMessageSink.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

using platform::Message;
using platform::MessageIcon;
using platform::QtMessageSink;

struct Seen {
    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QWidget* parent = nullptr;
    bool onGui = false;
};

// Closes the next modal box with `key` and records what it showed.
void closeNextBox(Seen& seen, int key = Qt::Key_Return)
{
    QTimer::singleShot(0, [&seen, key] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            closeNextBox(seen, key);
            return;
        }
        seen.caption = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.parent = box->parentWidget();
        seen.onGui = true;
        QTest::keyClick(box, Qt::Key(key));
    });
}

TEST(QtMessageSinkTest, BoxesOnTheGuiThreadShowWhatTheyAreGiven)
{
    QWidget owner;
    QtMessageSink sink(&owner);
    const struct {
        MessageIcon icon;
        QMessageBox::Icon boxIcon;
        bool withOwner;
    } rows[] = {
        {MessageIcon::Information, QMessageBox::Information, true},
        {MessageIcon::Error, QMessageBox::Critical, false},
        {MessageIcon::None, QMessageBox::NoIcon, true},
    };
    for (const auto& row : rows) {
        Seen seen;
        closeNextBox(seen);
        sink.show(Message{"Can not open", "Message", row.icon, row.withOwner});
        EXPECT_TRUE(seen.onGui);
        EXPECT_EQ(seen.caption, QStringLiteral("Message"));
        EXPECT_EQ(seen.text, QStringLiteral("Can not open"));
        EXPECT_EQ(seen.icon, row.boxIcon);
        EXPECT_EQ(seen.parent, row.withOwner ? &owner : nullptr);
    }
}

TEST(QtMessageSinkTest, OtherThreadsQueueTheBoxAndReturnAtOnce)
{
    QtMessageSink sink;
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        sink.show(Message{"Disk full", "Message", MessageIcon::Information, true});
        returned = true;
    });
    worker.join(); // the worker finished without anybody closing a box
    EXPECT_TRUE(returned);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    Seen seen;
    closeNextBox(seen);
    // The queued box appears once the GUI thread runs its events.
    for (int i = 0; i < 100 && !seen.onGui; ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_TRUE(seen.onGui);
    EXPECT_EQ(seen.text, QStringLiteral("Disk full"));
}

TEST(QtMessageSinkTest, ConfirmationAnswersYesOrNo)
{
    QtMessageSink sink;
    Seen seen;
    closeNextBox(seen, Qt::Key_Y);
    EXPECT_TRUE(sink.confirm("Delete?", QString()));
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    closeNextBox(seen, Qt::Key_N);
    EXPECT_FALSE(sink.confirm("Delete?", QString()));
    closeNextBox(seen, Qt::Key_Escape);
    EXPECT_FALSE(sink.confirm("Delete?", QString()));
}

} // namespace
