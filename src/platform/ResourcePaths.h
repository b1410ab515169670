#pragma once
// Where the program's read-only files lie. A build tree keeps them beside the executable; an
// installed program keeps the executable in <prefix>/bin and its files in
// <prefix>/share/vexa-recorder. The installed layout is found relative to the executable, so a
// package unpacked under any root (or a relocated prefix) works as well as /usr.
#include <QString>

namespace platform {

class ResourcePaths {
public:
    // The folder of the named resource ("Languages", "manual"), without a trailing separator:
    // <programFolder>/<name> when that folder exists, otherwise
    // <programFolder>/../share/vexa-recorder/<name> when that exists, otherwise the first
    // (so that a message about a missing file names the place a build tree would use).
    // programFolder is the executable's folder; a trailing separator is optional.
    static QString resourceFolder(const QString& programFolder, const QString& name);

    static QString languagesFolder(const QString& programFolder)
    {
        return resourceFolder(programFolder, QStringLiteral("Languages"));
    }

    // The installed share folder for a program folder: <programFolder>/../share/vexa-recorder,
    // cleaned of "..".
    static QString installedDataFolder(const QString& programFolder);
};

} // namespace platform
