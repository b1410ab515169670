// ctest-label: unit
// The signal pipe: each termination signal is one byte, read back in the order raised and
// without blocking when none waits; one pipe owns the handlers at a time, and the handlers
// before it are back once it is gone.
#include "platform/SignalPipe.h"

#include <gtest/gtest.h>

#include <csignal>
#include <poll.h>

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

} // namespace
