// ctest-label: unit
// The signal pipe: each termination signal is one byte, read back in the order raised and
// without blocking when none waits; one pipe owns the handlers at a time, and the handlers
// before it are back once it is gone.
#include "platform/SignalPipe.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

volatile sig_atomic_t earlierCalls = 0;
extern "C" void earlier(int) { earlierCalls = earlierCalls + 1; }

bool readable(int fd)
{
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 0) == 1 && (p.revents & POLLIN);
}

TEST(SignalPipeTest, SignalsArriveAsBytesInOrder)
{
    std::signal(SIGINT, earlier);
    {
        platform::SignalPipe pipe;
        ASSERT_TRUE(pipe.isActive());
        ASSERT_GE(pipe.descriptor(), 0);
        platform::SignalPipe second;
        EXPECT_FALSE(second.isActive());
        EXPECT_EQ(second.descriptor(), -1);
        EXPECT_EQ(second.take(), 0);

        EXPECT_FALSE(readable(pipe.descriptor()));
        EXPECT_EQ(pipe.take(), 0); // nothing waits: no block
        std::raise(SIGHUP);
        std::raise(SIGTERM);
        std::raise(SIGINT);
        EXPECT_TRUE(readable(pipe.descriptor()));
        EXPECT_EQ(pipe.take(), SIGHUP);
        EXPECT_EQ(pipe.take(), SIGTERM);
        EXPECT_EQ(pipe.take(), SIGINT);
        EXPECT_EQ(pipe.take(), 0);
        EXPECT_FALSE(readable(pipe.descriptor()));
        EXPECT_EQ(earlierCalls, 0);
    }
    std::raise(SIGINT);
    EXPECT_EQ(earlierCalls, 1);
    std::signal(SIGINT, SIG_DFL);

    platform::SignalPipe again;
    EXPECT_TRUE(again.isActive());
}

// A signal whose reader is stuck still ends the process, by the hard way, once the deadline has
// passed; a reader that ends the process in time ends it its own way. Each case is a child
// process (the hard way ends the whole process).
TEST(SignalPipeTest, ASignalEndsTheProcessEvenWhenNobodyReadsIt)
{
    struct Case {
        const char* what;
        bool readerStuck;
        int expectedStatus;
    };
    for (const Case c :
         {Case{"reader stuck", true, 128 + SIGTERM}, Case{"reader ends", false, 7}}) {
        SCOPED_TRACE(c.what);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            platform::SignalPipe pipe;
            if (!pipe.isActive() || !pipe.endHardAfter(300))
                ::_exit(90);
            std::raise(SIGTERM);
            if (!c.readerStuck && pipe.take() == SIGTERM)
                ::_exit(7);
            for (int i = 0; i < 600; ++i) // a minute stuck, as in a call to a hung server
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            ::_exit(91);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), c.expectedStatus);
    }
}

} // namespace
