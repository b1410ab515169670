#pragma once
namespace mixer {

// The main window's mixer controls as the mixer panel sees them: the recording and speaker
// volume sliders (raw positions 0..65535; a slider ignores a position outside that range and
// any position while it is dragged) and the mute button.
class MixerPanelView {
public:
    virtual ~MixerPanelView() = default;
    virtual void setControlsEnabled(bool enabled) = 0;
    virtual int waveInPos() const = 0;
    virtual void setWaveInPos(int pos) = 0;
    virtual int speakPos() const = 0;
    virtual void setSpeakPos(int pos) = 0;
    virtual bool muteDown() const = 0;
    virtual void setMuteDown(bool down) = 0;
};

} // namespace mixer
