// ctest-label: gui
// The window's keys: each runs its control's handler exactly as a click would, only while that
// control is enabled, also while the file list has the focus; the hints show the keys.
#include "app/KeyboardCommands.h"
#include "skin/MainFormLayout.h"
#include "skin/TQLTButton.h"
#include "skin/TQLTCircleButton.h"

#include <QAction>
#include <QMap>
#include <QTest>
#include <QTreeWidget>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// A window with the real layout; every handler counts its calls by name.
struct Window {
    QWidget widget;
    skin::MainFormLayout layout{&widget, [] { return std::optional<QPoint>(); }};
    QMap<QString, int> calls;
    app::KeyboardCommands* keys = nullptr;

    Window()
    {
        auto count = [this](auto* sender, auto signal, const char* name) {
            QObject::connect(sender, signal, &widget,
                             [this, name] { ++calls[QString::fromLatin1(name)]; });
        };
        using skin::TQLTButton;
        using skin::TQLTCircleButton;
        count(layout.QLTCircleButtonPlay, &TQLTCircleButton::clicked, "play");
        count(layout.QLTCircleButtonRecord, &TQLTCircleButton::clicked, "record");
        count(layout.QLTCircleButtonStop, &TQLTCircleButton::clicked, "stop");
        count(layout.ListViewFiles, &QTreeWidget::itemDoubleClicked, "playSelected");
        count(layout.QLTButtonDelete, &TQLTButton::clicked, "delete");
        count(layout.QLTButtonRename, &TQLTButton::clicked, "rename");
        count(layout.QLTButtonRefurbish, &TQLTButton::clicked, "refresh");
        count(layout.QLTButtonOpen, &TQLTButton::clicked, "open");
        count(layout.MenuSysOpen, &QAction::triggered, "open");
        count(layout.QLTButtonClose, &TQLTButton::clicked, "exit");
        count(layout.MenuSysExit, &QAction::triggered, "exit");
        keys = new app::KeyboardCommands(layout, &layout);
        widget.show();
        widget.activateWindow();
    }

    int total() const
    {
        int n = 0;
        for (int v : calls)
            n += v;
        return n;
    }
};

struct KeyCase {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* handler;
    // The control whose enabled state decides, by layout member.
    std::function<void(skin::MainFormLayout&, bool)> enable;
};

void enableButton(skin::TQLTButton* b, bool on) { b->SetEnabled(on); }
void enableRound(skin::TQLTCircleButton* b, bool on) { b->SetEnabled(on); }

const std::vector<KeyCase>& keyCases()
{
    static const std::vector<KeyCase> cases = {
        {Qt::Key_Space, Qt::NoModifier, "play", [](auto& l, bool on) { enableRound(l.QLTCircleButtonPlay, on); }},
        {Qt::Key_R, Qt::NoModifier, "record", [](auto& l, bool on) { enableRound(l.QLTCircleButtonRecord, on); }},
        {Qt::Key_S, Qt::NoModifier, "stop", [](auto& l, bool on) { enableRound(l.QLTCircleButtonStop, on); }},
        {Qt::Key_Escape, Qt::NoModifier, "stop", [](auto& l, bool on) { enableRound(l.QLTCircleButtonStop, on); }},
        {Qt::Key_Return, Qt::NoModifier, "playSelected", [](auto& l, bool on) { enableRound(l.QLTCircleButtonPlay, on); }},
        {Qt::Key_Enter, Qt::KeypadModifier, "playSelected", [](auto& l, bool on) { enableRound(l.QLTCircleButtonPlay, on); }},
        {Qt::Key_Delete, Qt::NoModifier, "delete", [](auto& l, bool on) { enableButton(l.QLTButtonDelete, on); }},
        {Qt::Key_F2, Qt::NoModifier, "rename", [](auto& l, bool on) { enableButton(l.QLTButtonRename, on); }},
        {Qt::Key_F5, Qt::NoModifier, "refresh", [](auto& l, bool on) { enableButton(l.QLTButtonRefurbish, on); }},
        {Qt::Key_O, Qt::ControlModifier, "open", [](auto& l, bool on) { enableButton(l.QLTButtonOpen, on); }},
        {Qt::Key_Q, Qt::ControlModifier, "exit", [](auto& l, bool on) { l.MenuSysExit->setEnabled(on); }},
    };
    return cases;
}

void addRows(QTreeWidget* list)
{
    for (const char* name : {"Vexa_001.wav", "Vexa_002.mp3"})
        list->addTopLevelItem(new QTreeWidgetItem(QStringList{QString::fromLatin1(name), "0:01"}));
    list->setCurrentItem(list->topLevelItem(1));
}

