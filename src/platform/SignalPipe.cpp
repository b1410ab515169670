#include "platform/SignalPipe.h"

#include <QtGlobal>

#ifdef Q_OS_WIN

namespace platform {

struct SignalPipe::Handlers {};
SignalPipe::SignalPipe() = default;
SignalPipe::~SignalPipe() = default;
bool SignalPipe::isActive() const { return false; }
int SignalPipe::descriptor() const { return -1; }
int SignalPipe::take() { return 0; }

} // namespace platform

#else

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

// A signal handler can reach nothing but a global: the write end of the pipe, set while a
// pipe owns the handlers. Writing to a pipe is async-signal-safe; nothing else is done there.
volatile sig_atomic_t signalPipe = -1;

const int Watched[] = {SIGTERM, SIGINT, SIGHUP};
constexpr int WatchedCount = int(sizeof(Watched) / sizeof(Watched[0]));

extern "C" void onSignal(int number)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    if (signalPipe >= 0) {
        [[maybe_unused]] const ssize_t n = ::write(signalPipe, &byte, 1);
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

SignalPipe::~SignalPipe()
{
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
