#include "app/SignalWatcher.h"

#include <QSocketNotifier>

#ifdef Q_OS_WIN

// Windows has none of these signals to watch; the watcher stays inactive.
SignalWatcher::SignalWatcher(QObject* parent) : QObject(parent) {}
SignalWatcher::~SignalWatcher() = default;
void SignalWatcher::readSignal() {}

#else

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// A signal handler can reach nothing but a global: the write end of the pipe, set while a
// watcher exists. Writing to a pipe is async-signal-safe; nothing else is done in the handler.
volatile sig_atomic_t signalPipe = -1;

const int Watched[] = {SIGTERM, SIGINT, SIGHUP};

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

SignalWatcher::SignalWatcher(QObject* parent) : QObject(parent)
{
    if (signalPipe >= 0 || ::pipe2(fds_, O_CLOEXEC | O_NONBLOCK) != 0) {
        fds_[0] = fds_[1] = -1;
        return;
    }
    signalPipe = fds_[1];
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 3; ++i)
        ::sigaction(Watched[i], &action, &previous_[i]);
    notifier_ = new QSocketNotifier(fds_[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SignalWatcher::readSignal);
}

SignalWatcher::~SignalWatcher()
{
    if (!notifier_)
        return;
    for (int i = 0; i < 3; ++i)
        ::sigaction(Watched[i], &previous_[i], nullptr);
    signalPipe = -1;
    delete notifier_;
    ::close(fds_[0]);
    ::close(fds_[1]);
}

void SignalWatcher::readSignal()
{
    unsigned char byte = 0;
    while (::read(fds_[0], &byte, 1) == 1)
        emit received(byte);
}

#endif
