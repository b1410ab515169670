#include "support/RecordingMessageSink.h"

#include <QMutexLocker>

namespace testsupport {

void RecordingMessageSink::show(const platform::Message& message)
{
    QMutexLocker lock(&mutex_);
    messages_.append(message);
}

bool RecordingMessageSink::confirm(const QString& text, const QString& caption)
{
    QMutexLocker lock(&mutex_);
    confirmations_.append(caption.isEmpty() ? text : caption + QLatin1Char('|') + text);
    return answers_.isEmpty() ? true : answers_.takeFirst();
}

QList<platform::Message> RecordingMessageSink::messages() const
{
    QMutexLocker lock(&mutex_);
    return messages_;
}

QList<QString> RecordingMessageSink::confirmations() const
{
    QMutexLocker lock(&mutex_);
    return confirmations_;
}

void RecordingMessageSink::answerNext(bool yes)
{
    QMutexLocker lock(&mutex_);
    answers_.append(yes);
}

void RecordingMessageSink::clear()
{
    QMutexLocker lock(&mutex_);
    messages_.clear();
    confirmations_.clear();
    answers_.clear();
}

} // namespace testsupport
