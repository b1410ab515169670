#pragma once
// The engine's channels by handle. Handles are 32-bit, never 0, and not reused until the
// counter wraps, so a freed handle stays invalid. Thread-safe; a channel looked up stays alive
// for as long as the caller holds it, even if another thread frees its handle meanwhile.
#include "audio/AudioApi.h"
#include "audio/Channel.h"

#include <functional>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace audio {

class HandleTable {
public:
    Handle add(std::shared_ptr<Channel> channel);
    // For a channel that must know its own handle: `make` is called with the new handle.
    Handle add(const std::function<std::shared_ptr<Channel>(Handle)>& make);
    std::shared_ptr<Channel> get(Handle handle) const;
    std::shared_ptr<Channel> remove(Handle handle);
    // Removes every capture (captures true) or every stream (false) and hands them back.
    std::vector<std::shared_ptr<Channel>> removeAll(bool captures);
    std::size_t size() const;

private:
    mutable std::mutex mutex_;
    std::unordered_map<Handle, std::shared_ptr<Channel>> channels_;
    Handle next_ = 1;
};

} // namespace audio
