#pragma once
// Captured bytes on their way to an encoder that takes fixed-size chunks. Blocks of any size go
// in; every whole chunk goes out at once, in order; what is left (always less than one chunk)
// waits for the next block, and finish() hands it over as a last, shorter chunk so that the end
// of a recording is not lost.
//
// Used by one thread at a time: the capture thread while capturing, the GUI thread after the
// capture has stopped. Memory for a chunk plus a typical block is reserved up front so that the
// capture thread does not allocate.
#include <cstddef>
#include <vector>

namespace recording {

class PendingBuffer {
public:
    // chunkSize > 0: how many bytes the encoder takes per call.
    explicit PendingBuffer(std::size_t chunkSize);

    std::size_t chunkSize() const { return chunkSize_; }
    // Bytes waiting for a chunk to fill.
    std::size_t size() const { return data_.size(); }
    void clear() { data_.clear(); }

    // Appends the block and hands each whole chunk to sink(const char* data, std::size_t n),
    // which returns false on failure. On failure the pending bytes are dropped and false is
    // returned: the encoder cannot take more.
    template <class Sink>
    bool feed(const void* block, std::size_t length, Sink&& sink)
    {
        append(block, length);
        std::size_t consumed = 0;
        while (data_.size() - consumed >= chunkSize_) {
            if (!sink(data_.data() + consumed, chunkSize_)) {
                data_.clear();
                return false;
            }
            consumed += chunkSize_;
        }
        dropFront(consumed);
        return true;
    }

    // Hands the pending bytes, if any, to the sink as a final partial chunk and empties the
    // buffer. True when there was nothing to hand over or the sink took it.
    template <class Sink>
    bool finish(Sink&& sink)
    {
        if (data_.empty())
            return true;
        const bool ok = sink(data_.data(), data_.size());
        data_.clear();
        return ok;
    }

private:
    void append(const void* block, std::size_t length);
    void dropFront(std::size_t count);

    std::size_t chunkSize_;
    std::vector<char> data_;
};

} // namespace recording
