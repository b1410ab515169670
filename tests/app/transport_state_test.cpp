// ctest-label: unit
// The transport table: for every state and every kind of list selection, which controls are
// enabled, pressed and hinted, whether the slider is reset and the folder shown. The hints are
// checked in two languages, switched between two calls, to prove they are read on every call.
#include "app/TransportPresenter.h"
#include "audio/TransportModel.h"
#include "i18n/LanguageFile.h"

#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>

namespace {

// Keeps the last value set for each control; unset values stay empty so that a control the
// logic forgets to set is caught.
class FakeTransportView : public app::TransportView {
public:
    void setControlEnabled(app::TransportControl c, bool enabled) override
    {
        enabled_[c] = enabled;
    }
    void setButtonDown(app::TransportControl c, bool down) override { down_[c] = down; }
    void setButtonHint(app::TransportControl c, const QString& hint) override { hint_[c] = hint; }
    void setSliderPosition(int position) override { slider_ = position; }
    void setFolderCaption(const QString& folder) override { folder_ = folder; }

    QMap<app::TransportControl, bool> enabled_;
    QMap<app::TransportControl, bool> down_;
    QMap<app::TransportControl, QString> hint_;
    std::optional<int> slider_;
    std::optional<QString> folder_;
};

struct Language {
    const char* name;
    const char* record;
    const char* play;
    const char* pause;
    const char* cont;
};

const Language kEnglish{"English", "Record", "Play", "Pause", "Continue"};
const Language kGerman{"Deutsch", "Aufnehmen", "Abspielen", "Pause (Anhalten)", "Fortsetzen"};

void writeLanguage(const QString& path, const Language& l)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    // Mixed case in section and keys on purpose: the reader matches them without case.
    f.write(QStringLiteral("[Common]\nMessage=%1\n\n[BUTTON]\nrecord=%2\nPlay = \"%3\"\n"
                           "Pause=%4\ncontinue=%5\nOpen=x\n")
                .arg(QLatin1String(l.name), QLatin1String(l.record), QLatin1String(l.play),
                     QLatin1String(l.pause), QLatin1String(l.cont))
                .toUtf8());
}

enum Hint { HRecord, HPlay, HPause, HContinue };

QString hintText(const Language& l, Hint h)
{
    switch (h) {
    case HRecord: return QString::fromUtf8(l.record);
    case HPlay: return QString::fromUtf8(l.play);
    case HPause: return QString::fromUtf8(l.pause);
    case HContinue: return QString::fromUtf8(l.cont);
    }
    return {};
}

struct Row {
    TransportState state;
    app::TransportSelection selection;
    const char* what;
    bool library;    // groups 1 and 2
    bool recordOn, recordDown;
    Hint recordHint;
    bool playOn, playDown;
    Hint playHint;
    bool stopOn, previousOn, nextOn;
    bool sliderOn;   // enabled; when disabled it is also put at 0
    bool folderShown;
};

constexpr app::TransportSelection kEmpty{-1, 0};
constexpr app::TransportSelection kNoneOfThree{-1, 3};
constexpr app::TransportSelection kFirst{0, 3};
constexpr app::TransportSelection kMiddle{1, 3};
constexpr app::TransportSelection kLast{2, 3};
constexpr app::TransportSelection kSingle{0, 1};

// clang-format off
const Row kRows[] = {
    // state         selection     what                lib    rec:on down hint      play:on down hint    stop   prev   next   slider folder
    {Idle,         kEmpty,       "idle, empty list",   true,  true, false, HRecord, false, false, HPlay, false, false, false, false, true},
    {Idle,         kNoneOfThree, "idle, no selection", true,  true, false, HRecord, false, false, HPlay, false, false, false, false, true},
    {Idle,         kFirst,       "idle, first",        true,  true, false, HRecord, true,  false, HPlay, false, false, true,  false, true},
    {Idle,         kMiddle,      "idle, middle",       true,  true, false, HRecord, true,  false, HPlay, false, true,  true,  false, true},
    {Idle,         kLast,        "idle, last",         true,  true, false, HRecord, true,  false, HPlay, false, true,  false, false, true},
    {Idle,         kSingle,      "idle, single",       true,  true, false, HRecord, true,  false, HPlay, false, false, false, false, true},
    {Playing,      kFirst,       "playing, first",     true,  false, false, HRecord, true, true,  HPause, true, false, true,  true,  false},
    {Playing,      kMiddle,      "playing, middle",    true,  false, false, HRecord, true, true,  HPause, true, true,  true,  true,  false},
    {Playing,      kLast,        "playing, last",      true,  false, false, HRecord, true, true,  HPause, true, true,  false, true,  false},
    {Playing,      kSingle,      "playing, single",    true,  false, false, HRecord, true, true,  HPause, true, false, false, true,  false},
    {Playing,      kEmpty,       "playing, empty",     true,  false, false, HRecord, true, true,  HPause, true, false, false, true,  false},
    {PlayPaused,   kFirst,       "paused, first",      true,  false, false, HRecord, true, false, HPlay,  true, false, true,  true,  false},
    {PlayPaused,   kMiddle,      "paused, middle",     true,  false, false, HRecord, true, false, HPlay,  true, true,  true,  true,  false},
    {PlayPaused,   kLast,        "paused, last",       true,  false, false, HRecord, true, false, HPlay,  true, true,  false, true,  false},
    {PlayPaused,   kEmpty,       "paused, empty",      true,  false, false, HRecord, true, false, HPlay,  true, false, false, true,  false},
    {Recording,    kEmpty,       "recording, empty",   false, true, true,  HPause,  false, false, HPlay, true,  false, false, false, false},
    {Recording,    kMiddle,      "recording, middle",  false, true, true,  HPause,  false, false, HPlay, true,  false, false, false, false},
    {Recording,    kSingle,      "recording, single",  false, true, true,  HPause,  false, false, HPlay, true,  false, false, false, false},
    {RecordPaused, kEmpty,       "rec paused, empty",  false, true, false, HContinue, false, false, HPlay, true, false, false, false, false},
    {RecordPaused, kMiddle,      "rec paused, middle", false, true, false, HContinue, false, false, HPlay, true, false, false, false, false},
    {RecordPaused, kLast,        "rec paused, last",   false, true, false, HContinue, false, false, HPlay, true, false, false, false, false},
};
// clang-format on

