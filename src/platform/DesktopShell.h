#pragma once
// Shell over QDesktopServices (folders, documents, addresses) and QProcess::startDetached
// (programs).
#include "platform/Shell.h"

namespace platform {

class DesktopShell : public Shell {
public:
    bool openFolder(const QString& folder) override;
    bool openDocument(const QString& path) override;
    bool openUrl(const QString& url) override;
    bool startProgram(const QString& program, const QStringList& arguments,
                      const QString& workingFolder = QString()) override;
};

} // namespace platform
