#include "library/FileSelection.h"

#include "library/FileInfo.h"
#include "library/FileInfoView.h"
#include "library/FileListView.h"
#include "library/LibraryHost.h"

#include <algorithm>

namespace library {

QString FileSelection::fileNamePart(const QString& path)
{
    const int slash = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(slash + 1);
}

int FileSelection::FindListItem(const QString& name) const
{
    const int n = list_.count();
    for (int i = 0; i < n; ++i) {
        if (list_.caption(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString FileSelection::selectedCaption() const
{
    const int index = list_.selectedIndex();
    return index >= 0 && index < list_.count() ? list_.caption(index) : QString();
}

void FileSelection::SelectFile(const QString& name)
{
    int index = FindListItem(name);
    if (index < 0 && list_.count() > 0)
        index = 0;
    list_.setSelectedIndex(index);
    ShowSelection();
}

void FileSelection::ShowSelection()
{
    const int index = list_.selectedIndex();
    const QString current = index >= 0 && index < list_.count()
                                ? host_.recordingsFolder() + list_.caption(index)
                                : QString();

    const TransportState state = host_.transport().state();
    QString shownName;
    switch (state) {
    case Playing:
    case PlayPaused:
        return; // only the selection moves; the panel keeps describing what it described
    case Recording:
    case RecordPaused:
        info_.ShowFileInfo(QString(), panel_, host_.recordFormat(), host_.language());
        shownName = fileNamePart(host_.recordFilePath());
        break;
    case Idle:
        info_.ShowFileInfo(current, panel_, host_.recordFormat(), host_.language());
        shownName = fileNamePart(current);
        break;
    }
    panel_.setFileName(shownName);
}

} // namespace library