class TransportStateTable : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        writeLanguage(dir_.filePath("English.ini"), kEnglish);
        writeLanguage(dir_.filePath("Deutsch.ini"), kGerman);
    }
    QTemporaryDir dir_;
};

void expectRow(const FakeTransportView& v, const Row& r, const Language& l, const QString& folder)
{
    using C = app::TransportControl;
    SCOPED_TRACE(std::string(r.what) + " / " + l.name);
    const struct {
        C control;
        bool on;
    } enabled[] = {
        {C::LibraryGroup, r.library},           {C::SourceGroup, r.library},
        {C::QLTCircleButtonRecord, r.recordOn}, {C::QLTCircleButtonPlay, r.playOn},
        {C::QLTCircleButtonStop, r.stopOn},     {C::QLTCircleButtonPrevious, r.previousOn},
        {C::QLTCircleButtonNext, r.nextOn},     {C::QLTProgressBar1, r.sliderOn},
    };
    for (const auto& e : enabled) {
        ASSERT_TRUE(v.enabled_.contains(e.control)) << int(e.control);
        EXPECT_EQ(v.enabled_.value(e.control), e.on) << int(e.control);
    }
    const struct {
        C control;
        bool down;
        Hint hint;
    } buttons[] = {
        {C::QLTCircleButtonRecord, r.recordDown, r.recordHint},
        {C::QLTCircleButtonPlay, r.playDown, r.playHint},
    };
    for (const auto& b : buttons) {
        ASSERT_TRUE(v.down_.contains(b.control)) << int(b.control);
        EXPECT_EQ(v.down_.value(b.control), b.down) << int(b.control);
        EXPECT_EQ(v.hint_.value(b.control), hintText(l, b.hint)) << int(b.control);
    }
    // Disabled means reset to 0; while playing the position timer owns the slider.
    if (r.sliderOn)
        EXPECT_FALSE(v.slider_.has_value());
    else
        EXPECT_EQ(v.slider_, std::optional<int>(0));

    if (r.folderShown)
        EXPECT_EQ(v.folder_, std::optional<QString>(folder));
    else
        EXPECT_FALSE(v.folder_.has_value());
}

TEST_F(TransportStateTable, EveryStateAndSelectionInTwoLanguages)
{
    const QString folder = QStringLiteral("/home/user/Documents/");
    for (const Row& r : kRows) {
        FakeTransportView view;
        app::TransportPresenter presenter(view);
        i18n::LanguageFile language(dir_.filePath("English.ini"));
        // As the window shows it: the model's state reaches the controls.
        audio::TransportModel model;
        model.onStateSet([&](TransportState s) { presenter.SetTransportState(s, r.selection, folder, language); });
        model.SetTransportState(r.state);
        EXPECT_EQ(model.state(), r.state);
        expectRow(view, r, kEnglish, folder);

        // The user picks another language: the same object now holds the other file, and the
        // next call with the unchanged state shows its hints.
        ASSERT_TRUE(language.open(dir_.filePath("Deutsch.ini")));
        view = FakeTransportView();
        presenter.SetTransportState(r.state, r.selection, folder, language);
        expectRow(view, r, kGerman, folder);
    }
}

TEST_F(TransportStateTable, MissingLanguageGivesEmptyHints)
{
    FakeTransportView view;
    app::TransportPresenter presenter(view);
    const i18n::LanguageFile closed;
    presenter.SetTransportState(Recording, kMiddle, QStringLiteral("/r/"), closed);
    EXPECT_TRUE(view.hint_.contains(app::TransportControl::QLTCircleButtonRecord));
    EXPECT_EQ(view.hint_.value(app::TransportControl::QLTCircleButtonRecord), QString());
    EXPECT_EQ(view.hint_.value(app::TransportControl::QLTCircleButtonPlay), QString());
}

// Record in Recording pauses, in RecordPaused continues: the button comes up with "Continue"
// and goes down again with "Pause"; activation resets only an idle transport.
TEST_F(TransportStateTable, RecordPauseContinueCycleAndActivation)
{
    FakeTransportView view;
    app::TransportPresenter presenter(view);
    const i18n::LanguageFile language(dir_.filePath("English.ini"));
    audio::TransportModel model;
    model.onStateSet([&](TransportState s) { presenter.SetTransportState(s, kFirst, QStringLiteral("/r/"), language); });
    const TransportState cycle[] = {Idle, Recording, RecordPaused, Recording, Idle};
    const bool down[] = {false, true, false, true, false};
    const char* hint[] = {"Record", "Pause", "Continue", "Pause", "Record"};
    const bool mayReset[] = {true, false, false, false, true};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        model.SetTransportState(cycle[i]);
        EXPECT_EQ(view.down_.value(app::TransportControl::QLTCircleButtonRecord), down[i]);
        EXPECT_EQ(view.hint_.value(app::TransportControl::QLTCircleButtonRecord),
                  QLatin1String(hint[i]));
        EXPECT_EQ(model.activationMayReset(), mayReset[i]);
    }
    for (TransportState s : {Playing, PlayPaused}) {
        model.SetTransportState(s);
        EXPECT_FALSE(model.activationMayReset());
    }
}

} // namespace
