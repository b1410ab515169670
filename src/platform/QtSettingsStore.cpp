#include "platform/QtSettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace platform {

namespace {

// A settings file we are willing to read: absent, or UTF-8 text without NUL bytes (valid
// UTF-8 is exactly what survives the round trip through QString). QSettings
// itself reads binary garbage as a heap of strange keys and writes them back.
bool isReadableText(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    if (file.size() > (1 << 20))
        return false; // a few hundred bytes are expected: this is something else
    const QByteArray data = file.readAll();
    return !data.contains('\0') && QString::fromUtf8(data).toUtf8() == data;
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
    if (native_) {
        settings_ = std::make_unique<QSettings>(location_, QSettings::NativeFormat);
        valid_ = settings_->status() == QSettings::NoError;
        return true;
    }
    if (QFileInfo(location_).isDir())
        return false;
    valid_ = isReadableText(location_);
    settings_ = std::make_unique<QSettings>(location_, QSettings::IniFormat);
    if (settings_->status() != QSettings::NoError)
        valid_ = false;
    return true;
}

QString QtSettingsStore::readText(const QString& name) const
{
    if (!settings_ || !valid_)
        return QString();
    const QVariant value = settings_->value(name);
    // Only text counts; a list, a number or bytes stored under the name read as absent.
    if (value.typeId() != QMetaType::QString)
        return QString();
    return value.toString();
}

void QtSettingsStore::writeText(const QString& name, const QString& text)
{
    if (!settings_)
        return;
    if (!valid_ && !native_ && !written_) {
        // Start from an empty file: keep the unreadable one aside instead of mixing it in.
        settings_.reset();
        const QString aside = location_ + QStringLiteral(".bad");
        QFile::remove(aside);
        if (!QFile::rename(location_, aside))
            QFile::remove(location_);
        settings_ = std::make_unique<QSettings>(location_, QSettings::IniFormat);
        valid_ = true;
    }
    written_ = true;
    settings_->setValue(name, text);
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
