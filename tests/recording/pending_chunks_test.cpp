// ctest-label: unit
// Whole chunks out of arbitrary blocks, in order and without loss; the rest handed over at the
// end; a failing encoder stops the feed.
#include "recording/PendingBuffer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// Block k of a stream whose byte i is (i * 7 + 3) mod 251, so every byte's place is known.
std::vector<char> streamBytes(std::size_t from, std::size_t count)
{
    std::vector<char> v(count);
    for (std::size_t i = 0; i < count; ++i)
        v[i] = static_cast<char>(((from + i) * 7 + 3) % 251);
    return v;
}

struct Collector {
    std::vector<std::size_t> chunkSizes;
    std::vector<char> bytes;
    int failAt = -1; // fail on this call (0-based), -1 never
    bool operator()(const char* data, std::size_t n)
    {
        if (static_cast<int>(chunkSizes.size()) == failAt)
            return false;
        chunkSizes.push_back(n);
        bytes.insert(bytes.end(), data, data + n);
        return true;
    }
};

TEST(PendingBuffer, ThousandByteBlocksIntoMp3Chunks)
{
    recording::PendingBuffer pending(4608);
    Collector out;
    // Blocks 1-4 are only stored; the fifth makes one chunk and leaves 392 bytes.
    const std::size_t expectedPending[] = {1000, 2000, 3000, 4000, 392};
    const std::size_t expectedChunks[] = {0, 0, 0, 0, 1};
    for (int k = 0; k < 5; ++k) {
        SCOPED_TRACE(k + 1);
        const auto block = streamBytes(static_cast<std::size_t>(k) * 1000, 1000);
        ASSERT_TRUE(pending.feed(block.data(), block.size(), [&](const char* d, std::size_t n) {
            return out(d, n);
        }));
        EXPECT_EQ(pending.size(), expectedPending[k]);
        EXPECT_EQ(out.chunkSizes.size(), expectedChunks[k]);
    }
    EXPECT_EQ(out.chunkSizes, std::vector<std::size_t>({4608}));

    // Stop: the 392 bytes go to the encoder as a last, shorter chunk.
    ASSERT_TRUE(pending.finish([&](const char* d, std::size_t n) { return out(d, n); }));
    EXPECT_EQ(out.chunkSizes, std::vector<std::size_t>({4608, 392}));
    EXPECT_EQ(pending.size(), 0u);
    EXPECT_EQ(out.bytes, streamBytes(0, 5000));

    // Nothing pending: finish hands over nothing.
    ASSERT_TRUE(pending.finish([&](const char* d, std::size_t n) { return out(d, n); }));
    EXPECT_EQ(out.chunkSizes.size(), 2u);
}

TEST(PendingBuffer, BlockSizesAroundTheChunk)
{
    struct Case {
        std::size_t chunk;
        std::vector<std::size_t> blocks;
        std::vector<std::size_t> chunks; // sizes handed over, final partial one included
    };
    const Case cases[] = {
        {16384, {16384}, {16384}},
        {16384, {40000}, {16384, 16384, 7232}},
        {4608, {4607, 1}, {4608}},
        {4608, {4609, 4607}, {4608, 4608}},
        {2304, {2048, 2048, 2048, 2048}, {2304, 2304, 2304, 1280}},
        {4608, {0, 0}, {}},
        {4608, {100}, {100}},
    };
    for (const Case& c : cases) {
        recording::PendingBuffer pending(c.chunk);
        Collector out;
        std::size_t offset = 0;
        for (std::size_t b : c.blocks) {
            const auto block = streamBytes(offset, b);
            ASSERT_TRUE(pending.feed(block.data(), b, [&](const char* d, std::size_t n) {
                return out(d, n);
            }));
            EXPECT_LT(pending.size(), c.chunk);
            offset += b;
        }
        ASSERT_TRUE(pending.finish([&](const char* d, std::size_t n) { return out(d, n); }));
        EXPECT_EQ(out.chunkSizes, c.chunks);
        EXPECT_EQ(out.bytes, streamBytes(0, offset));
    }
}

TEST(PendingBuffer, FailingEncoderStopsTheFeed)
{
    recording::PendingBuffer pending(1000);
    Collector out;
    out.failAt = 1;
    const auto block = streamBytes(0, 3500);
    EXPECT_FALSE(pending.feed(block.data(), block.size(), [&](const char* d, std::size_t n) {
        return out(d, n);
    }));
    EXPECT_EQ(out.chunkSizes, std::vector<std::size_t>({1000}));
    EXPECT_EQ(pending.size(), 0u);

    // A failing encoder at the end is reported too.
    recording::PendingBuffer tail(1000);
    const auto small = streamBytes(0, 10);
    ASSERT_TRUE(tail.feed(small.data(), small.size(), [](const char*, std::size_t) { return true; }));
    EXPECT_FALSE(tail.finish([](const char*, std::size_t) { return false; }));
    EXPECT_EQ(tail.size(), 0u);
}

} // namespace
