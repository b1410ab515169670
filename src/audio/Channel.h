#pragma once
// One channel of the engine: a capture (CaptureChannel) or a playback stream (PlaybackStream).
// Every method is thread-safe. Positions and lengths are byte counts of the channel's own
// interleaved 16-bit PCM.
#include "audio/AudioApi.h"
#include "audio/DeviceFormat.h"

#include <cstddef>
#include <cstdint>

namespace audio {

class Channel {
public:
    virtual ~Channel() = default;

    virtual bool isCapture() const = 0;
    // The format of the channel's PCM (what the callback gets, or what the file decodes to).
    virtual DeviceFormat format() const = 0;

    virtual bool play(bool restart) = 0;
    virtual bool pause() = 0;
    virtual bool stop() = 0;
    // 0 stopped or ended, 1 playing or capturing, 3 paused.
    virtual int activity() = 0;
    virtual std::int64_t lengthBytes() = 0;   // -1 when the channel has no length
    virtual std::int64_t positionBytes() = 0;
    virtual bool setPositionBytes(std::int64_t bytes) = 0;
    virtual std::int64_t fileSize() = 0;      // -1 when the channel has no file
    virtual std::int64_t bitRate() { return 0; } // bit/s of the file's audio data, 0 unknown

    // The channel ended because its device or the sound server went away.
    virtual bool deviceLost() const = 0;
    // A capture's line (false for a playback stream).
    virtual bool inputLine(InputLine&) const { return false; }

    // The latest `frames` frames that are being heard or were just captured; silence while
    // the channel is paused or stopped.
    virtual void latest(std::int16_t* out, std::size_t frames) = 0;
};

} // namespace audio
