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
    if (dialog_.isVisible() && dialogDevice_ >= 0 &&
        dialog_.ComboBox1->currentIndex() == dialogDevice_)
        fillDialogLines(true);
}

void MixerPanel::fillDialogLines(bool follow)
{
    QStringList lines, names;
    mixer_.GetWaveInLines(lines, names);
    if (follow) {
        dialog_.followLines(lines, names);
    } else {
        dialog_.setLines(lines, names);
        dialog_.markLine(recordLineIndex_);
    }
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
    dialogDevice_ = -1;
    if (combo->count() > 0) {
        combo->setCurrentIndex(mixerIndex);
        dialogDevice_ = mixerIndex;
        fillDialogLines(false);
    }
    const int result = dialog_.exec();
    dialogDevice_ = -1;
    if (result != QDialog::Accepted || combo->count() == 0)
        return;
    const int device = combo->currentIndex();
    const QString name = dialog_.chosenName();
    const int row = dialog_.selectedLine();
    if (device < 0)
        return;
    mixerIndex = device;
    mixer_.Close();
    mixer_.Open(mixerIndex);
    // The line travels by its name: lines that came or went meanwhile move the rows. With no
    // row chosen the device keeps the line it has.
    int error = -1;
    if (!name.isEmpty())
        error = mixer_.SetWaveInName(name);
    else if (row >= 0)
        error = mixer_.SetWaveInIndex(row); // a device that gives its lines no names
    recordLineIndex_ = mixer_.GetWaveInIndex();
    if (error == 0) {
        QStringList lines, names;
        mixer_.GetWaveInLines(lines, names);
        recordLineIndex_ = name.isEmpty() ? row : int(names.indexOf(name));
    }
    showDevice();
    if (error == MixerDevice::ErrGone && lineGone_)
        lineGone_(dialog_.chosenText());
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
