#pragma once
// Every modal message the program shows goes through one MessageSink, so that logic can be
// tested without blocking on a box (tests collect the messages instead) and so that a message
// raised on the capture thread is posted to the GUI thread instead of shown there.
#include <QString>

class QWidget;

namespace platform {

enum class MessageIcon { None, Information, Error, Question };

struct Message {
    QString text;
    QString caption;       // empty: the system's default caption
    MessageIcon icon = MessageIcon::Information;
    bool withOwner = true; // false: the box has no owner window
};

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Shows a box with one OK button. Called on the GUI thread it returns after the user closed
    // it; called on any other thread it is queued to the GUI thread and returns at once.
    virtual void show(const Message& message) = 0;
    // A note that does not stop the user (nor the caller): shown and left open while the
    // program goes on. By default the same as show().
    virtual void note(const Message& message) { show(message); }
    // Yes/No confirmation (GUI thread only). True for Yes.
    virtual bool confirm(const QString& text, const QString& caption) = 0;
};

} // namespace platform
