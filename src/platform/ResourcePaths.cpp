#include "platform/ResourcePaths.h"

#include <QDir>
#include <QFileInfo>

namespace platform {

namespace {

QString withoutTrailingSeparator(QString folder)
{
    while (folder.size() > 1 && (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\'))))
        folder.chop(1);
    return folder;
}

} // namespace

QString ResourcePaths::installedDataFolder(const QString& programFolder)
{
    return QDir::cleanPath(withoutTrailingSeparator(programFolder)
                           + QStringLiteral("/../share/vexa-recorder"));
}

QString ResourcePaths::resourceFolder(const QString& programFolder, const QString& name)
{
    const QString beside = withoutTrailingSeparator(programFolder) + QLatin1Char('/') + name;
    if (QFileInfo(beside).isDir())
        return beside;
    const QString installed = installedDataFolder(programFolder) + QLatin1Char('/') + name;
    if (QFileInfo(installed).isDir())
        return installed;
    return beside;
}

} // namespace platform
