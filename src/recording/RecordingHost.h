#pragma once
// What a recording session needs from the window it runs in (the window's recording part
// implements it): the transport model it updates, the recording line and volume chosen in the
// mixer panel, the language file for message texts, and the recordings list.
#include "audio/AudioApi.h"
#include "audio/TransportModel.h"
#include "recording/RecordFormat.h"

#include <QString>
#include <cstdint>

namespace i18n {
class LanguageFile;
}

namespace recording {

class RecordingHost {
public:
    virtual ~RecordingHost() = default;

    // The window's transport: the session sets the state and Channel (the capture handle while
    // recording) itself.
    virtual audio::TransportModel& transport() = 0;

    // RecordLineIndex: the wave-in line of the open mixer.
    virtual int recordLineIndex() const = 0;
    // The recording volume slider QLTProgressBarWaveIn: its position / 65535, 0.0 .. 1.0.
    virtual float recordVolume() const = 0;

    // LanguageIni (a closed file gives empty texts).
    virtual const i18n::LanguageFile& language() const = 0;

    // A take ended: the file at path, completed, holds frames sample frames of format. Called
    // before the folder is listed again, so the library can take the file's length and
    // details from here instead of decoding it.
    virtual void recorded(const QString& path, const RecordFormat& format, std::uint64_t frames)
    {
        (void)path, (void)format, (void)frames;
    }

    // ListRecordings: rescan the recordings folder.
    virtual void listRecordings() = 0;
    // SelectFile: select by name (empty: the first entry) and refresh the information panel.
    virtual void selectFile(const QString& name) = 0;
};

} // namespace recording
