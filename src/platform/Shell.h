#pragma once
// What the program asks of the desktop: show a folder in the file manager, open a document or
// an address with its default application, start a program. Programs are started with an
// argument list, never through a command shell, so no text is ever interpreted by one.
// Every call returns false when the request could not be handed over; none waits for the
// started program.
#include <QString>
#include <QStringList>

namespace platform {

class Shell {
public:
    virtual ~Shell() = default;
    virtual bool openFolder(const QString& folder) = 0;
    virtual bool openDocument(const QString& path) = 0;
    virtual bool openUrl(const QString& url) = 0;
    virtual bool startProgram(const QString& program, const QStringList& arguments,
                              const QString& workingFolder = QString()) = 0;
};

} // namespace platform
