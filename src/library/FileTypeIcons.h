#pragma once
// The small icons of the recordings list: one per extension, from the desktop's icon theme
// (the file type's own icon, else the generic audio icon), else the program's own icon, so
// that no slot of the list is ever empty.
#include <QIcon>
#include <QList>
#include <QString>

namespace library {

class FileTypeIcons {
public:
    // The icon for files with the extension (".wav", ".mp3", ".wma").
    static QIcon iconFor(const QString& extension, const QIcon& programIcon);

    // The choice itself: the first non-null of the three; the program icon otherwise.
    static QIcon choose(const QIcon& typeIcon, const QIcon& genericIcon, const QIcon& programIcon);

    // Exactly three icons, for ".wav", ".mp3" and ".wma" in that order (the image indices 0, 1, 2).
    static QList<QIcon> listIcons(const QIcon& programIcon);
};

} // namespace library
