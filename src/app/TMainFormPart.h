#pragma once
// A subsystem that lives in the main window for the life of the process (the audio engine with
// the recording session, the recordings list and playback, the display, the mixer, the About
// box) and takes its place in the window's fixed sequences. Parts are called in the order they
// were handed to the window; each sees the window only through MainFormContext.

namespace app {

class MainFormContext;

class TMainFormPart {
public:
    virtual ~TMainFormPart() = default;

    // Right after the skinned controls exist, before creation: connect the part's controls and
    // join the display tick.
    virtual void attach(MainFormContext&) {}
    // Creation, after the settings were read, the language menu built and OsKind computed.
    virtual void formCreate(MainFormContext&) {}
    // Every activation, after the language was applied to all windows.
    virtual void formActivate(MainFormContext&) {}
    // Once, right after the first showing was painted: what the first paint must not wait for
    // (the sound server, the devices). A box shown here appears over the window.
    virtual void formShown(MainFormContext&) {}
    // After every application of the language (activation or the language menu), for texts
    // that depend on the state of the part.
    virtual void languageApplied(MainFormContext&) {}
    // Shutdown, before the settings are saved (close the mixer, finish a running recording:
    // whatever changes a saved value or needs the language file).
    virtual void formDestroyBeforeSave(MainFormContext&) {}
    // Shutdown, after the settings were saved (stop and free channels, release the engine,
    // destroy renderers).
    virtual void formDestroyAfterSave(MainFormContext&) {}
};

} // namespace app
