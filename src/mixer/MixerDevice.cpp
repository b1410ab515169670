#include "mixer/MixerDevice.h"

#include "platform/MixerBackend.h"

#include <QTimer>

namespace mixer {

MixerDevice::MixerDevice(BackendFactory factory, QObject* parent)
    : QObject(parent), factory_(std::move(factory))
{
}

MixerDevice::~MixerDevice() = default;

platform::MixerBackend* MixerDevice::backend()
{
    if (!backend_ && factory_) {
        backend_ = factory_();
        factory_ = nullptr; // one attempt: a server that is not there at start stays unused
        if (backend_) {
            connect(backend_.get(), &platform::MixerBackend::changed, this,
                    &MixerDevice::backendChanged);
            connect(backend_.get(), &platform::MixerBackend::serverAvailable, this, [this] {
                if (OnServerBack)
                    OnServerBack(this);
            });
        }
    }
    return backend_.get();
}

void MixerDevice::backendChanged()
{
    // One change (a volume moved with the mouse, a default source set) often arrives as
    // several notifications in a row: answer them together, after they arrived.
    if (changePending_)
        return;
    changePending_ = true;
    QTimer::singleShot(0, this, [this] {
        changePending_ = false;
        if (OnChange)
            OnChange(this);
    });
}

bool MixerDevice::Open(int device)
{
    platform::MixerBackend* b = backend();
    return b && device >= 0 && b->open(device);
}

void MixerDevice::Close()
{
    if (backend_)
        backend_->close();
}

int MixerDevice::GetMixerList(QStringList& list)
{
    platform::MixerBackend* b = backend();
    if (!b)
        return 0;
    const QStringList devices = b->devices();
    list += devices;
    return int(devices.size());
}

int MixerDevice::GetWaveInList(QStringList& list)
{
    platform::MixerBackend* b = backend();
    if (!b)
        return 0;
    const QStringList lines = b->recordingLines();
    list += lines;
    return int(lines.size());
}

int MixerDevice::GetWaveInLines(QStringList& texts, QStringList& names)
{
    platform::MixerBackend* b = backend();
    if (!b)
        return 0;
    const QList<platform::MixerBackend::Line> lines = b->lines();
    for (const platform::MixerBackend::Line& line : lines) {
        texts << line.description;
        names << line.name;
    }
    return int(lines.size());
}

int MixerDevice::SetWaveInName(const QString& name)
{
    platform::MixerBackend* b = backend();
    if (!b)
        return ErrNoDevice;
    // By the name to the end: a row number would pick whatever line now stands there.
    const auto exists = [b, &name] {
        for (const platform::MixerBackend::Line& line : b->lines())
            if (!name.isEmpty() && line.name == name)
                return true;
        return false;
    };
    if (!exists())
        return ErrGone;
    const int error = b->setSelectedName(name);
    // A refusal because the line went away between the look and the choice.
    return error != 0 && !exists() ? ErrGone : error;
}

int MixerDevice::GetWaveInIndex()
{
    platform::MixerBackend* b = backend();
    if (!b)
        return -1;
    const int line = b->selectedLine();
    return line >= 0 ? line : -1;
}

int MixerDevice::SetWaveInIndex(int line)
{
    platform::MixerBackend* b = backend();
    if (!b)
        return ErrNoDevice;
    // Only an existing line may become the recording line; -1 (no row chosen) is refused too.
    if (line < 0 || line >= int(b->recordingLines().size()))
        return ErrBadIndex;
    return b->setSelectedLine(line);
}

int MixerDevice::GetWaveInVolume(int line)
{
    platform::MixerBackend* b = backend();
    if (!b || line < 0)
        return -1;
    const int volume = b->lineVolume(line);
    return volume >= 0 && volume <= 65535 ? volume : -1;
}

int MixerDevice::SetWaveInVolume(int line, int volume)
{
    platform::MixerBackend* b = backend();
    if (!b)
        return ErrNoDevice;
    if (line < 0)
        return ErrBadIndex;
    if (volume < 0 || volume > 65535)
        return ErrBadValue;
    return b->setLineVolume(line, volume);
}

int MixerDevice::GetSpeakerVolume()
{
    platform::MixerBackend* b = backend();
    if (!b)
        return -1;
    const int volume = b->speakerVolume();
    return volume >= 0 && volume <= 65535 ? volume : -1;
}

int MixerDevice::SetSpeakerVolume(int volume)
{
    platform::MixerBackend* b = backend();
    if (!b)
        return ErrNoDevice;
    if (volume < 0 || volume > 65535)
        return ErrBadValue;
    return b->setSpeakerVolume(volume);
}

bool MixerDevice::GetWaveOutMute()
{
    platform::MixerBackend* b = backend();
    // Anything but a clear "not muted" shows the button down.
    return !b || b->speakerMute() != 0;
}

int MixerDevice::SetWaveOutMute(bool mute)
{
    platform::MixerBackend* b = backend();
    if (!b)
        return ErrNoDevice;
    return b->setSpeakerMute(mute);
}

} // namespace mixer
