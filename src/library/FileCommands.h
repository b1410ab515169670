#pragma once
// The file commands of the main window: open a file, choose a folder, show the folder in the
// file manager, refresh, delete, rename, and the list's click and double-click.
#include <QString>
#include <QStringList>

namespace platform {
class MessageSink;
}

namespace library {

class FileInfo;
class FileLister;
class FileListView;
class FileSelection;
class LibraryHost;
class Playback;

class FileCommands {
public:
    // info: the panel the selection fills (a click, a double-click and Open file are the
    // user's choice of a file).
    FileCommands(LibraryHost& host, FileListView& list, FileLister& lister,
                 FileSelection& selection, FileInfo& info, Playback& playback,
                 platform::MessageSink& messages)
        : host_(host), list_(list), lister_(lister), selection_(selection), info_(info),
          playback_(playback), messages_(messages)
    {
    }

    void OpenFile();                  // MenuSysOpenClick
    void ChooseFolder();              // MenuSysOpenFolderClick
    void ShowFolderInFileManager();   // QLTButtonBrowseFolderClick
    void Refresh();                   // QLTButtonRefurbishClick
    void Delete();                    // QLTButtonDeleteClick
    void Rename();                    // QLTButtonRenameClick
    void ListClick();                 // ListViewFilesClick
    void ListDoubleClick();           // ListViewFilesDblClick
    // After the record format dialog was confirmed: select the selected item again, which
    // redraws the panel in Idle.
    void Reselect();

    // The open dialog's filter from [OpenDialog] "Filter" ("text|patterns|text|patterns...").
    QString openDialogFilter() const;
    // That filter in the form of Qt's file dialogs: "text (patterns)" per entry.
    static QStringList qtNameFilters(const QString& filter);

    // Trims blanks and control characters from both ends, as the rename answer is trimmed.
    static QString trimAnswer(const QString& answer);
    // The name Rename gives: the answer's base (up to its last dot) plus the old extension.
    // Empty when nothing is to be renamed (an empty answer or the same base but for case).
    // refused is set for an answer that would leave the folder (a path separator or "..") or
    // whose base is empty or dots alone (".", ". .").
    static QString renameTarget(const QString& oldName, const QString& answer, bool& refused);

    // The folder with exactly one trailing separator.
    static QString withTrailingSeparator(const QString& folder);

    static const char* const DefaultOpenFilter;

private:
    void forgetPlayedFileIfNamed(const QString& name);
    bool renameOnce(const QString& folder, const QString& fromName, const QString& toName) const;
    void showStrings(const char* key);

    LibraryHost& host_;
    FileListView& list_;
    FileLister& lister_;
    FileSelection& selection_;
    FileInfo& info_;
    Playback& playback_;
    platform::MessageSink& messages_;
};

} // namespace library
