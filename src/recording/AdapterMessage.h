#pragma once
// How the encoder adapters (MP3, WMA) tell the user about a failure: a plain box with no icon
// and no owner window, under the adapter's own caption. The sink queues it to the GUI thread
// when it is raised on the capture thread.
#include <QString>

namespace platform {
class MessageSink;
}

namespace recording {

void showAdapterMessage(platform::MessageSink& messages, const QString& caption, const char* text);

} // namespace recording
