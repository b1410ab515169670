// ctest-label: gui
// The main window's layout: every control with its class, place, size and hint; the labels,
// list, menus, timer and filter; the window commands; binding of the handlers.
#include "skin/MainFormLayout.h"
#include "skin/SkinLabel.h"
#include "skin/SkinSlider.h"
#include "skin/SkinWindowCommands.h"
#include "skin/TPaintBox.h"
#include "skin/TQLTButton.h"
#include "skin/TQLTCircleButton.h"
#include "skin/TQLTSkinForm.h"

#include <QAction>
#include <QActionGroup>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QSet>
#include <functional>
#include <gtest/gtest.h>

using namespace skin;

namespace {

struct ControlRow {
    const char* name;
    const char* className;
    QRect geometry;
    const char* hint; // nullptr: the control has no hint property
};

// The main window, control by control.
const ControlRow Controls[] = {
    {"QLTSkinForm1", "skin::TQLTSkinForm", {0, 0, 270, 358}, nullptr},
    {"QLTButtonIcon", "skin::TQLTButton", {4, 4, 20, 20}, "Menu"},
    {"QLTButtonFileList", "skin::TQLTButton", {200, 4, 20, 20}, "Files List"},
    {"QLTButtonMinimize", "skin::TQLTButton", {222, 4, 20, 20}, "Minimize"},
    {"QLTButtonClose", "skin::TQLTButton", {244, 4, 20, 20}, "Close"},
    {"QLTButtonCloseList", "skin::TQLTButton", {244, 172, 20, 20}, ""},
    {"QLTButtonOpen", "skin::TQLTButton", {8, 30, 20, 20}, "Open"},
    {"QLTButtonRecordFormat", "skin::TQLTButton", {32, 30, 20, 20}, "Record Format"},
    {"QLTButtonSpectrum", "skin::TQLTButton", {56, 30, 28, 20}, "Spectrum"},
    {"QLTButtonOpenFolder", "skin::TQLTButton", {8, 196, 20, 20}, "Open folder"},
    {"QLTButtonBrowseFolder", "skin::TQLTButton", {32, 196, 20, 20}, "Browse Folder"},
    {"QLTButtonRefurbish", "skin::TQLTButton", {56, 196, 20, 20}, "Refurbish"},
    {"QLTButtonDelete", "skin::TQLTButton", {80, 196, 20, 20}, "Delete"},
    {"QLTButtonRename", "skin::TQLTButton", {104, 196, 20, 20}, "Rename"},
    {"QLTButtonJoinTool", "skin::TQLTButton", {192, 196, 20, 20}, "Pelmora"},
    {"QLTButtonEditTool", "skin::TQLTButton", {216, 196, 20, 20}, "Dravena"},
    {"QLTButtonConversionTool", "skin::TQLTButton", {240, 196, 20, 20}, "Kestiva"},
    {"QLTCircleButtonRecord", "skin::TQLTCircleButton", {8, 127, 28, 28}, "Record"},
    {"QLTCircleButtonPlay", "skin::TQLTCircleButton", {40, 127, 28, 28}, "Play"},
    {"QLTCircleButtonStop", "skin::TQLTCircleButton", {73, 131, 21, 21}, "Stop"},
    {"QLTCircleButtonPrevious", "skin::TQLTCircleButton", {106, 130, 21, 21}, "Previous"},
    {"QLTCircleButtonNext", "skin::TQLTCircleButton", {133, 130, 21, 21}, "Next"},
    {"QLTCircleButtonMute", "skin::TQLTCircleButton", {244, 122, 18, 18}, "Mute"},
    {"QLTCircleButtonSource", "skin::TQLTCircleButton", {244, 144, 18, 18}, "Sound Source"},
    {"QLTProgressBar1", "skin::SkinSlider", {3, 107, 264, 11}, ""},
    {"QLTProgressBarSpeak", "skin::SkinSlider", {172, 126, 64, 13}, "Speak Volume"},
    {"QLTProgressBarWaveIn", "skin::SkinSlider", {172, 148, 64, 13}, "Record Volume"},
    {"LabelTitle", "skin::SkinLabel", {32, 6, 87, 16}, nullptr},
    {"LabelFileName", "skin::SkinLabel", {88, 34, 145, 13}, nullptr},
    {"LabelTotalTime", "skin::SkinLabel", {108, 54, 27, 13}, nullptr},
    {"LabelFormat", "skin::SkinLabel", {170, 53, 20, 13}, nullptr},
    {"LabelChannel", "skin::SkinLabel", {220, 53, 29, 13}, nullptr},
    {"LabelBitrate", "skin::SkinLabel", {106, 71, 18, 13}, nullptr},
    {"LabelFrequency", "skin::SkinLabel", {163, 71, 30, 13}, nullptr},
    {"LabelBits", "skin::SkinLabel", {220, 71, 12, 14}, nullptr},
    {"LabelDir", "skin::SkinLabel", {24, 174, 217, 13}, nullptr},
    {"PaintBox1", "skin::TPaintBox", {10, 56, 88, 44}, nullptr},
    {"PaintBox2", "skin::TPaintBox", {104, 90, 154, 10}, nullptr},
    {"ListViewFiles", "skin::FileListWidget", {10, 218, 250, 132}, nullptr},
};

class Window {
public:
    Window() : layout(&widget) {}
    QWidget widget;
    MainFormLayout layout;
};

} // namespace

