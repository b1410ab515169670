#pragma once
// The sound system's mixer as one open device: the list of mixer devices, the lines that feed
// the recording, which of them records and at what volume, and the speaker's volume and mute.
// Every operation returns at once with a value, never shows anything:
//   queries of volumes and indices give -1 on failure, the mute query gives true on failure,
//   the lists give 0 (and append nothing more), set operations give 0 on success and a
//   non-zero error code otherwise.
// Line k is line k of GetWaveInList in every operation; a line kept while the list may change
// (a dialog open meanwhile) is kept by its name (GetWaveInNames) and chosen by that name. OnChange
// runs (on the GUI thread) when anything of the open device changes, whoever changed it: this
// program, another one or the system. Changes that arrive together raise it once.
// OnServerBack runs when the sound server answers again after a time without it (it started
// late or restarted): the device is to be opened again.
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

namespace platform {
class MixerBackend;
} // namespace platform

namespace mixer {

class MixerDevice : public QObject {
    Q_OBJECT
public:
    using BackendFactory = std::function<std::unique_ptr<platform::MixerBackend>()>;

    // The error codes of this component's own refusals (the backend's codes pass through).
    static constexpr int ErrBadIndex = 11; // a line index outside 0..n-1
    static constexpr int ErrBadValue = 12; // a volume outside 0..65535
    static constexpr int ErrNoDevice = 13; // no sound system to talk to
    static constexpr int ErrGone = 14;     // a line chosen by name is no longer there

    // The backend is made at the first operation that needs it (a connection to the sound
    // server), so that a mixer which is never used costs nothing.
    explicit MixerDevice(BackendFactory factory, QObject* parent = nullptr);
    ~MixerDevice() override;

    bool Open(int device);
    void Close();
    int GetMixerList(QStringList& list);
    int GetWaveInList(QStringList& list);
    // The lines' sound-system names, in the order of GetWaveInList, read with their texts in
    // one go (names[k] is the line whose text is texts[k]).
    int GetWaveInLines(QStringList& texts, QStringList& names);
    int GetWaveInIndex();
    int SetWaveInIndex(int line);
    // Makes the line of this name the recording line; ErrGone when no line has that name now.
    int SetWaveInName(const QString& name);
    int GetWaveInVolume(int line);
    int SetWaveInVolume(int line, int volume);
    int GetSpeakerVolume();
    int SetSpeakerVolume(int volume);
    bool GetWaveOutMute();
    int SetWaveOutMute(bool mute);

    std::function<void(MixerDevice* sender)> OnChange;
    std::function<void(MixerDevice* sender)> OnServerBack;

    // The backend in use (made now if it was not yet); null only when the factory gave none.
    platform::MixerBackend* backend();

private:
    void backendChanged();

    BackendFactory factory_;
    std::unique_ptr<platform::MixerBackend> backend_;
    bool changePending_ = false;
};

} // namespace mixer
