#include "library/FileReports.h"

namespace library {

bool FileReports::firstReport(const QString& path)
{
    const platform::LocalFiles::Stamp now = platform::LocalFiles::stamp(path);
    const auto it = shown_.constFind(path);
    if (it != shown_.constEnd() && *it == now)
        return false;
    shown_.insert(path, now);
    return true;
}

} // namespace library
