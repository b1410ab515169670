#pragma once
// The parts of the main window as the program puts them together, in the order of the window's
// sequences: the mixer (its recording line is known before the audio engine starts), the audio
// engine with the recording session, the recordings library (it follows the session's takes), the
// display (its tick step runs after playback's, which may end a finished track first), then the
// About box with the companion tools.
#include "app/BenchSwitches.h"
#include "app/DisplayPart.h"
#include "app/ExtrasPart.h"
#include "app/LibraryPart.h"
#include "app/MixerPart.h"
#include "app/RecordingPart.h"
#include "platform/NullMixerBackend.h"

#include <vector>

namespace app {

class MainFormParts {
public:
    // mixers: connections to the sound system's mixer (without: a machine with no mixer).
    // useMixer: where the window's open mixer goes (the engine that records from its lines).
    explicit MainFormParts(audio::AudioApi& audio,
                           mixer::MixerDevice::BackendFactory mixers = nullMixers(),
                           std::function<void(platform::MixerBackend*)> useMixer = {},
                           BenchSwitches bench = {})
        : mixer(std::move(mixers), std::move(useMixer)),
          recording(audio, [this] { return mixer.recordLineIndex(); }),
          library(audio, recording.takes()), display(audio, !bench.displayOff)
    {
        recording.setCaptureWatching(!bench.captureWatchOff);
    }

    std::vector<TMainFormPart*> all() { return {&mixer, &recording, &library, &display, &extras}; }

    static mixer::MixerDevice::BackendFactory nullMixers()
    {
        return [] { return std::make_unique<platform::NullMixerBackend>(); };
    }

    MixerPart mixer;
    RecordingPart recording; // before the library, which follows its takes
    LibraryPart library;
    DisplayPart display;
    ExtrasPart extras;
};

} // namespace app
