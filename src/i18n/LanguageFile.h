#pragma once
// A language file read with the profile-string rules: section and key names match without
// regard to case, blanks around a value are removed, one pair of matching quotes around it is
// removed, at most 2047 bytes of a value are returned, and a missing file, section or key gives
// the default. Files are UTF-8, with or without a byte-order mark.
//
// The whole file is parsed once at open(); reads are const and safe from any thread while no
// other thread calls open() on the same object.
#include <QHash>
#include <QString>

namespace i18n {

class LanguageFile {
public:
    LanguageFile() = default;
    explicit LanguageFile(const QString& path) { open(path); }

    // Language files are a few kilobytes; a bigger file is not one.
    static constexpr qint64 MaxFileBytes = 1 << 20;

    // A file name without any folder part: not empty, not "." or "..", no separator.
    static bool isPlainFileName(const QString& name);
    // The path of the language file called name in folder: empty unless name is a plain file
    // name of a regular file (or a link to one) there.
    static QString pathInFolder(const QString& folder, const QString& name);

    // Loads the file; false (and an empty table) when it cannot be read, is no regular file
    // or is larger than MaxFileBytes. Never waits (a FIFO is not opened).
    bool open(const QString& path);
    void close();
    bool isOpen() const { return open_; }
    QString path() const { return path_; }

    QString readString(const QString& section, const QString& key,
                       const QString& defaultValue = QString()) const;

private:
    bool open_ = false;
    QString path_;
    QHash<QString, QHash<QString, QString>> sections_; // lower-case section -> lower-case key -> value
};

} // namespace i18n
