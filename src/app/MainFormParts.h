#pragma once
// The parts of the main window as the program puts them together, in the order of the window's
// sequences: the audio engine with the recording session, the recordings library, then the
// display (its tick step runs after playback's, which may end a finished track first). The
// mixer and the About box join here as parts of their own.
#include "app/DisplayPart.h"
#include "app/LibraryPart.h"
#include "app/RecordingPart.h"

#include <vector>

class MainFormParts {
public:
    explicit MainFormParts(audio::AudioApi& audio) : library(audio), recording(audio, library), display(audio) {}

    std::vector<TMainFormPart*> all() { return {&recording, &library, &display}; }

    LibraryPart library;
    RecordingPart recording;
    DisplayPart display;
};
