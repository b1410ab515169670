#pragma once
// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the GUI thread, so that the program
// ends through its normal shutdown (the main window closes as on Exit, the settings are saved).
// The signal handler only writes the signal number into a pipe; a QSocketNotifier reads it.
// One watcher at a time; the previous handlers are restored when it is destroyed.
#include <QObject>

#include <csignal>

class QSocketNotifier;

class SignalWatcher : public QObject {
    Q_OBJECT
public:
    explicit SignalWatcher(QObject* parent = nullptr);
    ~SignalWatcher() override;

    // False when the pipe or the handlers could not be set up (the signals then end the
    // process the default way).
    bool isActive() const { return notifier_ != nullptr; }

signals:
    void received(int signalNumber);

private:
    void readSignal();

    int fds_[2] = {-1, -1};
#ifndef Q_OS_WIN
    struct sigaction previous_[3] = {};
#endif
    QSocketNotifier* notifier_ = nullptr;
};
