#pragma once
// The audio engine's operations as the rest of the program sees them. Channels are 32-bit
// handles (0 = none); positions and lengths are byte counts of the channel's own interleaved
// 16-bit PCM. A stale, freed or never-issued handle makes every call fail quietly (false, 0,
// -1 or an empty result) and never crashes. All calls are thread-safe.
//
// audio::Engine implements this over real devices; tests of the layers above may stand a fake
// behind the same interface.
#include <cstdint>
#include <QString>

namespace audio {

using Handle = std::uint32_t;
using HRECORD = Handle;
using HSTREAM = Handle;

// Capture callback: interleaved signed 16-bit little-endian PCM at exactly the requested rate
// and channel count, on the engine's capture thread, one call at a time. Return false to end
// the capture.
using RecordProc = bool (*)(HRECORD handle, const void* buffer, std::uint32_t length, void* user);

enum ActiveState : int { Stopped = 0, Playing = 1, Stalled = 2, Paused = 3 };

struct ChannelInfo {
    std::uint32_t freq = 0;     // sample rate in Hz
    std::uint32_t chans = 0;    // channel count
    std::uint32_t flags = 0;    // SampleFlag8Bits / SampleFlagFloat, 0 for 16-bit
    std::uint32_t bitrate = 0;  // a stream's audio data in bit/s (tags, headers and indexes
                                // left out); 0 for a capture or when unknown
};
// What a capture records from: the line as the sound server described it when the capture
// opened (empty when unknown), whether it was muted then, and whether the capture ended because
// that line went away while the sound server stayed.
struct InputLine {
    QString description;
    bool muted = false;
    bool gone = false;
};

constexpr std::uint32_t SampleFlag8Bits = 1;
constexpr std::uint32_t SampleFlagFloat = 256;

constexpr std::uint32_t DataFft1024 = 0x80000002; // 512 float magnitudes
constexpr std::uint32_t InputOn = 0x20000;
constexpr int FilePosEnd = 2;                     // streamGetFilePosition: file size

class AudioApi {
public:
    virtual ~AudioApi() = default;

    // Life cycle. device -1 = default. Both return false on failure.
    virtual bool recordInit(int device = -1) = 0;
    virtual bool init(int device = -1, std::uint32_t freq = 44100) = 0;
    virtual void recordFree() = 0;
    virtual void free() = 0;

    // Capture.
    virtual bool recordSetInput(int line, std::uint32_t flags, float level) = 0;
    virtual HRECORD recordStart(std::uint32_t freq, std::uint32_t chans, RecordProc proc,
                                void* user) = 0;

    // Playback streams (".wav", ".mp3"; the WMA entry for ".wma"). 0 on failure.
    virtual HSTREAM streamCreateFile(const QString& path) = 0;
    virtual HSTREAM wmaStreamCreateFile(const QString& path) = 0;
    virtual bool streamFree(HSTREAM handle) = 0;
    virtual std::int64_t streamGetFilePosition(HSTREAM handle, int mode) = 0;

    // Channels (capture or stream).
    virtual bool channelPlay(Handle handle, bool restart) = 0;
    virtual bool channelPause(Handle handle) = 0;
    virtual bool channelStop(Handle handle) = 0;
    virtual int channelIsActive(Handle handle) = 0;
    virtual std::int64_t channelGetLength(Handle handle) = 0;    // -1 on failure
    virtual std::int64_t channelGetPosition(Handle handle) = 0;  // -1 on failure
    virtual bool channelSetPosition(Handle handle, std::int64_t pos) = 0;
    virtual double channelBytes2Seconds(Handle handle, std::int64_t pos) = 0; // <0 on failure
    virtual std::uint32_t channelGetLevel(Handle handle) = 0;     // 0xFFFFFFFF on failure
    // length 2048: the latest 2048 bytes of 16-bit samples; DataFft1024: 512 floats.
    // Returns the number of bytes written, -1 on failure.
    virtual int channelGetData(Handle handle, void* buffer, std::uint32_t length) = 0;
    virtual bool channelGetInfo(Handle handle, ChannelInfo& info) = 0;
    // The channel ended because its device or the sound server went away (not because the
    // track ended or it was stopped). False for a stale handle.
    virtual bool channelDeviceLost(Handle) { return false; }
    // The line a capture records from. False for a stale handle or a playback stream.
    virtual bool recordGetLine(HRECORD, InputLine&) { return false; }
};

} // namespace audio
