#include "support/sound_server.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>

namespace testsupport {

QString pactl(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral("pactl"), args);
    if (!p.waitForFinished(5000))
        return {};
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

bool setDefaultSource(const QString& name)
{
    QDeadlineTimer deadline(3000);
    QDeadlineTimer again(0);
    for (;;) {
        if (again.hasExpired()) {
            pactl({QStringLiteral("set-default-source"), name});
            again.setRemainingTime(250);
        }
        if (pactl({QStringLiteral("get-default-source")}) == name)
            return true;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(5);
    }
}

} // namespace testsupport
