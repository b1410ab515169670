#pragma once
// The parts of the main window as the program puts them together, in the order of the window's
// sequences: the mixer (its recording line is known before the audio engine starts), the audio
// engine with the recording session, the recordings library, the display (its tick step runs
// after playback's, which may end a finished track first), then the About box with the
// companion tools.
#include "app/DisplayPart.h"
#include "app/ExtrasPart.h"
#include "app/LibraryPart.h"
#include "app/MixerPart.h"
#include "app/RecordingPart.h"
#include "platform/NullMixerBackend.h"

#include <vector>

class MainFormParts {
public:
    // mixers: connections to the sound system's mixer (without: a machine with no mixer).
    // useMixer: where the window's open mixer goes (the engine that records from its lines).
    explicit MainFormParts(audio::AudioApi& audio, TQLTMixer::BackendFactory mixers = nullMixers(),
                           std::function<void(platform::MixerBackend*)> useMixer = {})
        : mixer(std::move(mixers), std::move(useMixer)), library(audio), recording(audio, library), display(audio)
    {
    }

    std::vector<TMainFormPart*> all() { return {&mixer, &recording, &library, &display, &extras}; }

    static TQLTMixer::BackendFactory nullMixers()
    {
        return [] { return std::make_unique<platform::NullMixerBackend>(); };
    }

    MixerPart mixer;
    LibraryPart library;
    RecordingPart recording;
    DisplayPart display;
    ExtrasPart extras;
};
