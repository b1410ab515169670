#pragma once
// The audio engine: captures, playback streams from WAV, MP3 and WMA files, and analysis of
// what they play or capture, all by 32-bit handle. Devices come from a DeviceBackend (RtAudio
// unless a test passes another); the recording line is chosen through a mixer backend.
#include "audio/Analyzer.h"
#include "audio/AudioApi.h"
#include "audio/DeviceBackend.h"
#include "audio/HandleTable.h"

#include <QMetaObject>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform {
class MixerBackend;
}

namespace audio {

class Engine : public AudioApi {
public:
    // backend null: the real devices (RtAudioBackend). mixer may be null: recordSetInput then
    // does nothing. The mixer must outlive the engine.
    explicit Engine(std::shared_ptr<DeviceBackend> backend = nullptr,
                    platform::MixerBackend* mixer = nullptr);
    ~Engine() override;
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // The mixer's lines are what recordSetInput chooses from. When its sound server answers
    // again after a time without it (started late, restarted), the devices that were asked
    // for (recordInit, init) and could not start are started again.
    void setMixer(platform::MixerBackend* mixer);

    bool recordInit(int device = -1) override;
    bool init(int device = -1, std::uint32_t freq = 44100) override;
    void recordFree() override;
    void free() override;

    bool recordSetInput(int line, std::uint32_t flags, float level) override;
    HRECORD recordStart(std::uint32_t freq, std::uint32_t chans, RecordProc proc,
                        void* user) override;

    HSTREAM streamCreateFile(const QString& path) override;
    HSTREAM wmaStreamCreateFile(const QString& path) override;
    bool streamFree(HSTREAM handle) override;
    std::int64_t streamGetFilePosition(HSTREAM handle, int mode) override;

    bool channelPlay(Handle handle, bool restart) override;
    bool channelPause(Handle handle) override;
    bool channelStop(Handle handle) override;
    int channelIsActive(Handle handle) override;
    std::int64_t channelGetLength(Handle handle) override;
    std::int64_t channelGetPosition(Handle handle) override;
    bool channelSetPosition(Handle handle, std::int64_t pos) override;
    double channelBytes2Seconds(Handle handle, std::int64_t pos) override;
    std::uint32_t channelGetLevel(Handle handle) override;
    int channelGetData(Handle handle, void* buffer, std::uint32_t length) override;
    bool channelGetInfo(Handle handle, ChannelInfo& info) override;
    bool channelDeviceLost(Handle handle) override;
    bool recordGetLine(HRECORD handle, InputLine& line) override;

    // Number of live handles (captures and streams).
    std::size_t channelCount() const { return channels_.size(); }

private:
    HSTREAM createStream(const QString& path);
    // The scratch buffer with room for `samples` samples; scratchMutex_ held.
    std::int16_t* scratch(std::size_t samples);

    std::shared_ptr<DeviceBackend> backend_;
    Analyzer analyzer_;
    HandleTable channels_;

    void serverAvailable();

    std::mutex mutex_; // the fields below
    platform::MixerBackend* mixer_ = nullptr;
    bool recordReady_ = false;
    bool outputReady_ = false;
    bool recordWanted_ = false;      // recordInit was called and not yet undone by recordFree
    std::uint32_t outputWanted_ = 0; // the rate of init, 0 without (or after free)
    QMetaObject::Connection serverWatch_;
    std::string inputDevice_; // capture device picked by recordSetInput; empty: default

    // The display reads levels and data ten times a second: one buffer, grown only when a
    // channel needs more than any before, serves every such call.
    std::mutex scratchMutex_;
    std::vector<std::int16_t> scratch_;
};

} // namespace audio
