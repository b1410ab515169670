#include "skin/MainFormLayout.h"

#include "skin/CursorPoll.h"

#include "skin/ArtPack.h"

#include "skin/RightAlignedColumnDelegate.h"
#include "skin/SkinLabel.h"
#include "skin/SkinSlider.h"
#include "skin/TPaintBox.h"
#include "skin/TQLTButton.h"
#include "skin/TQLTCircleButton.h"
#include "skin/TQLTSkinForm.h"
#include "skin/WindowDragger.h"

#include <QAction>
#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QResource>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <initializer_list>

// The art is compiled into this static library; its resources must be registered by hand.
static void initSkinResources()
{
    Q_INIT_RESOURCE(skinart);
}

namespace skin {

namespace {

// Colour values as the toolkit stores them: red in the low byte, blue in the high byte.
QColor fromColorValue(int value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

const QColor clYellow(255, 255, 0);
const QColor clSilver(192, 192, 192);
const QColor clOlive(128, 128, 0);
const QColor clWhite(255, 255, 255);
const QColor cl3DLight(227, 227, 227);
const QColor clMenuHighlight(51, 153, 255);
const int TitleColorValue = 14653050;

// "MS Sans Serif" where it exists, else a sans serif of about its width.
QFont windowFont(int pixelSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Nimbus Sans"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                      QStringLiteral("DejaVu Sans")});
    font.setPixelSize(pixelSize);
    return font;
}

// One push button of a table: where its pointer goes, object name, place, hint and the base
// name of its pictures.
struct ButtonRow {
    TQLTButton** control;
    const char* name;
    QRect geometry;
    const char* hint;
    const char* art;
};

// What a group of push buttons shares: border colours (normal, hovered, disabled), whether the
// border always shows, and whether the group has a disabled picture (the title buttons do not).
struct ButtonLook {
    QColor border;
    QColor activeBorder;
    QColor disabledBorder;
    bool alwaysBorder;
    bool disabledPicture;
};

void buildButtons(QWidget* window, const CursorSource& cursor, const ButtonLook& look,
                  std::initializer_list<ButtonRow> rows)
{
    for (const ButtonRow& row : rows) {
        auto* b = new TQLTButton(window, cursor);
        b->setObjectName(QString::fromLatin1(row.name));
        b->setGeometry(row.geometry);
        const QString base = QString::fromLatin1(row.art);
        b->SetButtonBmp(MainFormLayout::art(base + QStringLiteral("_n")));
        b->SetActiveButtonBmp(MainFormLayout::art(base + QStringLiteral("_a")));
        if (look.disabledPicture)
            b->SetDisenableButtonBmp(MainFormLayout::art(base + QStringLiteral("_d")));
        b->BorderColor = look.border;
        b->ActiveBorderColor = look.activeBorder;
        b->DisenableBorderColor = look.disabledBorder;
        b->AlwayBorder = look.alwaysBorder;
        b->SetHint(QString::fromLatin1(row.hint));
        b->SetShowHint(true);
        *row.control = b;
    }
}

} // namespace

const char* const MainFormLayout::DefaultOpenDialogFilter =
    "All support files(*.wav;*.mp3;*.wma)|*.wav;*.mp3;*.wma|WAV files(*.wav)|*.wav|"
    "MP3 files(*.mp3)|*.mp3|WMA files(*.wma)|*.wma|Any Files(*.*)|*.*";

namespace {

// The pictures packed by the build (ArtPack.h). Made once, never changed: the resource's bytes
// live as long as the program.
const ArtPack& builtInArt()
{
    static const ArtPack pack = [] {
        initSkinResources();
        const QResource resource(QStringLiteral(":/skin/art.pack"));
        if (resource.compressionAlgorithm() == QResource::NoCompression)
            return ArtPack(QByteArray::fromRawData(reinterpret_cast<const char*>(resource.data()),
                                                   int(resource.size())));
        return ArtPack(resource.uncompressedData());
    }();
    return pack;
}

} // namespace

QImage MainFormLayout::art(const QString& name)
{
    return builtInArt().image(name);
}

MainFormLayout::MainFormLayout(QWidget* w, CursorSource cursor)
    : QObject(w), window(w), Dragger(new WindowDragger(this))
{
    initSkinResources();
    setObjectName(QStringLiteral("MainFormLayout"));
    if (!cursor)
        cursor = sharedSystemCursorSource();
    window->setWindowTitle(QStringLiteral("Vexa Recorder"));
    window->setFont(windowFont(11));
    window->setContextMenuPolicy(Qt::NoContextMenu);

    // The skin comes first and lies under everything else.
    QLTSkinForm1 = new TQLTSkinForm(window);
    QLTSkinForm1->setObjectName(QStringLiteral("QLTSkinForm1"));
    QLTSkinForm1->SetTransparentColor(QColor(255, 0, 255));
    QLTSkinForm1->SetSkinBmp(art(QStringLiteral("skin")));

    buildTitleButtons(cursor);
    buildToolButtons(cursor);
    buildRoundButtons(cursor);
    buildSliders(cursor);
    buildLabels();

    SpectrumBox = new TPaintBox(window);
    SpectrumBox->setObjectName(QStringLiteral("PaintBox1"));
    SpectrumBox->setGeometry(10, 56, 88, 44);
    MeterBox = new TPaintBox(window);
    MeterBox->setObjectName(QStringLiteral("PaintBox2"));
    MeterBox->setGeometry(104, 90, 154, 10);

    buildList();
    for (int i = 0; i < 16; ++i)
        ImageList1 << QIcon(QPixmap::fromImage(art(QStringLiteral("menu_%1").arg(i, 2, 10, QLatin1Char('0')))));
    buildMenus();

    OpenDialog1Filter = QString::fromLatin1(DefaultOpenDialogFilter);
    Timer2 = new QTimer(window);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(100);
    // The controls' cursor poll ticks with the display tick: one wake-up for both.
    CursorPoll::of(window)->shareTimer(Timer2);

    // Centred on the desktop.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect desk = screen->availableGeometry();
        window->move(desk.center() - QPoint(ClientWidth / 2, FullHeight / 2));
    }
}

void MainFormLayout::buildTitleButtons(const CursorSource& cursor)
{
    const ButtonLook look{clMenuHighlight, clMenuHighlight, clMenuHighlight, false, false};
    buildButtons(window, cursor, look, {
        {&QLTButtonIcon, "QLTButtonIcon", {4, 4, 20, 20}, "Menu", "icon"},
        {&QLTButtonFileList, "QLTButtonFileList", {200, 4, 20, 20}, "Files List", "filelist"},
        {&QLTButtonMinimize, "QLTButtonMinimize", {222, 4, 20, 20}, "Minimize", "minimize"},
        {&QLTButtonClose, "QLTButtonClose", {244, 4, 20, 20}, "Close", "close"},
        {&QLTButtonCloseList, "QLTButtonCloseList", {244, 172, 20, 20}, "", "closelist"},
    });
    QLTButtonCloseList->SetShowHint(false);
}

void MainFormLayout::buildToolButtons(const CursorSource& cursor)
{
    const ButtonLook look{clSilver, clYellow, clOlive, true, true};
    buildButtons(window, cursor, look, {
        {&QLTButtonOpen, "QLTButtonOpen", {8, 30, 20, 20}, "Open", "open"},
        {&QLTButtonRecordFormat, "QLTButtonRecordFormat", {32, 30, 20, 20}, "Record Format", "format"},
        {&QLTButtonSpectrum, "QLTButtonSpectrum", {56, 30, 28, 20}, "Spectrum", "spectrum"},
        {&QLTButtonOpenFolder, "QLTButtonOpenFolder", {8, 196, 20, 20}, "Open folder", "openfolder"},
        {&QLTButtonBrowseFolder, "QLTButtonBrowseFolder", {32, 196, 20, 20}, "Browse Folder", "browse"},
        {&QLTButtonRefurbish, "QLTButtonRefurbish", {56, 196, 20, 20}, "Refurbish", "refresh"},
        {&QLTButtonDelete, "QLTButtonDelete", {80, 196, 20, 20}, "Delete", "delete"},
        {&QLTButtonRename, "QLTButtonRename", {104, 196, 20, 20}, "Rename", "rename"},
        {&QLTButtonJoinTool, "QLTButtonJoinTool", {192, 196, 20, 20}, "Pelmora", "join"},
        {&QLTButtonEditTool, "QLTButtonEditTool", {216, 196, 20, 20}, "Dravena", "edit"},
        {&QLTButtonConversionTool, "QLTButtonConversionTool", {240, 196, 20, 20}, "Kestiva", "convert"},
    });
}

void MainFormLayout::buildRoundButtons(const CursorSource& cursor)
{
    struct Row {
        TQLTCircleButton** control;
        const char* name;
        QRect geometry;
        const char* hint;
        const char* art;
        bool downLooks;
    };
    const Row rows[] = {
        {&QLTCircleButtonRecord, "QLTCircleButtonRecord", {8, 127, 28, 28}, "Record", "record", true},
        {&QLTCircleButtonPlay, "QLTCircleButtonPlay", {40, 127, 28, 28}, "Play", "play", true},
        {&QLTCircleButtonStop, "QLTCircleButtonStop", {73, 131, 21, 21}, "Stop", "stop", false},
        {&QLTCircleButtonPrevious, "QLTCircleButtonPrevious", {106, 130, 21, 21}, "Previous", "previous", false},
        {&QLTCircleButtonNext, "QLTCircleButtonNext", {133, 130, 21, 21}, "Next", "next", false},
        {&QLTCircleButtonMute, "QLTCircleButtonMute", {244, 122, 18, 18}, "Mute", "mute", true},
        {&QLTCircleButtonSource, "QLTCircleButtonSource", {244, 144, 18, 18}, "Sound Source", "source", false},
    };
    for (const Row& row : rows) {
        auto* b = new TQLTCircleButton(window, cursor);
        b->setObjectName(QString::fromLatin1(row.name));
        b->setGeometry(row.geometry);
        const QString base = QStringLiteral("round_") + QString::fromLatin1(row.art);
        b->SetButtonBmp(art(base + QStringLiteral("_n")));
        b->SetActiveButtonBmp(art(base + QStringLiteral("_a")));
        b->SetDisenableButtonBmp(art(base + QStringLiteral("_d")));
        if (row.downLooks) {
            b->SetDownButtonBmp(art(base + QStringLiteral("_dn")));
            b->SetDownActiveButtonBmp(art(base + QStringLiteral("_da")));
        }
        b->SetMaskBmp(art(QStringLiteral("mask_%1").arg(row.geometry.width())));
        b->bShowHint = true;
        b->SetHint(QString::fromLatin1(row.hint));
        *row.control = b;
    }
}

void MainFormLayout::buildSliders(const CursorSource& cursor)
{
    struct Row {
        SkinSlider** control;
        const char* name;
        QRect geometry;
        int max;
        const char* slide;
        const char* hint;
    };
    const Row rows[] = {
        {&QLTProgressBar1, "QLTProgressBar1", {3, 107, 264, 11}, 100, "slide20", ""},
        {&QLTProgressBarSpeak, "QLTProgressBarSpeak", {172, 126, 64, 13}, 65535, "slide12", "Speak Volume"},
        {&QLTProgressBarWaveIn, "QLTProgressBarWaveIn", {172, 148, 64, 13}, 65535, "slide12", "Record Volume"},
    };
    for (const Row& row : rows) {
        auto* s = new SkinSlider(window, cursor);
        s->setObjectName(QString::fromLatin1(row.name));
        s->setGeometry(row.geometry);
        s->SetProgressBarColor(fromColorValue(SliderColorValue));
        s->Min = 0;
        s->Max = row.max;
        const QString base = QString::fromLatin1(row.slide);
        s->SetSlideBmp(art(base + QStringLiteral("_n")));
        s->SetActiveSlideBmp(art(base + QStringLiteral("_a")));
        s->SetDisenableSlideBmp(art(base + QStringLiteral("_d")));
        s->SetHint(QString::fromLatin1(row.hint));
        s->SetShowHint(true);
        *row.control = s;
    }
}

void MainFormLayout::buildLabels()
{
    struct Row {
        SkinLabel** control;
        const char* name;
        QRect geometry;
        const char* caption;
        QColor colour;
        int pixelSize;
        bool serif;
        bool autoSize;
    };
    const QColor title = fromColorValue(TitleColorValue);
    const Row rows[] = {
        {&LabelTitle, "LabelTitle", {32, 6, 87, 16}, "Vexa  Recorder", title, 13, false, true},
        {&LabelFileName, "LabelFileName", {88, 34, 145, 13}, "", clWhite, 11, false, false},
        {&LabelTotalTime, "LabelTotalTime", {108, 54, 27, 13}, "00:00", cl3DLight, 11, false, true},
        {&LabelFormat, "LabelFormat", {170, 53, 20, 13}, "wav", cl3DLight, 11, false, true},
        {&LabelChannel, "LabelChannel", {220, 53, 29, 13}, "stereo", cl3DLight, 11, false, true},
        {&LabelBitrate, "LabelBitrate", {106, 71, 18, 13}, "128", cl3DLight, 11, false, true},
        {&LabelFrequency, "LabelFrequency", {163, 71, 30, 13}, "44100", cl3DLight, 11, false, true},
        {&LabelBits, "LabelBits", {220, 71, 12, 14}, "16", cl3DLight, 11, true, true},
        {&LabelDir, "LabelDir", {24, 174, 217, 13}, "LabelDir", title, 11, false, false},
    };
    for (const Row& row : rows) {
        auto* label = new SkinLabel(window);
        label->setObjectName(QString::fromLatin1(row.name));
        label->SetAutoSize(false);
        label->setGeometry(row.geometry);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, row.colour);
        label->setPalette(palette);
        QFont font = windowFont(row.pixelSize);
        if (row.serif)
            font.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Nimbus Roman"),
                              QStringLiteral("DejaVu Serif")});
        label->setFont(font);
        label->setText(QString::fromLatin1(row.caption));
        label->SetAutoSize(row.autoSize);
        *row.control = label;
    }
    // LabelFileName shows its own hint (the whole name when it does not fit).
    // Title, file name and folder move the window when dragged.
    Dragger->attach(LabelTitle);
    Dragger->attach(LabelFileName);
    Dragger->attach(LabelDir);
}

