#include "recording/PendingBuffer.h"

#include <cstring>

namespace recording {

namespace {
// Room for the largest block a capture delivers in one call without growing the buffer.
constexpr std::size_t kBlockReserve = 256 * 1024;
} // namespace

PendingBuffer::PendingBuffer(std::size_t chunkSize) : chunkSize_(chunkSize > 0 ? chunkSize : 1)
{
    data_.reserve(chunkSize_ + kBlockReserve);
}

void PendingBuffer::append(const void* block, std::size_t length)
{
    if (length == 0 || block == nullptr)
        return;
    const char* bytes = static_cast<const char*>(block);
    data_.insert(data_.end(), bytes, bytes + length);
}

void PendingBuffer::dropFront(std::size_t count)
{
    if (count == 0)
        return;
    const std::size_t rest = data_.size() - count;
    std::memmove(data_.data(), data_.data() + count, rest);
    data_.resize(rest);
}

} // namespace recording
