#include "support/MemorySettingsStore.h"

namespace testsupport {

bool MemorySettingsStore::open()
{
    open_ = !openFails_;
    pending_.clear();
    pendingWrites_.clear();
    return open_;
}

QString MemorySettingsStore::readText(const QString& name) const
{
    if (!open_)
        return QString();
    const auto p = pending_.constFind(name);
    return p != pending_.constEnd() ? *p : values_.value(name);
}

void MemorySettingsStore::writeText(const QString& name, const QString& text)
{
    if (!open_)
        return;
    pending_[name] = text;
    pendingWrites_.append({name, text});
}

bool MemorySettingsStore::close()
{
    if (!open_)
        return false;
    open_ = false;
    if (closeFails_) {
        pending_.clear();
        pendingWrites_.clear();
        return false;
    }
    for (auto it = pending_.constBegin(); it != pending_.constEnd(); ++it)
        values_[it.key()] = it.value();
    writes_ += pendingWrites_;
    pending_.clear();
    pendingWrites_.clear();
    return true;
}

} // namespace testsupport
