#pragma once
// The mixer of a PulseAudio server (libpulse, threaded main loop). The one mixer device is the
// server itself; its recording lines are all its sources (monitors of outputs included) in the
// order of their server index; the selected line is the default source; the speaker is the
// default sink. Changes made by anyone arrive as changed() on this object's thread.
//
// Volumes: a raw value 0..65535 maps linearly onto PulseAudio's volume range 0..PA_VOLUME_NORM
// (raw 65535 = 100 %, the sink's or source's normal volume; raw 32768 = PA_VOLUME_NORM / 2,
// which PulseAudio's cubic scale plays at about 0.125 of the amplitude). Volumes above 100 %
// read as 65535, and writing 65535 back leaves such a volume as it is (a read-and-write round
// trip never lowers it). Set operations write the same value to every channel of the line.
#include "platform/MixerBackend.h"

#include <memory>

namespace platform {

class PulseMixerBackend : public MixerBackend {
    Q_OBJECT
public:
    // Connects at once (without starting a server); a server that does not answer leaves a
    // backend on which every query fails.
    explicit PulseMixerBackend(QObject* parent = nullptr);
    ~PulseMixerBackend() override;

    bool connected() const;

    QStringList devices() override;
    bool open(int device) override;
    void close() override;
    QStringList recordingLines() override;
    QString lineName(int line) override;
    int selectedLine() override;
    int setSelectedLine(int line) override;
    int lineVolume(int line) override;
    int setLineVolume(int line, int volume) override;
    int speakerVolume() override;
    int setSpeakerVolume(int volume) override;
    int speakerMute() override;
    int setSpeakerMute(bool mute) override;

    struct Impl;

private:
    std::unique_ptr<Impl> d_;
};

} // namespace platform
