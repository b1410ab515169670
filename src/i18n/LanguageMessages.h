#pragma once
// The program's own messages: the text is [Strings] strNNN of the current language file, read
// when the message is shown. Information boxes take the caption [Common] Message; the delete
// confirmation has no caption of its own.
#include <QString>

namespace platform {
class MessageSink;
}

namespace i18n {

class LanguageFile;

class LanguageMessages {
public:
    // An information box with one OK button. Safe from any thread while nobody re-opens `ini`
    // (the sink queues boxes from other threads to the GUI thread).
    static void Inform(platform::MessageSink& sink, const LanguageFile& ini,
                       const QString& stringKey, bool withOwner = true);
    // A Yes/No question (GUI thread). True for Yes.
    static bool Confirm(platform::MessageSink& sink, const LanguageFile& ini,
                        const QString& stringKey);
};

} // namespace i18n
