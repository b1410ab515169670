// ctest-label: gui
// ctest-link: vexa_library vexa_recording
// The mixer in the main window as the program assembles it, over a scripted mixer and engine:
// the stored mixer corrected at start-up and written back at shutdown, the controls without a
// mixer, the line and level a recording starts with, the dialog's texts from the language, and
// the desktop panels through the shell.
#include "../library/LibraryFakes.h"
#include "../mixer/ScriptedMixerBackend.h"
#include "../recording/SessionFakes.h"

#include "WindowShown.h"
#include "mixer/MixerPanel.h"
#include "mixer/TSoundSourceForm.h"
#include "skin/MainFormLayout.h"
#include "skin/SkinSlider.h"
#include "skin/TQLTCircleButton.h"
#include "support/WindowFixture.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

class MixerPartTest : public testsupport::WindowFixture {
protected:
    void SetUp() override
    {
        copyLanguages({"English.ini"});
        useRecordingsFolder();
        store_.setValue("LanguageFile", "English.ini");
        store_.setValue("Format", "0");
    }

    std::unique_ptr<app::TMainForm> makeForm(mixer::MixerDevice::BackendFactory mixers)
    {
        return WindowFixture::makeForm(engine_, std::move(mixers),
                                       [this](platform::MixerBackend* m) { handed_ = m; });
    }

    fakes::EventLog log_;
    fakes::FakeCaptureAudio engine_{log_};
    platform::MixerBackend* handed_ = nullptr;
};

} // namespace

TEST_F(MixerPartTest, AStoredMixerThatDoesNotExistIsWrittenBackAsZero)
{
    store_.setValue("Mixer", "3");
    auto state = std::make_shared<ScriptedMixerBackend::State>();
    auto form = makeForm(scriptedMixers(state));
    skin::MainFormLayout& l = form->layout();
    // The sound server is not asked before the window has been painted.
    EXPECT_EQ(state->openDevice, -1);
    EXPECT_EQ(handed_, nullptr);
    ASSERT_TRUE(apptest::showAndWaitForFirstPaint(*form));
    EXPECT_TRUE(l.QLTProgressBarWaveIn->Enabled());
    EXPECT_TRUE(l.QLTProgressBarSpeak->Enabled());
    EXPECT_TRUE(l.QLTCircleButtonMute->Enabled());
    EXPECT_EQ(l.QLTProgressBarWaveIn->Pos(), 2000);
    EXPECT_EQ(l.QLTProgressBarSpeak->Pos(), 40000);
    EXPECT_EQ(parts_->recording.recordLineIndex(), 1); // what the recording is given
    EXPECT_NE(handed_, nullptr);
    EXPECT_EQ(state->openDevice, 0);

    // A recording switches the chosen line on at the recording slider's level.
    l.QLTProgressBarWaveIn->SetPos(16384);
    emit l.QLTCircleButtonRecord->clicked();
    EXPECT_TRUE(log_.events().contains("audio.recordSetInput 1 20000 0.250")) << log_.events().join('\n').toStdString();
    emit l.QLTCircleButtonStop->clicked();

    form->close();
    form.reset();
    EXPECT_EQ(store_.value("Mixer"), QStringLiteral("0"));
    EXPECT_EQ(state->openDevice, -1); // closed before the settings were saved
    parts_.reset();
    EXPECT_EQ(handed_, nullptr);
}

TEST_F(MixerPartTest, WithoutAMixerTheControlsAreDisabledAndMinusOneIsSaved)
{
    store_.setValue("Mixer", "2");
    auto form = makeForm(app::MainFormParts::nullMixers());
    skin::MainFormLayout& l = form->layout();
    ASSERT_TRUE(apptest::showAndWaitForFirstPaint(*form));
    EXPECT_FALSE(l.QLTProgressBarWaveIn->Enabled());
    EXPECT_FALSE(l.QLTProgressBarSpeak->Enabled());
    EXPECT_FALSE(l.QLTCircleButtonMute->Enabled());
    EXPECT_EQ(parts_->recording.recordLineIndex(), -1); // what the recording is given
    EXPECT_TRUE(sink_.messages().isEmpty());
    form->close();
    form.reset();
    EXPECT_EQ(store_.value("Mixer"), QStringLiteral("-1"));
}

TEST_F(MixerPartTest, TheDialogTakesItsTextsFromTheLanguage)
{
    auto form = makeForm(app::MainFormParts::nullMixers());
    form->show();
    mixer::TSoundSourceForm* dialog = parts_->mixer.SoundSourceForm();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->size(), QSize(289, 321));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Sound Source"));
    EXPECT_EQ(dialog->Label1->text(), QStringLiteral("Mixer"));
    EXPECT_EQ(dialog->Label2->text(), QStringLiteral("Wave In"));
    EXPECT_EQ(dialog->ButtonOk->text(), QStringLiteral("OK"));
    EXPECT_EQ(dialog->ButtonCancel->text(), QStringLiteral("Cancel"));
    form->close();
}

TEST_F(MixerPartTest, DesktopPanelsOrOneMessage)
{
    auto form = makeForm(app::MainFormParts::nullMixers());
    form->show(); // the language is applied at the first activation
    // Whatever this machine has installed: either a program was started, or one box said so.
    emit form->layout().MenuSysMixerPanel->triggered();
    EXPECT_EQ(shell_.calls.size() + sink_.messages().size(), 1);
    if (!sink_.messages().isEmpty()) {
        EXPECT_TRUE(sink_.messages().first().text.contains("pavucontrol"));
        EXPECT_EQ(sink_.messages().first().caption, QStringLiteral("Vexa Recorder"));
    }
    form->close();
}
