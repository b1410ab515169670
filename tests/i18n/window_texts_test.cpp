// ctest-label: unit
// The window texts: which key reaches which control, in which order; the alternative keys on
// systems that hand the sound commands to the system panel; the channel label; missing
// sections blanking their controls.
#include "i18n/LanguageFile.h"
#include "i18n/WindowTexts.h"
#include "support/language_files.h"

#include <QMap>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using i18n::LanguageFile;
using i18n::TextRole;
using i18n::WindowTexts;

QString textOf(const QList<i18n::TextAssignment>& all, const QString& window, const QString& control,
               TextRole role)
{
    for (const auto& a : all)
        if (a.window == window && a.control == control && a.role == role)
            return a.text;
    return QStringLiteral("<not written>");
}

TEST(WindowTextsTest, WindowsAndSectionsAreWrittenInOrder)
{
    // Main window first ([Menu], [Button], the channel label, [PopMenu], [OpenDialog]), then
    // About, record format, sound source and the editor question.
    QStringList order;
    for (const auto& t : WindowTexts::table()) {
        const QString step = t.window + "/" + t.section;
        if (order.isEmpty() || order.last() != step)
            order << step;
    }
    EXPECT_EQ(order, (QStringList{
                         "TMainForm/Menu", "TMainForm/Button", "TMainForm/RecordFormatForm",
                         "TMainForm/PopMenu", "TMainForm/OpenDialog", "TAboutForm/AboutForm",
                         "TAboutForm/Common", "TFormatForm/RecordFormatForm", "TFormatForm/Common",
                         "TSoundSourceForm/SoundSourceForm", "TSoundSourceForm/Common",
                         "TRunDravenaForm/EditorForm"}));
}

TEST(WindowTextsTest, EveryRowIsOneTextFromItsOwnKey)
{
    // No text is written twice, and resolving writes one text per row, in the table's order,
    // each from its own key (a file whose every value names its section and key).
    const QList<i18n::WindowText>& table = WindowTexts::table();
    ASSERT_FALSE(table.isEmpty());
    QSet<QString> targets;
    QMap<QString, QStringList> sections;
    for (const auto& t : table) {
        const QString target = t.window + "/" + t.control + "/" + QString::number(int(t.role));
        EXPECT_FALSE(targets.contains(target)) << target.toStdString() << " is written twice";
        targets.insert(target);
        sections[t.section] << t.key + "=" + t.section + "." + t.key;
    }
    QByteArray text;
    for (auto it = sections.cbegin(); it != sections.cend(); ++it)
        text += "[" + it.key().toUtf8() + "]\n" + it.value().join("\n").toUtf8() + "\n";
    QTemporaryDir dir;
    const QList<i18n::TextAssignment> out =
        WindowTexts::resolve(testsupport::languageFile(dir, text), false, true);
    ASSERT_EQ(out.size(), table.size());
    for (qsizetype i = 0; i < table.size(); ++i) {
        const i18n::WindowText& t = table.at(i);
        SCOPED_TRACE((t.window + "/" + t.control).toStdString());
        EXPECT_EQ(out.at(i), (i18n::TextAssignment{t.window, t.control, t.role,
                                                   t.section + "." + t.key}));
    }
}

TEST(WindowTextsTest, KeysReachTheirControls)
{
    QTemporaryDir dir;
    const LanguageFile ini = testsupport::languageFile(
        dir,
        "[Menu]\nOpen=M-Open\nSoundSource=M-Source\nDevices=M-Devices\nExit=M-Exit\n"
        "[Button]\nOpen=B-Open\nRefresh=B-Refresh\nMute=B-Mute\nPlayback=B-Playback\n"
        "SoundSource=B-Source\nDevices=B-Devices\n"
        "[RecordFormatForm]\nStereo=St\nMono=Mo\nBitrate=Rate\nCaption=Fmt\n"
        "[Common]\nOk=Okay\nCancel=Nope\nDefault=Dflt\n"
        "[OpenDialog]\nFilter=W|*.wav\n[AboutForm]\nCopyright=(C) [xxx]\n"
        "[EditorForm]\nButton1=Yes!\n");
    const struct {
        bool newer, stereo;
        const char *window, *control;
        TextRole role;
        const char* text;
    } rows[] = {
        {false, true, "TMainForm", "MenuSysOpen", TextRole::Caption, "M-Open"},
        {false, true, "TMainForm", "MenuSysExit", TextRole::Caption, "M-Exit"},
        {false, true, "TMainForm", "MenuSysSource", TextRole::Caption, "M-Source"},
        {true, true, "TMainForm", "MenuSysSource", TextRole::Caption, "M-Devices"},
        {false, true, "TMainForm", "QLTButtonOpen", TextRole::Hint, "B-Open"},
        {false, true, "TMainForm", "QLTButtonRefurbish", TextRole::Hint, "B-Refresh"},
        {false, true, "TMainForm", "QLTCircleButtonMute", TextRole::Hint, "B-Mute"},
        {true, true, "TMainForm", "QLTCircleButtonMute", TextRole::Hint, "B-Playback"},
        {false, true, "TMainForm", "QLTCircleButtonSource", TextRole::Hint, "B-Source"},
        {true, true, "TMainForm", "QLTCircleButtonSource", TextRole::Hint, "B-Devices"},
        {false, true, "TMainForm", "LabelChannel", TextRole::Caption, "St"},
        {false, false, "TMainForm", "LabelChannel", TextRole::Caption, "Mo"},
        {false, true, "TMainForm", "OpenDialog1", TextRole::Value, "W|*.wav"},
        {false, true, "TMainForm", "MenuSpec1", TextRole::Caption, ""},
        {false, true, "TAboutForm", "Label4", TextRole::Value, "(C) [xxx]"},
        {false, true, "TAboutForm", "ButtonOk", TextRole::Caption, "Okay"},
        {false, true, "TFormatForm", "", TextRole::Caption, "Fmt"},
        {false, true, "TFormatForm", "Label2", TextRole::Caption, "Rate"},
        {false, true, "TFormatForm", "Label3", TextRole::Caption, "Rate"},
        {false, true, "TFormatForm", "ButtonDefault", TextRole::Caption, "Dflt"},
        {false, true, "TSoundSourceForm", "ButtonCancel", TextRole::Caption, "Nope"},
        {false, true, "TRunDravenaForm", "ButtonYes", TextRole::Caption, "Yes!"},
        {false, true, "TRunDravenaForm", "ButtonNo", TextRole::Caption, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.window << "." << row.control << " newer=" << row.newer);
        const auto all = WindowTexts::resolve(ini, row.newer, row.stereo);
        EXPECT_EQ(textOf(all, row.window, row.control, row.role), QString::fromUtf8(row.text));
    }
}

TEST(WindowTextsTest, MissingSectionsBlankEveryTextOfThem)
{
    QTemporaryDir dir;
    // Only Mute: on a newer system the mute hint comes from Playback and is blank.
    const LanguageFile ini =
        testsupport::languageFile(dir, "[Button]\nMute=Mute\n[PopMenu]\nBlaze=B\n");
    for (const auto& a : WindowTexts::resolve(ini, true, true)) {
        SCOPED_TRACE(a.control.toStdString());
        if (a.control == "MenuSpec1")
            EXPECT_EQ(a.text, QStringLiteral("B"));
        else
            EXPECT_TRUE(a.text.isEmpty());
    }
}

} // namespace
