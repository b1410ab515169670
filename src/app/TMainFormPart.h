#pragma once
// A subsystem that lives in the main window for the life of the process (the mixer, the audio
// engine with the recording session, the recordings list and playback, the renderers) and
// takes its place in the window's fixed sequences. Parts are called in the order they were
// handed to the window.
class TMainForm;

class TMainFormPart {
public:
    virtual ~TMainFormPart() = default;

    // Creation, after the settings were read, the language menu built and OsKind computed.
    virtual void formCreate(TMainForm&) {}
    // Every activation, after the language was applied to all windows.
    virtual void formActivate(TMainForm&) {}
    // After every application of the language (activation or the language menu), for texts
    // that depend on the state of the part.
    virtual void languageApplied(TMainForm&) {}
    // Shutdown, before the settings are saved (close the mixer, finish a running recording:
    // whatever changes a saved value or needs the language file).
    virtual void formDestroyBeforeSave(TMainForm&) {}
    // Shutdown, after the settings were saved (stop and free channels, release the engine,
    // destroy renderers).
    virtual void formDestroyAfterSave(TMainForm&) {}
};
