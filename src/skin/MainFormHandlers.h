#pragma once
// The main window's event handlers by the names the program uses, for MainFormLayout::bind.
// Each is called when its controls fire (several controls may share one handler, as the
// table of the window says); one left empty does nothing.
#include <functional>

namespace skin {

struct MainFormHandlers {
    using Handler = std::function<void()>;

    // Title bar and list
    Handler QLTButtonIconClick;       // QLTButtonIcon
    Handler QLTButtonFileListClick;   // QLTButtonFileList
    Handler QLTButtonMinimizeClick;   // QLTButtonMinimize
    Handler QLTButtonCloseClick;      // QLTButtonClose, MenuSysExit
    Handler QLTButtonCloseListClick;  // QLTButtonCloseList

    // Tools and library
    Handler MenuSysOpenClick;             // QLTButtonOpen, MenuSysOpen
    Handler QLTButtonRecordFormatClick;   // QLTButtonRecordFormat
    Handler QLTButtonSpectrumClick;       // QLTButtonSpectrum
    Handler MenuSysOpenFolderClick;       // QLTButtonOpenFolder, MenuSysOpenFolder
    Handler QLTButtonBrowseFolderClick;   // QLTButtonBrowseFolder
    Handler QLTButtonRefurbishClick;      // QLTButtonRefurbish
    Handler QLTButtonDeleteClick;         // QLTButtonDelete
    Handler QLTButtonRenameClick;         // QLTButtonRename
    Handler QLTButtonJoinToolClick;       // QLTButtonJoinTool, MenuSysJoinTool
    Handler QLTButtonEditToolClick;       // QLTButtonEditTool, MenuSysEditTool
    Handler QLTButtonConversionToolClick; // QLTButtonConversionTool, MenuSysConverterTool

    // Transport, mixer
    Handler QLTCircleButtonRecordClick;
    Handler QLTCircleButtonPlayClick;
    Handler QLTCircleButtonStopClick;
    Handler QLTCircleButtonPreviousClick;
    Handler QLTCircleButtonNextClick;
    Handler QLTCircleButtonMuteClick;
    Handler MenuSysSourceClick; // QLTCircleButtonSource, MenuSysSource
    Handler QLTProgressBar1Change;
    Handler QLTProgressBarSpeakChange;
    Handler QLTProgressBarSpeakChanging;
    Handler QLTProgressBarWaveInChange;
    Handler QLTProgressBarWaveInChanging;

    // File list
    Handler ListViewFilesClick;    // a click on a row
    Handler ListViewFilesDblClick; // a double click on a row

    // System menu (the check mark of MenuSysOnTop is already flipped when its handler runs)
    Handler MenuSysFormatClick;
    Handler MenuSysOnTopClick;
    Handler MenuSysAudioControlClick;
    Handler MenuSysMixerPanelClick;
    Handler MenuSysHelpClick;
    Handler MenuSysHomePageClick;
    Handler MenuSysAboutClick;

    // Spectrum menu
    Handler MenuSpec1Click;
    Handler MenuSpec2Click;
    Handler MenuSpec3Click;

    // The display timer
    Handler Timer2Timer;
};

} // namespace skin