TEST(MainFormLayout, EveryControlHasItsClassPlaceAndHint)
{
    Window w;
    EXPECT_EQ(w.widget.size(), QSize(270, 358));
    EXPECT_TRUE(w.widget.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(w.widget.windowTitle(), QStringLiteral("Vexa Recorder"));

    QList<QRect> windowless;
    for (const ControlRow& row : Controls) {
        SCOPED_TRACE(row.name);
        auto* control = w.widget.findChild<QWidget*>(QString::fromLatin1(row.name));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->parentWidget(), &w.widget);
        EXPECT_STREQ(control->metaObject()->className(), row.className);
        auto* label = qobject_cast<SkinLabel*>(control);
        if (label && label->AutoSize()) {
            // Sized to its text: place and height as designed, width that of the text.
            EXPECT_EQ(control->pos(), row.geometry.topLeft());
            EXPECT_EQ(control->height(), row.geometry.height());
            EXPECT_EQ(control->width(), label->fontMetrics().horizontalAdvance(label->text()));
        } else {
            EXPECT_EQ(control->geometry(), row.geometry);
        }
        if (row.hint) {
            EXPECT_EQ(control->property("Hint").toString(), QString::fromLatin1(row.hint));
        }
        if (qstrcmp(row.name, "QLTSkinForm1") != 0 && qstrcmp(row.name, "ListViewFiles") != 0)
            windowless << control->geometry();
    }
    // The controls painted over the skin do not overlap one another.
    for (int i = 0; i < windowless.size(); ++i)
        for (int j = i + 1; j < windowless.size(); ++j)
            EXPECT_FALSE(windowless[i].intersects(windowless[j])) << i << " " << j;
    // The skin lies under everything else.
    const QList<QWidget*> widgets = w.widget.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_FALSE(widgets.isEmpty());
    EXPECT_EQ(widgets.first(), w.layout.QLTSkinForm1);
}

