#pragma once
// Which files' messages were already shown in this run. A broken file is reported once; it is
// reported again only after it changed (another size or modification time), so re-listing
// after a recording, Refresh, Rename or Delete does not bring the same boxes back, and neither
// does the window's activation that follows the closing of such a box.
#include "platform/LocalFiles.h"

#include <QHash>
#include <QString>

namespace library {

class FileReports {
public:
    // True the first time for this file as it is now (and remembers it); false when its
    // message was shown already and the file has not changed since.
    bool firstReport(const QString& path);
    // Forgets the file (it was read well).
    void forget(const QString& path) { shown_.remove(path); }

private:
    QHash<QString, platform::LocalFiles::Stamp> shown_;
};

} // namespace library
