#pragma once
// The termination signals (SIGTERM, SIGINT, SIGHUP) as bytes on a pipe: the handler only writes
// the signal number into the pipe (async-signal-safe), and the program reads it from the other
// end whenever its event loop sees the descriptor readable. One pipe at a time owns the
// handlers; the handlers before it come back when it is destroyed. Where the system has none
// of these signals (Windows) the pipe stays inactive.
#include <memory>

namespace platform {

class SignalPipe {
public:
    SignalPipe();
    ~SignalPipe();
    SignalPipe(const SignalPipe&) = delete;
    SignalPipe& operator=(const SignalPipe&) = delete;

    // False when the pipe or the handlers could not be set up, or another pipe owns them (the
    // signals then end the process the default way).
    bool isActive() const;
    // The end to watch for reading; -1 when inactive.
    int descriptor() const;
    // The next signal number received, 0 when none is waiting. Never blocks.
    int take();

    // From now on a signal ends the process by itself (_exit with 128 + the signal's number)
    // when the process has not ended `milliseconds` after it: the reader of the pipe may be
    // stuck (a sound server that answers nothing), and a request to end must still end it. A
    // watching thread waits for the signal; the normal end beats it. False when inactive.
    bool endHardAfter(int milliseconds);

private:
    struct Handlers;
    struct Watchdog;
    std::unique_ptr<Handlers> handlers_;
    Watchdog* watchdog_ = nullptr; // left running once a signal came (the process ends soon)
};

} // namespace platform
