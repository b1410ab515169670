// ctest-label: gui
// Applying a language: fonts first (main window, About, format, sound source; never the editor
// question), then the texts in table order, only to the windows that exist; a font size or
// character set that is not a whole number falls back; the Qt view by object name.
#include "i18n/LanguageApplier.h"
#include "i18n/LanguageFile.h"
#include "i18n/ObjectNameTextsView.h"
#include "i18n/WindowTextsView.h"
#include "support/language_files.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

using namespace i18n;

// Every call of every view goes into one shared journal, so the order across windows shows.
class JournalView : public WindowTextsView {
public:
    JournalView(QString name, QStringList& journal) : name_(std::move(name)), journal_(journal) {}
    void setLanguageFont(const LanguageFont& f) override
    {
        journal_ << QStringLiteral("%1 font %2 %3 %4").arg(name_, f.family).arg(f.pointSize).arg(f.charSet);
    }
    void setText(const QString& control, TextRole, const QString& text) override
    {
        journal_ << QStringLiteral("%1 %2=%3").arg(name_, control, text);
    }

private:
    QString name_;
    QStringList& journal_;
};

TEST(LanguageApplierTest, FontsFirstThenTextsOnlyForExistingWindows)
{
    QTemporaryDir dir;
    const LanguageFile ini =
        testsupport::languageFile(dir,
                                  "[LanguageProperty]\nFontName=Sans\nFontSize=11\nCharSet=134\n"
                                  "[Menu]\nOpen=Open\n[EditorForm]\nCaption=Ed\n");
    QStringList journal;
    JournalView editor("editor", journal), about("about", journal), main("main", journal);
    LanguageApplier applier;
    // Registered out of order, and without the format and sound source dialogs.
    applier.registerWindow("TRunDravenaForm", &editor);
    applier.registerWindow("TAboutForm", &about);
    applier.registerWindow("TMainForm", &main);
    applier.apply(ini, false, true);

    ASSERT_GE(journal.size(), 3);
    EXPECT_EQ(journal[0], QStringLiteral("main font Sans 11 134"));
    EXPECT_EQ(journal[1], QStringLiteral("about font Sans 11 134"));
    EXPECT_EQ(journal[2], QStringLiteral("main MenuSysOpen=Open"));
    EXPECT_EQ(journal.filter(" font ").size(), 2);      // the editor question keeps its font
    EXPECT_EQ(journal.filter(QRegularExpression("^main ")).size(), 1 + 16 + 24 + 1 + 3 + 1);
    EXPECT_EQ(journal.filter(QRegularExpression("^about ")).size(), 1 + 4);
    EXPECT_EQ(journal.last(), QStringLiteral("editor ButtonNo="));
    EXPECT_TRUE(journal.contains("editor =Ed"));

    journal.clear();
    applier.unregisterWindow("TAboutForm");
    applier.apply(ini, false, true);
    EXPECT_TRUE(journal.filter(QRegularExpression("^about ")).isEmpty());
}

TEST(LanguageApplierTest, FontFallbacks)
{
    const struct {
        QByteArray file;
        LanguageFont expected;
    } rows[] = {
        {"", {"Tahoma", 8, 1}},
        {"[LanguageProperty]\nFontSize=9\nCharSet=136\n", {"Tahoma", 9, 136}},
        {"[LanguageProperty]\nFontSize=9pt\nCharSet=x\n", {"Tahoma", 8, 1}},
        {"[LanguageProperty]\nFontSize=0\nCharSet=0\n", {"Tahoma", 8, 0}},
        {"[LanguageProperty]\nFontName=\" Noto Sans \"\nFontSize=-3\n", {" Noto Sans ", 8, 1}},
    };
    for (const auto& row : rows) {
        QTemporaryDir dir;
        EXPECT_EQ(LanguageFont::read(testsupport::languageFile(dir, row.file)), row.expected)
            << row.file.constData();
    }
    // No file at all: the defaults too.
    EXPECT_EQ(LanguageFont::read(LanguageFile()), (LanguageFont{"Tahoma", 8, 1}));
}

// A control that declares its own Hint and Caption, as skinned controls may.
class SkinnedButton : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Hint MEMBER hint)
    Q_PROPERTY(QString Caption MEMBER caption)
public:
    QString hint, caption;
};

TEST(ObjectNameTextsViewTest, TextsReachQtControlsByObjectName)
{
    QWidget window;
    auto* menu = new QMenu(&window);
    auto* open = menu->addAction("Open...");
    open->setObjectName("MenuSysOpen");
    auto* tools = menu->addMenu("Tools");
    tools->setObjectName("MenuSysTools");
    auto* button = new QPushButton("OK", &window);
    button->setObjectName("ButtonOk");
    auto* label = new QLabel("Mixer", &window);
    label->setObjectName("Label1");
    auto* group = new QGroupBox("Format", &window);
    group->setObjectName("GroupBox1");
    auto* skinned = new SkinnedButton;
    skinned->setParent(&window);
    skinned->setObjectName("QLTButtonOpen");

    ObjectNameTextsView view(&window);
    QStringList values;
    view.onValue([&](const QString& c, const QString& t) { values << c + "=" + t; });
    view.setText("MenuSysOpen", TextRole::Caption, "Open & go");
    view.setText("MenuSysTools", TextRole::Caption, "Tools!");
    view.setText("ButtonOk", TextRole::Caption, "Okay");
    view.setText("ButtonOk", TextRole::Hint, "Press");
    view.setText("Label1", TextRole::Caption, "Mixer:");
    view.setText("GroupBox1", TextRole::Caption, "Kind");
    view.setText("QLTButtonOpen", TextRole::Hint, "Open a file");
    view.setText("QLTButtonOpen", TextRole::Caption, "Skinned");
    view.setText("", TextRole::Caption, "Title");
    view.setText("OpenDialog1", TextRole::Value, "W|*.wav");
    view.setText("NoSuchControl", TextRole::Caption, "ignored");
    view.setLanguageFont({"Serif", 13, 1});

    EXPECT_EQ(open->text(), QStringLiteral("Open && go"));
    EXPECT_EQ(tools->title(), QStringLiteral("Tools!"));
    EXPECT_EQ(button->text(), QStringLiteral("Okay"));
    EXPECT_EQ(button->toolTip(), QStringLiteral("Press"));
    EXPECT_EQ(label->text(), QStringLiteral("Mixer:"));
    EXPECT_EQ(group->title(), QStringLiteral("Kind"));
    EXPECT_EQ(skinned->hint, QStringLiteral("Open a file"));
    EXPECT_TRUE(skinned->toolTip().isEmpty());
    EXPECT_EQ(skinned->caption, QStringLiteral("Skinned"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Title"));
    EXPECT_EQ(view.value("OpenDialog1"), QStringLiteral("W|*.wav"));
    EXPECT_EQ(values, QStringList{"OpenDialog1=W|*.wav"});
    EXPECT_EQ(window.font().pointSize(), 13);
    EXPECT_EQ(label->font().pointSize(), 13); // children take the window's font
}

} // namespace

#include "language_applier_test.moc"
