// ctest-label: gui
// ctest-link: vexa_library vexa_recording
// The About box and the companion tools in the main window as main() builds it: About from the
// system menu in the language applied (and again after a change of language), the editor
// handed the selected recording after Yes, and the tools out of reach while recording.
#include "../library/LibraryFakes.h"
#include "../recording/SessionFakes.h"

#include "extras/EditorQuestionDialog.h"
#include "extras/TAboutForm.h"
#include "skin/MainFormLayout.h"
#include "skin/TQLTButton.h"
#include "skin/TQLTCircleButton.h"
#include "support/WindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <functional>

namespace {

void whenModal(std::function<void(QWidget*)> step)
{
    QTimer::singleShot(0, [step] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        step(box);
    });
}

class ExtrasPartTest : public testsupport::WindowFixture {
protected:
    void SetUp() override
    {
        copyLanguages({"English.ini", "ChineseGB.ini"});
        recordings_ = useRecordingsFolder("My Recordings");
        store_.setValue("Format", "0");
    }

    std::unique_ptr<app::TMainForm> makeForm() { return WindowFixture::makeForm(engine_); }

    int languageIndex(app::TMainForm& form, const QString& name)
    {
        const QList<QAction*> items = form.layout().MenuSysLang->actions();
        for (int i = 0; i < items.size(); ++i)
            if (items[i]->text() == name)
                return i;
        return -1;
    }

    QString recordings_;
    fakes::EventLog log_;
    fakes::FakeCaptureAudio engine_{log_};
};

TEST_F(ExtrasPartTest, AboutFromTheMenuSpeaksTheLanguageAppliedAndShowsTheYear)
{
    store_.setValue("LanguageFile", "ChineseGB.ini");
    auto form = makeForm();
    form->show();
    const QString year = QString::number(QDate::currentDate().year());
    struct Case {
        const char* language;
        QString caption, version, rights;
    } cases[] = {
        {"简体中文", "关于", "版本：", "版权所有 (C) " + year + " Quandrel。保留所有权利。"},
        {"English", "About", "Version:", "Copyright (C) " + year + " Quandrel. All rights reserved."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        const int index = languageIndex(*form, QString::fromUtf8(c.language));
        ASSERT_GE(index, 0);
        form->LanguageMenuClick(index);
        bool shown = false;
        whenModal([&](QWidget* box) {
            auto* about = qobject_cast<extras::TAboutForm*>(box);
            ASSERT_NE(about, nullptr);
            EXPECT_EQ(about->windowTitle(), c.caption);
            EXPECT_EQ(about->Label2->text(), c.version);
            // The build's version number.
            EXPECT_TRUE(QRegularExpression("^[0-9]+\\.[0-9]+").match(about->Label3->text()).hasMatch())
                << about->Label3->text().toStdString();
            EXPECT_EQ(about->Label4->text(), c.rights);
            EXPECT_TRUE(about->Label5->text().startsWith("https://"));
            shown = true;
            about->ButtonOk->click();
        });
        form->menuItem("MenuSysAbout")->trigger();
        EXPECT_TRUE(shown);
    }
    EXPECT_TRUE(shell_.calls.isEmpty());
    ASSERT_TRUE(QDir().mkpath(program_ + "manual"));
    QFile manual(program_ + "manual/index.html");
    ASSERT_TRUE(manual.open(QIODevice::WriteOnly));
    manual.close();
    form->menuItem("MenuSysHomePage")->trigger();
    form->menuItem("MenuSysHelp")->trigger();
    ASSERT_EQ(shell_.calls.size(), 2);
    EXPECT_TRUE(shell_.calls[0].startsWith("url https://"));
    EXPECT_EQ(shell_.calls[1], "document " + program_ + "manual/index.html");
    EXPECT_TRUE(sink_.messages().isEmpty());
    form->close();
}

TEST_F(ExtrasPartTest, TheEditorGetsTheSelectedRecordingAfterYes)
{
    store_.setValue("LanguageFile", "ChineseGB.ini");
    ASSERT_TRUE(librarytest::writeFile(recordings_ + "Vexa 001.wav", librarytest::canonicalWav(2, 44100, 16, 4000)));
    {
        QFile dravena(program_ + "dravena");
        ASSERT_TRUE(dravena.open(QIODevice::WriteOnly));
        dravena.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    auto form = makeForm();
    form->show();
    ASSERT_NE(form->layout().ListViewFiles->currentItem(), nullptr); // activation selects the first file

    bool asked = false;
    whenModal([&](QWidget* box) {
        auto* question = qobject_cast<extras::EditorQuestionDialog*>(box);
        ASSERT_NE(question, nullptr);
        EXPECT_EQ(question->ButtonYes->text(), QStringLiteral("是，用 Dravena 打开此文件"));
        asked = true;
        question->ButtonYes->click();
    });
    emit form->layout().QLTButtonEditTool->clicked();
    EXPECT_TRUE(asked);
    ASSERT_EQ(shell_.calls.size(), 1);
    EXPECT_EQ(shell_.calls[0], "program " + program_ + "dravena [" + recordings_ + "Vexa 001.wav]");

    // The menu item asks the same; closing the question starts the editor alone.
    whenModal([](QWidget* box) { box->close(); });
    form->menuItem("MenuSysEditTool")->trigger();
    ASSERT_EQ(shell_.calls.size(), 2);
    EXPECT_EQ(shell_.calls[1], "program " + program_ + "dravena []");

    // The joiner is not installed: one message names it and the folder.
    emit form->layout().QLTButtonJoinTool->clicked();
    ASSERT_EQ(sink_.messages().size(), 1);
    EXPECT_TRUE(sink_.messages()[0].text.contains("Pelmora"));
    EXPECT_TRUE(sink_.messages()[0].text.contains(QDir::toNativeSeparators(program_)));
    EXPECT_EQ(shell_.calls.size(), 2);
    form->close();
}

TEST_F(ExtrasPartTest, ToolsAreOutOfReachWhileRecording)
{
    auto form = makeForm();
    form->show();
    skin::MainFormLayout& l = form->layout();
    const auto tools = {l.QLTButtonJoinTool, l.QLTButtonEditTool, l.QLTButtonConversionTool};
    for (auto* b : tools)
        EXPECT_TRUE(b->Enabled());
    EXPECT_TRUE(l.MenuSysTools->menuAction()->isEnabled());
    ASSERT_TRUE(l.QLTCircleButtonRecord->Enabled());
    emit l.QLTCircleButtonRecord->clicked();
    ASSERT_EQ(form->transport().state(), Recording);
    for (auto* b : tools)
        EXPECT_FALSE(b->Enabled()) << b->objectName().toStdString();
    EXPECT_FALSE(l.MenuSysTools->menuAction()->isEnabled());
    // About stays available.
    EXPECT_TRUE(form->menuItem("MenuSysAbout")->isEnabled());
    emit l.QLTCircleButtonRecord->clicked(); // paused
    ASSERT_EQ(form->transport().state(), RecordPaused);
    for (auto* b : tools)
        EXPECT_FALSE(b->Enabled()) << b->objectName().toStdString();
    emit l.QLTCircleButtonStop->clicked();
    ASSERT_EQ(form->transport().state(), Idle);
    for (auto* b : tools)
        EXPECT_TRUE(b->Enabled());
    EXPECT_TRUE(shell_.calls.isEmpty());
    form->close();
}

} // namespace
