// ctest-label: gui
// The mixer panel and the sound source dialog over a scripted mixer: start-up with a stored
// device that does not exist and without any device, the dialog's OK, Cancel after browsing and
// OK without a row, the exclusive check, the mute command, the sliders, refresh after an outside
// change, and the desktop panels of both modes.
#include "ScriptedMixerBackend.h"

#include "i18n/LanguageFile.h"
#include "mixer/MixerDevice.h"
#include "mixer/MixerPanel.h"
#include "mixer/MixerPanelView.h"
#include "mixer/SoundPanels.h"
#include "mixer/TSoundSourceForm.h"
#include "platform/NullMixerBackend.h"
#include "platform/Shell.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <functional>

namespace {

class FakeView : public mixer::MixerPanelView {
public:
    void setControlsEnabled(bool e) override { enabled = e; }
    int waveInPos() const override { return waveIn; }
    // As the skinned slider: positions outside 0..65535 and any while dragging are ignored.
    void setWaveInPos(int pos) override
    {
        if (pos >= 0 && pos <= 65535 && !dragging)
            waveIn = pos;
    }
    int speakPos() const override { return speak; }
    void setSpeakPos(int pos) override
    {
        if (pos >= 0 && pos <= 65535 && !dragging)
            speak = pos;
    }
    bool muteDown() const override { return mute; }
    void setMuteDown(bool down) override { mute = down; }

    bool enabled = false;
    bool dragging = false;
    int waveIn = 7;
    int speak = 7;
    bool mute = false;
};

class FakeShell : public platform::Shell {
public:
    bool openFolder(const QString&) override { return false; }
    bool openDocument(const QString&) override { return false; }
    bool openUrl(const QString&) override { return false; }
    bool startProgram(const QString& program, const QStringList& arguments, const QString&) override
    {
        started << program + " " + arguments.join(' ');
        return true;
    }
    QStringList started;
};

// Runs `inDialog` on the dialog once it shows modally, then closes it with the given button.
void whenShown(mixer::TSoundSourceForm& form, std::function<void()> inDialog, bool ok)
{
    QTimer::singleShot(0, &form, [&form, inDialog, ok] {
        if (inDialog)
            inDialog();
        (ok ? form.ButtonOk : form.ButtonCancel)->click();
    });
}

// Selects a row as a click does: selection, then the list's mouse-up handler.
void clickRow(mixer::TSoundSourceForm& form, int row)
{
    form.CheckListBox1->setCurrentRow(row);
    form.CheckListBox1MouseUp();
}

struct Panel : ::testing::Test {
    void make(bool systemPanelMode = false,
              std::function<QString(const QString&)> find = [](const QString& p) { return "/usr/bin/" + p; })
    {
        // The dialog's mixer is a connection of its own to the same devices.
        dialogState = std::make_shared<ScriptedMixerBackend::State>(*state);
        mixer = std::make_unique<mixer::MixerDevice>(scriptedMixers(state));
        form =
            std::make_unique<mixer::TSoundSourceForm>(scriptedMixers(dialogState, &dialogBackends));
        panels = std::make_unique<mixer::SoundPanels>(shell, find);
        panel = std::make_unique<mixer::MixerPanel>(*mixer, view, *form, *panels, systemPanelMode);
        panel->setPanelFailedHandler([this] { ++panelFailures; });
    }

    std::shared_ptr<ScriptedMixerBackend::State> state = std::make_shared<ScriptedMixerBackend::State>();
    std::shared_ptr<ScriptedMixerBackend::State> dialogState;
    int dialogBackends = 0;
    int panelFailures = 0;
    FakeView view;
    FakeShell shell;
    std::unique_ptr<mixer::MixerDevice> mixer;
    std::unique_ptr<mixer::TSoundSourceForm> form;
    std::unique_ptr<mixer::SoundPanels> panels;
    std::unique_ptr<mixer::MixerPanel> panel;
};

} // namespace

