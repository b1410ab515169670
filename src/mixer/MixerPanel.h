#pragma once
// The main window's mixer panel: which mixer device and recording line are in use, the two
// volume sliders, the mute button and the sound source command with its dialog. In own-mixer
// mode the program drives the mixer itself; in system-panel mode the sound source and mute
// commands open the desktop's own panels instead (sliders and notifications work the same).
#include "mixer/SoundPanels.h"

namespace mixer {

class MixerPanelView;
class MixerDevice;
class TSoundSourceForm;

class MixerPanel {
public:
    // The mixer is the window's (open from start-up to shutdown); the dialog is shown modally
    // by the sound source command. panelFailed runs when a desktop panel cannot be opened.
    MixerPanel(MixerDevice& mixer, MixerPanelView& view, TSoundSourceForm& dialog,
               SoundPanels& panels, bool systemPanelMode);

    void setPanelFailedHandler(std::function<void()> handler) { panelFailed_ = std::move(handler); }
    // lineGone runs with the line's text when the line chosen in the dialog is gone by OK.
    void setLineGoneHandler(std::function<void(const QString&)> handler)
    {
        lineGone_ = std::move(handler);
    }

    // Start-up: counts the devices, corrects mixerIndex (-1 without any device, 0 when the
    // stored one does not exist), enables or disables the controls, opens the mixer and
    // refreshes from it.
    void startUp(int& mixerIndex);
    // Shutdown, before the settings are saved.
    void shutDown();

    // The controls follow the device: recording line, its volume, speaker volume, mute; and the
    // sound source dialog, while it is open, its lines.
    void refresh();
    // Handlers
    void MenuSysSourceClick(int& mixerIndex);
    void QLTCircleButtonMuteClick();
    void QLTProgressBarSpeakChange();
    void QLTProgressBarWaveInChange();
    void MenuSysAudioControlClick();
    void MenuSysMixerPanelClick();

    // The selected recording line (-1: none, or the device cannot tell).
    int RecordLineIndex() const { return recordLineIndex_; }
    bool systemPanelMode() const { return systemPanelMode_; }

private:
    void showDevice(); // the refresh without taking over the recording line
    void fillDialogLines(bool follow);
    void openPanel(SoundPanels::Panel panel);

    MixerDevice& mixer_;
    MixerPanelView& view_;
    TSoundSourceForm& dialog_;
    SoundPanels& panels_;
    bool systemPanelMode_;
    int recordLineIndex_ = -1;
    std::function<void()> panelFailed_;
    std::function<void(const QString&)> lineGone_;
    int dialogDevice_ = -1; // the device whose lines the open dialog shows
};

} // namespace mixer
