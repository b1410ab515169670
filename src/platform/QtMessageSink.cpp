#include "platform/QtMessageSink.h"

#include <QCoreApplication>
#include <QFile>
#include <QMessageBox>
#include <QThread>

namespace platform {

namespace {

QMessageBox::Icon boxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

// VEXA_MESSAGE_LOG names a file each message's text is appended to as it is shown, one line
// each: the window's boxes can be checked by scripts that drive it.
void logMessage(const Message& message)
{
    const QString path = qEnvironmentVariable("VEXA_MESSAGE_LOG");
    if (path.isEmpty())
        return;
    QFile file(path);
    if (file.open(QIODevice::Append | QIODevice::Text)) {
        QString line = message.text;
        line.replace(QLatin1Char('\n'), QLatin1Char(' '));
        file.write(line.toUtf8() + '\n');
    }
}

bool onGuiThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

} // namespace

void QtMessageSink::show(const Message& message)
{
    if (onGuiThread()) {
        showNow(message);
        return;
    }
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    // The sink may be gone when the queued call runs: take the owner, not `this`.
    QPointer<QWidget> owner = owner_;
    QMetaObject::invokeMethod(
        app,
        [owner, message] {
            QtMessageSink sink(owner);
            sink.showNow(message);
        },
        Qt::QueuedConnection);
}

void QtMessageSink::note(const Message& message)
{
    if (onGuiThread()) {
        noteNow(message);
        return;
    }
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    QPointer<QWidget> owner = owner_;
    QMetaObject::invokeMethod(
        app,
        [owner, message] {
            QtMessageSink sink(owner);
            sink.noteNow(message);
        },
        Qt::QueuedConnection);
}

void QtMessageSink::noteNow(const Message& message)
{
    logMessage(message);
    auto* box = new QMessageBox(boxIcon(message.icon), message.caption, message.text, QMessageBox::Ok,
                                message.withOwner ? owner_.data() : nullptr);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

void QtMessageSink::showNow(const Message& message)
{
    logMessage(message);
    QMessageBox box(boxIcon(message.icon), message.caption, message.text, QMessageBox::Ok,
                    message.withOwner ? owner_.data() : nullptr);
    box.exec();
}

bool QtMessageSink::confirm(const QString& text, const QString& caption)
{
    if (!onGuiThread())
        return false; // a question needs an answer: only the GUI thread can wait for one
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                    owner_.data());
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

} // namespace platform
