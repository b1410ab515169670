#pragma once
// MessageSink that shows QMessageBox boxes. On the GUI thread a box is modal and the call
// returns when the user closed it; from any other thread the box is queued to the GUI thread
// and the call returns at once (the capture thread never waits for the user).
#include "platform/MessageSink.h"

#include <QPointer>
#include <QWidget>

namespace platform {

class QtMessageSink : public MessageSink {
public:
    // owner: the window that owns boxes shown with Message::withOwner (may be set later).
    explicit QtMessageSink(QWidget* owner = nullptr) : owner_(owner) {}

    void setOwner(QWidget* owner) { owner_ = owner; }

    void show(const Message& message) override;
    // A box without modality, closed by the user whenever; GUI thread or queued to it.
    void note(const Message& message) override;
    bool confirm(const QString& text, const QString& caption) override;

private:
    void showNow(const Message& message);
    void noteNow(const Message& message);

    QPointer<QWidget> owner_;
};

} // namespace platform
