#pragma once
// A MessageSink for tests: collects every message instead of showing it, and answers
// confirmations from a preset queue (Yes when empty). Thread-safe, since messages may come
// from the capture thread.
#include "platform/MessageSink.h"

#include <QList>
#include <QMutex>

namespace testsupport {

class RecordingMessageSink : public platform::MessageSink {
public:
    void show(const platform::Message& message) override;
    bool confirm(const QString& text, const QString& caption) override;

    QList<platform::Message> messages() const;
    QList<QString> confirmations() const;
    void answerNext(bool yes);
    void clear();

private:
    mutable QMutex mutex_;
    QList<platform::Message> messages_;
    QList<QString> confirmations_;
    QList<bool> answers_;
};

} // namespace testsupport
