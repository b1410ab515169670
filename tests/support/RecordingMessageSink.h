#pragma once
// A MessageSink for tests: collects every message instead of showing it, and answers
// confirmations from a preset queue (Yes when empty). Thread-safe, since messages may come
// from the capture thread.
#include "platform/MessageSink.h"

#include <QList>
#include <QMutex>

namespace platform {

class RecordingMessageSink : public MessageSink {
public:
    void show(const Message& message) override;
    bool confirm(const QString& text, const QString& caption) override;

    QList<Message> messages() const;
    QList<QString> confirmations() const;
    void answerNext(bool yes);
    void clear();

private:
    mutable QMutex mutex_;
    QList<Message> messages_;
    QList<QString> confirmations_;
    QList<bool> answers_;
};

} // namespace platform
