#pragma once
// A block-queue output in the manner of the Windows wave-out API: the caller writes blocks of
// 8-bit (unsigned) or 16-bit PCM, the device plays them in order, and each finished block is
// reported by its id. Reports come on the output's own notification thread, never on the
// device's callback thread, so a report handler may write the next block at once.
//
// The device starts with open() and plays silence while nothing is queued or while paused.
// reset() drops every queued block and reports each as finished, as wave-out does.
#include "audio/DeviceBackend.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace audio {

class BlockOutput {
public:
    struct Format {
        std::uint32_t rate = 44100;
        std::uint32_t channels = 2;
        std::uint32_t bits = 16; // 8 or 16
    };
    using DoneProc = std::function<void(int id)>;

    // backend null: the real devices.
    explicit BlockOutput(std::shared_ptr<DeviceBackend> backend = nullptr);
    ~BlockOutput();
    BlockOutput(const BlockOutput&) = delete;
    BlockOutput& operator=(const BlockOutput&) = delete;

    // Output devices that can be opened: the default output, when there is one.
    int deviceCount();
    bool open(Format format, DoneProc done);
    bool isOpen() const;
    bool write(int id, const std::uint8_t* data, std::size_t bytes);
    bool pause();
    bool restart();
    bool reset();
    // Closes the device; no report runs after it returns. Called from a report, that report is
    // the last (the object must then outlive the report's return).
    void close();

private:
    struct Block {
        int id = 0;
        std::vector<std::uint8_t> data;
        std::size_t pos = 0;
    };
    void onOutput(std::int16_t* out, std::uint32_t frames); // device thread
    void notifier();

    std::shared_ptr<DeviceBackend> backend_;
    std::unique_ptr<DeviceStream> device_;
    Format format_;
    DoneProc done_;

    mutable std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<Block> queue_;
    std::deque<int> finished_;
    bool paused_ = false;
    bool quit_ = false;
    std::thread thread_;
    std::atomic<std::thread::id> notifierId_{};
};

} // namespace audio
