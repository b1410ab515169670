#pragma once
// Every persisted setting of the program. Read once while the main window is created, written
// once when it is destroyed; in between this record is the only copy (dialogs and menus change
// the record, not the store). The language choice alone is also written the moment it is made.
//
// Stored as texts; a stored text is compared exactly with the allowed values, and anything else
// (a blank or a unit behind a number included) takes the default.
#include "recording/RecordFormat.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace platform {
class SettingsStore;
}

namespace app {

struct AppSettings {
    QString RecordingsFolder;   // "Dir", always ending with the path separator
    bool StayOnTop = false;     // "OnTop"
    std::int32_t MixerIndex = 0; // "Mixer"; -1 when the machine has no mixer
    recording::RecordFormat Format; // "Format", "Channels", "Frequency", "MP3Bitrate", "WMABitrate"
    std::int32_t SpectrumMode = 0; // "Spectrum": 0 Blaze, 1 Bars, 2 Waveform
    bool FileListShown = true;  // "FileList"
    QString LanguageFile;       // "LanguageFile": file name within Languages/

    static constexpr const char* Version = "3.3";

    // The keys of the settings stored as texts of their own.
    static constexpr const char* VersionKey = "Version";
    static constexpr const char* DirKey = "Dir";
    static constexpr const char* LanguageFileKey = "LanguageFile";

    // Every setting stored as a number, one row each, in the order Save writes them: its key,
    // its default and the values it may take (none listed: any int32). A stored text that is
    // not exactly one of them (a blank or a unit behind a number included) takes the default.
    struct Choice {
        const char* key;
        std::int32_t defaultValue;
        std::vector<std::int32_t> allowed;
        std::int32_t (*get)(const AppSettings&);
        void (*set)(AppSettings&, std::int32_t);
    };
    static const std::vector<Choice>& choices();

    // What the defaults depend on.
    struct Environment {
        QString documentsFolder;          // without trailing separator
        std::uint16_t userLanguageId = 0; // Windows language identifier
    };
    // The user's documents folder and language of this machine.
    static Environment SystemEnvironment();

    // The record with every default: MP3, stereo, 44100 Hz, 16 bits, 128 and 96 kbit/s, Blaze,
    // list shown, normal window, mixer 0, documents folder, language by the user's language.
    static AppSettings Defaults(const Environment& environment);

    // Reads every value. An empty LanguageFile gets the default language, written to the store
    // at once; a stored name that is no plain file name, or names no file in languagesFolder
    // (when one is given), gives the default language for this run. When the store cannot be
    // opened the defaults are kept and false is returned. With defaultLanguageToStore the
    // default language is not written but handed back there, for the caller to store with
    // StoreLanguageChoice when it suits (the window does so after its first paint); it stays
    // empty when nothing is to be stored.
    bool Load(platform::SettingsStore& store, const Environment& environment,
              const QString& languagesFolder = QString(), QString* defaultLanguageToStore = nullptr);

    // Writes Version, Dir, OnTop, Mixer, Channels, Frequency, Format, MP3Bitrate, WMABitrate,
    // Spectrum and FileList, in this order. Stay-on-top and the list come from the window as it
    // is now (the menu check mark, the window height), not from the record. LanguageFile is
    // never written here. False when the values could not be stored.
    bool Save(platform::SettingsStore& store, bool stayOnTopChecked, int windowHeight) const;

    // Writes LanguageFile at once (the language menu's choice). False when it could not be.
    static bool StoreLanguageChoice(platform::SettingsStore& store, const QString& fileName);
};

} // namespace app
