#pragma once
// The program's settings: text values under one key. Reading happens between open() and
// close(); so does writing. Numbers are stored as decimal text by the caller.
#include <QString>

namespace platform {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // Opens the key, creating it when missing. False when it can be neither opened nor created:
    // then nothing can be read or written until the next open().
    virtual bool open() = 0;
    // The text stored under name. Empty when the value is absent, when it was stored with a
    // type other than text, or when the key holds no valid data.
    virtual QString readText(const QString& name) const = 0;
    virtual void writeText(const QString& name, const QString& text) = 0;
    // Closes the key, storing what was written. False when the values could not be stored.
    virtual bool close() = 0;
};

} // namespace platform
