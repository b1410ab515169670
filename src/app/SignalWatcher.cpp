#include "app/SignalWatcher.h"

#include <QSocketNotifier>

namespace app {

SignalWatcher::SignalWatcher(QObject* parent) : QObject(parent)
{
    if (!pipe_.isActive())
        return;
    notifier_ = new QSocketNotifier(pipe_.descriptor(), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SignalWatcher::readSignal);
}

SignalWatcher::~SignalWatcher()
{
    // The notifier goes before the pipe it watches is closed.
    delete notifier_;
}

void SignalWatcher::readSignal()
{
    while (const int number = pipe_.take())
        emit received(number);
}

} // namespace app
