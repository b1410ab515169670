#pragma once
// The most recent interleaved 16-bit samples of a channel, addressed by their absolute index
// since the channel started, so that analysis can take exactly the samples that end at "now"
// (what is being heard or was just captured). Not synchronised: the owner locks.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace audio {

class SampleRing {
public:
    explicit SampleRing(std::size_t capacitySamples = 0);

    void reset(std::size_t capacitySamples);
    void clear();
    void push(const std::int16_t* samples, std::size_t count);
    // Total samples pushed since the last clear (the absolute index of the next one).
    std::uint64_t written() const { return written_; }
    // Copies the `count` samples that end just before absolute index `end`; samples that are
    // no longer (or not yet) held come out as 0.
    void copyEnding(std::uint64_t end, std::int16_t* out, std::size_t count) const;

private:
    std::vector<std::int16_t> data_;
    std::uint64_t written_ = 0;
};

} // namespace audio
