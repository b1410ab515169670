#include "platform/FileSync.h"

#include <QFile>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

bool syncFile(QFile& file)
{
    if (!file.isOpen() || !file.flush())
        return false;
    return syncHandle(file.handle());
}

bool syncHandle(int handle)
{
    if (handle < 0)
        return false;
#ifdef Q_OS_WIN
    return ::_commit(handle) == 0;
#else
    // The data and what is needed to read it back; the access times may wait.
    return ::fdatasync(handle) == 0;
#endif
}

bool fileHasName(QFile& file)
{
    if (!file.isOpen())
        return true;
#ifdef Q_OS_WIN
    return true; // an open file and its folder cannot be removed there
#else
    struct stat st;
    return ::fstat(file.handle(), &st) != 0 || st.st_nlink > 0;
#endif
}

} // namespace platform