void MainFormLayout::buildList()
{
    ListViewFiles = new FileListWidget(window);
    ListViewFiles->setObjectName(QStringLiteral("ListViewFiles"));
    ListViewFiles->setGeometry(10, 218, 250, 132);
    ListViewFiles->setFrameShape(QFrame::NoFrame);
    ListViewFiles->setColumnCount(2);
    ListViewFiles->setHeaderHidden(true);
    // Name 180 pixels; the length takes the rest of the row (less once a scroll bar shows).
    // The header is hidden and so never stretches its last section: the width is set here.
    QHeaderView* header = ListViewFiles->header();
    header->setMinimumSectionSize(16);
    header->setStretchLastSection(false);
    header->resizeSection(0, 180);
    ListViewFiles->viewport()->installEventFilter(this);
    fitLengthColumn();
    ListViewFiles->setItemDelegate(new RightAlignedColumnDelegate(1, ListViewFiles));
    ListViewFiles->setRootIsDecorated(false);
    ListViewFiles->setUniformRowHeights(true);
    ListViewFiles->setSelectionMode(QAbstractItemView::SingleSelection);
    ListViewFiles->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListViewFiles->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListViewFiles->setIconSize(QSize(16, 16));
    ListViewFiles->setFocusPolicy(Qt::StrongFocus);
    ListViewFiles->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Dark rows that match the skin; the selection looks the same with and without focus.
    QPalette palette = ListViewFiles->palette();
    const QColor base(0x15, 0x18, 0x1d), text(0xd4, 0xda, 0xe1), highlight(0x2b, 0x5f, 0x9e);
    // Disabled (while recording) too: the same dark rows with the text dimmed, never the
    // desktop's light disabled colours.
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, base);
        palette.setColor(group, QPalette::AlternateBase, base.lighter(110));
        palette.setColor(group, QPalette::Text, group == QPalette::Disabled ? text.darker(170) : text);
        palette.setColor(group, QPalette::Highlight, highlight);
        palette.setColor(group, QPalette::HighlightedText, Qt::white);
        palette.setColor(group, QPalette::Window, base);
        palette.setColor(group, QPalette::Button, QColor(0x2a, 0x2e, 0x35));
    }
    ListViewFiles->setPalette(palette);
    // No font of its own: the window's (a language's font) reaches the names too.
    // A slim dark scroll bar instead of the desktop's light one.
    ListViewFiles->verticalScrollBar()->setStyleSheet(QStringLiteral(
        "QScrollBar:vertical { background: #15181d; width: 10px; margin: 0; }"
        "QScrollBar::handle:vertical { background: #3a404a; min-height: 20px; border-radius: 3px;"
        " margin: 1px 2px; }"
        "QScrollBar::handle:vertical:hover { background: #4ea1ff; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"));
}