TEST(MainFormLayout, ButtonsSlidersAndLabelsCarryTheirLooks)
{
    Window w;
    MainFormLayout& l = w.layout;
    struct PushRow {
        TQLTButton* button;
        QSize bitmap;
        bool tool;
    };
    const PushRow pushes[] = {
        {l.QLTButtonIcon, {18, 18}, false},          {l.QLTButtonFileList, {16, 16}, false},
        {l.QLTButtonMinimize, {16, 16}, false},      {l.QLTButtonClose, {16, 16}, false},
        {l.QLTButtonCloseList, {16, 16}, false},     {l.QLTButtonOpen, {16, 16}, true},
        {l.QLTButtonRecordFormat, {16, 16}, true},   {l.QLTButtonSpectrum, {24, 16}, true},
        {l.QLTButtonOpenFolder, {16, 16}, true},     {l.QLTButtonBrowseFolder, {16, 16}, true},
        {l.QLTButtonRefurbish, {16, 16}, true},      {l.QLTButtonDelete, {16, 16}, true},
        {l.QLTButtonRename, {16, 16}, true},         {l.QLTButtonJoinTool, {16, 16}, true},
        {l.QLTButtonEditTool, {17, 17}, true},       {l.QLTButtonConversionTool, {16, 16}, true},
    };
    for (const PushRow& row : pushes) {
        SCOPED_TRACE(row.button->objectName().toStdString());
        EXPECT_EQ(row.button->ButtonBmp().size(), row.bitmap);
        EXPECT_EQ(row.button->ActiveButtonBmp().size(), row.bitmap);
        EXPECT_EQ(row.button->DisenableButtonBmp().isNull(), !row.tool);
        EXPECT_EQ(row.button->AlwayBorder, row.tool);
        EXPECT_EQ(row.button->BorderColor, row.tool ? QColor(192, 192, 192) : l.QLTButtonIcon->BorderColor);
        if (row.tool) {
            EXPECT_EQ(row.button->ActiveBorderColor, QColor(255, 255, 0));
            EXPECT_EQ(row.button->DisenableBorderColor, QColor(128, 128, 0));
        }
        EXPECT_EQ(row.button->ShowHint(), row.button != l.QLTButtonCloseList);
        EXPECT_TRUE(row.button->Enabled());
    }
    struct RoundRow {
        TQLTCircleButton* button;
        bool down;
    };
    const RoundRow rounds[] = {{l.QLTCircleButtonRecord, true}, {l.QLTCircleButtonPlay, true},
                               {l.QLTCircleButtonStop, false},  {l.QLTCircleButtonPrevious, false},
                               {l.QLTCircleButtonNext, false},  {l.QLTCircleButtonMute, true},
                               {l.QLTCircleButtonSource, false}};
    for (const RoundRow& row : rounds) {
        SCOPED_TRACE(row.button->objectName().toStdString());
        const QSize size = row.button->size();
        for (const QImage& img : {row.button->ButtonBmp(), row.button->ActiveButtonBmp(),
                                  row.button->DisenableButtonBmp(), row.button->MaskBmp()})
            EXPECT_EQ(img.size(), size);
        EXPECT_EQ(row.button->DownButtonBmp().isNull(), !row.down);
        EXPECT_EQ(row.button->DownActiveButtonBmp().isNull(), !row.down);
        EXPECT_TRUE(row.button->bShowHint);
        // The mask's corner is outside the outline, its centre inside.
        const QImage mask = row.button->MaskBmp();
        EXPECT_NE(mask.pixel(size.width() / 2, size.height() / 2), mask.pixel(0, 0));
    }
    struct SliderRow {
        SkinSlider* slider;
        int max;
        QSize slide;
    };
    const SliderRow sliders[] = {{l.QLTProgressBar1, 100, {20, 11}},
                                 {l.QLTProgressBarSpeak, 65535, {12, 13}},
                                 {l.QLTProgressBarWaveIn, 65535, {12, 13}}};
    for (const SliderRow& row : sliders) {
        SCOPED_TRACE(row.slider->objectName().toStdString());
        EXPECT_EQ(row.slider->Max, row.max);
        EXPECT_EQ(row.slider->Min, 0);
        EXPECT_EQ(row.slider->ProgressBarColor(), QColor(77, 188, 0));
        for (const QImage& img : {row.slider->SlideBmp(), row.slider->ActiveSlideBmp(),
                                  row.slider->DisenableSlideBmp()})
            EXPECT_EQ(img.size(), row.slide);
        EXPECT_FALSE(row.slider->Enabled());
    }

    struct LabelRow {
        SkinLabel* label;
        const char* caption;
        QColor colour;
        int pixelSize;
    };
    const QColor title(122, 150, 223), light(227, 227, 227);
    const LabelRow labels[] = {
        {l.LabelTitle, "Vexa  Recorder", title, 13},  {l.LabelFileName, "", Qt::white, 11},
        {l.LabelTotalTime, "00:00", light, 11},       {l.LabelFormat, "wav", light, 11},
        {l.LabelChannel, "stereo", light, 11},        {l.LabelBitrate, "128", light, 11},
        {l.LabelFrequency, "44100", light, 11},       {l.LabelBits, "16", light, 11},
        {l.LabelDir, "LabelDir", title, 11},
    };
    for (const LabelRow& row : labels) {
        SCOPED_TRACE(row.label->objectName().toStdString());
        EXPECT_EQ(row.label->text(), QString::fromLatin1(row.caption));
        EXPECT_EQ(row.label->palette().color(QPalette::WindowText), row.colour);
        EXPECT_EQ(row.label->font().pixelSize(), row.pixelSize);
        EXPECT_FALSE(row.label->autoFillBackground());
        EXPECT_EQ(row.label->textFormat(), Qt::PlainText);
        EXPECT_EQ(row.label->AutoSize(), row.label != l.LabelFileName && row.label != l.LabelDir);
    }
    // An auto-sized label follows its text; a fixed one keeps its size.
    l.LabelFrequency->setText(QStringLiteral("8000"));
    EXPECT_EQ(l.LabelFrequency->width(), l.LabelFrequency->fontMetrics().horizontalAdvance(QStringLiteral("8000")));
    // Also when the text is set by property name, as the language texts do.
    for (const char* property : {"Caption", "text"}) {
        SCOPED_TRACE(property);
        l.LabelChannel->setProperty(property, QStringLiteral("mono and more"));
        EXPECT_EQ(l.LabelChannel->text(), QStringLiteral("mono and more"));
        EXPECT_EQ(l.LabelChannel->width(),
                  l.LabelChannel->fontMetrics().horizontalAdvance(QStringLiteral("mono and more")));
        l.LabelChannel->setProperty(property, QStringLiteral("mono"));
        EXPECT_EQ(l.LabelChannel->width(), l.LabelChannel->fontMetrics().horizontalAdvance(QStringLiteral("mono")));
    }
    l.LabelDir->setText(QStringLiteral("/a/very/long/folder/name/that/does/not/fit/in/the/label/at/all/"));
    EXPECT_EQ(l.LabelDir->size(), QSize(217, 13));
    // Names are shown as they are, never as markup.
    l.LabelFileName->setText(QStringLiteral("<b>x</b>.wav"));
    EXPECT_EQ(l.LabelFileName->textFormat(), Qt::PlainText);
}