TEST_F(Panel, StartUpCorrectsTheStoredDeviceAndShowsTheDevice)
{
    struct Case {
        int stored;
        int devices;
        int expected;
    };
    for (const Case c : {Case{3, 1, 0}, Case{-1, 1, 0}, Case{1, 2, 1}, Case{0, 0, -1}, Case{5, 0, -1}}) {
        state = std::make_shared<ScriptedMixerBackend::State>();
        state->devices = QStringList({"A", "B"}).mid(0, c.devices);
        make();
        int mixerIndex = c.stored;
        panel->startUp(mixerIndex);
        EXPECT_EQ(mixerIndex, c.expected) << c.stored << " " << c.devices;
        EXPECT_EQ(view.enabled, c.devices > 0);
        if (c.devices > 0) {
            EXPECT_EQ(panel->RecordLineIndex(), 1);
            EXPECT_EQ(view.waveIn, 2000);
            EXPECT_EQ(view.speak, 40000);
            EXPECT_FALSE(view.mute);
        } else {
            // Failed reads leave the sliders; a failed mute read shows the button down.
            EXPECT_EQ(panel->RecordLineIndex(), -1);
            EXPECT_EQ(view.waveIn, 7);
            EXPECT_TRUE(view.mute);
        }
        view = FakeView();
    }
}

TEST_F(Panel, OkMakesTheChosenRowTheRecordingLine)
{
    make();
    int mixerIndex = 0;
    panel->startUp(mixerIndex);
    whenShown(*form, [this] {
        EXPECT_EQ(form->ComboBox1->count(), 1);
        ASSERT_EQ(form->CheckListBox1->count(), 3);
        EXPECT_EQ(form->checkedLine(), 1);
        EXPECT_EQ(form->selectedLine(), 1);
        clickRow(*form, 2);
        EXPECT_EQ(form->checkedLine(), 2);
    }, true);
    panel->MenuSysSourceClick(mixerIndex);
    EXPECT_EQ(state->selected, 2);
    EXPECT_EQ(panel->RecordLineIndex(), 2);
    EXPECT_EQ(view.waveIn, 3000);
    EXPECT_EQ(mixerIndex, 0);
    EXPECT_EQ(dialogBackends, 0); // the dialog's own mixer is used only for browsing
}

TEST_F(Panel, CancelAfterBrowsingChangesNothing)
{
    state->devices = {"A", "B"};
    make();
    int mixerIndex = 0;
    panel->startUp(mixerIndex);
    const int opensBefore = state->openCount;
    whenShown(*form, [this] {
        form->ComboBox1->setCurrentIndex(1);
        form->ComboBox1Change();
        EXPECT_EQ(form->CheckListBox1->count(), 3);
        clickRow(*form, 0);
    }, false);
    panel->MenuSysSourceClick(mixerIndex);
    EXPECT_EQ(mixerIndex, 0);
    EXPECT_EQ(state->selected, 1);
    EXPECT_EQ(panel->RecordLineIndex(), 1);
    EXPECT_TRUE(state->calls.filter("select").isEmpty());
    // The browse opened and closed the dialog's own mixer; the window's was not re-opened.
    EXPECT_EQ(dialogBackends, 1);
    EXPECT_EQ(dialogState->openCount, 1);
    EXPECT_EQ(dialogState->closeCount, 1);
    EXPECT_EQ(dialogState->openDevice, -1);
    EXPECT_EQ(state->openCount, opensBefore);
    EXPECT_EQ(state->openDevice, 0);
}

TEST_F(Panel, OkWithNoRowSelectedKeepsThePreviousLine)
{
    make();
    int mixerIndex = 0;
    panel->startUp(mixerIndex);
    whenShown(*form, [this] { form->CheckListBox1->clearSelection(); }, true);
    panel->MenuSysSourceClick(mixerIndex);
    EXPECT_TRUE(state->calls.filter("select").isEmpty()); // nothing written, -1 least of all
    EXPECT_EQ(state->selected, 1);
    EXPECT_EQ(panel->RecordLineIndex(), 1);
}