void MainFormLayout::buildMenus()
{
    // Menus in the skin's colours.
    QPalette menuPalette = window->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        menuPalette.setColor(group, QPalette::Window, QColor(0x23, 0x27, 0x2e));
        menuPalette.setColor(group, QPalette::Base, QColor(0x23, 0x27, 0x2e));
        menuPalette.setColor(group, QPalette::Button, QColor(0x2c, 0x31, 0x39));
        menuPalette.setColor(group, QPalette::WindowText, QColor(0xd4, 0xda, 0xe1));
        menuPalette.setColor(group, QPalette::Text, QColor(0xd4, 0xda, 0xe1));
        menuPalette.setColor(group, QPalette::ButtonText, QColor(0xd4, 0xda, 0xe1));
        menuPalette.setColor(group, QPalette::Highlight, QColor(0x2b, 0x5f, 0x9e));
        menuPalette.setColor(group, QPalette::HighlightedText, Qt::white);
    }
    menuPalette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x6b, 0x71, 0x7a));
    menuPalette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x6b, 0x71, 0x7a));
    menuPalette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x6b, 0x71, 0x7a));

    PopupMenuSystem = new QMenu(window);
    PopupMenuSystem->setPalette(menuPalette);
    PopupMenuSystem->setObjectName(QStringLiteral("PopupMenuSystem"));
    auto item = [this](QMenu* menu, const char* name, const char* caption, int icon) {
        return addMenuItem(menu, QString::fromLatin1(name), QString::fromLatin1(caption), icon);
    };
    auto separator = [this](const char* name) {
        QAction* action = PopupMenuSystem->addSeparator();
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    MenuSysOpen = item(PopupMenuSystem, "MenuSysOpen", "Open...", 0);
    MenuSysOpenFolder = item(PopupMenuSystem, "MenuSysOpenFolder", "Open folder...", 1);
    N1 = separator("N1");
    MenuSysFormat = item(PopupMenuSystem, "MenuSysFormat", "Record format", 2);
    MenuSysSource = item(PopupMenuSystem, "MenuSysSource", "Sound source", 3);
    MenuSysOnTop = item(PopupMenuSystem, "MenuSysOnTop", "Stay on top", -1);
    MenuSysOnTop->setCheckable(true); // the item flips its own check mark
    MenuSysAudioControl = item(PopupMenuSystem, "MenuSysAudioControl", "Audio Control", -1);
    MenuSysMixerPanel = item(PopupMenuSystem, "MenuSysMixerPanel", "Mixer Control", -1);
    N3 = separator("N3");
    MenuSysLang = PopupMenuSystem->addMenu(QStringLiteral("Languages"));
    MenuSysLang->setObjectName(QStringLiteral("MenuSysLang"));
    MenuSysTools = PopupMenuSystem->addMenu(ImageList1.at(7), QStringLiteral("Tools"));
    MenuSysTools->setObjectName(QStringLiteral("MenuSysTools"));
    MenuSysJoinTool = item(MenuSysTools, "MenuSysJoinTool", "Pelmora", 15);
    MenuSysEditTool = item(MenuSysTools, "MenuSysEditTool", "Dravena", 13);
    MenuSysConverterTool = item(MenuSysTools, "MenuSysConverterTool", "Kestiva", 14);
    MenuSysHelp = item(PopupMenuSystem, "MenuSysHelp", "Help", -1);
    N4 = separator("N4");
    MenuSysHomePage = item(PopupMenuSystem, "MenuSysHomePage", "Home page", -1);
    MenuSysAbout = item(PopupMenuSystem, "MenuSysAbout", "About...", -1);
    N2 = separator("N2");
    MenuSysExit = item(PopupMenuSystem, "MenuSysExit", "Exit", 12);

    MenuSysLang->setPalette(menuPalette);
    MenuSysTools->setPalette(menuPalette);
    PopupMenuSpectrum = new QMenu(window);
    PopupMenuSpectrum->setPalette(menuPalette);
    PopupMenuSpectrum->setObjectName(QStringLiteral("PopupMenuSpectrum"));
    // Its items are the display's modes: the display adds them (addMenuItem).
}

QAction* MainFormLayout::addMenuItem(QMenu* menu, const QString& name, const QString& caption,
                                     int icon)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    if (icon >= 0 && icon < ImageList1.size())
        action->setIcon(ImageList1.at(icon));
    return action;
}

void MainFormLayout::fitLengthColumn()
{
    ListViewFiles->header()->resizeSection(1, std::max(16, ListViewFiles->viewport()->width() - 180));
}

bool MainFormLayout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ListViewFiles->viewport() && event->type() == QEvent::Resize)
        fitLengthColumn();
    return QObject::eventFilter(watched, event);
}

QPoint MainFormLayout::popupPoint(const QWidget* button) const
{
    return window->mapToGlobal(button->pos() + QPoint(0, 21));
}

void MainFormLayout::popupBelow(QMenu* menu, const QWidget* button) const
{
    menu->popup(popupPoint(button));
}

} // namespace skin
