#include "app/AppSettings.h"

#include "i18n/DefaultLanguage.h"
#include "i18n/LanguageFile.h"
#include "platform/SettingsStore.h"
#include "platform/SystemInfo.h"
#include "skin/MainFormLayout.h"

#include <QDir>
#include <QStandardPaths>

#include <initializer_list>
#include <limits>

namespace {

// "-12", "+3", "0": a decimal int32 and nothing else. Anything else (empty, blanks, units,
// out of range) is not a number.
bool parseInt32(const QString& text, std::int32_t& value)
{
    int i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    if (i == text.size())
        return false;
    std::int64_t v = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        v = v * 10 + (c.unicode() - '0');
        if (v > std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1)
            return false;
    }
    if (negative)
        v = -v;
    if (v > std::numeric_limits<std::int32_t>::max())
        return false;
    value = static_cast<std::int32_t>(v);
    return true;
}

// The value of `text` if it is exactly one of `allowed`, else `fallback`.
std::int32_t oneOf(const QString& text, std::initializer_list<std::int32_t> allowed,
                   std::int32_t fallback)
{
    for (std::int32_t v : allowed)
        if (text == QString::number(v))
            return v;
    return fallback;
}

QString withSeparator(const QString& folder)
{
    const QString native = QDir::toNativeSeparators(folder);
    return native.endsWith(QDir::separator()) ? native : native + QDir::separator();
}

} // namespace

AppSettings::Environment AppSettings::SystemEnvironment()
{
    Environment environment;
    environment.documentsFolder =
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    environment.userLanguageId = platform::SystemInfo::current().userLanguageId;
    return environment;
}

AppSettings AppSettings::Defaults(const Environment& environment)
{
    AppSettings s;
    s.RecordingsFolder = withSeparator(environment.documentsFolder);
    s.StayOnTop = false;
    s.MixerIndex = 0;
    s.Format = RecordFormat();
    s.Format.format = RecordFormat::Mp3;
    s.Format.channels = 2;
    s.Format.sampleRate = 44100;
    s.Format.bitsPerSample = 16;
    s.Format.mp3Bitrate = 128;
    s.Format.wmaBitrate = 96;
    s.SpectrumMode = 0;
    s.FileListShown = true;
    s.LanguageFile = i18n::DefaultLanguageFile(environment.userLanguageId);
    return s;
}

bool AppSettings::Load(platform::SettingsStore& store, const Environment& environment,
                       const QString& languagesFolder, QString* defaultLanguageToStore)
{
    if (defaultLanguageToStore)
        defaultLanguageToStore->clear();
    const AppSettings defaults = Defaults(environment);
    *this = defaults;
    if (!store.open())
        return false; // nothing to read: the defaults stand (a zeroed record is no valid format)

    const QString dir = store.readText(QStringLiteral("Dir"));
    // A folder edited by hand without its trailing separator would glue file names onto it.
    RecordingsFolder = dir.isEmpty() ? defaults.RecordingsFolder : withSeparator(dir);

    StayOnTop = store.readText(QStringLiteral("OnTop")) == QLatin1String("1");

    // Not a number (or empty) reads as 0 instead of ending the start-up.
    if (!parseInt32(store.readText(QStringLiteral("Mixer")), MixerIndex))
        MixerIndex = 0;

    const QString format = store.readText(QStringLiteral("Format"));
    Format.format = format == QLatin1String("0")   ? RecordFormat::Wav
                    : format == QLatin1String("2") ? RecordFormat::Wma
                                                   : RecordFormat::Mp3;
    Format.channels = store.readText(QStringLiteral("Channels")) == QLatin1String("1") ? 1 : 2;
    Format.sampleRate =
        oneOf(store.readText(QStringLiteral("Frequency")), {48000, 8000, 11025, 22050}, 44100);
    Format.bitsPerSample = 16;
    Format.mp3Bitrate =
        oneOf(store.readText(QStringLiteral("MP3Bitrate")), {32, 64, 96, 192, 256, 320}, 128);
    Format.wmaBitrate =
        oneOf(store.readText(QStringLiteral("WMABitrate")), {48, 64, 80, 128, 160}, 96);
    SpectrumMode = oneOf(store.readText(QStringLiteral("Spectrum")), {2, 1}, 0);
    FileListShown = store.readText(QStringLiteral("FileList")) != QLatin1String("0");

    LanguageFile = store.readText(QStringLiteral("LanguageFile"));
    if (LanguageFile.isEmpty()) {
        LanguageFile = defaults.LanguageFile;
        if (defaultLanguageToStore)
            *defaultLanguageToStore = LanguageFile;
        else
            store.writeText(QStringLiteral("LanguageFile"), LanguageFile);
    } else if (!i18n::LanguageFile::isPlainFileName(LanguageFile) ||
               (!languagesFolder.isEmpty() &&
                i18n::LanguageFile::pathInFolder(languagesFolder, LanguageFile).isEmpty())) {
        // Only a language file of the Languages folder: a name that leads elsewhere
        // ("../../dev/zero") or is not there falls back to the default language.
        LanguageFile = defaults.LanguageFile;
    }
    store.close();
    return true;
}

bool AppSettings::Save(platform::SettingsStore& store, bool stayOnTopChecked,
                       int windowHeight) const
{
    if (!store.open())
        return false;
    store.writeText(QStringLiteral("Version"), QString::fromLatin1(Version));
    store.writeText(QStringLiteral("Dir"), RecordingsFolder);
    store.writeText(QStringLiteral("OnTop"), stayOnTopChecked ? QStringLiteral("1") : QStringLiteral("0"));
    store.writeText(QStringLiteral("Mixer"), QString::number(MixerIndex));
    store.writeText(QStringLiteral("Channels"), QString::number(Format.channels));
    store.writeText(QStringLiteral("Frequency"), QString::number(Format.sampleRate));
    store.writeText(QStringLiteral("Format"), QString::number(Format.format));
    store.writeText(QStringLiteral("MP3Bitrate"), QString::number(Format.mp3Bitrate));
    store.writeText(QStringLiteral("WMABitrate"), QString::number(Format.wmaBitrate));
    store.writeText(QStringLiteral("Spectrum"), QString::number(SpectrumMode));
    store.writeText(QStringLiteral("FileList"),
                    windowHeight == skin::MainFormLayout::FullHeight ? QStringLiteral("1") : QStringLiteral("0"));
    return store.close();
}

bool AppSettings::StoreLanguageChoice(platform::SettingsStore& store, const QString& fileName)
{
    if (!store.open())
        return false;
    store.writeText(QStringLiteral("LanguageFile"), fileName);
    return store.close();
}
