#pragma once
// The sound system's mixer as one open device: the list of mixer devices, the lines that feed
// the recording, which of them records and at what volume, and the speaker's volume and mute.
// Every operation returns at once with a value, never shows anything:
//   queries of volumes and indices give -1 on failure, the mute query gives true on failure,
//   the lists give 0 (and append nothing more), set operations give 0 on success and a
//   non-zero error code otherwise.
// Line k is line k of GetWaveInList in every operation. OnChange runs (on the GUI thread) when
// anything of the open device changes, whoever changed it: this program, another one or the
// system. Changes that arrive together raise it once.
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

    // The backend is made at the first operation that needs it (a connection to the sound
    // server), so that a mixer which is never used costs nothing.
    explicit MixerDevice(BackendFactory factory, QObject* parent = nullptr);
    ~MixerDevice() override;

    bool Open(int device);
    void Close();
    int GetMixerList(QStringList& list);
    int GetWaveInList(QStringList& list);
    int GetWaveInIndex();
    int SetWaveInIndex(int line);
    int GetWaveInVolume(int line);
    int SetWaveInVolume(int line, int volume);
    int GetSpeakerVolume();
    int SetSpeakerVolume(int volume);
    bool GetWaveOutMute();
    int SetWaveOutMute(bool mute);

    std::function<void(MixerDevice* sender)> OnChange;

    // The backend in use (made now if it was not yet); null only when the factory gave none.
    platform::MixerBackend* backend();

private:
    void backendChanged();

    BackendFactory factory_;
    std::unique_ptr<platform::MixerBackend> backend_;
    bool changePending_ = false;
};

} // namespace mixer
