// The record format dialog as the user sees it: layout and entries, the command's hand-over
// and read-back, Cancel and Default, the coupling through the user's own selections, and the
// language texts.
// ctest-label: gui
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "i18n/LanguageApplier.h"
#include "i18n/LanguageFile.h"
#include "i18n/ObjectNameTextsView.h"
#include "recording/TFormatForm.h"
#include "support/record_formats.h"

namespace {

using testsupport::recordFormat;

QStringList items(const QComboBox* box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

// Runs the command on `start`; `user` acts while the dialog is shown, then closes it.
struct Outcome {
    bool accepted;
    recording::RecordFormat format;
};
// A click on a radio button's indicator (its middle may lie beyond its text).
void clickRadio(QRadioButton* radio)
{
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
}

Outcome run(recording::TFormatForm& form, recording::RecordFormat start,
            const std::function<void(recording::TFormatForm&)>& user)
{
    QTimer::singleShot(0, &form, [&form, user] {
        EXPECT_TRUE(form.isVisible());
        user(form);
        if (form.isVisible())
            form.reject(); // a user function that did not close the dialog
    });
    const bool accepted = form.execute(start);
    return {accepted, start};
}

TEST(TFormatForm, LayoutAndEntries)
{
    recording::TFormatForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Record Format"));
    EXPECT_EQ(form.size(), QSize(361, 267));
    EXPECT_EQ(form.minimumSize(), form.maximumSize()) << "fixed border";
    EXPECT_EQ(form.GroupBox1->title(), QStringLiteral("Format"));
    EXPECT_EQ(form.GroupBox2->title(), QStringLiteral("Channels"));
    EXPECT_EQ(form.GroupBox3->title(), QStringLiteral("Sample"));
    EXPECT_EQ(form.GroupBox4->title(), QStringLiteral("MP3"));
    EXPECT_EQ(form.GroupBox5->title(), QStringLiteral("WMA"));
    EXPECT_EQ(form.RadioFormatWAV->text(), QStringLiteral("WAV"));
    EXPECT_EQ(form.RadioFormatMP3->text(), QStringLiteral("MP3"));
    EXPECT_EQ(form.RadioFormatWMA->text(), QStringLiteral("WMA"));
    EXPECT_EQ(form.RadioChannelStereo->text(), QStringLiteral("Stereo"));
    EXPECT_EQ(form.RadioChannelMono->text(), QStringLiteral("Mono"));
    EXPECT_EQ(form.Label1->text(), QStringLiteral("Frequency:"));
    EXPECT_EQ(form.Label2->text(), QStringLiteral("Bitrate:"));
    EXPECT_EQ(form.Label3->text(), QStringLiteral("Bitrate:"));
    EXPECT_EQ(items(form.ComboBoxFrequency),
              QStringList({"48000 Hz", "44100 Hz", "22050 Hz", "11025 Hz", "8000 Hz"}));
    EXPECT_EQ(items(form.ComboBoxBitrateMP3),
              QStringList({"320 kbps", "256 kbps", "192 kbps", "128 kbps", "96 kbps", "64 kbps", "32 kbps"}));
    EXPECT_EQ(items(form.ComboBoxBitrateWMA),
              QStringList({"160 kbps", "128 kbps", "96 kbps", "80 kbps", "64 kbps", "48 kbps"}));
    EXPECT_EQ(form.ButtonDefault->text(), QStringLiteral("Default"));
    EXPECT_EQ(form.ButtonOk->text(), QStringLiteral("OK"));
    EXPECT_EQ(form.ButtonCancel->text(), QStringLiteral("Cancel"));
    // Initial state of the design.
    EXPECT_TRUE(form.RadioFormatMP3->isChecked());
    EXPECT_TRUE(form.RadioChannelStereo->isChecked());
    EXPECT_EQ(form.ComboBoxFrequency->currentIndex(), 1);
    EXPECT_EQ(form.ComboBoxBitrateMP3->currentIndex(), 3);
    EXPECT_EQ(form.ComboBoxBitrateWMA->currentIndex(), 2);
    // Every control lies inside the client area.
    form.show();
    for (QWidget* w : form.findChildren<QWidget*>()) {
        if (!w->isVisible() || w->parentWidget() != &form)
            continue;
        EXPECT_TRUE(form.rect().contains(w->geometry())) << w->objectName().toStdString();
    }
    form.hide();
}

TEST(TFormatForm, ShowsTheHandedInFormat)
{
    struct Case {
        recording::RecordFormat start;
        QRadioButton* recording::TFormatForm::*format;
        bool stereo;
        int rate, mp3, wma; // list indices
    };
    const Case cases[] = {
        {recordFormat(0, 1, 48000, 256, 160), &recording::TFormatForm::RadioFormatWAV, false, 0, 1,
         0},
        {recordFormat(2, 2, 22050, 96, 80), &recording::TFormatForm::RadioFormatWMA, true, 2, 4, 3},
        // stored through the settings: shown as such, no coupling
        {recordFormat(1, 2, 8000, 320, 48), &recording::TFormatForm::RadioFormatMP3, true, 4, 0, 5},
        // values that are not offered select the defaults
        {recordFormat(1, 2, 96000, 160, 32), &recording::TFormatForm::RadioFormatMP3, true, 1, 3,
         2},
    };
    for (const Case& c : cases) {
        recording::TFormatForm form;
        const Outcome out = run(form, c.start, [&](recording::TFormatForm& f) {
            EXPECT_TRUE((f.*c.format)->isChecked());
            EXPECT_EQ(f.RadioChannelStereo->isChecked(), c.stereo);
            EXPECT_EQ(f.RadioChannelMono->isChecked(), !c.stereo);
            EXPECT_EQ(f.ComboBoxFrequency->currentIndex(), c.rate);
            EXPECT_EQ(f.ComboBoxBitrateMP3->currentIndex(), c.mp3);
            EXPECT_EQ(f.ComboBoxBitrateWMA->currentIndex(), c.wma);
            f.ButtonOk->click();
        });
        EXPECT_TRUE(out.accepted);
        if (c.start.sampleRate == 8000) {
            EXPECT_EQ(out.format, c.start) << "OK without changes keeps 8000 Hz at 320 kbit/s";
        }
    }
}

TEST(TFormatForm, OkReadsTheControlsBack)
{
    recording::TFormatForm form;
    const Outcome out =
        run(form, recordFormat(1, 2, 44100, 128, 96), [](recording::TFormatForm& f) {
            clickRadio(f.RadioFormatWMA);
            clickRadio(f.RadioChannelMono);
            QTest::keyClick(f.ComboBoxFrequency, Qt::Key_Home); // 48000 Hz
            QTest::keyClick(f.ComboBoxBitrateWMA, Qt::Key_End); // 48 kbit/s
            f.ButtonOk->click();
        });
    EXPECT_TRUE(out.accepted);
    EXPECT_EQ(out.format, recordFormat(2, 1, 48000, 128, 48));
    EXPECT_FALSE(form.isStereoChecked());
}

TEST(TFormatForm, CancelChangesNothing)
{
    const recording::RecordFormat start = recordFormat(0, 1, 11025, 32, 64);
    const std::vector<std::pair<const char*, std::function<void(recording::TFormatForm&)>>> cases =
        {
            {"changes then Cancel",
             [](recording::TFormatForm& f) {
                 clickRadio(f.RadioFormatMP3);
                 QTest::keyClick(f.ComboBoxFrequency, Qt::Key_Home);
                 f.ButtonCancel->click();
             }},
            {"Default then Cancel",
             [](recording::TFormatForm& f) {
                 f.ButtonDefault->click();
                 EXPECT_TRUE(f.isVisible()) << "Default keeps the dialog open";
                 EXPECT_TRUE(f.RadioFormatMP3->isChecked());
                 EXPECT_TRUE(f.RadioChannelStereo->isChecked());
                 EXPECT_EQ(f.ComboBoxFrequency->currentIndex(), 1);
                 EXPECT_EQ(f.ComboBoxBitrateMP3->currentIndex(), 3);
                 EXPECT_EQ(f.ComboBoxBitrateWMA->currentIndex(), 2);
                 f.ButtonCancel->click();
             }},
            {"Escape", [](recording::TFormatForm& f) { QTest::keyClick(&f, Qt::Key_Escape); }},
        };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        recording::TFormatForm form;
        const Outcome out = run(form, start, c.second);
        EXPECT_FALSE(out.accepted);
        EXPECT_EQ(out.format, start);
    }
}

TEST(TFormatForm, DefaultThenOk)
{
    recording::TFormatForm form;
    const Outcome out = run(form, recordFormat(0, 1, 11025, 32, 64), [](recording::TFormatForm& f) {
        f.ButtonDefault->click();
        f.ButtonOk->click();
    });
    EXPECT_TRUE(out.accepted);
    EXPECT_EQ(out.format, recordFormat(1, 2, 44100, 128, 96));
}

TEST(TFormatForm, CouplingFollowsTheUsersSelections)
{
    recording::TFormatForm form;
    const Outcome out =
        run(form, recordFormat(1, 2, 44100, 128, 96), [](recording::TFormatForm& f) {
            QTest::keyClick(f.ComboBoxFrequency, Qt::Key_End); // the user picks 8000 Hz
            EXPECT_EQ(f.ComboBoxFrequency->currentIndex(), 4);
            EXPECT_EQ(f.ComboBoxBitrateMP3->currentIndex(), 5) << "128 -> 64 kbit/s";
            QTest::keyClick(f.ComboBoxBitrateMP3, Qt::Key_Up); // 96 kbit/s
            QTest::keyClick(f.ComboBoxBitrateMP3, Qt::Key_Up); // 128
            QTest::keyClick(f.ComboBoxBitrateMP3, Qt::Key_Up); // 192
            EXPECT_EQ(f.ComboBoxBitrateMP3->currentIndex(), 2);
            EXPECT_EQ(f.ComboBoxFrequency->currentIndex(), 2) << "8000 -> 22050 Hz";
            // A selection made by the program does not couple.
            f.ComboBoxFrequency->setCurrentIndex(4);
            EXPECT_EQ(f.ComboBoxBitrateMP3->currentIndex(), 2);
            f.ButtonOk->click();
        });
    EXPECT_TRUE(out.accepted);
    EXPECT_EQ(out.format.mp3Bitrate, 192);
}

TEST(TFormatForm, ANoteSaysWhenTheMp3RateWillBeCapped)
{
    recording::TFormatForm form;
    const Outcome out =
        run(form, recordFormat(1, 2, 22050, 320, 96), [](recording::TFormatForm& f) {
            EXPECT_FALSE(f.LabelMp3Capped->isHidden())
                << "320 kbit/s at 22050 Hz is written at 160";
            EXPECT_EQ(f.LabelMp3Capped->text(),
                      QStringLiteral("MP3 at 22050 Hz is written at 160 kbps."));
            QTest::keyClick(f.ComboBoxFrequency, Qt::Key_Up); // 44100 Hz: nothing to say
            EXPECT_TRUE(f.LabelMp3Capped->isHidden());
            QTest::keyClick(f.ComboBoxFrequency, Qt::Key_Down); // 22050 again
            EXPECT_FALSE(f.LabelMp3Capped->isHidden());
            QTest::keyClick(f.ComboBoxBitrateMP3, Qt::Key_Down); // 256: still capped
            EXPECT_FALSE(f.LabelMp3Capped->isHidden());
            QTest::keyClick(f.ComboBoxFrequency, Qt::Key_End); // 8000 Hz pulls the rate to 64
            EXPECT_EQ(f.ComboBoxBitrateMP3->currentIndex(), 5);
            EXPECT_TRUE(f.LabelMp3Capped->isHidden());
            f.ButtonOk->click();
        });
    EXPECT_TRUE(out.accepted);
    EXPECT_EQ(out.format.sampleRate, 8000);
    EXPECT_EQ(out.format.mp3Bitrate, 64);

    // From a language file, with the rates put in.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Test.ini"));
    QFile ini(path);
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[RecordFormatForm]\nMp3Capped=%2 statt gew\xc3\xa4hlt bei %1 Hz\n");
    ini.close();
    form.setCappedText(i18n::LanguageFile(path).readString("RecordFormatForm", "Mp3Capped"));
    run(form, recordFormat(1, 1, 11025, 320, 96), [](recording::TFormatForm& f) {
        EXPECT_FALSE(f.LabelMp3Capped->isHidden());
        EXPECT_EQ(f.LabelMp3Capped->text(), QString::fromUtf8("64 statt gewählt bei 11025 Hz"));
    });
}

// Every text the dialog shows, in a fixed order.
QStringList texts(const recording::TFormatForm& f)
{
    return {f.windowTitle(),          f.GroupBox1->title(),     f.GroupBox2->title(),
            f.GroupBox3->title(),     f.GroupBox4->title(),     f.GroupBox5->title(),
            f.RadioFormatWAV->text(), f.RadioFormatMP3->text(), f.RadioFormatWMA->text(),
            f.RadioChannelStereo->text(), f.RadioChannelMono->text(), f.Label1->text(),
            f.Label2->text(),         f.Label3->text(),         f.ButtonDefault->text(),
            f.ButtonOk->text(),       f.ButtonCancel->text()};
}

// The window-text table writes the dialog's texts by the controls' names, as the main window
// applies a language.
void applyLanguage(recording::TFormatForm& form, const i18n::LanguageFile& language)
{
    i18n::ObjectNameTextsView view(&form);
    i18n::LanguageApplier applier;
    applier.registerWindow(QStringLiteral("TFormatForm"), &view);
    applier.apply(language, false, true);
}

TEST(TFormatForm, LanguageTexts)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Test.ini"));
    QFile ini(path);
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Common]\nOk=Gut\nCancel=Abbrechen\nDefault=Standard\n"
              "[RecordFormatForm]\nCaption=Aufnahmeformat\nFormat=Format!\nChannels=Kanaele\n"
              "Stereo=Zwei\nMono=Eins\nFrequency=Frequenz:\nBitrate=Bitrate:!\n");
    ini.close();
    i18n::LanguageFile language(path);
    ASSERT_TRUE(language.isOpen());

    recording::TFormatForm form;
    applyLanguage(form, language);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Aufnahmeformat"));
    EXPECT_EQ(form.GroupBox1->title(), QStringLiteral("Format!"));
    EXPECT_EQ(form.GroupBox2->title(), QStringLiteral("Kanaele"));
    EXPECT_EQ(form.GroupBox3->title(), QString()) << "a missing key gives an empty text";
    EXPECT_EQ(form.RadioChannelStereo->text(), QStringLiteral("Zwei"));
    EXPECT_EQ(form.RadioChannelMono->text(), QStringLiteral("Eins"));
    EXPECT_EQ(form.Label1->text(), QStringLiteral("Frequenz:"));
    EXPECT_EQ(form.Label2->text(), QStringLiteral("Bitrate:!"));
    EXPECT_EQ(form.Label3->text(), QStringLiteral("Bitrate:!"));
    EXPECT_EQ(form.ButtonOk->text(), QStringLiteral("Gut"));
    EXPECT_EQ(form.ButtonCancel->text(), QStringLiteral("Abbrechen"));
    EXPECT_EQ(form.ButtonDefault->text(), QStringLiteral("Standard"));
    // Not translated.
    EXPECT_EQ(form.GroupBox4->title(), QStringLiteral("MP3"));
    EXPECT_EQ(form.GroupBox5->title(), QStringLiteral("WMA"));
    EXPECT_EQ(form.RadioFormatWAV->text(), QStringLiteral("WAV"));
}

// The shipped English file gives the dialog its built-in texts.
TEST(TFormatForm, EnglishLanguageFile)
{
    const QString path = qEnvironmentVariable("VEXA_SOURCE_DIR", QStringLiteral(".")) + QStringLiteral("/languages/English.ini");
    i18n::LanguageFile language(path);
    if (!language.isOpen())
        GTEST_SKIP() << "no " << path.toStdString();
    const recording::TFormatForm builtIn;
    recording::TFormatForm form;
    applyLanguage(form, language);
    EXPECT_EQ(texts(form), texts(builtIn));
}

} // namespace
