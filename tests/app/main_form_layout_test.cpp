// ctest-label: gui
// The skinned layout of the main window: the window uses
// the layout's system menu (its Languages submenu is filled), the settings reach the layout's
// spectrum menu, and applying a language writes the layout's captions and hints.
#include "app/TMainForm.h"
#include "platform/DesktopShell.h"
#include "support/MemorySettingsStore.h"
#include "support/RecordingMessageSink.h"
#include "skin/MainFormLayout.h"
#include "skin/SkinControl.h"
#include "skin/TQLTButton.h"
#include "skin/TQLTCircleButton.h"
#include "skin/SkinLabel.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(MainFormLayoutTest, LayoutPlugsIntoTheMainWindow)
{
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath("Languages"));
    const QString shipped = qEnvironmentVariable("VEXA_SOURCE_DIR") + "/languages/";
    for (const char* f : {"English.ini", "ChineseGB.ini"})
        QFile::copy(shipped + f, dir.filePath("Languages/") + f);

    testsupport::MemorySettingsStore store;
    store.setValue("Spectrum", "2");
    store.setValue("LanguageFile", "ChineseGB.ini");
    testsupport::RecordingMessageSink sink;
    platform::DesktopShell shell;
    app::TMainForm::Services services{
        store,
        sink,
        shell,
        platform::SystemFacts{platform::OsFamily::Other, 6, 1, 1033},
        app::AppSettings::Environment{dir.filePath("Documents"), 1033},
        dir.path() + "/"};
    app::TMainForm form(services);
    skin::MainFormLayout* layout = &form.layout();
    EXPECT_EQ(form.PopupMenuSystem(), layout->PopupMenuSystem);
    EXPECT_EQ(layout->MenuSysLang->actions().size(), 2);

    form.show();
    EXPECT_EQ(form.size(), QSize(270, 358));
    EXPECT_EQ(layout->MenuSysExit->text(), QString::fromUtf8("退出"));
    EXPECT_EQ(layout->MenuSysLang->title(), QString::fromUtf8("语言"));
    EXPECT_EQ(layout->QLTButtonClose->Hint(), QString::fromUtf8("关闭"));
    EXPECT_EQ(layout->QLTCircleButtonMute->Hint(), QString::fromUtf8("静音")); // own mixer: Mute
    EXPECT_EQ(layout->LabelChannel->text(), QString::fromUtf8("立体声"));
    form.close();
    EXPECT_EQ(store.value("Spectrum"), QStringLiteral("2"));
}

} // namespace
