#pragma once
// The program's own messages: the text is [Strings] strNNN of the current language file, read
// when the message is shown, and the caption of an information box is [Common] Message. This
// is the one place that knows every message key the program shows and its built-in English
// text, used whenever the language file has none for it (no Languages folder, a missing or an
// empty key), so that no box is ever shown without words.
//
// Reads are safe from any thread while nobody re-opens the language file.
#include <QString>

namespace platform {
class MessageSink;
struct Message;
}

namespace i18n {

class LanguageFile;

class LanguageMessages {
public:
    // The built-in English text of a message key ([Strings] "str001"..., [Common] "Message");
    // empty for a key that is not a message of the program.
    static QString builtIn(const QString& section, const QString& key);
    // What the language file says for the key, or the built-in text when it says nothing.
    static QString text(const LanguageFile& ini, const QString& section, const QString& key);
    // [Strings] key, with its built-in text as fallback.
    static QString stringText(const LanguageFile& ini, const QString& stringKey);
    // [Common] Message, the caption of the information boxes ("Vexa Recorder" built in).
    static QString caption(const LanguageFile& ini);

    // The information box for a [Strings] key: its text, the [Common] caption, the information
    // icon, one OK button.
    static platform::Message information(const LanguageFile& ini, const QString& stringKey,
                                         bool withOwner = true);

    // Shows that box. Safe from any thread (the sink queues boxes from other threads to the GUI
    // thread).
    static void Inform(platform::MessageSink& sink, const LanguageFile& ini,
                       const QString& stringKey, bool withOwner = true);
    // A Yes/No question with the [Strings] text and no caption of its own (GUI thread). True
    // for Yes.
    static bool Confirm(platform::MessageSink& sink, const LanguageFile& ini,
                        const QString& stringKey);
};

} // namespace i18n
