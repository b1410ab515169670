#pragma once
// The composition of the main window: the skin, every skinned control at its place with its
// pictures, colours, fonts and hint, the labels, the two drawing surfaces, the file list, the
// two pop-up menus, the image lists, the open dialog's filter and the display timer.
//
// The main window creates one MainFormLayout with itself as the window; the public members
// carry the names the rest of the program uses (QLTCircleButtonRecord, MenuSysOpen, ...).
// Everything is a child of the window and lives as long as it does. Dragging the bare skin,
// the title, the file-name label or the folder label moves the window without any help from
// the main window. The layout knows controls, not what they do: whoever handles a control
// connects to its signal (clicked, changed, triggered, ...).
#include "skin/CursorSource.h"
#include "skin/FileListWidget.h"

#include <QIcon>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>

class QAction;
class QMenu;
class QTimer;
class QWidget;

namespace skin {

class TQLTSkinForm;
class TQLTButton;
class TQLTCircleButton;
class SkinSlider;
class TPaintBox;
class SkinLabel;
class WindowDragger;

class MainFormLayout : public QObject {
    Q_OBJECT
public:
    // Builds the whole layout on the window (which becomes frameless and 270 x 358). The cursor
    // source is handed to every polling control; empty means the real cursor, read once per
    // poll tick for all of them.
    explicit MainFormLayout(QWidget* window, CursorSource cursor = {});

    // The window's one size: 270 wide, 358 high with the recordings list, 168 without it.
    static constexpr int ClientWidth = 270;
    static constexpr int FullHeight = 358;
    static constexpr int ListHiddenHeight = 168;
    static constexpr int SliderColorValue = 48205;
    static const char* const DefaultOpenDialogFilter;

    // A picture of the skin art by its file name without extension ("skin", "play_n", ...).
    static QImage art(const QString& name);

    // Where a pop-up menu opens for a button: its left edge, 21 pixels below its top, on screen.
    QPoint popupPoint(const QWidget* button) const;
    // Opens the menu there (the system menu from QLTButtonIcon, the spectrum menu from
    // QLTButtonSpectrum).
    void popupBelow(QMenu* menu, const QWidget* button) const;

    // Adds an item named `name` (the language files' name for it) to a menu of the window, with
    // the picture `icon` of ImageList1 (-1: none).
    QAction* addMenuItem(QMenu* menu, const QString& name, const QString& caption, int icon = -1);

    QWidget* const window;

    TQLTSkinForm* QLTSkinForm1;

    // Title-bar buttons
    TQLTButton* QLTButtonIcon;
    TQLTButton* QLTButtonFileList;
    TQLTButton* QLTButtonMinimize;
    TQLTButton* QLTButtonClose;
    TQLTButton* QLTButtonCloseList;

    // Tool buttons
    TQLTButton* QLTButtonOpen;
    TQLTButton* QLTButtonRecordFormat;
    TQLTButton* QLTButtonSpectrum;
    TQLTButton* QLTButtonOpenFolder;
    TQLTButton* QLTButtonBrowseFolder;
    TQLTButton* QLTButtonRefurbish;
    TQLTButton* QLTButtonDelete;
    TQLTButton* QLTButtonRename;
    TQLTButton* QLTButtonJoinTool;
    TQLTButton* QLTButtonEditTool;
    TQLTButton* QLTButtonConversionTool;

    // Round buttons
    TQLTCircleButton* QLTCircleButtonRecord;
    TQLTCircleButton* QLTCircleButtonPlay;
    TQLTCircleButton* QLTCircleButtonStop;
    TQLTCircleButton* QLTCircleButtonPrevious;
    TQLTCircleButton* QLTCircleButtonNext;
    TQLTCircleButton* QLTCircleButtonMute;
    TQLTCircleButton* QLTCircleButtonSource;

    // Sliders
    SkinSlider* QLTProgressBar1;
    SkinSlider* QLTProgressBarSpeak;
    SkinSlider* QLTProgressBarWaveIn;

    // Labels (sized to their text, except the file-name and folder labels)
    SkinLabel* LabelTitle;
    SkinLabel* LabelFileName;
    SkinLabel* LabelTotalTime;
    SkinLabel* LabelFormat;
    SkinLabel* LabelChannel;
    SkinLabel* LabelBitrate;
    SkinLabel* LabelFrequency;
    SkinLabel* LabelBits;
    SkinLabel* LabelDir;

    // Drawing surfaces: spectrum and time display, level meters
    TPaintBox* SpectrumBox;
    TPaintBox* MeterBox;

    // The recordings list: name and length columns
    FileListWidget* ListViewFiles;

    // System menu
    QMenu* PopupMenuSystem;
    QAction* MenuSysOpen;
    QAction* MenuSysOpenFolder;
    QAction* N1;
    QAction* MenuSysFormat;
    QAction* MenuSysSource;
    QAction* MenuSysOnTop;
    QAction* MenuSysAudioControl;
    QAction* MenuSysMixerPanel;
    QAction* N3;
    QMenu* MenuSysLang;
    QMenu* MenuSysTools;
    QAction* MenuSysJoinTool;
    QAction* MenuSysEditTool;
    QAction* MenuSysConverterTool;
    QAction* MenuSysHelp;
    QAction* N4;
    QAction* MenuSysHomePage;
    QAction* MenuSysAbout;
    QAction* N2;
    QAction* MenuSysExit;

    // Spectrum menu
    QMenu* PopupMenuSpectrum; // its items come from the display

    // Menu icons (16 of 16 x 16) and the file-type icons of the list (empty at start)
    QList<QIcon> ImageList1;
    QList<QIcon> ImageList2;

    // Filter of the file-open dialog, as pairs "description|patterns|..."
    QString OpenDialog1Filter;

    // The display timer: 100 ms, stopped until start-up enables it
    QTimer* Timer2;

    // Moves the window when a label or the bare skin is dragged.
    WindowDragger* Dragger;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fitLengthColumn();
    void buildTitleButtons(const CursorSource& cursor);
    void buildToolButtons(const CursorSource& cursor);
    void buildRoundButtons(const CursorSource& cursor);
    void buildSliders(const CursorSource& cursor);
    void buildLabels();
    void buildList();
    void buildMenus();
};

} // namespace skin
