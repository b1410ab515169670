#include "platform/SignalPipe.h"

#include <QtGlobal>

#ifdef Q_OS_WIN

namespace platform {

struct SignalPipe::Handlers {};
struct SignalPipe::Watchdog { };
SignalPipe::SignalPipe() = default;
bool SignalPipe::endHardAfter(int)
{
    return false;
}
SignalPipe::~SignalPipe() = default;
bool SignalPipe::isActive() const { return false; }
int SignalPipe::descriptor() const { return -1; }
int SignalPipe::take() { return 0; }

} // namespace platform

#else

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace platform {

namespace {

// A signal handler can reach nothing but a global: the write end of the pipe, set while a
// pipe owns the handlers. Writing to a pipe is async-signal-safe; nothing else is done there.
volatile sig_atomic_t signalPipe = -1;
// The write end of the watchdog's pipe, while one watches.
volatile sig_atomic_t watchdogPipe = -1;

const int Watched[] = {SIGTERM, SIGINT, SIGHUP};
constexpr int WatchedCount = int(sizeof(Watched) / sizeof(Watched[0]));

extern "C" void onSignal(int number)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    if (signalPipe >= 0) {
        [[maybe_unused]] const ssize_t n = ::write(signalPipe, &byte, 1);
    }
    if (watchdogPipe >= 0) {
        [[maybe_unused]] const ssize_t n = ::write(watchdogPipe, &byte, 1);
    }
    errno = saved;
}

} // namespace

struct SignalPipe::Handlers {
    int fds[2] = {-1, -1};
    struct sigaction previous[WatchedCount] = {};
};

SignalPipe::SignalPipe()
{
    auto h = std::make_unique<Handlers>();
    if (signalPipe >= 0 || ::pipe2(h->fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    signalPipe = h->fds[1];
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < WatchedCount; ++i)
        ::sigaction(Watched[i], &action, &h->previous[i]);
    handlers_ = std::move(h);
}

// signalFds: the signal handler writes a byte there; stopFds: the owner's "no longer needed".
struct SignalPipe::Watchdog {
    int signalFds[2] = {-1, -1};
    int stopFds[2] = {-1, -1};
    int milliseconds = 0;
    std::thread thread;
    std::atomic<bool> fired{false}; // set by the thread before it starts counting

    void run()
    {
        pollfd wait[2] = {{signalFds[0], POLLIN, 0}, {stopFds[0], POLLIN, 0}};
        while (::poll(wait, 2, -1) < 0 && errno == EINTR) { }
        if (wait[1].revents)
            return;
        unsigned char number = 0;
        if (::read(signalFds[0], &number, 1) != 1)
            return;
        fired = true;
        pollfd stop{stopFds[0], POLLIN, 0};
        // The normal end of the process comes first, or this ends it.
        int left = milliseconds;
        while (left > 0) {
            const int r = ::poll(&stop, 1, left);
            if (r > 0)
                return;
            if (r == 0)
                break;
            left -= 10; // interrupted: count on with a little less
        }
        ::_exit(128 + number);
    }
};

bool SignalPipe::endHardAfter(int milliseconds)
{
    if (!handlers_ || watchdog_)
        return handlers_ != nullptr;
    auto* w = new Watchdog;
    w->milliseconds = milliseconds;
    if (::pipe2(w->signalFds, O_CLOEXEC | O_NONBLOCK) != 0 || ::pipe2(w->stopFds, O_CLOEXEC) != 0) {
        delete w;
        return false;
    }
    w->thread = std::thread([w] { w->run(); });
    watchdog_ = w;
    watchdogPipe = w->signalFds[1];
    return true;
}

SignalPipe::~SignalPipe()
{
    if (watchdog_) {
        watchdogPipe = -1;
        if (watchdog_->fired) {
            // A signal came: the process is ending, and the watchdog keeps its deadline for
            // whatever of that end still hangs (the rest of the shutdown runs after this).
            watchdog_->thread.detach();
        } else {
            const unsigned char stop = 0;
            [[maybe_unused]] const ssize_t n = ::write(watchdog_->stopFds[1], &stop, 1);
            watchdog_->thread.join();
            for (int fd : {watchdog_->signalFds[0], watchdog_->signalFds[1], watchdog_->stopFds[0],
                           watchdog_->stopFds[1]})
                ::close(fd);
            delete watchdog_;
        }
    }
    if (!handlers_)
        return;
    for (int i = 0; i < WatchedCount; ++i)
        ::sigaction(Watched[i], &handlers_->previous[i], nullptr);
    signalPipe = -1;
    ::close(handlers_->fds[0]);
    ::close(handlers_->fds[1]);
}

bool SignalPipe::isActive() const
{
    return handlers_ != nullptr;
}

int SignalPipe::descriptor() const
{
    return handlers_ ? handlers_->fds[0] : -1;
}

int SignalPipe::take()
{
    unsigned char byte = 0;
    if (!handlers_ || ::read(handlers_->fds[0], &byte, 1) != 1)
        return 0;
    return byte;
}

} // namespace platform

#endif
