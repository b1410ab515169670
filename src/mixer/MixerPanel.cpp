#include "mixer/MixerPanel.h"

#include "mixer/MixerDevice.h"
#include "mixer/MixerPanelView.h"
#include "mixer/TSoundSourceForm.h"

#include <QComboBox>

namespace mixer {

MixerPanel::MixerPanel(MixerDevice& mixer, MixerPanelView& view, TSoundSourceForm& dialog,
                       SoundPanels& panels, bool systemPanelMode)
    : mixer_(mixer), view_(view), dialog_(dialog), panels_(panels),
      systemPanelMode_(systemPanelMode)
{
}

void MixerPanel::startUp(int& mixerIndex)
{
    QStringList devices;
    const int count = mixer_.GetMixerList(devices);
    if (count < 1) {
        mixerIndex = -1;
        view_.setControlsEnabled(false);
    } else {
        if (mixerIndex < 0 || mixerIndex >= count)
            mixerIndex = 0;
        view_.setControlsEnabled(true);
    }
    mixer_.Open(mixerIndex);
    refresh();
}

void MixerPanel::shutDown() { mixer_.Close(); }

void MixerPanel::refresh()
{
    // A line chosen in the desktop's own mixer is taken over.
    recordLineIndex_ = mixer_.GetWaveInIndex();
    showDevice();
}

void MixerPanel::showDevice()
{
    // A failed read gives -1, which the sliders ignore.
    view_.setWaveInPos(mixer_.GetWaveInVolume(recordLineIndex_));
    view_.setSpeakPos(mixer_.GetSpeakerVolume());
    view_.setMuteDown(mixer_.GetWaveOutMute());
}

void MixerPanel::MenuSysSourceClick(int& mixerIndex)
{
    if (systemPanelMode_) {
        openPanel(SoundPanels::Panel::Inputs);
        return;
    }
    QComboBox* combo = dialog_.ComboBox1;
    combo->clear();
    QStringList devices;
    mixer_.GetMixerList(devices);
    combo->addItems(devices);
    dialog_.setLines({});
    if (combo->count() > 0) {
        combo->setCurrentIndex(mixerIndex);
        QStringList lines;
        mixer_.GetWaveInList(lines);
        dialog_.setLines(lines);
        dialog_.markLine(recordLineIndex_);
    }
    if (dialog_.exec() != QDialog::Accepted || combo->count() == 0)
        return;
    const int device = combo->currentIndex();
    const int line = dialog_.selectedLine();
    if (device < 0)
        return;
    mixerIndex = device;
    mixer_.Close();
    mixer_.Open(mixerIndex);
    // With no row chosen the device keeps the line it has.
    if (line >= 0 && mixer_.SetWaveInIndex(line) == 0)
        recordLineIndex_ = line;
    else
        recordLineIndex_ = mixer_.GetWaveInIndex();
    showDevice();
}

void MixerPanel::QLTCircleButtonMuteClick()
{
    if (systemPanelMode_) {
        openPanel(SoundPanels::Panel::Outputs);
        return;
    }
    const bool down = !view_.muteDown();
    view_.setMuteDown(down);
    mixer_.SetWaveOutMute(down);
}

void MixerPanel::QLTProgressBarSpeakChange() { mixer_.SetSpeakerVolume(view_.speakPos()); }

void MixerPanel::QLTProgressBarWaveInChange()
{
    mixer_.SetWaveInVolume(recordLineIndex_, view_.waveInPos());
}

void MixerPanel::MenuSysAudioControlClick() { openPanel(SoundPanels::Panel::SoundSettings); }

void MixerPanel::MenuSysMixerPanelClick() { openPanel(SoundPanels::Panel::VolumeMixer); }

void MixerPanel::openPanel(SoundPanels::Panel panel)
{
    if (!panels_.open(panel) && panelFailed_)
        panelFailed_();
}

} // namespace mixer
