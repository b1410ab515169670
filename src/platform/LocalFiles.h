#pragma once
// Files of a folder as the program meets them: names that may be any bytes, and entries that
// may be anything (a FIFO, a socket or a device named "x.wav").
//
// Names: on Linux a file name is bytes. Qt decodes them as UTF-8 and leaves out of its
// listings every name that is not valid UTF-8, so such a file could be neither shown nor
// touched. decodeName keeps every byte: a byte that is not part of valid UTF-8 becomes the
// lone surrogate U+DC80 + (byte - 0x80), and encodeName turns it back (the scheme Python calls
// "surrogateescape"). For valid UTF-8 both are the same as QFile's. Every path built from such
// a name goes through the functions below (or encodeName), never through QFile's own path
// handling.
//
// Entries: only regular files, and symbolic links to them, are listed or opened; an open never
// waits (a FIFO without a writer would block it for ever).
#include <QByteArray>
#include <QString>
#include <QStringList>

class QFile;

namespace platform {

class LocalFiles {
public:
    static QString decodeName(const QByteArray& bytes);
    static QByteArray encodeName(const QString& name);

    // The names of the folder's regular files (symbolic links followed), in the folder's own
    // order. Hidden files are included. Empty when the folder cannot be read.
    static QStringList regularFileNames(const QString& folder);
    // Every name in the folder but "." and "..", whatever it is.
    static QStringList entryNames(const QString& folder);

    // Whether the path names a regular file (following symbolic links).
    static bool isRegularFile(const QString& path);
    // Whether something is there that is no regular file (a FIFO, socket, device or folder,
    // links followed): what must never be handed to a decoder, whose open could wait for ever.
    static bool isSpecialFile(const QString& path) { return exists(path) && !isRegularFile(path); }
    // Whether anything (even a dangling link) has this path.
    static bool exists(const QString& path);

    // Size and modification time, to tell whether a file changed; size -1 when there is no
    // such file.
    struct Stamp {
        qint64 size = -1;
        qint64 modifiedNs = 0;
        bool operator==(const Stamp& o) const { return size == o.size && modifiedNs == o.modifiedNs; }
    };
    static Stamp stamp(const QString& path);

    // Opens a regular file for reading without ever blocking; false (and file closed) for
    // anything else or when it cannot be opened.
    static bool openForReading(QFile& file, const QString& path);

    // Removes the file (not a folder). On failure why (when given) says what stood in the way,
    // in the system's words.
    static bool remove(const QString& path, QString* why = nullptr);
    // Creates an empty file at path, never over anything already there; on failure why (when
    // given) says what stood in the way ("Permission denied", "Read-only file system").
    static bool createNew(const QString& path, QString* why = nullptr);
    // Renames within the file system; never replaces an existing target.
    static bool rename(const QString& from, const QString& to);
    // Gives the owner the right to write (what a read-only mark would stop).
    static void makeWritable(const QString& path);

    // Makes the folder with every missing parent; true when it is there afterwards. On failure
    // why (when given) says what stood in the way, in the system's words ("Permission denied",
    // "Not a directory", "No space left on device").
    static bool makeFolder(const QString& folder, QString* why = nullptr);
};

} // namespace platform