TEST(MainFormLayout, ListMenusTimerAndFilter)
{
    Window w;
    MainFormLayout& l = w.layout;
    QTreeWidget* list = l.ListViewFiles;
    EXPECT_EQ(list->columnCount(), 2);
    EXPECT_TRUE(list->isHeaderHidden());
    EXPECT_EQ(list->columnWidth(0), 180);
    EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(list->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(list->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(list->iconSize(), QSize(16, 16));
    EXPECT_EQ(list->palette().color(QPalette::Inactive, QPalette::Highlight),
              list->palette().color(QPalette::Active, QPalette::Highlight));

    struct ItemRow {
        QAction* action;
        const char* name;
        const char* caption;
        int icon; // -1: none
    };
    const ItemRow system[] = {
        {l.MenuSysOpen, "MenuSysOpen", "Open...", 0},
        {l.MenuSysOpenFolder, "MenuSysOpenFolder", "Open folder...", 1},
        {l.N1, "N1", "", -1},
        {l.MenuSysFormat, "MenuSysFormat", "Record format", 2},
        {l.MenuSysSource, "MenuSysSource", "Sound source", 3},
        {l.MenuSysOnTop, "MenuSysOnTop", "Stay on top", -1},
        {l.MenuSysAudioControl, "MenuSysAudioControl", "Audio Control", -1},
        {l.MenuSysMixerPanel, "MenuSysMixerPanel", "Mixer Control", -1},
        {l.N3, "N3", "", -1},
        {l.MenuSysLang->menuAction(), "", "Languages", -1},
        {l.MenuSysTools->menuAction(), "", "Tools", 7},
        {l.MenuSysHelp, "MenuSysHelp", "Help", -1},
        {l.N4, "N4", "", -1},
        {l.MenuSysHomePage, "MenuSysHomePage", "Home page", -1},
        {l.MenuSysAbout, "MenuSysAbout", "About...", -1},
        {l.N2, "N2", "", -1},
        {l.MenuSysExit, "MenuSysExit", "Exit", 12},
    };
    const QList<QAction*> actions = l.PopupMenuSystem->actions();
    ASSERT_EQ(actions.size(), int(std::size(system)));
    for (int i = 0; i < actions.size(); ++i) {
        SCOPED_TRACE(system[i].caption);
        EXPECT_EQ(actions[i], system[i].action);
        if (*system[i].name) {
            EXPECT_EQ(actions[i]->objectName(), QString::fromLatin1(system[i].name));
        }
        EXPECT_EQ(actions[i]->text(), QString::fromLatin1(system[i].caption));
        EXPECT_EQ(actions[i]->isSeparator(), system[i].name[0] == 'N');
        EXPECT_EQ(actions[i]->icon().isNull(), system[i].icon < 0);
    }
    EXPECT_TRUE(l.MenuSysOnTop->isCheckable());
    EXPECT_FALSE(l.MenuSysOnTop->isChecked());
    EXPECT_EQ(l.MenuSysTools->actions(),
              (QList<QAction*>{l.MenuSysJoinTool, l.MenuSysEditTool, l.MenuSysConverterTool}));
    EXPECT_EQ(l.MenuSysJoinTool->text(), QStringLiteral("Pelmora"));
    EXPECT_EQ(l.MenuSysEditTool->text(), QStringLiteral("Dravena"));
    EXPECT_EQ(l.MenuSysConverterTool->text(), QStringLiteral("Kestiva"));
    EXPECT_TRUE(l.MenuSysLang->actions().isEmpty());
    EXPECT_EQ(l.ImageList1.size(), 16);
    EXPECT_TRUE(l.ImageList2.isEmpty());

    EXPECT_EQ(l.Timer2->interval(), 100);
    EXPECT_FALSE(l.Timer2->isActive());
    EXPECT_EQ(l.OpenDialog1Filter, QString::fromLatin1(MainFormLayout::DefaultOpenDialogFilter));
    EXPECT_EQ(w.widget.contextMenuPolicy(), Qt::NoContextMenu);
}

TEST(MainFormLayout, MenusOpenAtTheButtonsLeftEdge21PixelsBelowItsTop)
{
    Window w;
    w.widget.move(200, 150);
    w.widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.widget));
    const QPoint origin = w.widget.mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(w.layout.popupPoint(w.layout.QLTButtonIcon), origin + QPoint(4, 25));
    EXPECT_EQ(w.layout.popupPoint(w.layout.QLTButtonSpectrum), origin + QPoint(56, 51));

    SkinWindowCommands commands(w.layout);
    struct Case {
        const char* name;
        std::function<void()> open;
        QMenu* menu;
        QPoint at;
    };
    const Case cases[] = {
        {"system menu", [&] { commands.openSystemMenu(); }, w.layout.PopupMenuSystem, origin + QPoint(4, 25)},
        {"spectrum menu", [&] { commands.openSpectrumMenu(); }, w.layout.PopupMenuSpectrum, origin + QPoint(56, 51)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.open();
        EXPECT_TRUE(c.menu->isVisible());
        EXPECT_EQ(c.menu->pos(), c.at);
        c.menu->hide();
    }
}

TEST(MainFormLayout, StayOnTopKeepsTheShapePositionAndSize)
{
    Window w;
    SkinWindowCommands commands(w.layout);
    w.widget.resize(270, 168); // the list hidden
    w.widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.widget));
    const QRegion shape = w.widget.mask();
    ASSERT_FALSE(shape.isEmpty());

    // Stay on top on and off: check mark, flag and shape follow, the hidden list stays hidden.
    for (bool on : {true, false, true, true}) {
        SCOPED_TRACE(on);
        commands.setStayOnTop(on);
        EXPECT_EQ(commands.stayOnTop(), on);
        EXPECT_EQ(w.layout.MenuSysOnTop->isChecked(), on);
        EXPECT_EQ(w.widget.mask(), shape);
        EXPECT_EQ(w.widget.size(), QSize(270, 168));
        EXPECT_TRUE(w.widget.isVisible());
        EXPECT_TRUE(w.widget.windowFlags().testFlag(Qt::FramelessWindowHint));
    }
}

