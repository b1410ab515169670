#pragma once
// SettingsStore over QSettings. The program's own store is, on Linux, the INI file
// $XDG_CONFIG_HOME/Quandrel/VexaRecorder.ini with the values in its [General] section, and on
// Windows the registry key HKEY_LOCAL_MACHINE\SOFTWARE\Quandrel\VexaRecorder.
//
// A file that is not text (binary garbage with NUL bytes, or larger than 1 MiB) is read as
// empty. A text file with malformed lines (a "[[[" line, a line that is not UTF-8) keeps every
// key that can be read: QSettings's own reading of it, without the lines that are not UTF-8;
// only the keys of the bad lines read as absent. When values are stored into such a file it is
// first kept aside as "<name>.bad", then a fresh file is written that carries over the text
// values that could be read.
#include "platform/SettingsStore.h"

#include <QHash>
#include <QVariant>

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
    bool malformed_ = false; // text with bad lines: a write starts a clean file
    QHash<QString, QVariant> values_;   // the file's [General] keys that could be read
    std::unique_ptr<QSettings> settings_;
};

} // namespace platform
