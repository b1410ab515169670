#include "i18n/LanguageFile.h"

#include "platform/LocalFiles.h"

#include <QDir>
#include <QFile>

namespace i18n {

namespace {

constexpr int MaxValueBytes = 2047;

// Cuts a value to at most MaxValueBytes bytes of UTF-8 without splitting a character.
QString cutValue(const QByteArray& utf8)
{
    if (utf8.size() <= MaxValueBytes)
        return QString::fromUtf8(utf8);
    int end = MaxValueBytes;
    while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
        --end; // utf8[end] is a continuation byte: the character started earlier
    return QString::fromUtf8(utf8.left(end));
}

QByteArray unquote(QByteArray value)
{
    if (value.size() >= 2) {
        const char first = value.front();
        if ((first == '"' || first == '\'') && value.back() == first)
            value = value.mid(1, value.size() - 2);
    }
    return value;
}

} // namespace

bool LanguageFile::isPlainFileName(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':') ||
            c.unicode() < 0x20)
            return false;
    }
    return true;
}

QString LanguageFile::pathInFolder(const QString& folder, const QString& name)
{
    if (!isPlainFileName(name) || folder.isEmpty())
        return QString();
    const QString path = QDir(folder).filePath(name);
    return platform::LocalFiles::isRegularFile(path) ? path : QString();
}

bool LanguageFile::open(const QString& path)
{
    close();
    path_ = path;
    // A regular file only (never a FIFO or a device: /dev/zero would never end), and no more
    // than a language file can sensibly be.
    QFile file;
    if (!platform::LocalFiles::openForReading(file, path))
        return false;
    // Sized by the file (a read of the limit itself would allocate the whole limit each time).
    if (file.size() > MaxFileBytes)
        return false;
    QByteArray data = file.read(file.size() + 1);
    if (data.size() > MaxFileBytes)
        return false;
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);

    QHash<QString, QString>* current = nullptr;
    bool skipSection = false; // a repeated section: the first occurrence wins
    for (const QByteArray& rawLine : data.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(';'))
            continue;
        if (line.startsWith('[')) {
            const int close = line.indexOf(']');
            const QString name = QString::fromUtf8(line.mid(1, close < 0 ? -1 : close - 1))
                                     .trimmed().toLower();
            skipSection = sections_.contains(name);
            current = &sections_[name];
            continue;
        }
        if (!current || skipSection)
            continue;
        const int eq = line.indexOf('=');
        if (eq <= 0)
            continue;
        const QString key = QString::fromUtf8(line.left(eq)).trimmed().toLower();
        if (current->contains(key))
            continue; // the first occurrence of a key wins
        current->insert(key, cutValue(unquote(line.mid(eq + 1).trimmed())));
    }
    open_ = true;
    return true;
}

void LanguageFile::close()
{
    open_ = false;
    path_.clear();
    sections_.clear();
}

QString LanguageFile::readString(const QString& section, const QString& key,
                                 const QString& defaultValue) const
{
    const auto s = sections_.constFind(section.toLower());
    if (s == sections_.constEnd())
        return defaultValue;
    const auto k = s->constFind(key.toLower());
    return k == s->constEnd() ? defaultValue : *k;
}

} // namespace i18n
