#pragma once
// Selection by name: the one way every command moves the list selection and refreshes the
// information panel. The panel follows the selection only in Idle; while playing it keeps
// what it shows; while recording it shows the record format and the recorded file's name.
#include <QString>

namespace library {

class FileListView;
class FileInfoView;
class FileInfo;
class LibraryHost;

class FileSelection {
public:
    FileSelection(LibraryHost& host, FileListView& list, FileInfoView& panel, FileInfo& info)
        : host_(host), list_(list), panel_(panel), info_(info)
    {
    }

    // Index of the first item whose caption equals the name without regard to case, -1 if none.
    int FindListItem(const QString& name) const;

    // Selects the item of that name, else item 0, else nothing; then refreshes the panel as
    // far as the transport state allows.
    void SelectFile(const QString& name);

    // Refreshes the panel and the file-name label for the item selected now (the record format
    // and no name when none is), as far as the transport state allows, as SelectFile does.
    void ShowSelection();

    // The caption of the selected item, empty when nothing is selected.
    QString selectedCaption() const;

    // The file-name part of a path.
    static QString fileNamePart(const QString& path);

private:
    LibraryHost& host_;
    FileListView& list_;
    FileInfoView& panel_;
    FileInfo& info_;
};

} // namespace library
