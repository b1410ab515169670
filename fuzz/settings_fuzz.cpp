// libFuzzer target: the settings file as the program reads it at start (QSettings's INI rules,
// with the program's own salvage of malformed files) and writes it back. Each input is a whole
// settings file.
#include "platform/QtSettingsStore.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace {

QString folder()
{
    static const QString path = [] {
        const QString p = QDir::tempPath() + QStringLiteral("/vexa-settings-fuzz-%1").arg(::getpid());
        QDir().mkpath(p);
        return p;
    }();
    return path;
}

const char* const Names[] = {"Dir", "OnTop", "Mixer", "Format", "Channels", "Frequency",
                             "MP3Bitrate", "WMABitrate", "Spectrum", "FileList", "LanguageFile"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A new name for each input: QSettings keeps what it parsed per file name in the process
    // and trusts it while size and time stamp agree, so an input of the same size written within
    // the same time stamp as the one before would be read as the one before.
    static unsigned serial = 0;
    const QString previous = folder() + QStringLiteral("/VexaRecorder-%1.ini").arg(serial);
    QFile::remove(previous);
    QFile::remove(previous + QStringLiteral(".bad"));
    const QString path = folder() + QStringLiteral("/VexaRecorder-%1.ini").arg(++serial);
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    QString before[std::size(Names)];
    {
        platform::QtSettingsStore store(path);
        if (!store.open())
            std::abort();
        for (std::size_t i = 0; i < std::size(Names); ++i)
            before[i] = store.readText(QString::fromLatin1(Names[i]));
        store.close();
    }
    // The language choice written alone keeps every other value that could be read.
    {
        platform::QtSettingsStore store(path);
        if (!store.open())
            std::abort();
        store.writeText(QStringLiteral("LanguageFile"), QStringLiteral("English.ini"));
        store.close();
    }
    platform::QtSettingsStore again(path);
    if (!again.open())
        std::abort();
    // Every value that could be read is kept as it was. (A value of another type, which reads
    // as absent, may come back as text: QSettings writes an int as plain digits.)
    for (std::size_t i = 0; i + 1 < std::size(Names); ++i) {
        if (!before[i].isEmpty() && again.readText(QString::fromLatin1(Names[i])) != before[i])
            std::abort();
    }
    if (again.readText(QStringLiteral("LanguageFile")) != QLatin1String("English.ini"))
        std::abort();
    again.close();
    return 0;
}
