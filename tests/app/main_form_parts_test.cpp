// ctest-label: gui
// ctest-link: vexa_library vexa_recording
// The main window with its parts, as the program builds it, over a scripted audio engine and
// a private recordings folder: start-up without a recording device, playback of a stream that
// never opens, a recording through activation, a language change and closing, and the spectrum
// choice that is saved at the end.
#include "../library/LibraryFakes.h"
#include "../recording/SessionFakes.h"

#include "WindowShown.h"
#include "app/TMainFormPart.h"
#include "i18n/LanguageFile.h"
#include "skin/MainFormLayout.h"
#include "skin/SkinLabel.h"
#include "skin/TQLTButton.h"
#include "skin/TQLTCircleButton.h"
#include "support/WindowFixture.h"

#include <QAction>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <functional>

namespace {

using testsupport::MemorySettingsStore;

// Counts the window's activations, after the commands had theirs.
class ActivationCounter : public app::TMainFormPart {
public:
    void formActivate(app::MainFormContext&) override { ++activations; }
    int activations = 0;
};

// Presses a skinned button as the user does: only an enabled button clicks.
void click(skin::SkinButton* button)
{
    ASSERT_TRUE(button->Enabled()) << button->objectName().toStdString();
    emit button->clicked();
}

// Runs the event loop until the condition holds or the time is up.
bool waitFor(const std::function<bool()>& condition, int milliseconds = 500)
{
    QDeadlineTimer deadline(milliseconds);
    while (!condition() && !deadline.hasExpired())
        QTest::qWait(10);
    return condition();
}

quint32 le32At(const QByteArray& bytes, int offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

class MainFormPartsTest : public testsupport::WindowFixture {
protected:
    void SetUp() override
    {
        copyLanguages({"English.ini"});
        recordings_ = useRecordingsFolder();
        store_.setValue("LanguageFile", "English.ini");
    }

    // The window as main() builds it, over the given engine, with the activation counter last.
    std::unique_ptr<app::TMainForm> makeForm(audio::AudioApi& engine)
    {
        return WindowFixture::makeForm(engine, app::MainFormParts::nullMixers(), {}, {&counter_});
    }

    QStringList listed()
    {
        QStringList names;
        QTreeWidget* list = layout().ListViewFiles;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            names << list->topLevelItem(i)->text(0);
        return names;
    }

    QString englishButton(const char* key)
    {
        return i18n::LanguageFile(languages_ + "/English.ini").readString("Button", key);
    }

    QString recordings_;
    ActivationCounter counter_;
};

TEST_F(MainFormPartsTest, WithoutARecordingDeviceTheWindowListsAndPlaybackFallsBackToIdle)
{
    ASSERT_TRUE(librarytest::writeFile(recordings_ + "a.wav", librarytest::canonicalWav(2, 44100, 16, 44100 * 4)));
    ASSERT_TRUE(librarytest::writeFile(recordings_ + "b.wav", librarytest::canonicalWav(1, 22050, 16, 22050 * 2)));
    fakes::EventLog log;
    fakes::FakeCaptureAudio engine(log); // opens no stream at all
    engine.failRecordInit = true;
    auto form = makeForm(engine);
    // The device is not asked before the first paint: the window shows first, with the folder
    // listed, and the box comes over it.
    EXPECT_TRUE(sink_.messages().isEmpty());
    EXPECT_TRUE(log.events().isEmpty()) << log.events().join('\n').toStdString();
    form->show();
    EXPECT_EQ(listed(), (QStringList{"a.wav", "b.wav"}));
    EXPECT_TRUE(sink_.messages().isEmpty());
    ASSERT_TRUE(apptest::showAndWaitForFirstPaint(*form));

    EXPECT_FALSE(parts_->recording.audioStarted());
    ASSERT_EQ(sink_.messages().size(), 1);
    const platform::Message m = sink_.messages().first();
    EXPECT_EQ(m.text, QStringLiteral("Can not start default recording device!"));
    EXPECT_TRUE(m.caption.isEmpty());
    EXPECT_EQ(m.icon, platform::MessageIcon::Error);
    EXPECT_FALSE(m.withOwner);
    EXPECT_EQ(listed(), (QStringList{"a.wav", "b.wav"}));
    ASSERT_NE(layout().ListViewFiles->currentItem(), nullptr);
    EXPECT_EQ(layout().ListViewFiles->currentItem()->text(0), QStringLiteral("a.wav"));

    click(layout().QLTCircleButtonPlay);
    EXPECT_EQ(form->transport().state(), Playing);
    EXPECT_TRUE(layout().QLTCircleButtonPlay->Down());
    EXPECT_FALSE(layout().QLTCircleButtonRecord->Enabled());
    // The display tick finds the stream that never opened inactive.
    EXPECT_TRUE(waitFor([&] { return form->transport().state() == Idle; }));
    EXPECT_FALSE(layout().QLTCircleButtonPlay->Down());
    EXPECT_TRUE(layout().QLTCircleButtonRecord->Enabled());
    EXPECT_TRUE(layout().QLTCircleButtonPlay->Enabled()); // the file is still selected
    EXPECT_EQ(sink_.messages().size(), 1); // nothing more reported
    form->close();
}

// The first showing lists a folder without waiting for the decoder: MP3 and WMA durations
// come with the display ticks after it, the WAV's at once.
TEST_F(MainFormPartsTest, FirstShowingListsAtOnceAndStreamDurationsFollowOnTheTick)
{
    ASSERT_TRUE(librarytest::writeFile(recordings_ + "a.mp3", "mp3"));
    ASSERT_TRUE(librarytest::writeFile(recordings_ + "b.wav", librarytest::canonicalWav(2, 44100, 16, 44100 * 4 * 2)));
    ASSERT_TRUE(librarytest::writeFile(recordings_ + "c.wma", "wma"));
    librarytest::FakeEngine engine;
    engine.addFile(recordings_ + "a.mp3", {44100 * 4 * 5ll, 44100, 2, 0, 1000});
    engine.addFile(recordings_ + "c.wma", {44100 * 4 * 7ll, 44100, 2, 0, 1000});
    auto form = makeForm(engine);
    const auto durations = [&] {
        QStringList d;
        QTreeWidget* list = layout().ListViewFiles;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            d << list->topLevelItem(i)->text(1);
        return d;
    };

    form->show();
    EXPECT_EQ(listed(), (QStringList{"a.mp3", "b.wav", "c.wma"}));
    EXPECT_EQ(durations(), (QStringList{"", "00:02", ""}));
    QMetaObject::invokeMethod(layout().Timer2, "timeout");
    EXPECT_EQ(durations(), (QStringList{"00:05", "00:02", "00:07"}));
    form->close();
}

// A click that comes as the window appears, before its first paint has handed over, finds the
// devices started first: the user never meets a window whose audio has not been asked for.
TEST_F(MainFormPartsTest, ACommandBeforeTheFirstPaintHandedOverStartsTheDevicesFirst)
{
    store_.setValue("Format", "0"); // WAV
    fakes::EventLog log;
    fakes::FakeCaptureAudio engine(log);
    auto form = makeForm(engine);
    form->show(); // activated; the paint and what follows it wait for the event loop
    EXPECT_FALSE(form->FirstShowingDone());
    EXPECT_FALSE(log.events().contains("audio.recordInit -1"));
    click(layout().QLTCircleButtonRecord);
    EXPECT_TRUE(form->FirstShowingDone());
    EXPECT_TRUE(parts_->recording.audioStarted());
    EXPECT_EQ(form->transport().state(), Recording);
    const QStringList events = log.events();
    const int init = events.indexOf("audio.recordInit -1");
    ASSERT_GE(init, 0) << events.join('\n').toStdString();
    for (int i = 0; i < init; ++i)
        EXPECT_FALSE(events[i].startsWith("audio.record") && events[i] != "audio.recordInit -1")
            << "before the start: " << events[i].toStdString();
    EXPECT_TRUE(sink_.messages().isEmpty());
    // The first paint comes later and changes nothing.
    QTest::qWait(20);
    EXPECT_EQ(events.filter("audio.recordInit").size(), 1);
    EXPECT_EQ(log.events().filter("audio.recordInit").size(), 1);
    click(layout().QLTCircleButtonStop);
    form->close();
}

TEST_F(MainFormPartsTest, RecordingSurvivesActivationAndIsCompletedWhenTheWindowCloses)
{
    ASSERT_TRUE(librarytest::writeFile(recordings_ + "old.wav", librarytest::canonicalWav(2, 44100, 16, 4000)));
    store_.setValue("Format", "0"); // WAV
    store_.setValue("Channels", "2");
    store_.setValue("Frequency", "44100");
    fakes::EventLog log;
    fakes::FakeCaptureAudio engine(log);
    auto form = makeForm(engine);
    ASSERT_TRUE(apptest::showAndWaitForFirstPaint(*form));
    ASSERT_TRUE(parts_->recording.audioStarted());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    EXPECT_EQ(counter_.activations, 1);
    EXPECT_EQ(listed(), QStringList{"old.wav"});

    click(layout().QLTCircleButtonRecord);
    EXPECT_EQ(form->transport().state(), Recording);
    EXPECT_TRUE(layout().QLTCircleButtonRecord->Down());
    EXPECT_FALSE(layout().ListViewFiles->isEnabled());
    EXPECT_EQ(layout().QLTCircleButtonRecord->Hint(), englishButton("Pause"));
    const QString file = recordings_ + "Vexa_001.wav";
    EXPECT_TRUE(QFile::exists(file));
    ASSERT_EQ(engine.deliver(40, 441), 40);

    // Focus goes to another window of the program and comes back: an activation that leaves
    // the running recording alone.
    QDialog dialog(form.get());
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    dialog.close();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    EXPECT_TRUE(waitFor([&] { return counter_.activations == 2; }, 200));
    EXPECT_EQ(form->transport().state(), Recording);
    EXPECT_TRUE(layout().QLTCircleButtonRecord->Down());
    EXPECT_FALSE(layout().ListViewFiles->isEnabled());
    EXPECT_EQ(layout().QLTCircleButtonRecord->Hint(), englishButton("Pause"));
    ASSERT_EQ(engine.deliver(10, 441), 10); // still capturing

    form->close();
    EXPECT_TRUE(log.events().contains("audio.channelStop 41")); // the capture was ended
    EXPECT_TRUE(sink_.messages().isEmpty());
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    ASSERT_GE(bytes.size(), 44);
    EXPECT_EQ(bytes.left(4), QByteArray("RIFF"));
    EXPECT_EQ(bytes.mid(8, 4), QByteArray("WAVE"));
    EXPECT_EQ(le32At(bytes, 4), quint32(bytes.size() - 8));
    EXPECT_EQ(bytes.mid(36, 4), QByteArray("data"));
    EXPECT_EQ(le32At(bytes, 40), quint32(bytes.size() - 44));
    EXPECT_EQ(qint64(bytes.size() - 44), engine.deliveredBytes()); // every captured byte kept
    EXPECT_EQ(engine.deliveredBytes(), qint64(50) * 441 * 2 * 2);
}

TEST_F(MainFormPartsTest, LanguageChangeWhileRecordingRewritesTheStateHints)
{
    ASSERT_TRUE(librarytest::writeFile(languages_ + "/Zedish.ini",
                                       "[LanguageProperty]\nName=Zedish\n"
                                       "[Button]\nRecord=Zrecord\nPause=Zpause\nContinue=Zcontinue\n"
                                       "Play=Zplay\n"));
    store_.setValue("Format", "0");
    fakes::EventLog log;
    fakes::FakeCaptureAudio engine(log);
    auto form = makeForm(engine);
    ASSERT_TRUE(apptest::showAndWaitForFirstPaint(*form));
    QMenu* languages = layout().MenuSysLang;
    int zedish = -1;
    for (int i = 0; i < languages->actions().size(); ++i)
        if (languages->actions()[i]->text() == QStringLiteral("Zedish"))
            zedish = i;
    ASSERT_GE(zedish, 0);

    const struct {
        const char* name;
        int recordClicks; // from Idle
        TransportState state;
        const char* hint;
        const char* file; // the recording, selected after Stop
    } rows[] = {
        {"recording", 1, Recording, "Zpause", "Vexa_001.wav"},
        {"paused", 2, RecordPaused, "Zcontinue", "Vexa_002.wav"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        form->LanguageMenuClick(zedish == 0 ? 1 : 0); // English again
        ASSERT_EQ(form->Settings().LanguageFile, QStringLiteral("English.ini"));
        for (int i = 0; i < row.recordClicks; ++i) {
            click(layout().QLTCircleButtonRecord);
            if (i == 0) { // a take that captured nothing leaves no file
                ASSERT_EQ(engine.deliver(2, 441), 2);
            }
        }
        ASSERT_EQ(form->transport().state(), row.state);
        EXPECT_NE(layout().QLTCircleButtonRecord->Hint(), QString::fromLatin1(row.hint));

        form->LanguageMenuClick(zedish);
        EXPECT_EQ(store_.value("LanguageFile"), QStringLiteral("Zedish.ini"));
        EXPECT_EQ(form->transport().state(), row.state);
        EXPECT_EQ(layout().QLTCircleButtonRecord->Hint(), QString::fromLatin1(row.hint));
        EXPECT_EQ(layout().QLTCircleButtonPlay->Hint(), QStringLiteral("Zplay"));

        click(layout().QLTCircleButtonStop);
        EXPECT_EQ(form->transport().state(), Idle);
        EXPECT_EQ(layout().QLTCircleButtonRecord->Hint(), QStringLiteral("Zrecord"));
        EXPECT_TRUE(layout().ListViewFiles->isEnabled());
        EXPECT_TRUE(listed().contains(QString::fromLatin1(row.file)));
        ASSERT_NE(layout().ListViewFiles->currentItem(), nullptr);
        EXPECT_EQ(layout().ListViewFiles->currentItem()->text(0), QString::fromLatin1(row.file));
    }
    EXPECT_TRUE(sink_.messages().isEmpty());
    form->close();
}

// The current row is the selection: after a click on b.wav, a key that makes another row
// current makes the panel describe that row, and Delete removes that row's file.
TEST_F(MainFormPartsTest, KeysMoveThePanelAndTheCommandsWithTheCurrentRow)
{
    const struct {
        const char* name;
        int rate; // tells the files apart in the panel
    } files[] = {{"a.wav", 8000}, {"b.wav", 11025}, {"c.wav", 22050}, {"d.wav", 44100}};
    const struct {
        const char* key;
        Qt::Key code;
        int current;
    } moves[] = {
        {"Down", Qt::Key_Down, 2},
        {"Up", Qt::Key_Up, 0},
        {"End", Qt::Key_End, 3},
        {"Home", Qt::Key_Home, 0},
        {"Page Down", Qt::Key_PageDown, 3},
        {"Page Up", Qt::Key_PageUp, 0},
    };
    for (const auto& move : moves) {
        SCOPED_TRACE(move.key);
        QDir(recordings_).removeRecursively();
        QDir().mkpath(recordings_);
        for (const auto& f : files)
            ASSERT_TRUE(librarytest::writeFile(recordings_ + f.name,
                                               librarytest::canonicalWav(1, f.rate, 16, f.rate)));
        fakes::EventLog log;
        fakes::FakeCaptureAudio engine(log);
        auto form = makeForm(engine);
        ASSERT_TRUE(apptest::showAndWaitForFirstPaint(*form));
        QTreeWidget* list = layout().ListViewFiles;
        ASSERT_EQ(listed(), (QStringList{"a.wav", "b.wav", "c.wav", "d.wav"}));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->topLevelItem(1)).center());
        ASSERT_EQ(layout().LabelFileName->text(), QStringLiteral("b.wav"));

        QTest::keyClick(list, move.code);
        const QString name = QString::fromLatin1(files[move.current].name);
        ASSERT_EQ(list->selectedItems().size(), 1);
        EXPECT_EQ(list->selectedItems().first()->text(0), name);
        EXPECT_EQ(layout().LabelFileName->text(), name);
        EXPECT_EQ(layout().LabelFrequency->text(), QString::number(files[move.current].rate));

        sink_.answerNext(true);
        click(layout().QLTButtonDelete);
        QStringList left{"a.wav", "b.wav", "c.wav", "d.wav"};
        left.removeOne(name);
        EXPECT_EQ(QDir(recordings_).entryList(QDir::Files, QDir::Name), left);
        form->close();
    }
}

TEST_F(MainFormPartsTest, SpectrumChoiceIsSavedAtClose)
{
    const struct {
        const char* stored;
        const char* item;
        int mode;
    } rows[] = {
        {"0", "MenuSpec2", 1},
        {"2", "MenuSpec1", 0},
        {"1", "MenuSpec3", 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.item);
        store_ = MemorySettingsStore();
        SetUp();
        store_.setValue("Spectrum", row.stored);
        fakes::EventLog log;
        fakes::FakeCaptureAudio engine(log);
        auto form = makeForm(engine);
        form->show();
        ASSERT_NE(form->Settings().SpectrumMode, row.mode);
        QAction* item = form->menuItem(row.item);
        ASSERT_NE(item, nullptr);
        item->trigger();
        EXPECT_EQ(form->Settings().SpectrumMode, row.mode);
        EXPECT_TRUE(item->isChecked());
        form->close();
        EXPECT_EQ(store_.value("Spectrum"), QString::number(row.mode));
    }
}

} // namespace
