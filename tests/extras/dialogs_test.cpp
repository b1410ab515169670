// ctest-label: gui
// ctest-link: vexa_recording vexa_mixer
// The About box and the editor question as the user sees them: sizes, the rights line with the
// year of the showing, the address that opens on a click, and the question's three endings;
// and every dialog with a language's texts, which it fits.
#include "extras/EditorQuestionDialog.h"
#include "extras/TAboutForm.h"
#include "i18n/LanguageApplier.h"
#include "i18n/LanguageFile.h"
#include "i18n/ObjectNameTextsView.h"
#include "mixer/TSoundSourceForm.h"
#include "platform/NullMixerBackend.h"
#include "platform/Shell.h"
#include "recording/TFormatForm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

class UrlShell : public platform::Shell {
public:
    bool openFolder(const QString&) override { return false; }
    bool openDocument(const QString&) override { return false; }
    bool openUrl(const QString& url) override
    {
        urls << url;
        return true;
    }
    bool startProgram(const QString&, const QStringList&, const QString&) override { return false; }
    QStringList urls;
};

// Runs `step` on the modal dialog once it is up.
void whenModal(std::function<void(QWidget*)> step)
{
    QTimer::singleShot(0, [step] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        step(box);
    });
}

TEST(RightsLineTest, OnlyTheFirstMarkerTakesTheYear)
{
    struct Case {
        QString text;
        int year;
        QString expected;
    } cases[] = {
        {"(C) [xxx]-[xxx] Quandrel", 2027, "(C) 2027-[xxx] Quandrel"},
        {"Copyright Quandrel", 2027, "Copyright Quandrel"},
        {"[xxx]", 2031, "2031"},
        {"(C) [XXX] and [xxx]", 2027, "(C) [XXX] and 2027"}, // exactly "[xxx]"
        {"[xx] [xxx", 2027, "[xx] [xxx"},
        {"版权所有 (C) [xxx] Quandrel。", 2027, "版权所有 (C) 2027 Quandrel。"},
        {"", 2027, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(extras::TAboutForm::RightsLine(c.text, c.year), c.expected)
            << c.text.toStdString();
}

TEST(AboutFormTest, EachShowingWritesTheYearAndTheAddressOpensOnAClick)
{
    UrlShell shell;
    extras::TAboutForm form(shell, QIcon(), "3.1");
    EXPECT_EQ(form.size(), QSize(299, 198));
    EXPECT_EQ(form.ButtonOk->geometry(), QRect(104, 160, 75, 25));
    EXPECT_EQ(form.Image1->geometry(), QRect(200, 24, 72, 72));
    EXPECT_EQ(form.Label1->text(), QStringLiteral("Vexa  Recorder"));
    EXPECT_EQ(form.Label3->text(), QStringLiteral("3.1"));

    int year = 2027;
    form.setYearSource([&year] { return year; });
    form.setRightsTemplate("(C) [xxx]-[xxx] Quandrel");
    form.setAddress("https://vexa.example.org/");
    form.Label2->setText("Version number:"); // a long version text pushes the number along
    bool clicked = false;
    whenModal([&](QWidget* box) {
        EXPECT_EQ(box, &form);
        EXPECT_EQ(form.Label4->text(), QStringLiteral("(C) 2027-[xxx] Quandrel"));
        EXPECT_GE(form.Label3->x(), form.Label2->x() + form.Label2->width());
        EXPECT_EQ(form.Label5->text(), QStringLiteral("https://vexa.example.org/"));
        QTest::mouseClick(form.Label5, Qt::LeftButton, {}, QPoint(2, 2));
        clicked = true;
        QTest::mouseClick(form.ButtonOk, Qt::LeftButton);
    });
    EXPECT_EQ(form.exec(), QDialog::Accepted);
    EXPECT_TRUE(clicked);
    EXPECT_EQ(shell.urls, QStringList{"https://vexa.example.org/"});

    // The next showing, in another year and language, takes them again.
    year = 2028;
    form.setRightsTemplate("版权所有 (C) [xxx] Quandrel。");
    whenModal([&](QWidget*) { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape); });
    form.exec();
    EXPECT_EQ(form.Label4->text(), QStringLiteral("版权所有 (C) 2028 Quandrel。"));
    // A right click is no click on the address.
    QTest::mouseClick(form.Label5, Qt::RightButton, {}, QPoint(2, 2));
    EXPECT_EQ(shell.urls.size(), 1);
}

TEST(AboutFormTest, ANewLanguageFontKeepsTheWholeNameVisible)
{
    UrlShell shell;
    extras::TAboutForm form(shell, QIcon(), "3.1");
    QFont wide = form.font();
    wide.setPointSize(wide.pointSize() * 2); // as a language's font may do before a showing
    wide.setLetterSpacing(QFont::AbsoluteSpacing, 4);
    form.setFont(wide);
    whenModal([](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); });
    form.exec();
    EXPECT_GE(form.Label1->width(), form.Label1->sizeHint().width());
    EXPECT_GE(form.Label2->width(), form.Label2->sizeHint().width());
    EXPECT_GE(form.Label3->x(), form.Label2->x() + form.Label2->width());
}

TEST(AboutFormTest, TheSystemYearByDefault)
{
    UrlShell shell;
    extras::TAboutForm form(shell, QIcon(), "3.1");
    form.setRightsTemplate("(C) [xxx]");
    whenModal([](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); });
    form.exec();
    EXPECT_EQ(form.Label4->text(), QStringLiteral("(C) %1").arg(QDate::currentDate().year()));
}

