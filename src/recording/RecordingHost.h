#pragma once
// What a recording session needs from the window it runs in (the window's recording part
// implements it): the transport model it updates, the recording line and volume chosen in the
// mixer panel, the language file for message texts, and where a take's beginning and end are
// announced.
#include "audio/AudioApi.h"
#include "audio/TransportModel.h"
#include "recording/RecordFormat.h"
#include "recording/TakeEvents.h"

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

    // A take began: its file at path is being written and the transport is Recording.
    virtual void takeStarted(const QString& path) = 0;
    // A take ended: its file is closed. The transport is still in the recording state (so a
    // list shown now keeps the record format and the name of the file just written) and goes
    // to Idle right after.
    virtual void takeFinished(const FinishedTake& take) = 0;
};

} // namespace recording
