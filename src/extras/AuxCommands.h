#pragma once
// The commands around the recorder: the three companion programs (the joiner Pelmora, the
// editor Dravena, which can be handed the selected recording, the converter Kestiva), the user
// manual and the home page.
//
// A companion program is looked for beside the executable under its name and its name in lower
// case, then in the folders of PATH. It is started with an argument list, never through a
// command interpreter. When it cannot be found or started, one message names it and where it
// was looked for: nothing else would tell the user why the click did nothing. The manual and
// the home page go to the desktop's default handler, which reports its own failures; a manual
// that is not installed is told by one message naming where it was looked for.
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace i18n {
class LanguageFile;
}
namespace platform {
class MessageSink;
class Shell;
}

namespace extras {

class AuxCommands {
public:
    static const char* const Joiner;    // "Pelmora"
    static const char* const Editor;    // "Dravena"
    static const char* const Converter; // "Kestiva"
    // The message's key in [Strings] (its built-in text is in i18n::LanguageMessages).
    static const char* const NotFoundKey;
    // [Strings] key of the message for a manual that is not installed (%1: where it was looked
    // for).
    static const char* const NoManualKey;

    using LanguageSource = std::function<std::shared_ptr<const i18n::LanguageFile>()>;

    // programFolder: the executable's folder, with a trailing separator.
    AuxCommands(platform::Shell& shell, platform::MessageSink& messages, QString programFolder,
                LanguageSource language);

    // The folders searched after the program folder; by default those of PATH at the moment of
    // the search.
    void setSearchPath(const QStringList& folders) { searchPath_ = folders; usePath_ = false; }
    // Asks whether to open the selected recording in the editor: EditorQuestionDialog's result, Yes
    // (6), No (7) or anything else for a closed window.
    void setEditorQuestion(std::function<int()> ask) { askEditor_ = std::move(ask); }

    // The companion program's path, or empty when it is nowhere.
    QString locate(const QString& name) const;

    bool startJoiner();
    bool startConverter();
    // selectedFile: the recordings folder and the selected row's name, or empty when no row is
    // selected (then no question is asked).
    bool startEditor(const QString& selectedFile);

    QString helpPath() const;
    bool openHelp();
    // The address, kept scrambled in the program file.
    static QString homePage();
    bool openHomePage();

private:
    bool start(const QString& name, const QStringList& arguments);
    void reportNotStarted(const QString& name);
    // The current language file, or an empty one (the built-in texts).
    std::shared_ptr<const i18n::LanguageFile> language() const;

    platform::Shell& shell_;
    platform::MessageSink& messages_;
    QString programFolder_;
    LanguageSource language_;
    QStringList searchPath_;
    bool usePath_ = true;
    std::function<int()> askEditor_;
};

} // namespace extras