TEST(MainFormLayout, TitleFileNameAndFolderLabelsMoveTheWindow)
{
    struct Case {
        const char* label;
        bool moves;
    };
    const Case cases[] = {{"LabelTitle", true}, {"LabelFileName", true}, {"LabelDir", true},
                          {"LabelFormat", false}, {"LabelTotalTime", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Window w;
        w.widget.move(100, 100);
        w.widget.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.widget));
        auto* label = w.widget.findChild<QWidget*>(QString::fromLatin1(c.label));
        ASSERT_NE(label, nullptr);
        const QPoint start = w.widget.pos();
        const QPoint from(3, 3), to(33, 23);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(from), QPointF(label->mapToGlobal(from)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(label, &press);
        QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(label->mapToGlobal(to)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(label, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(to), QPointF(label->mapToGlobal(to)),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(label, &release);
        EXPECT_EQ(w.widget.pos(), c.moves ? start + (to - from) : start);
    }
}

TEST(MainFormLayout, DisabledListKeepsTheDarkRowsAndDimsItsText)
{
    Window w;
    w.widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.widget));
    QTreeWidget* list = w.layout.ListViewFiles;
    for (int i = 0; i < 3; ++i)
        new QTreeWidgetItem(list, {QStringLiteral("Vexa_00%1.wav").arg(i), QStringLiteral("00:0%1").arg(i)});
    const QPalette& p = list->palette();
    EXPECT_EQ(p.color(QPalette::Disabled, QPalette::Base), p.color(QPalette::Active, QPalette::Base));
    EXPECT_EQ(p.color(QPalette::Disabled, QPalette::Window), p.color(QPalette::Active, QPalette::Window));
    EXPECT_LT(p.color(QPalette::Disabled, QPalette::Text).lightness(),
              p.color(QPalette::Active, QPalette::Text).lightness());
    EXPECT_GT(p.color(QPalette::Disabled, QPalette::Text).lightness(),
              p.color(QPalette::Active, QPalette::Base).lightness() + 40) << "still readable";

    // What the user sees while recording: the list disabled, drawn.
    auto darkShare = [list] {
        const QImage image = list->grab().toImage();
        int dark = 0, all = 0;
        for (int y = 0; y < image.height(); y += 2) {
            for (int x = 0; x < image.width(); x += 2, ++all)
                dark += qGray(image.pixel(x, y)) < 64;
        }
        return double(dark) / all;
    };
    const double enabled = darkShare();
    list->setEnabled(false);
    const double disabled = darkShare();
    EXPECT_GT(enabled, 0.8);
    EXPECT_GT(disabled, 0.8) << "the disabled list turned light";
}

TEST(MainFormLayout, LengthColumnTakesTheRestOfTheRow)
{
    Window w;
    w.widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.widget));
    QTreeWidget* list = w.layout.ListViewFiles;
    for (int i = 0; i < 3; ++i)
        new QTreeWidgetItem(list, {QStringLiteral("Vexa_%1.wav").arg(i), QStringLiteral("00:0%1").arg(i)});
    QApplication::processEvents();
    EXPECT_EQ(list->columnWidth(0), 180);
    EXPECT_EQ(list->columnWidth(1), list->viewport()->width() - 180);
    // With enough rows for a scroll bar the column gives way to it.
    for (int i = 3; i < 40; ++i)
        new QTreeWidgetItem(list, {QStringLiteral("Vexa_%1.wav").arg(i), QStringLiteral("00:%1").arg(i)});
    // The scroll bar comes with the view's delayed layout.
    for (int i = 0; i < 100 && list->viewport()->width() == 250; ++i)
        QTest::qWait(10);
    EXPECT_LT(list->viewport()->width(), 250);
    EXPECT_EQ(list->columnWidth(1), list->viewport()->width() - 180);
}
