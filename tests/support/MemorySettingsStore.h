#pragma once
// A SettingsStore held in memory, for tests and benchmarks: it keeps the values, remembers the order of every
// write, and can be told to refuse opening or storing.
#include "platform/SettingsStore.h"

#include <QList>
#include <QMap>
#include <QPair>

namespace testsupport {

class MemorySettingsStore : public platform::SettingsStore {
public:
    bool open() override;
    QString readText(const QString& name) const override;
    void writeText(const QString& name, const QString& text) override;
    bool close() override;

    // Test controls and observations.
    void setOpenFails(bool fails) { openFails_ = fails; }
    void setCloseFails(bool fails) { closeFails_ = fails; }
    void setValue(const QString& name, const QString& text) { values_[name] = text; }
    bool contains(const QString& name) const { return values_.contains(name); }
    QString value(const QString& name) const { return values_.value(name); }
    // (name, text) of every write that was stored, in order.
    QList<QPair<QString, QString>> writes() const { return writes_; }
    void clearWrites() { writes_.clear(); }
    bool isOpen() const { return open_; }

private:
    bool open_ = false;
    bool openFails_ = false;
    bool closeFails_ = false;
    QMap<QString, QString> values_;
    QMap<QString, QString> pending_;
    QList<QPair<QString, QString>> pendingWrites_;
    QList<QPair<QString, QString>> writes_;
};

} // namespace testsupport