TEST_F(Panel, WithoutADeviceTheDialogIsEmptyAndOkChangesNothing)
{
    state->devices.clear();
    make();
    int mixerIndex = 2;
    panel->startUp(mixerIndex);
    ASSERT_EQ(mixerIndex, -1);
    whenShown(*form, [this] {
        EXPECT_EQ(form->ComboBox1->count(), 0);
        EXPECT_EQ(form->CheckListBox1->count(), 0);
        form->ComboBox1Change(); // nothing to browse
    }, true);
    panel->MenuSysSourceClick(mixerIndex);
    EXPECT_EQ(mixerIndex, -1);
    EXPECT_EQ(panel->RecordLineIndex(), -1);
    EXPECT_TRUE(state->calls.isEmpty());
    EXPECT_EQ(dialogBackends, 0);
}

TEST_F(Panel, TheCheckMarkFollowsTheSelectedRowOnly)
{
    make();
    form->setLines({"a", "b", "c"});
    form->markLine(0);
    // A click on another row's check box alone: the mouse-up puts the mark back on the selection.
    form->CheckListBox1->item(2)->setCheckState(Qt::Checked);
    form->CheckListBox1MouseUp();
    EXPECT_EQ(form->checkedLine(), 0);
    EXPECT_EQ(form->CheckListBox1->item(2)->checkState(), Qt::Unchecked);
    clickRow(*form, 1);
    EXPECT_EQ(form->checkedLine(), 1);
    for (int bad : {-1, 3})
        form->markLine(bad); // no such row: nothing marked
    EXPECT_EQ(form->checkedLine(), 1);
}

