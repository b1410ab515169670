#include "app/FileInfoPanel.h"

#include "skin/MainFormLayout.h"
#include "skin/SkinLabel.h"

namespace app {

void FileInfoPanel::setFileInfoLabels(const library::FileInfoLabels& labels)
{
    layout_.LabelFormat->setText(labels.format);
    layout_.LabelFrequency->setText(labels.frequency);
    layout_.LabelChannel->setText(labels.channel);
    layout_.LabelBits->setText(labels.bits);
    layout_.LabelBitrate->setText(labels.bitrate);
    layout_.LabelTotalTime->setText(labels.totalTime);
}

void FileInfoPanel::setFileName(const QString& name)
{
    layout_.LabelFileName->setText(name);
    layout_.LabelFileName->setToolTip(name);
}

} // namespace app
