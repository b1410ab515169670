#include "platform/QtSettingsStore.h"

#include "platform/LocalFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace platform {

namespace {

constexpr qint64 MaxSettingsBytes = 1 << 20; // a few hundred bytes are expected

// Whether the bytes are valid UTF-8 (exactly what survives the round trip through QString).
bool isUtf8(const QByteArray& bytes)
{
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

// A value QSettings would decode from a binary stream ("@Variant(...)", "@ByteArray(...)",
// "@DateTime(...)", quoted or not). The program writes only text (QSettings keeps a text with
// control characters as "@String(...)", which is safe), and decoding such a stream trusts the
// lengths inside it: a damaged one asks for gigabytes.
bool holdsSerializedValue(const QByteArray& line)
{
    const int equals = line.indexOf('=');
    if (equals < 0)
        return false;
    QByteArray value = line.mid(equals + 1).trimmed();
    if (value.startsWith('"'))
        value = value.mid(1);
    for (const char* type : {"@Variant(", "@ByteArray(", "@DateTime("})
        if (value.startsWith(type))
            return true;
    return false;
}

// The keys of the [General] section (and of no section) as QSettings reads them.
QHash<QString, QVariant> generalKeys(QSettings& settings)
{
    QHash<QString, QVariant> keys;
    for (const QString& key : settings.allKeys()) {
        if (!key.contains(QLatin1Char('/')))
            keys.insert(key, settings.value(key));
    }
    return keys;
}

} // namespace

QtSettingsStore::QtSettingsStore()
{
#ifdef Q_OS_WIN
    native_ = true;
    location_ = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Quandrel\\VexaRecorder");
#else
    location_ = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                + QStringLiteral("/Quandrel/VexaRecorder.ini");
#endif
}

QtSettingsStore::QtSettingsStore(const QString& iniPath) : location_(iniPath) {}

QtSettingsStore::~QtSettingsStore() = default;

bool QtSettingsStore::open()
{
    written_ = false;
    malformed_ = false;
    values_.clear();
    if (native_) {
        settings_ = std::make_unique<QSettings>(location_, QSettings::NativeFormat);
        valid_ = settings_->status() == QSettings::NoError;
        return true;
    }
    if (QFileInfo(location_).isDir())
        return false;
    valid_ = true;
    QByteArray data;
    if (platform::LocalFiles::exists(location_)) {
        // Never a FIFO or a device in the file's place, and nothing huge: only a text file
        // without NUL bytes is taken for settings. QSettings itself reads binary garbage as a
        // heap of strange keys and writes them back.
        QFile file;
        if (platform::LocalFiles::openForReading(file, location_) && file.size() <= MaxSettingsBytes)
            data = file.read(file.size() + 1);
        valid_ = file.isOpen() && file.size() <= MaxSettingsBytes && data.size() <= MaxSettingsBytes &&
                 !data.contains('\0');
    }
    if (valid_ && !data.isEmpty()) {
        // Lines that are not UTF-8 cannot be read; the others are read with QSettings's own
        // rules, from a copy of a name of its own: QSettings keeps what it parsed of a file
        // by its name, and would not tell the second time that the file was malformed.
        // Lines that hold a serialized value are left out the same way.
        bool dropped = false;
        QByteArray clean;
        for (const QByteArray& line : data.split('\n')) {
            if (isUtf8(line) && !holdsSerializedValue(line))
                clean += line + '\n';
            else
                dropped = true;
        }
        if (dropped) {
            data = clean;
            malformed_ = true;
        }
        QTemporaryFile copy;
        if (copy.open() && copy.write(data) == data.size() && copy.flush()) {
            QSettings reader(copy.fileName(), QSettings::IniFormat);
            values_ = generalKeys(reader); // parses every section, so the status is complete
            // One malformed line (a "[[[" without its bracket) makes QSettings call the whole
            // file bad, although it read every key it could: those are kept.
            malformed_ = malformed_ || reader.status() != QSettings::NoError;
        }
    }
    // QSettings reads its file when made: not from a FIFO or device (that read would block),
    // which only a write replaces.
    const bool regular = !platform::LocalFiles::exists(location_) ||
                         platform::LocalFiles::isRegularFile(location_);
    settings_ = std::make_unique<QSettings>(regular ? location_ : QString(), QSettings::IniFormat);
    return true;
}

QString QtSettingsStore::readText(const QString& name) const
{
    if (!settings_ || !valid_)
        return QString();
    const QVariant value = native_ ? settings_->value(name) : values_.value(name);
    // Only text counts; a list, a number or bytes stored under the name read as absent.
    if (value.typeId() != QMetaType::QString)
        return QString();
    return value.toString();
}

void QtSettingsStore::writeText(const QString& name, const QString& text)
{
    if (!settings_)
        return;
    if ((!valid_ || malformed_) && !native_ && !written_) {
        // Start from a clean file: keep the unreadable one aside instead of mixing it in, and
        // carry over what could be read of it.
        const QHash<QString, QVariant> carried = valid_ ? values_ : QHash<QString, QVariant>();
        settings_.reset();
        const QString aside = location_ + QStringLiteral(".bad");
        QFile::remove(aside);
        if (!QFile::rename(location_, aside))
            QFile::remove(location_);
        settings_ = std::make_unique<QSettings>(location_, QSettings::IniFormat);
        for (auto it = carried.constBegin(); it != carried.constEnd(); ++it) {
            if (it->typeId() == QMetaType::QString)
                settings_->setValue(it.key(), *it);
        }
        valid_ = true;
        malformed_ = false;
    }
    written_ = true;
    settings_->setValue(name, text);
    values_.insert(name, text);
}

bool QtSettingsStore::close()
{
    if (!settings_)
        return false;
    bool ok = true;
    if (written_) {
        if (!native_)
            QDir().mkpath(QFileInfo(location_).absolutePath());
        settings_->sync();
        ok = settings_->status() == QSettings::NoError;
    }
    settings_.reset();
    written_ = false;
    return ok;
}

} // namespace platform
