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

    // Loads the file; false (and an empty table) when it cannot be read.
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
