#pragma once
// A folder that cannot be written to, as a user meets it. The tests may run as root, whom
// permissions do not stop: then the process takes the rights of "nobody" for the scope of this
// object (the folder and its parents must be open to others for reading and searching).
#include <QFile>
#include <QString>

#include <unistd.h>

namespace testsupport {

class WithoutRights {
public:
    // Makes folder read-only (read and search for everyone) and gives up root's rights.
    explicit WithoutRights(const QString& folder) : folder_(folder)
    {
        QFile::setPermissions(folder_,
                              QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                  QFileDevice::ReadGroup | QFileDevice::ExeGroup |
                                  QFileDevice::ReadOther | QFileDevice::ExeOther);
        // The group too: root's group would match the folder's and hide the bits for others.
        if (::geteuid() == 0 && ::setegid(Nobody) == 0 && ::seteuid(Nobody) == 0)
            wasRoot_ = true;
    }
    ~WithoutRights()
    {
        if (wasRoot_) {
            (void)::seteuid(0);
            (void)::setegid(0);
        }
        QFile::setPermissions(
            folder_, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    WithoutRights(const WithoutRights&) = delete;
    WithoutRights& operator=(const WithoutRights&) = delete;

    // Opens a folder for reading and searching by others (a parent of the read-only one).
    static void openToOthers(const QString& folder)
    {
        QFile::setPermissions(
            folder, QFile::permissions(folder) | QFileDevice::ReadOther | QFileDevice::ExeOther);
    }

private:
    static constexpr unsigned Nobody = 65534;
    QString folder_;
    bool wasRoot_ = false;
};

} // namespace testsupport
