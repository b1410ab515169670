#pragma once
// The sound system's mixer as the program sees it: one list of mixer devices, the recording
// lines of the open device (every capture source, monitors of outputs included), which line
// records, the volume of each line, and the speaker's (default output's) volume and mute.
//
// Volumes are raw values 0..65535. Set operations return 0 on success and a non-zero error code
// otherwise; queries return -1 (volumes, indices, mute) or an empty list on failure. changed()
// is emitted on the thread that owns the object (the GUI thread) whenever any of these values
// changes, whoever changed it.
#include <QObject>
#include <QStringList>

namespace platform {

class MixerBackend : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~MixerBackend() override = default;

    virtual QStringList devices() = 0;
    virtual bool open(int device) = 0;
    virtual void close() = 0;

    virtual QStringList recordingLines() = 0;
    // The sound system's own name of a recording line (what a capture stream opens; the list
    // above holds what the user reads). Empty when the line does not exist.
    virtual QString lineName(int line) { (void)line; return QString(); }
    virtual int selectedLine() = 0;
    virtual int setSelectedLine(int line) = 0;
    virtual int lineVolume(int line) = 0;
    virtual int setLineVolume(int line, int volume) = 0;

    virtual int speakerVolume() = 0;
    virtual int setSpeakerVolume(int volume) = 0;
    // 1 muted, 0 not muted, -1 failure.
    virtual int speakerMute() = 0;
    virtual int setSpeakerMute(bool mute) = 0;

signals:
    void changed();
};

} // namespace platform
