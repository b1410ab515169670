#include "recording/AdapterMessage.h"

#include "platform/MessageSink.h"

namespace recording {

void showAdapterMessage(platform::MessageSink& messages, const QString& caption, const char* text)
{
    platform::Message message;
    message.text = QString::fromLatin1(text);
    message.caption = caption;
    message.icon = platform::MessageIcon::None;
    message.withOwner = false;
    messages.show(message);
}

} // namespace recording
