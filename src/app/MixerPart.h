#pragma once
// The mixer in the main window: the window's mixer (QLTMixer1) open from the first showing to
// shutdown, the volume sliders, the mute button, the sound source command with its dialog and
// the two commands that open the desktop's sound panels. It tells the recording which line is
// chosen (recordLineIndex) and hands its mixer to the audio engine, which switches the chosen
// line on at a recording start.
#include "app/TMainFormPart.h"
#include "mixer/MixerDevice.h"

#include <functional>
#include <memory>

namespace mixer {
class MixerPanel;
class SoundPanels;
class TSoundSourceForm;
} // namespace mixer
namespace i18n {
class ObjectNameTextsView;
}
namespace platform {
class MixerBackend;
}

namespace app {

class MixerPart : public TMainFormPart {
public:
    // mixers: makes a connection to the sound system's mixer (one for the window, one for the
    // dialog's browsing). useMixer: told the window's mixer once it is open, and null at the end.
    MixerPart(mixer::MixerDevice::BackendFactory mixers,
              std::function<void(platform::MixerBackend*)> useMixer = {});
    ~MixerPart() override;
    MixerPart(const MixerPart&) = delete;
    MixerPart& operator=(const MixerPart&) = delete;

    mixer::MixerDevice& QLTMixer1() { return *mixer_; }
    mixer::TSoundSourceForm* SoundSourceForm() const { return form_; }
    mixer::MixerPanel& panel() { return *panel_; }
    // RecordLineIndex: the wave-in line chosen for recording (-1: the default source).
    int recordLineIndex() const;

    // TMainFormPart
    void attach(MainFormContext& context) override;
    void formCreate(MainFormContext& context) override;
    void formShown(MainFormContext& context) override;
    void formDestroyBeforeSave(MainFormContext& context) override;

private:
    class View;

    void QLTMixer1Change();
    void QLTMixer1ServerBack();
    void showPanelMissing();

    mixer::MixerDevice::BackendFactory mixers_;
    std::function<void(platform::MixerBackend*)> useMixer_;
    MainFormContext* context_ = nullptr;
    std::unique_ptr<mixer::MixerDevice> mixer_;
    std::unique_ptr<View> view_;
    std::unique_ptr<mixer::SoundPanels> panels_;
    std::unique_ptr<mixer::MixerPanel> panel_;
    mixer::TSoundSourceForm* form_ = nullptr; // child of the window
    std::unique_ptr<i18n::ObjectNameTextsView> formTexts_;
};

} // namespace app
