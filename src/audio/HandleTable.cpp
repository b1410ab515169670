#include "audio/HandleTable.h"

namespace audio {

Handle HandleTable::add(std::shared_ptr<Channel> channel)
{
    return add([&channel](Handle) { return std::move(channel); });
}

Handle HandleTable::add(const std::function<std::shared_ptr<Channel>(Handle)>& make)
{
    std::lock_guard<std::mutex> lock(mutex_);
    Handle handle = next_;
    while (handle == 0 || channels_.count(handle))
        ++handle;
    next_ = handle + 1;
    auto channel = make(handle);
    if (!channel)
        return 0;
    channels_.emplace(handle, std::move(channel));
    return handle;
}

std::shared_ptr<Channel> HandleTable::get(Handle handle) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = channels_.find(handle);
    return it == channels_.end() ? nullptr : it->second;
}

std::shared_ptr<Channel> HandleTable::remove(Handle handle)
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = channels_.find(handle);
    if (it == channels_.end())
        return nullptr;
    auto channel = std::move(it->second);
    channels_.erase(it);
    return channel;
}

std::vector<std::shared_ptr<Channel>> HandleTable::removeAll(bool captures)
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::shared_ptr<Channel>> removed;
    for (auto it = channels_.begin(); it != channels_.end();) {
        if (it->second->isCapture() == captures) {
            removed.push_back(std::move(it->second));
            it = channels_.erase(it);
        } else {
            ++it;
        }
    }
    return removed;
}

std::size_t HandleTable::size() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return channels_.size();
}

} // namespace audio
