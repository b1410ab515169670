#pragma once
// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the GUI thread, so that the program
// ends through its normal shutdown (the main window closes as on Exit, the settings are saved).
// The platform's signal pipe notes each signal; a QSocketNotifier reads them on the GUI thread.
// One watcher at a time; the previous handlers are restored when it is destroyed.
#include "platform/SignalPipe.h"

#include <QObject>

class QSocketNotifier;

namespace app {

class SignalWatcher : public QObject {
    Q_OBJECT
public:
    explicit SignalWatcher(QObject* parent = nullptr);
    ~SignalWatcher() override;

    // False when the signals could not be watched (they then end the process the default way).
    bool isActive() const { return notifier_ != nullptr; }
    // A signal ends the process by itself `milliseconds` after it came, should the normal end
    // not have come by then (the GUI thread stuck in a call to a hung sound server).
    void endHardAfter(int milliseconds) { pipe_.endHardAfter(milliseconds); }

signals:
    void received(int signalNumber);

private:
    void readSignal();

    platform::SignalPipe pipe_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace app
