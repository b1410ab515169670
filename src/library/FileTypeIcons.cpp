#include "library/FileTypeIcons.h"

#include <QMimeDatabase>
#include <QPixmap>

namespace library {

QIcon FileTypeIcons::choose(const QIcon& typeIcon, const QIcon& genericIcon,
                            const QIcon& programIcon)
{
    if (!typeIcon.isNull())
        return typeIcon;
    if (!genericIcon.isNull())
        return genericIcon;
    if (!programIcon.isNull())
        return programIcon;
    // No program icon was handed in: a blank 16 x 16 icon still fills the slot.
    QPixmap blank(16, 16);
    blank.fill(Qt::transparent);
    return QIcon(blank);
}

QIcon FileTypeIcons::iconFor(const QString& extension, const QIcon& programIcon)
{
    const QMimeType type = QMimeDatabase().mimeTypeForFile(QStringLiteral("x") + extension,
                                                             QMimeDatabase::MatchExtension);
    QIcon typeIcon;
    QIcon genericIcon;
    if (type.isValid() && !type.isDefault()) {
        typeIcon = QIcon::fromTheme(type.iconName());
        genericIcon = QIcon::fromTheme(type.genericIconName());
    }
    if (genericIcon.isNull())
        genericIcon = QIcon::fromTheme(QStringLiteral("audio-x-generic"));
    return choose(typeIcon, genericIcon, programIcon);
}

QList<QIcon> FileTypeIcons::listIcons(const QIcon& programIcon)
{
    return {iconFor(QStringLiteral(".wav"), programIcon),
            iconFor(QStringLiteral(".mp3"), programIcon),
            iconFor(QStringLiteral(".wma"), programIcon)};
}

} // namespace library