// Lines that come and go while the dialog is open: the list follows them (the window's mixer
// tells of the change), the choice stays the line the user picked, by its name, and a picked
// line gone by OK is reported and changes nothing. The keyboard moves the check mark too.
TEST_F(Panel, TheChoiceTravelsByTheLinesName)
{
    struct Case {
        const char* what;
        int pick;               // row clicked (-1: the Down key from the checked row)
        int removeBefore;       // line removed after the pick (-1: none)
        bool addLine;           // a line added after the pick
        QString expectSelected; // the name selected at the end
        QString expectGone;     // the text reported gone ("": no report)
        bool refuse = false;    // the device refuses every choice at OK
    };
    const Case cases[] = {
        {"an earlier line goes", 2, 0, false, "speaker.monitor", ""},
        {"a line comes", 2, -1, true, "speaker.monitor", ""},
        {"the picked line goes", 2, 2, false, "line", "Monitor of Speaker"},
        {"the keyboard picks", -1, 0, false, "speaker.monitor", ""},
        // Refused: the line the device keeps is the one shown as chosen, not the picked one.
        {"the device refuses", 2, -1, false, "line", "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        state = std::make_shared<ScriptedMixerBackend::State>();
        make();
        QStringList gone;
        panel->setLineGoneHandler([&gone](const QString& line) { gone << line; });
        mixer->OnChange = [this](mixer::MixerDevice*) { panel->refresh(); };
        int mixerIndex = 0;
        panel->startUp(mixerIndex);
        int rowsSeen = -1, checkedSeen = -1;
        whenShown(
            *form,
            [&] {
                if (c.pick >= 0) {
                    clickRow(*form, c.pick);
                } else {
                    form->CheckListBox1->setFocus();
                    QTest::keyClick(form->CheckListBox1, Qt::Key_Down);
                    EXPECT_EQ(form->checkedLine(), 2);
                }
                if (c.removeBefore >= 0) {
                    state->lines.removeAt(c.removeBefore);
                    state->names.removeAt(c.removeBefore);
                    state->lineVolumes.removeAt(c.removeBefore);
                    if (state->selected > c.removeBefore)
                        --state->selected;
                }
                if (c.addLine) {
                    state->lines.prepend("New line");
                    state->names.prepend("new");
                    state->lineVolumes.prepend(500);
                    ++state->selected;
                }
                emit mixer->backend()->changed(); // as the server's event does
                QCoreApplication::processEvents();
                rowsSeen = form->CheckListBox1->count();
                checkedSeen = form->checkedLine();
                state->failCode = c.refuse ? 5 : 0;
            },
            true);
        panel->MenuSysSourceClick(mixerIndex);
        state->failCode = 0;
        EXPECT_EQ(rowsSeen, state->lines.size()) << "the open list follows the lines";
        EXPECT_EQ(checkedSeen,
                  c.refuse ? c.pick
                           : int(state->names.indexOf(c.expectGone.isEmpty() ? c.expectSelected
                                                                             : QString("-"))));
        EXPECT_EQ(state->names.value(state->selected), c.expectSelected);
        EXPECT_EQ(gone, c.expectGone.isEmpty() ? QStringList() : QStringList{c.expectGone});
        if (c.expectGone.isEmpty()) {
            EXPECT_EQ(panel->RecordLineIndex(), state->selected);
        }
    }
}

TEST_F(Panel, MuteSlidersAndRefresh)
{
    make();
    int mixerIndex = 0;
    panel->startUp(mixerIndex);
    panel->QLTCircleButtonMuteClick();
    EXPECT_TRUE(view.mute);
    EXPECT_EQ(state->mute, 1);
    panel->QLTCircleButtonMuteClick();
    EXPECT_EQ(state->mute, 0);

    view.speak = 1234;
    panel->QLTProgressBarSpeakChange();
    EXPECT_EQ(state->speakerVolume, 1234);
    view.waveIn = 4321;
    panel->QLTProgressBarWaveInChange();
    EXPECT_EQ(state->lineVolumes[1], 4321); // the selected line's volume

    // Someone else changes the device: the refresh follows it, except under a dragged slider.
    state->selected = 0;
    state->speakerVolume = 50000;
    state->mute = 1;
    view.dragging = true;
    panel->refresh();
    EXPECT_EQ(panel->RecordLineIndex(), 0);
    EXPECT_EQ(view.speak, 1234);
    EXPECT_TRUE(view.mute);
    view.dragging = false;
    panel->refresh();
    EXPECT_EQ(view.speak, 50000);
    EXPECT_EQ(view.waveIn, 1000);
}

TEST_F(Panel, DesktopPanelsInBothModes)
{
    make(true);
    int mixerIndex = 0;
    panel->startUp(mixerIndex);
    panel->MenuSysSourceClick(mixerIndex);
    panel->QLTCircleButtonMuteClick();
    panel->MenuSysAudioControlClick();
    panel->MenuSysMixerPanelClick();
    EXPECT_EQ(shell.started, QStringList({"/usr/bin/pavucontrol --tab=4", "/usr/bin/pavucontrol --tab=3",
                                          "/usr/bin/pavucontrol --tab=3", "/usr/bin/pavucontrol --tab=1"}));
    EXPECT_FALSE(view.mute); // the button does not flip in this mode
    EXPECT_TRUE(state->calls.isEmpty());
    EXPECT_EQ(panelFailures, 0);
}

TEST_F(Panel, TheFirstInstalledProgramServesAndNoneGivesOneFailure)
{
    struct Case {
        QStringList installed;
        QString started;
    };
    const QList<Case> cases{
        {{"pavucontrol", "pavucontrol-qt"}, "/x/pavucontrol --tab=1"},
        {{"gnome-control-center", "pavucontrol-qt"}, "/x/gnome-control-center sound"},
        {{"kcmshell5"}, "/x/kcmshell5 kcm_pulseaudio"},
        {{"pavucontrol-qt"}, "/x/pavucontrol-qt --tab 1"},
        {{}, ""},
    };
    for (const Case& c : cases) {
        shell.started.clear();
        panelFailures = 0;
        make(false, [&c](const QString& p) { return c.installed.contains(p) ? "/x/" + p : QString(); });
        panel->MenuSysMixerPanelClick();
        EXPECT_EQ(shell.started, c.started.isEmpty() ? QStringList() : QStringList{c.started});
        EXPECT_EQ(panelFailures, c.started.isEmpty() ? 1 : 0);
    }
    for (const char* name : {"pavucontrol", "gnome-control-center", "pavucontrol-qt"})
        EXPECT_TRUE(mixer::SoundPanels::noneInstalledText(i18n::LanguageFile()).contains(name));
}
