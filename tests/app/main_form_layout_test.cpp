// ctest-label: gui
// The skinned layout of the main window: the window uses
// the layout's system menu (its Languages submenu is filled), the settings reach the layout's
// spectrum menu, and applying a language writes the layout's captions and hints.
#include "app/TMainForm.h"
#include "skin/MainFormLayout.h"
#include "skin/SkinControl.h"
#include "skin/SkinLabel.h"
#include "skin/TQLTButton.h"
#include "skin/TQLTCircleButton.h"
#include "support/WindowFixture.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <gtest/gtest.h>

namespace {

using MainFormLayoutTest = testsupport::WindowFixture;

TEST_F(MainFormLayoutTest, LayoutPlugsIntoTheMainWindow)
{
    copyLanguages({"English.ini", "ChineseGB.ini"});
    store_.setValue("Spectrum", "2");
    store_.setValue("LanguageFile", "ChineseGB.ini");
    app::TMainForm form(services());
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
    EXPECT_EQ(store_.value("Spectrum"), QStringLiteral("2"));
}

} // namespace
