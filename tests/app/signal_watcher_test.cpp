// ctest-label: unit
// SIGTERM, SIGINT and SIGHUP arrive as a Qt signal on the GUI thread, in order, without the
// handler doing anything but note them; the handlers before the watcher come back after it.
#include "app/SignalWatcher.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <csignal>

namespace {

volatile sig_atomic_t earlierHandlerCalls = 0;
extern "C" void earlierHandler(int) { earlierHandlerCalls = earlierHandlerCalls + 1; }

QList<int> waitFor(app::SignalWatcher& watcher, QList<int>& got, int count)
{
    QElapsedTimer timer;
    timer.start();
    while (got.size() < count && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    (void)watcher;
    return got;
}

TEST(SignalWatcherTest, SignalsBecomeQtSignals)
{
    std::signal(SIGHUP, earlierHandler);
    {
        app::SignalWatcher watcher;
        ASSERT_TRUE(watcher.isActive());
        app::SignalWatcher second; // only one watcher can own the handlers
        EXPECT_FALSE(second.isActive());

        QList<int> got;
        QObject::connect(&watcher, &app::SignalWatcher::received, [&](int n) { got << n; });
        std::raise(SIGTERM);
        std::raise(SIGINT);
        std::raise(SIGHUP);
        EXPECT_TRUE(got.isEmpty()); // nothing happens inside the handler
        EXPECT_EQ(waitFor(watcher, got, 3), (QList<int>{SIGTERM, SIGINT, SIGHUP}));
        EXPECT_EQ(earlierHandlerCalls, 0);
    }
    std::raise(SIGHUP);
    EXPECT_EQ(earlierHandlerCalls, 1);
    std::signal(SIGHUP, SIG_DFL);

    app::SignalWatcher again; // a new watcher works after the first is gone
    EXPECT_TRUE(again.isActive());
}

} // namespace
