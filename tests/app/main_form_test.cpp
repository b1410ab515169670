// ctest-label: gui
// The main window's own sequences with an in-memory settings store and a private program
// folder: creation reads and applies the settings, builds the language menu and classifies the
// system; the first showing applies the language; a language click is stored at once and
// applied; closing saves (never the language) and runs the parts in their places; missing or
// broken language files do no harm.
#include "WindowShown.h"
#include "app/TMainForm.h"
#include "app/TMainFormPart.h"
#include "i18n/LanguageFile.h"
#include "skin/MainFormLayout.h"
#include "support/WindowFixture.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

using testsupport::MemorySettingsStore;

class JournalPart : public app::TMainFormPart {
public:
    explicit JournalPart(QStringList& journal, MemorySettingsStore* store = nullptr)
        : journal_(journal), store_(store) {}
    void formCreate(app::MainFormContext& f) override
    {
        journal_ << QStringLiteral("create language=%1 os=%2").arg(f.Settings().LanguageFile).arg(f.OsKind());
    }
    void formActivate(app::MainFormContext& f) override
    {
        journal_ << QStringLiteral("activate ini=%1").arg(f.LanguageIni()->isOpen());
    }
    void formShown(app::MainFormContext&) override
    {
        journal_ << QStringLiteral("shown language stored=%1").arg(store_ && store_->contains("LanguageFile"));
    }
    void formDestroyBeforeSave(app::MainFormContext& f) override
    {
        journal_ << QStringLiteral("before save saved=%1").arg(store_ && store_->contains("Version"));
        f.Settings().MixerIndex = -1; // e.g. the mixer found none
    }
    void formDestroyAfterSave(app::MainFormContext&) override
    {
        journal_ << QStringLiteral("after save saved=%1").arg(store_ && store_->contains("Version"));
    }

private:
    QStringList& journal_;
    MemorySettingsStore* store_;
};

class MainFormTest : public testsupport::WindowFixture {
protected:
    void SetUp() override { copyLanguages({"English.ini", "ChineseGB.ini", "ChineseBig5.ini"}); }

    QStringList menuCaptions(app::TMainForm& form, const QString& menuName)
    {
        QStringList out;
        for (QAction* a : form.findChild<QMenu*>(menuName)->actions())
            out << a->text();
        return out;
    }
};

TEST_F(MainFormTest, FirstRunCreatesShowsAndSavesTheDefaults)
{
    QStringList journal;
    JournalPart part(journal, &store_);
    auto s = services(3076);
    s.parts = {&part};
    {
        app::TMainForm form(s);
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Vexa Recorder"));
        EXPECT_EQ(form.size(), QSize(270, 358));
        EXPECT_FALSE(form.windowFlags() & Qt::WindowStaysOnTopHint);
        // The default language was chosen from the user's language; it is stored once the
        // window has been painted (the write waits for the disk).
        EXPECT_EQ(form.Settings().LanguageFile, QStringLiteral("ChineseBig5.ini"));
        EXPECT_FALSE(store_.contains("LanguageFile"));
        // Languages menu: sorted file names (Big5, GB, English), the current one checked.
        EXPECT_EQ(menuCaptions(form, "MenuSysLang"),
                  (QStringList{QString::fromUtf8("繁體中文"), QString::fromUtf8("简体中文"), "English"}));
        QList<bool> checks;
        for (QAction* a : form.findChild<QMenu*>("MenuSysLang")->actions())
            checks << a->isChecked();
        EXPECT_EQ(checks, (QList<bool>{true, false, false}));
        EXPECT_EQ(form.OsKind(), 5); // drives its own mixer
        EXPECT_EQ(journal, QStringList{"create language=ChineseBig5.ini os=5"});
        EXPECT_EQ(form.menuItem("MenuSysExit")->text(), QStringLiteral("Exit")); // built-in until shown

        form.show();
        EXPECT_EQ(journal.last(), QStringLiteral("activate ini=1"));
        EXPECT_EQ(form.menuItem("MenuSysExit")->text(), QString::fromUtf8("結束"));
        EXPECT_EQ(form.menuItem("MenuSysLang")->text(), QString::fromUtf8("語言"));
        EXPECT_TRUE(form.OpenDialogFilter().startsWith(QString::fromUtf8("所有支援的檔案")));
        EXPECT_EQ(form.font().pointSize(), 9);
        // The list takes the window's font, as the language's names need it.
        const QFont listFont = form.layout().ListViewFiles->font();
        EXPECT_EQ(listFont.pointSize(), 9);
        EXPECT_EQ(listFont.family(), form.font().family());
        ASSERT_TRUE(apptest::showAndWaitForFirstPaint(form));
        EXPECT_EQ(store_.value("LanguageFile"), QStringLiteral("ChineseBig5.ini"));
        // Once, after the first activation; the language is stored after the parts.
        EXPECT_EQ(journal.mid(1), (QStringList{"activate ini=1", "shown language stored=0"}));

        store_.clearWrites();
        form.close();
        EXPECT_EQ(journal.mid(3), (QStringList{"before save saved=0", "after save saved=1"}));
        QStringList names;
        for (const auto& w : store_.writes())
            names << w.first;
        EXPECT_EQ(names, (QStringList{"Version", "Dir", "OnTop", "Mixer", "Channels", "Frequency",
                                      "Format", "MP3Bitrate", "WMABitrate", "Spectrum", "FileList"}));
    }
    // Destroying the closed window does not save a second time.
    EXPECT_EQ(store_.writes().size(), 11);
    EXPECT_EQ(store_.value("Mixer"), QStringLiteral("-1"));
    EXPECT_EQ(store_.value("FileList"), QStringLiteral("1"));
    EXPECT_EQ(store_.value("OnTop"), QStringLiteral("0"));
    EXPECT_EQ(store_.value("Dir"), QDir::toNativeSeparators(dir_.filePath("Documents")) + QDir::separator());
}

