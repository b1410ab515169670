#include "app/MainFormViews.h"

#include "skin/MainFormLayout.h"
#include "skin/SkinLabel.h"
#include "skin/SkinSlider.h"
#include "skin/TQLTButton.h"
#include "skin/TQLTCircleButton.h"

#include <QAction>
#include <QMenu>
#include <QTreeWidget>

namespace app {

void MainFormViews::setControlEnabled(TransportControl control, bool enabled)
{
    skin::MainFormLayout& l = layout_;
    switch (control) {
    case TransportControl::LibraryGroup:
        l.MenuSysOpen->setEnabled(enabled);
        l.MenuSysOpenFolder->setEnabled(enabled);
        l.MenuSysTools->menuAction()->setEnabled(enabled);
        for (skin::TQLTButton* b : {l.QLTButtonOpen, l.QLTButtonRecordFormat, l.QLTButtonSpectrum,
                                    l.QLTButtonOpenFolder, l.QLTButtonBrowseFolder,
                                    l.QLTButtonRefurbish, l.QLTButtonDelete, l.QLTButtonRename,
                                    l.QLTButtonJoinTool, l.QLTButtonEditTool,
                                    l.QLTButtonConversionTool})
            b->SetEnabled(enabled);
        l.ListViewFiles->setEnabled(enabled);
        break;
    case TransportControl::SourceGroup:
        l.MenuSysSource->setEnabled(enabled);
        l.MenuSysFormat->setEnabled(enabled);
        l.QLTCircleButtonSource->SetEnabled(enabled);
        break;
    case TransportControl::QLTCircleButtonRecord: l.QLTCircleButtonRecord->SetEnabled(enabled); break;
    case TransportControl::QLTCircleButtonPlay: l.QLTCircleButtonPlay->SetEnabled(enabled); break;
    case TransportControl::QLTCircleButtonStop: l.QLTCircleButtonStop->SetEnabled(enabled); break;
    case TransportControl::QLTCircleButtonPrevious: l.QLTCircleButtonPrevious->SetEnabled(enabled); break;
    case TransportControl::QLTCircleButtonNext: l.QLTCircleButtonNext->SetEnabled(enabled); break;
    case TransportControl::QLTProgressBar1: l.QLTProgressBar1->SetEnabled(enabled); break;
    }
}

void MainFormViews::setButtonDown(TransportControl control, bool down)
{
    if (control == TransportControl::QLTCircleButtonRecord)
        layout_.QLTCircleButtonRecord->SetDown(down);
    else if (control == TransportControl::QLTCircleButtonPlay)
        layout_.QLTCircleButtonPlay->SetDown(down);
}

void MainFormViews::setButtonHint(TransportControl control, const QString& hint)
{
    if (control == TransportControl::QLTCircleButtonRecord)
        layout_.QLTCircleButtonRecord->SetHint(hint);
    else if (control == TransportControl::QLTCircleButtonPlay)
        layout_.QLTCircleButtonPlay->SetHint(hint);
}

void MainFormViews::setSliderPosition(int position)
{
    layout_.QLTProgressBar1->SetPos(position);
}

void MainFormViews::setFolderCaption(const QString& folder)
{
    layout_.LabelDir->setText(folder);
}

} // namespace app
