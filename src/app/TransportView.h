#pragma once
// What the transport logic sets on the main window. MainFormViews implements it with the
// skinned controls; tests implement it with a plain record of the last values set.
#include <QString>

namespace app {

// The controls the transport decides about. The first two groups are switched as a whole
// (TransportControl::LibraryGroup, TransportControl::SourceGroup), the transport controls
// one by one.
enum class TransportControl {
    // Library and tool controls: MenuSysOpen, MenuSysOpenFolder, MenuSysTools, QLTButtonOpen,
    // QLTButtonRecordFormat, QLTButtonSpectrum, QLTButtonOpenFolder, QLTButtonBrowseFolder,
    // QLTButtonRefurbish, QLTButtonDelete, QLTButtonRename, QLTButtonJoinTool,
    // QLTButtonEditTool, QLTButtonConversionTool and ListViewFiles.
    LibraryGroup,
    // Source and format controls: MenuSysSource, MenuSysFormat, QLTCircleButtonSource.
    SourceGroup,
    QLTCircleButtonRecord,
    QLTCircleButtonPlay,
    QLTCircleButtonStop,
    QLTCircleButtonPrevious,
    QLTCircleButtonNext,
    QLTProgressBar1,
};

class TransportView {
public:
    virtual ~TransportView() = default;

    virtual void setControlEnabled(TransportControl control, bool enabled) = 0;
    // Only QLTCircleButtonRecord and QLTCircleButtonPlay are pressed or released.
    virtual void setButtonDown(TransportControl control, bool down) = 0;
    // Only QLTCircleButtonRecord and QLTCircleButtonPlay change their hint.
    virtual void setButtonHint(TransportControl control, const QString& hint) = 0;
    // The position slider QLTProgressBar1.
    virtual void setSliderPosition(int position) = 0;
    // LabelDir: the recordings folder.
    virtual void setFolderCaption(const QString& folder) = 0;
};

} // namespace app
