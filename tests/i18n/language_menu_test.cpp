// ctest-label: gui
// The Languages submenu: file order, captions, check marks and component names; a click
// mapping its caption back to a file; same and empty names; no folder; and the QMenu adapter.
#include "i18n/LanguageMenu.h"
#include "i18n/LanguageMenuView.h"
#include "i18n/MenuLanguageView.h"

#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using i18n::LanguageMenu;

struct Item {
    QString caption, objectName;
    bool checked;
};

class FakeMenu : public i18n::LanguageMenuView {
public:
    void addItem(const QString& caption, const QString& objectName, bool checked) override
    {
        items.append({caption, objectName, checked});
    }
    int itemCount() const override { return int(items.size()); }
    QString itemCaption(int i) const override { return items[i].caption; }
    bool isItemChecked(int i) const override { return items[i].checked; }
    void setItemChecked(int i, bool c) override { items[i].checked = c; }

    QStringList captions() const
    {
        QStringList out;
        for (const Item& i : items)
            out << i.caption;
        return out;
    }
    QList<bool> checks() const
    {
        QList<bool> out;
        for (const Item& i : items)
            out << i.checked;
        return out;
    }
    QList<Item> items;
};

void writeLanguage(const QTemporaryDir& dir, const QString& file, const QByteArray& name)
{
    QFile f(dir.filePath(file));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(name.isNull() ? QByteArray("[Menu]\nOpen=x\n") : "[LanguageProperty]\nName=" + name + "\n");
}

TEST(LanguageMenuTest, OrderChecksAndNames)
{
    const struct {
        const char* name;
        QList<QPair<QString, QByteArray>> files;
        QString languageFile;
        QStringList captions;
        QList<bool> checks;
    } rows[] = {
        {"case-insensitive sort and match",
         {{"english.ini", "English"}, {"ChineseGB.ini", "\xE7\xAE\x80\xE4\xBD\x93\xE4\xB8\xAD\xE6\x96\x87"}},
         "English.ini", {QString::fromUtf8("简体中文"), "English"}, {false, true}},
        {"upper-case extension listed", {{"B.INI", "Bee"}, {"a.ini", "Ay"}, {"c.txt", "Sea"}},
         "b.ini", {"Ay", "Bee"}, {false, true}},
        {"missing language file checks nothing", {{"English.ini", "English"}}, "Klingon.ini",
         {"English"}, {false}},
        {"file without Name gives an empty caption", {{"a.ini", QByteArray()}, {"b.ini", "Bee"}},
         "a.ini", {"", "Bee"}, {true, false}},
        {"same names listed twice", {{"a.ini", "Same"}, {"b.ini", "Same"}}, "b.ini",
         {"Same", "Same"}, {false, true}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        for (const auto& f : row.files)
            writeLanguage(dir, f.first, f.second);
        FakeMenu menu;
        LanguageMenu::BuildLanguageMenu(menu, dir.path(), row.languageFile);
        EXPECT_EQ(menu.captions(), row.captions);
        EXPECT_EQ(menu.checks(), row.checks);
        for (int i = 0; i < menu.items.size(); ++i)
            EXPECT_EQ(menu.items[i].objectName, QStringLiteral("MLanguage%1").arg(i));
    }
}

TEST(LanguageMenuTest, NoFolderGivesAnEmptyMenu)
{
    QTemporaryDir dir;
    FakeMenu menu;
    LanguageMenu::BuildLanguageMenu(menu, dir.filePath("Languages"), "English.ini");
    EXPECT_TRUE(menu.items.isEmpty());
    EXPECT_TRUE(LanguageMenu::LanguageMenuClick(menu, 0, dir.filePath("Languages")).isEmpty());
}

TEST(LanguageMenuTest, ClickMapsTheCaptionToAFile)
{
    QTemporaryDir dir;
    writeLanguage(dir, "English.ini", "English");
    writeLanguage(dir, "ChineseGB.ini", "Chinese");
    writeLanguage(dir, "Copy1.ini", "Twin");
    writeLanguage(dir, "Copy2.ini", "Twin");
    writeLanguage(dir, "NoName.ini", QByteArray());
    writeLanguage(dir, "ZEmpty.ini", "");
    FakeMenu menu;
    LanguageMenu::BuildLanguageMenu(menu, dir.path(), "English.ini");
    ASSERT_EQ(menu.captions(), (QStringList{"Chinese", "Twin", "Twin", "English", "", ""}));

    // A click checks every item with exactly the clicked caption and picks the first file.
    EXPECT_EQ(LanguageMenu::LanguageMenuClick(menu, 0, dir.path()), QStringLiteral("ChineseGB.ini"));
    EXPECT_EQ(menu.checks(), (QList<bool>{true, false, false, false, false, false}));
    EXPECT_EQ(LanguageMenu::LanguageMenuClick(menu, 2, dir.path()), QStringLiteral("Copy1.ini"));
    EXPECT_EQ(menu.checks(), (QList<bool>{false, true, true, false, false, false}));
    EXPECT_EQ(LanguageMenu::LanguageMenuClick(menu, 5, dir.path()), QStringLiteral("NoName.ini"));
    EXPECT_EQ(menu.checks(), (QList<bool>{false, false, false, false, true, true}));

    // The folder is read again: a file renamed since the menu was built is still found, and a
    // caption no file carries any more selects nothing.
    ASSERT_TRUE(QFile::rename(dir.filePath("English.ini"), dir.filePath("Anglais.ini")));
    EXPECT_EQ(LanguageMenu::LanguageMenuClick(menu, 3, dir.path()), QStringLiteral("Anglais.ini"));
    writeLanguage(dir, "ChineseGB.ini", "Zhongwen");
    EXPECT_EQ(LanguageMenu::LanguageMenuClick(menu, 0, dir.path()), QString());
    EXPECT_EQ(menu.checks(), (QList<bool>{true, false, false, false, false, false}));
}

TEST(LanguageMenuTest, QMenuAdapterShowsCaptionsLiterallyAndReportsClicks)
{
    QTemporaryDir dir;
    writeLanguage(dir, "a.ini", "Rock & Roll");
    writeLanguage(dir, "b.ini", "Bee");
    QMenu menu;
    i18n::MenuLanguageView view(&menu);
    int clicked = -1;
    view.setClickHandler([&](int index) { clicked = index; });
    LanguageMenu::BuildLanguageMenu(view, dir.path(), "B.ini");
    ASSERT_EQ(menu.actions().size(), 2);
    EXPECT_EQ(menu.actions()[0]->text(), QStringLiteral("Rock && Roll"));
    EXPECT_EQ(view.itemCaption(0), QStringLiteral("Rock & Roll"));
    EXPECT_EQ(menu.actions()[1]->objectName(), QStringLiteral("MLanguage1"));
    EXPECT_TRUE(menu.actions()[1]->isChecked());
    menu.actions()[0]->trigger();
    EXPECT_EQ(clicked, 0);
    EXPECT_EQ(LanguageMenu::LanguageMenuClick(view, clicked, dir.path()), QStringLiteral("a.ini"));
    EXPECT_TRUE(menu.actions()[0]->isChecked());
    EXPECT_FALSE(menu.actions()[1]->isChecked());
}

} // namespace
