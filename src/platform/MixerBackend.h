#pragma once
// The sound system's mixer as the program sees it: one list of mixer devices, the recording
// lines of the open device (every capture source, monitors of outputs included), which line
// records, the volume of each line, and the speaker's (default output's) volume and mute.
//
// Volumes are raw values 0..65535. Set operations return 0 on success and a non-zero error code
// otherwise; queries return -1 (volumes, indices, mute) or an empty list on failure. changed()
// is emitted on the thread that owns the object (the GUI thread) whenever any of these values
// changes, whoever changed it. A backend that lost its sound server (or found none at start)
// waits for it without polling and emits serverAvailable() when it is connected again; every
// query fails meanwhile.
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
    // Every recording line as the user reads it and by the sound system's name, in the order
    // of recordingLines(), from one reading of the server (the two belong together).
    struct Line {
        QString description;
        QString name;
    };
    virtual QList<Line> lines()
    {
        QList<Line> result;
        const QStringList descriptions = recordingLines();
        for (int i = 0; i < int(descriptions.size()); ++i)
            result.append({descriptions[i], lineName(i)});
        return result;
    }
    virtual int selectedLine() = 0;
    virtual int setSelectedLine(int line) = 0;
    // The line of this sound-system name becomes the selected one; a non-zero error code when
    // no line has that name (any more).
    virtual int setSelectedName(const QString& name)
    {
        const QList<Line> all = lines();
        for (int i = 0; i < int(all.size()); ++i)
            if (!name.isEmpty() && all[i].name == name)
                return setSelectedLine(i);
        return -1;
    }
    virtual int lineVolume(int line) = 0;
    virtual int setLineVolume(int line, int volume) = 0;

    virtual int speakerVolume() = 0;
    virtual int setSpeakerVolume(int volume) = 0;
    // 1 muted, 0 not muted, -1 failure.
    virtual int speakerMute() = 0;
    virtual int setSpeakerMute(bool mute) = 0;

signals:
    void changed();
    // The sound server answers again after a time without it (it started late or restarted).
    void serverAvailable();
};

} // namespace platform
