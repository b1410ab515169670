#pragma once
// SettingsStore over QSettings. The program's own store is, on Linux, the INI file
// $XDG_CONFIG_HOME/Quandrel/VexaRecorder.ini with the values in its [General] section, and on
// Windows the registry key HKEY_LOCAL_MACHINE\SOFTWARE\Quandrel\VexaRecorder.
//
// A file that is not text (binary garbage, not UTF-8) is read as empty. When values are stored
// into such a file it is first kept aside as "<name>.bad", then a fresh file is written.
#include "platform/SettingsStore.h"

#include <memory>

class QSettings;

namespace platform {

class QtSettingsStore : public SettingsStore {
public:
    QtSettingsStore();                           // the program's own store
    explicit QtSettingsStore(const QString& iniPath); // an INI file of the caller's choice
    ~QtSettingsStore() override;

    bool open() override;
    QString readText(const QString& name) const override;
    void writeText(const QString& name, const QString& text) override;
    bool close() override;

    // Where the values live: the INI file's path, or the registry key.
    QString location() const { return location_; }

private:
    QString location_;
    bool native_ = false;
    bool valid_ = false;    // the file held readable data when opened
    bool written_ = false;  // something was written since open()
    std::unique_ptr<QSettings> settings_;
};

} // namespace platform
