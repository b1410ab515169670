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
//
// The connection: every wait for the server has a deadline (ConnectWait, the operations' own
// two seconds); a server that stops answering makes the queries fail at once until it answers
// again. A lost server (or none at start) is waited for without polling: the folder of its
// socket is watched, and a connection is tried when the socket is made again (a server given
// by a network address is tried every few seconds instead). The new connection emits
// serverAvailable(), then changed().
#include "platform/MixerBackend.h"

#include <memory>

namespace platform {

class PulseMixerBackend : public MixerBackend {
    Q_OBJECT
public:
    // How long the constructor waits for the server to accept the connection.
    static constexpr int ConnectWaitMs = 1500;

    // Connects at once (without starting a server) and waits up to ConnectWaitMs for it; a
    // server that does not answer by then leaves a backend on which every query fails until
    // the connection comes (serverAvailable()).
    explicit PulseMixerBackend(QObject* parent = nullptr);
    ~PulseMixerBackend() override;

    bool connected() const;

    QStringList devices() override;
    bool open(int device) override;
    void close() override;
    QStringList recordingLines() override;
    QString lineName(int line) override;
    QList<Line> lines() override;
    int selectedLine() override;
    int setSelectedLine(int line) override;
    int setSelectedName(const QString& name) override;
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
