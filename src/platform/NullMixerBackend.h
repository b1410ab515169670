#pragma once
// The mixer of a machine without a sound server: no devices, and every query fails with the
// failure value of its kind.
#include "platform/MixerBackend.h"

namespace platform {

class NullMixerBackend : public MixerBackend {
    Q_OBJECT
public:
    using MixerBackend::MixerBackend;

    // The error code every set operation returns.
    static constexpr int NoDevice = 1;

    QStringList devices() override;
    bool open(int device) override;
    void close() override;
    QStringList recordingLines() override;
    int selectedLine() override;
    int setSelectedLine(int line) override;
    int lineVolume(int line) override;
    int setLineVolume(int line, int volume) override;
    int speakerVolume() override;
    int setSpeakerVolume(int volume) override;
    int speakerMute() override;
    int setSpeakerMute(bool mute) override;
};

} // namespace platform