TEST(EditorQuestionDialogTest, YesNoAndTheWindowButton)
{
    QWidget owner;
    owner.resize(270, 358);
    owner.show();
    extras::EditorQuestionDialog form(&owner);
    EXPECT_EQ(form.size(), QSize(217, 134));
    EXPECT_EQ(form.ButtonYes->geometry(), QRect(16, 56, 185, 25));
    EXPECT_EQ(form.ButtonNo->geometry(), QRect(16, 96, 185, 25));
    struct Case {
        const char* name;
        std::function<void()> act;
        int result;
    } cases[] = {
        {"Yes", [&] { QTest::mouseClick(form.ButtonYes, Qt::LeftButton); }, 6},
        {"No", [&] { QTest::mouseClick(form.ButtonNo, Qt::LeftButton); }, 7},
        {"window closed", [&] { form.close(); }, 0},
        {"Escape", [&] { QTest::keyClick(&form, Qt::Key_Escape); }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        whenModal([&](QWidget* box) {
            EXPECT_EQ(box, &form);
            c.act();
        });
        EXPECT_EQ(form.exec(), c.result);
    }
}

// English.ini with every text of the dialogs' sections said three times over.
QString writeLongCaptions(const QString& folder)
{
    QFile english(QDir(qEnvironmentVariable("VEXA_SOURCE_DIR")).filePath("languages/English.ini"));
    if (!english.open(QIODevice::ReadOnly))
        return QString();
    const QStringList lengthened{"[Common]", "[RecordFormatForm]", "[SoundSourceForm]",
                                 "[EditorForm]"};
    QStringList lines;
    bool lengthen = false;
    for (const QString& line : QString::fromUtf8(english.readAll()).split('\n')) {
        if (line.startsWith('['))
            lengthen = lengthened.contains(line.trimmed());
        const int equals = line.indexOf('=');
        if (lengthen && equals > 0 && !line.startsWith("Caption=")) {
            const QString text = line.mid(equals + 1).trimmed();
            lines << line.left(equals + 1) + QStringList{text, text, text}.join(' ');
        } else {
            lines << line;
        }
    }
    QFile out(QDir(folder).filePath("Long.ini"));
    if (!out.open(QIODevice::WriteOnly))
        return QString();
    out.write(lines.join('\n').toUtf8());
    return out.fileName();
}

// A control's text is cut when the control is narrower (or, wrapped, lower) than the text needs,
// or reaches out of the dialog.
QString cutTexts(const QDialog& dialog)
{
    QStringList cut;
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
        if (!w->isVisible() ||
            !(qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) ||
              qobject_cast<QGroupBox*>(w)))
            continue;
        const auto* label = qobject_cast<QLabel*>(w);
        const auto* push = qobject_cast<QPushButton*>(w);
        bool fits;
        if (label && label->wordWrap())
            fits = w->height() >= w->heightForWidth(w->width());
        else if (push) // the text within the frame
            fits = w->width() >= push->fontMetrics().horizontalAdvance(push->text()) + 4;
        else
            fits = w->width() >=
                (qobject_cast<QGroupBox*>(w) ? w->minimumSizeHint() : w->sizeHint()).width();
        const QRect inDialog(w->mapTo(&dialog, QPoint(0, 0)), w->size());
        if (!fits || !dialog.rect().contains(inDialog))
            cut << w->objectName();
    }
    return cut.join(' ');
}

TEST(DialogTexts, EveryTextFitsAndTheShippedLanguagesKeepTheNormalSizes)
{
    QTemporaryDir dir;
    const QString languages = QDir(qEnvironmentVariable("VEXA_SOURCE_DIR")).filePath("languages/");
    const QString longCaptions = writeLongCaptions(dir.path());
    ASSERT_FALSE(longCaptions.isEmpty());
    const struct {
        const char* window;
        QSize normal;
        std::function<std::unique_ptr<QDialog>()> make;
    } dialogs[] = {
        {"TFormatForm", {361, 267}, [] { return std::make_unique<recording::TFormatForm>(); }},
        {"TSoundSourceForm",
         {289, 321},
         [] {
             return std::make_unique<mixer::TSoundSourceForm>(
                 [] { return std::make_unique<platform::NullMixerBackend>(); });
         }},
        {"TRunDravenaForm",
         {217, 134},
         [] { return std::make_unique<extras::EditorQuestionDialog>(); }},
    };
    const struct {
        QString file;
        bool shipped;
    } files[] = {
        {languages + "English.ini", true},
        {languages + "ChineseGB.ini", true},
        {languages + "ChineseBig5.ini", true},
        {longCaptions, false},
    };
    for (const auto& d : dialogs) {
        for (const auto& f : files) {
            SCOPED_TRACE(std::string(d.window) + " " + QFileInfo(f.file).fileName().toStdString());
            const i18n::LanguageFile language(f.file);
            ASSERT_TRUE(language.isOpen());
            const std::unique_ptr<QDialog> dialog = d.make();
            // The designed 8-point font (the language's replaces it but for the question's).
            dialog->setFont(QFont(QStringLiteral("Tahoma"), 8));
            i18n::ObjectNameTextsView view(dialog.get());
            i18n::LanguageApplier applier;
            applier.registerWindow(QString::fromLatin1(d.window), &view);
            applier.apply(language, false, true);
            dialog->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
            EXPECT_EQ(cutTexts(*dialog), QString());
            if (f.shipped)
                EXPECT_EQ(dialog->size(), d.normal);
            else
                EXPECT_GT(dialog->width(), d.normal.width());
            dialog->close();
        }
    }
}

} // namespace
