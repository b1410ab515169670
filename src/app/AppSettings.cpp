#include "app/AppSettings.h"

#include "i18n/DefaultLanguage.h"
#include "i18n/LanguageFile.h"
#include "platform/SettingsStore.h"
#include "platform/SystemInfo.h"
#include "skin/MainFormLayout.h"
#include "visual/SpectrumMode.h"

#include <QDir>
#include <QStandardPaths>

#include <limits>

namespace app {

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

// The value `text` stores for `choice`: exactly one of its allowed values (any int32 when none
// are listed), else its default.
std::int32_t readChoice(const QString& text, const AppSettings::Choice& choice)
{
    if (choice.allowed.empty()) {
        std::int32_t value = 0;
        return parseInt32(text, value) ? value : choice.defaultValue;
    }
    for (std::int32_t v : choice.allowed)
        if (text == QString::number(v))
            return v;
    return choice.defaultValue;
}

std::vector<std::int32_t> listed(int count, std::int32_t (*valueAt)(int))
{
    std::vector<std::int32_t> values;
    for (int i = 0; i < count; ++i)
        values.push_back(valueAt(i));
    return values;
}

std::vector<std::int32_t> spectrumValues()
{
    std::vector<std::int32_t> values;
    for (visual::SpectrumMode mode : visual::SpectrumModes)
        values.push_back(int(mode));
    return values;
}

QString withSeparator(const QString& folder)
{
    const QString native = QDir::toNativeSeparators(folder);
    return native.endsWith(QDir::separator()) ? native : native + QDir::separator();
}

} // namespace

const std::vector<AppSettings::Choice>& AppSettings::choices()
{
    using S = AppSettings;
    using visual::SpectrumMode;
    static const std::vector<Choice> table = {
        {"OnTop",
         0,
         {0, 1},
         [](const S& s) { return std::int32_t(s.StayOnTop); },
         [](S& s, std::int32_t v) { s.StayOnTop = v == 1; }},
        // -1: the machine has no mixer.
        {"Mixer",
         0,
         {},
         [](const S& s) { return s.MixerIndex; },
         [](S& s, std::int32_t v) { s.MixerIndex = v; }},
        {"Channels",
         2,
         {1, 2},
         [](const S& s) { return s.Format.channels; },
         [](S& s, std::int32_t v) { s.Format.channels = v; }},
        {"Frequency", 44100,
         listed(recording::RecordFormat::FrequencyCount,
                recording::RecordFormat::frequencyForIndex),
         [](const S& s) { return s.Format.sampleRate; },
         [](S& s, std::int32_t v) { s.Format.sampleRate = v; }},
        {"Format",
         recording::RecordFormat::Mp3,
         {recording::RecordFormat::Wav, recording::RecordFormat::Mp3, recording::RecordFormat::Wma},
         [](const S& s) { return std::int32_t(s.Format.format); },
         [](S& s, std::int32_t v) { s.Format.format = std::uint8_t(v); }},
        {"MP3Bitrate", 128,
         listed(recording::RecordFormat::Mp3BitrateCount,
                recording::RecordFormat::mp3BitrateForIndex),
         [](const S& s) { return s.Format.mp3Bitrate; },
         [](S& s, std::int32_t v) { s.Format.mp3Bitrate = v; }},
        {"WMABitrate", 96,
         listed(recording::RecordFormat::WmaBitrateCount,
                recording::RecordFormat::wmaBitrateForIndex),
         [](const S& s) { return s.Format.wmaBitrate; },
         [](S& s, std::int32_t v) { s.Format.wmaBitrate = v; }},
        {"Spectrum", int(SpectrumMode::Blaze), spectrumValues(),
         [](const S& s) { return s.SpectrumMode; },
         [](S& s, std::int32_t v) { s.SpectrumMode = v; }},
        {"FileList",
         1,
         {0, 1},
         [](const S& s) { return std::int32_t(s.FileListShown); },
         [](S& s, std::int32_t v) { s.FileListShown = v == 1; }},
    };
    return table;
}

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
    s.Format = recording::RecordFormat();
    s.Format.bitsPerSample = 16;
    for (const Choice& choice : choices())
        choice.set(s, choice.defaultValue);
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

    const QString dir = store.readText(QString::fromLatin1(DirKey));
    // A folder edited by hand without its trailing separator would glue file names onto it.
    RecordingsFolder = dir.isEmpty() ? defaults.RecordingsFolder : withSeparator(dir);

    for (const Choice& choice : choices())
        choice.set(*this, readChoice(store.readText(QString::fromLatin1(choice.key)), choice));
    Format.bitsPerSample = 16;

    LanguageFile = store.readText(QString::fromLatin1(LanguageFileKey));
    if (LanguageFile.isEmpty()) {
        LanguageFile = defaults.LanguageFile;
        if (defaultLanguageToStore)
            *defaultLanguageToStore = LanguageFile;
        else
            store.writeText(QString::fromLatin1(LanguageFileKey), LanguageFile);
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
    // Stay-on-top and the list as the window shows them now.
    AppSettings saved = *this;
    saved.StayOnTop = stayOnTopChecked;
    saved.FileListShown = windowHeight == skin::MainFormLayout::FullHeight;
    store.writeText(QString::fromLatin1(VersionKey), QString::fromLatin1(Version));
    store.writeText(QString::fromLatin1(DirKey), RecordingsFolder);
    for (const Choice& choice : choices())
        store.writeText(QString::fromLatin1(choice.key), QString::number(choice.get(saved)));
    return store.close();
}

bool AppSettings::StoreLanguageChoice(platform::SettingsStore& store, const QString& fileName)
{
    if (!store.open())
        return false;
    store.writeText(QString::fromLatin1(LanguageFileKey), fileName);
    return store.close();
}

} // namespace app
