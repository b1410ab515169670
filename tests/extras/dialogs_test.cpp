// ctest-label: gui
// The About box and the editor question as the user sees them: sizes, the rights line with the
// year of the showing, the address that opens on a click, and the question's three endings.
#include "extras/EditorQuestionDialog.h"
#include "extras/TAboutForm.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QDate>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <functional>

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

} // namespace