TEST(KeyboardCommandsTest, EachKeyRunsItsHandlerOnlyWhileItsControlIsEnabled)
{
    for (const KeyCase& c : keyCases()) {
        for (bool enabled : {true, false}) {
            for (bool listFocused : {false, true}) {
                SCOPED_TRACE(QStringLiteral("%1 %2 %3").arg(QString::fromLatin1(c.handler),
                                                            enabled ? "enabled" : "disabled",
                                                            listFocused ? "list focused" : "window focused")
                                 .toStdString());
                Window w;
                ASSERT_TRUE(QTest::qWaitForWindowActive(&w.widget));
                addRows(w.layout.ListViewFiles);
                c.enable(w.layout, enabled);
                if (listFocused)
                    w.layout.ListViewFiles->setFocus();
                QWidget* target = listFocused ? static_cast<QWidget*>(w.layout.ListViewFiles) : &w.widget;
                QTest::keyClick(target, c.key, c.modifiers);
                EXPECT_EQ(w.calls.value(QString::fromLatin1(c.handler)), enabled ? 1 : 0);
                EXPECT_EQ(w.total(), enabled ? 1 : 0) << "another handler ran too";
            }
        }
    }
}

TEST(KeyboardCommandsTest, ReturnPlaysTheCurrentRowOnlyWhileTheListIsUsable)
{
    {
        Window w;
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w.widget));
        QTest::keyClick(&w.widget, Qt::Key_Return); // empty list: nothing to play
        EXPECT_EQ(w.total(), 0);
    }
    {
        Window w;
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w.widget));
        addRows(w.layout.ListViewFiles);
        QTreeWidgetItem* played = nullptr;
        QObject::connect(w.layout.ListViewFiles, &QTreeWidget::itemDoubleClicked,
                         [&played](QTreeWidgetItem* item) { played = item; });
        QTest::keyClick(&w.widget, Qt::Key_Return);
        EXPECT_EQ(played, w.layout.ListViewFiles->topLevelItem(1));
        // While recording the list is disabled: Return does nothing.
        w.layout.ListViewFiles->setEnabled(false);
        QTest::keyClick(&w.widget, Qt::Key_Return);
        EXPECT_EQ(w.calls.value("playSelected"), 1);
    }
}

TEST(KeyboardCommandsTest, HeldKeysDoNotRepeat)
{
    Window w;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.widget));
    // An auto-repeated press of R would toggle record and pause over and over.
    QTest::keyPress(&w.widget, Qt::Key_R);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_R, Qt::NoModifier, QStringLiteral("r"), true);
    QApplication::sendEvent(&w.widget, &repeat);
    QApplication::sendEvent(&w.widget, &repeat);
    QTest::keyRelease(&w.widget, Qt::Key_R);
    EXPECT_EQ(w.calls.value("record"), 1);
}

TEST(KeyboardCommandsTest, HintsShowTheKeyAndKeepItThroughNewHints)
{
    Window w;
    struct HintRow {
        skin::SkinControl* control;
        const char* key;
    } rows[] = {
        {w.layout.QLTCircleButtonPlay, "Space"}, {w.layout.QLTCircleButtonRecord, "R"},
        {w.layout.QLTCircleButtonStop, "S"},     {w.layout.QLTButtonDelete, "Del"},
        {w.layout.QLTButtonRename, "F2"},        {w.layout.QLTButtonRefurbish, "F5"},
        {w.layout.QLTButtonOpen, "Ctrl+O"},      {w.layout.QLTButtonClose, "Ctrl+Q"},
    };
    for (const HintRow& r : rows) {
        SCOPED_TRACE(r.key);
        const QString hint = r.control->Hint();
        ASSERT_FALSE(hint.isEmpty());
        EXPECT_EQ(r.control->toolTip(), hint + " (" + r.key + ")");
        // A new hint (the record button turns into Pause, a language change) keeps the key.
        r.control->SetHint(QStringLiteral("Pause"));
        EXPECT_EQ(r.control->Hint(), QStringLiteral("Pause"));
        EXPECT_EQ(r.control->toolTip(), QStringLiteral("Pause (%1)").arg(QString::fromLatin1(r.key)));
        // A blank hint shows nothing, not a lone key.
        r.control->SetHint(QString());
        EXPECT_TRUE(r.control->toolTip().isEmpty());
    }
    // Controls without a key keep their bare hint.
    EXPECT_EQ(w.layout.QLTButtonSpectrum->toolTip(), w.layout.QLTButtonSpectrum->Hint());
}

TEST(KeyboardCommandsTest, ListsEveryKey)
{
    Window w;
    QStringList keys;
    for (const QKeySequence& k : w.keys->keys())
        keys << k.toString(QKeySequence::PortableText);
    EXPECT_EQ(keys, (QStringList{"Space", "R", "S", "Esc", "Return", "Enter", "Del", "F2", "F5",
                                 "Ctrl+O", "Ctrl+Q"}));
}

} // namespace
