#include "audio/SampleRing.h"

#include <algorithm>
#include <cstring>

namespace audio {

SampleRing::SampleRing(std::size_t capacitySamples) : data_(capacitySamples, 0) {}

void SampleRing::reset(std::size_t capacitySamples)
{
    data_.assign(capacitySamples, 0);
    written_ = 0;
}

void SampleRing::clear()
{
    std::fill(data_.begin(), data_.end(), 0);
    written_ = 0;
}

void SampleRing::push(const std::int16_t* samples, std::size_t count)
{
    const std::size_t cap = data_.size();
    if (cap == 0)
        return;
    if (count > cap) { // only the newest part can be kept
        samples += count - cap;
        written_ += count - cap;
        count = cap;
    }
    std::size_t at = std::size_t(written_ % cap);
    const std::size_t first = std::min(count, cap - at);
    std::memcpy(data_.data() + at, samples, first * sizeof(std::int16_t));
    std::memcpy(data_.data(), samples + first, (count - first) * sizeof(std::int16_t));
    written_ += count;
}

void SampleRing::copyEnding(std::uint64_t end, std::int16_t* out, std::size_t count) const
{
    const std::size_t cap = data_.size();
    const std::uint64_t oldest = written_ > cap ? written_ - cap : 0;
    for (std::size_t i = 0; i < count; ++i) {
        // Index of the i-th output sample; may be "negative" (before the start).
        const std::uint64_t back = count - i;
        if (back > end) {
            out[i] = 0;
            continue;
        }
        const std::uint64_t index = end - back;
        out[i] = (cap && index >= oldest && index < written_) ? data_[std::size_t(index % cap)] : 0;
    }
}

} // namespace audio
