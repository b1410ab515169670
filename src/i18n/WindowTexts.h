#pragma once
// Which language-file key sets which text of which window, in the order the texts are written
// when a language is applied. Windows are named by their class, controls by their object name;
// an empty control stands for the window's own caption.
#include <QList>
#include <QString>

namespace i18n {

class LanguageFile;

enum class TextRole {
    Caption, // the visible text of the control (or the window title)
    Hint,    // the tooltip
    Value,   // a text the window keeps for later (the open dialog's filter, a template)
};

struct WindowText {
    enum class Alternate {
        None,
        NewerSystem,  // alternateKey on systems whose sound commands go to the system's panel
        MonoSelected, // alternateKey when the record format is mono
    };
    QString window;
    QString control;
    TextRole role = TextRole::Caption;
    QString section;
    QString key;
    Alternate when = Alternate::None;
    QString alternateKey;
};

struct TextAssignment {
    QString window;
    QString control;
    TextRole role = TextRole::Caption;
    QString text;

    bool operator==(const TextAssignment& o) const
    {
        return window == o.window && control == o.control && role == o.role && text == o.text;
    }
};

class WindowTexts {
public:
    // Every window text, in writing order: the main window's [Menu] captions, [Button] hints,
    // the channel label, [PopMenu], [OpenDialog]; then the About box, the record format
    // dialog, the sound source dialog and the editor question.
    static const QList<WindowText>& table();

    // The texts read from `ini` (empty when a key is missing), in writing order.
    static QList<TextAssignment> resolve(const LanguageFile& ini, bool newerSystem,
                                         bool stereoSelected);

    static QString keyFor(const WindowText& text, bool newerSystem, bool stereoSelected);
};

} // namespace i18n
