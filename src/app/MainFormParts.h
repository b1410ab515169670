#pragma once
// The parts of the main window as the program puts them together, in the order of the window's
// sequences: the recordings library, then the audio engine with the recording session, then the
// About box with the companion tools. The display and the mixer join here as parts of their own.
#include "app/ExtrasPart.h"
#include "app/LibraryPart.h"
#include "app/RecordingPart.h"

#include <vector>

class MainFormParts {
public:
    explicit MainFormParts(audio::AudioApi& audio) : library(audio), recording(audio, library) {}

    std::vector<TMainFormPart*> all() { return {&recording, &library, &extras}; }

    LibraryPart library;
    RecordingPart recording;
    ExtrasPart extras;
};
