#include "platform/LocalFiles.h"

#include <QDir>
#include <QFile>
#include <QDateTime>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

// Length of the valid UTF-8 sequence at p (1..4), or 0 when the bytes there are no valid
// sequence (overlong forms, encoded surrogates and values past U+10FFFF included).
int utf8Length(const unsigned char* p, int left, char32_t& code)
{
    const unsigned char b = p[0];
    int n;
    char32_t min;
    if (b < 0x80) {
        code = b;
        return 1;
    } else if ((b & 0xE0) == 0xC0) {
        n = 2, min = 0x80, code = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
        n = 3, min = 0x800, code = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
        n = 4, min = 0x10000, code = b & 0x07;
    } else {
        return 0;
    }
    if (left < n)
        return 0;
    for (int i = 1; i < n; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (p[i] & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return n;
}

} // namespace

QString LocalFiles::decodeName(const QByteArray& bytes)
{
    QString name;
    name.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const int size = int(bytes.size());
    for (int i = 0; i < size;) {
        char32_t code = 0;
        const int n = utf8Length(p + i, size - i, code);
        if (n == 0) {
            name.append(QChar(char16_t(0xDC00 + p[i]))); // an escaped byte (0x80..0xFF)
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            name.append(QChar(QChar::highSurrogate(code)));
            name.append(QChar(QChar::lowSurrogate(code)));
        } else {
            name.append(QChar(char16_t(code)));
        }
        i += n;
    }
    return name;
}

QByteArray LocalFiles::encodeName(const QString& name)
{
    QByteArray bytes;
    bytes.reserve(name.size() * 3);
    auto put = [&bytes](char32_t c) {
        if (c < 0x80) {
            bytes.append(char(c));
        } else if (c < 0x800) {
            bytes.append(char(0xC0 | (c >> 6)));
            bytes.append(char(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            bytes.append(char(0xE0 | (c >> 12)));
            bytes.append(char(0x80 | ((c >> 6) & 0x3F)));
            bytes.append(char(0x80 | (c & 0x3F)));
        } else {
            bytes.append(char(0xF0 | (c >> 18)));
            bytes.append(char(0x80 | ((c >> 12) & 0x3F)));
            bytes.append(char(0x80 | ((c >> 6) & 0x3F)));
            bytes.append(char(0x80 | (c & 0x3F)));
        }
    };
    for (int i = 0; i < name.size(); ++i) {
        const char16_t u = name[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            put(QChar::surrogateToUcs4(u, name[i + 1].unicode()));
            ++i;
        } else if (u >= 0xDC80 && u <= 0xDCFF) {
            bytes.append(char(u - 0xDC00)); // an escaped byte
        } else if (QChar::isSurrogate(u)) {
            put(0xFFFD); // a lone surrogate that no decoded name holds
        } else {
            put(u);
        }
    }
    return bytes;
}

#ifdef Q_OS_UNIX

namespace {

template <typename Keep>
QStringList readFolder(const QString& folder, Keep keep)
{
    QStringList names;
    if (folder.isEmpty())
        return names;
    const QByteArray path = LocalFiles::encodeName(folder);
    const int dirFd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK);
    if (dirFd < 0)
        return names;
    DIR* dir = ::fdopendir(dirFd);
    if (!dir) {
        ::close(dirFd);
        return names;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const char* n = entry->d_name;
        if (n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0')))
            continue;
        if (keep(dirFd, entry))
            names.append(LocalFiles::decodeName(QByteArray(n)));
    }
    ::closedir(dir);
    return names;
}

} // namespace

QStringList LocalFiles::regularFileNames(const QString& folder)
{
    return readFolder(folder, [](int dirFd, const dirent* entry) {
        if (entry->d_type == DT_REG)
            return true;
        if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
            return false; // a FIFO, socket, device or folder
        struct stat st;
        return ::fstatat(dirFd, entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
    });
}

QStringList LocalFiles::entryNames(const QString& folder)
{
    return readFolder(folder, [](int, const dirent*) { return true; });
}

bool LocalFiles::isRegularFile(const QString& path)
{
    struct stat st;
    return !path.isEmpty() && ::stat(encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool LocalFiles::exists(const QString& path)
{
    struct stat st;
    return !path.isEmpty() && ::lstat(encodeName(path).constData(), &st) == 0;
}

LocalFiles::Stamp LocalFiles::stamp(const QString& path)
{
    Stamp result;
    struct stat st;
    if (!path.isEmpty() && ::stat(encodeName(path).constData(), &st) == 0) {
        result.size = st.st_size;
        result.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    }
    return result;
}

bool LocalFiles::openForReading(QFile& file, const QString& path)
{
    file.close();
    if (path.isEmpty())
        return false;
    // O_NONBLOCK: opening a FIFO without a writer returns at once instead of waiting.
    const int fd = ::open(encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

namespace {

// The system's words for the last error ("Permission denied", "Read-only file system").
QString systemError(int code)
{
    return QString::fromLocal8Bit(std::generic_category().message(code).c_str());
}

} // namespace

bool LocalFiles::remove(const QString& path, QString* why)
{
    if (!path.isEmpty() && ::unlink(encodeName(path).constData()) == 0)
        return true;
    if (why)
        *why = systemError(path.isEmpty() ? ENOENT : errno);
    return false;
}

bool LocalFiles::createNew(const QString& path, QString* why)
{
    const int fd = path.isEmpty()
        ? -1
        : ::open(encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NONBLOCK,
                 0666);
    if (fd < 0) {
        if (why)
            *why = systemError(path.isEmpty() ? ENOENT : errno);
        return false;
    }
    ::close(fd);
    return true;
}

bool LocalFiles::rename(const QString& from, const QString& to)
{
    const QByteArray a = encodeName(from), b = encodeName(to);
    if (from.isEmpty() || to.isEmpty())
        return false;
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
#endif
    // A file system without the no-replace rename: look first (a narrow race, as Qt has).
    struct stat st;
    if (::lstat(b.constData(), &st) == 0)
        return false;
    return ::rename(a.constData(), b.constData()) == 0;
}

void LocalFiles::makeWritable(const QString& path)
{
    struct stat st;
    const QByteArray p = encodeName(path);
    if (::stat(p.constData(), &st) == 0)
        ::chmod(p.constData(), (st.st_mode & 07777) | S_IWUSR);
}

bool LocalFiles::makeFolder(const QString& folder, QString* why)
{
    if (folder.isEmpty())
        return true; // the working folder
    std::error_code error;
    const std::filesystem::path path(encodeName(folder).toStdString());
    std::filesystem::create_directories(path, error);
    if (!error && std::filesystem::is_directory(path, error))
        return true;
    // Something else of that name is in the way: say so rather than "File exists".
    std::error_code ignored;
    const std::filesystem::path named = path.has_filename() ? path : path.parent_path();
    if (!error ||
        (std::filesystem::exists(named, ignored) && !std::filesystem::is_directory(named, ignored)))
        error = std::make_error_code(std::errc::not_a_directory);
    if (why)
        *why = QString::fromLocal8Bit(error.message().c_str());
    return false;
}

#else // Windows: names are UTF-16 and there are no FIFOs in folders; Qt serves.

QStringList LocalFiles::regularFileNames(const QString& folder)
{
    if (folder.isEmpty())
        return {};
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Unsorted);
}

QStringList LocalFiles::entryNames(const QString& folder)
{
    if (folder.isEmpty())
        return {};
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot, QDir::Unsorted);
}

bool LocalFiles::isRegularFile(const QString& path) { return QFileInfo(path).isFile(); }

LocalFiles::Stamp LocalFiles::stamp(const QString& path)
{
    Stamp result;
    const QFileInfo info(path);
    if (info.exists()) {
        result.size = info.size();
        result.modifiedNs = info.lastModified().toMSecsSinceEpoch() * 1000000;
    }
    return result;
}
bool LocalFiles::exists(const QString& path) { return QFileInfo::exists(path); }

bool LocalFiles::openForReading(QFile& file, const QString& path)
{
    file.close();
    if (!isRegularFile(path))
        return false;
    file.setFileName(path);
    return file.open(QIODevice::ReadOnly);
}

bool LocalFiles::remove(const QString& path, QString* why)
{
    QFile file(path);
    if (file.remove())
        return true;
    if (why)
        *why = file.errorString();
    return false;
}

bool LocalFiles::createNew(const QString& path, QString* why)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return true;
    if (why)
        *why = file.errorString();
    return false;
}
bool LocalFiles::rename(const QString& from, const QString& to) { return QFile::rename(from, to); }

void LocalFiles::makeWritable(const QString& path)
{
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner |
                                    QFileDevice::WriteUser);
}

bool LocalFiles::makeFolder(const QString& folder, QString* why)
{
    if (QDir().mkpath(folder))
        return true;
    if (why)
        *why = QStringLiteral("the folder could not be made");
    return false;
}

#endif

} // namespace platform