TEST_F(MainFormTest, StoredSettingsShapeTheWindowAndComeBackFromIt)
{
    store_.setValue("OnTop", "1");
    store_.setValue("FileList", "0");
    store_.setValue("LanguageFile", "english.INI"); // matched without regard to case
    store_.setValue("Spectrum", "2");
    app::TMainForm form(services());
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(form.menuItem("MenuSysOnTop")->isChecked());
    EXPECT_EQ(form.size(), QSize(270, 168));
    QList<bool> checks;
    for (QAction* a : form.findChild<QMenu*>("MenuSysLang")->actions())
        checks << a->isChecked();
    EXPECT_EQ(checks, (QList<bool>{false, false, true}));

    // The menu item flips its own check mark, then the handler follows it.
    form.menuItem("MenuSysOnTop")->trigger();
    EXPECT_FALSE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    form.SetFileListShown(true);
    form.close();
    EXPECT_EQ(store_.value("OnTop"), QStringLiteral("0"));
    EXPECT_EQ(store_.value("FileList"), QStringLiteral("1"));
    EXPECT_EQ(store_.value("Spectrum"), QStringLiteral("2"));
    EXPECT_EQ(store_.value("LanguageFile"), QStringLiteral("english.INI"));
}

TEST_F(MainFormTest, LanguageClickIsStoredAtOnceAndApplied)
{
    app::TMainForm form(services());
    form.show();
    EXPECT_EQ(form.menuItem("MenuSysExit")->text(), QStringLiteral("Exit"));
    QMenu* languages = form.findChild<QMenu*>("MenuSysLang");
    ASSERT_EQ(languages->actions().size(), 3);
    store_.clearWrites();
    languages->actions()[1]->trigger(); // 简体中文
    ASSERT_EQ(store_.writes().size(), 1);
    EXPECT_EQ(store_.writes()[0], qMakePair(QStringLiteral("LanguageFile"), QStringLiteral("ChineseGB.ini")));
    EXPECT_EQ(form.menuItem("MenuSysExit")->text(), QString::fromUtf8("退出"));
    EXPECT_TRUE(languages->actions()[1]->isChecked());
    EXPECT_FALSE(languages->actions()[2]->isChecked());
    EXPECT_EQ(form.LanguageIni()->readString("Strings", "str004"),
              QString::fromUtf8("确定要永久删除所选的录音吗？"));
    // A language file that disappeared since start-up: the click changes nothing else.
    QFile::remove(languages_ + "/English.ini");
    store_.clearWrites();
    languages->actions()[2]->trigger();
    EXPECT_TRUE(store_.writes().isEmpty());
    EXPECT_EQ(form.Settings().LanguageFile, QStringLiteral("ChineseGB.ini"));
}

TEST_F(MainFormTest, ActivationComesBackFromAnotherWindowOfTheProgram)
{
    QStringList journal;
    JournalPart part(journal);
    auto s = services();
    s.parts = {&part};
    app::TMainForm form(s);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    EXPECT_EQ(journal.filter("activate").size(), 1);
    QDialog dialog(&form);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    dialog.close();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::qWait(50);
    EXPECT_EQ(journal.filter("activate").size(), 2);
}

TEST_F(MainFormTest, MissingAndBrokenLanguageFilesDoNoHarm)
{
    const struct {
        const char* name;
        std::function<void(const QString& languages)> prepare;
        int items;
    } rows[] = {
        {"no Languages folder", [](const QString& l) { QDir(l).removeRecursively(); }, 0},
        {"the chosen file is missing", [](const QString& l) { QFile::remove(l + "/English.ini"); }, 2},
        {"a 10 MB file with a 100,000-byte line",
         [](const QString& l) {
             QFile f(l + "/English.ini");
             f.open(QIODevice::WriteOnly);
             f.write("[LanguageProperty]\nName=" + QByteArray(100000, 'N') + "\n[Menu]\nExit=" +
                     QByteArray(100000, 'E') + "\n");
             while (f.size() < 10 * 1024 * 1024)
                 f.write("[Pad]\nKey=" + QByteArray(4000, 'p') + "\n");
         },
         3},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        row.prepare(languages_);
        store_ = MemorySettingsStore();
        store_.setValue("LanguageFile", "English.ini");
        app::TMainForm form(services());
        form.show();
        EXPECT_EQ(form.findChild<QMenu*>("MenuSysLang")->actions().size(), row.items);
        const QString exitText = form.menuItem("MenuSysExit")->text();
        EXPECT_TRUE(exitText.isEmpty() || exitText.size() == 2047) << exitText.size();
        EXPECT_EQ(form.font().family(), QStringLiteral("Tahoma")); // the fallback font
        form.close();
        EXPECT_EQ(store_.value("Version"), QStringLiteral("3.3"));
        EXPECT_TRUE(sink_.messages().isEmpty());
    }
}

} // namespace
