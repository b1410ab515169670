#include "i18n/WindowTexts.h"

#include "i18n/LanguageFile.h"

namespace i18n {

namespace {

using Alt = WindowText::Alternate;

QList<WindowText> buildTable()
{
    QList<WindowText> t;
    const QString main = QStringLiteral("TMainForm");
    auto menu = [&](const char* control, const char* key, Alt when = Alt::None, const char* alt = "") {
        t.append({main, QString::fromLatin1(control), TextRole::Caption, QStringLiteral("Menu"),
                  QString::fromLatin1(key), when, QString::fromLatin1(alt)});
    };
    auto hint = [&](const char* control, const char* key, Alt when = Alt::None, const char* alt = "") {
        t.append({main, QString::fromLatin1(control), TextRole::Hint, QStringLiteral("Button"),
                  QString::fromLatin1(key), when, QString::fromLatin1(alt)});
    };
    auto text = [&](const char* window, const char* control, TextRole role, const char* section,
                    const char* key) {
        t.append({QString::fromLatin1(window), QString::fromLatin1(control), role,
                  QString::fromLatin1(section), QString::fromLatin1(key), Alt::None, QString()});
    };

    menu("MenuSysOpen", "Open");
    menu("MenuSysOpenFolder", "OpenFolder");
    menu("MenuSysFormat", "RecordFormat");
    menu("MenuSysSource", "SoundSource", Alt::NewerSystem, "Devices");
    menu("MenuSysOnTop", "StayOnTop");
    menu("MenuSysAudioControl", "AudioControl");
    menu("MenuSysMixerPanel", "MixerControl");
    menu("MenuSysLang", "Languages");
    menu("MenuSysTools", "Tools");
    menu("MenuSysJoinTool", "Pelmora");
    menu("MenuSysEditTool", "Dravena");
    menu("MenuSysConverterTool", "Kestiva");
    menu("MenuSysHelp", "Help");
    menu("MenuSysHomePage", "HomePage");
    menu("MenuSysAbout", "About");
    menu("MenuSysExit", "Exit");

    hint("QLTButtonIcon", "Menu");
    hint("QLTButtonFileList", "FilesList");
    hint("QLTButtonMinimize", "Minimize");
    hint("QLTButtonClose", "Close");
    hint("QLTButtonOpen", "Open");
    hint("QLTButtonRecordFormat", "RecordFormat");
    hint("QLTButtonSpectrum", "Spectrum");
    hint("QLTCircleButtonRecord", "Record");
    hint("QLTCircleButtonPlay", "Play");
    hint("QLTCircleButtonStop", "Stop");
    hint("QLTCircleButtonPrevious", "Previous");
    hint("QLTCircleButtonNext", "Next");
    hint("QLTProgressBarSpeak", "SpeakVolume");
    hint("QLTProgressBarWaveIn", "RecordVolume");
    hint("QLTCircleButtonMute", "Mute", Alt::NewerSystem, "Playback");
    hint("QLTCircleButtonSource", "SoundSource", Alt::NewerSystem, "Devices");
    hint("QLTButtonOpenFolder", "OpenFolder");
    hint("QLTButtonBrowseFolder", "BrowseFolder");
    hint("QLTButtonRefurbish", "Refresh");
    hint("QLTButtonDelete", "Delete");
    hint("QLTButtonRename", "Rename");
    hint("QLTButtonJoinTool", "Pelmora");
    hint("QLTButtonEditTool", "Dravena");
    hint("QLTButtonConversionTool", "Kestiva");

    t.append({main, QStringLiteral("LabelChannel"), TextRole::Caption,
              QStringLiteral("RecordFormatForm"), QStringLiteral("Stereo"), Alt::MonoSelected,
              QStringLiteral("Mono")});

    text("TMainForm", "MenuSpec1", TextRole::Caption, "PopMenu", "Blaze");
    text("TMainForm", "MenuSpec2", TextRole::Caption, "PopMenu", "Bars");
    text("TMainForm", "MenuSpec3", TextRole::Caption, "PopMenu", "Waveform");
    text("TMainForm", "OpenDialog1", TextRole::Value, "OpenDialog", "Filter");

    text("TAboutForm", "", TextRole::Caption, "AboutForm", "Caption");
    text("TAboutForm", "Label2", TextRole::Caption, "AboutForm", "Version");
    // The About box puts the year in place of "[xxx]" each time it is shown.
    text("TAboutForm", "Label4", TextRole::Value, "AboutForm", "Copyright");
    text("TAboutForm", "ButtonOk", TextRole::Caption, "Common", "Ok");

    text("TFormatForm", "", TextRole::Caption, "RecordFormatForm", "Caption");
    text("TFormatForm", "GroupBox1", TextRole::Caption, "RecordFormatForm", "Format");
    text("TFormatForm", "GroupBox2", TextRole::Caption, "RecordFormatForm", "Channels");
    text("TFormatForm", "GroupBox3", TextRole::Caption, "RecordFormatForm", "Sample");
    text("TFormatForm", "RadioChannelStereo", TextRole::Caption, "RecordFormatForm", "Stereo");
    text("TFormatForm", "RadioChannelMono", TextRole::Caption, "RecordFormatForm", "Mono");
    text("TFormatForm", "Label1", TextRole::Caption, "RecordFormatForm", "Frequency");
    text("TFormatForm", "Label2", TextRole::Caption, "RecordFormatForm", "Bitrate");
    text("TFormatForm", "Label3", TextRole::Caption, "RecordFormatForm", "Bitrate");
    text("TFormatForm", "ButtonDefault", TextRole::Caption, "Common", "Default");
    text("TFormatForm", "ButtonOk", TextRole::Caption, "Common", "Ok");
    text("TFormatForm", "ButtonCancel", TextRole::Caption, "Common", "Cancel");

    text("TSoundSourceForm", "", TextRole::Caption, "SoundSourceForm", "Caption");
    text("TSoundSourceForm", "Label1", TextRole::Caption, "SoundSourceForm", "Mixer");
    text("TSoundSourceForm", "Label2", TextRole::Caption, "SoundSourceForm", "WaveIn");
    text("TSoundSourceForm", "ButtonOk", TextRole::Caption, "Common", "Ok");
    text("TSoundSourceForm", "ButtonCancel", TextRole::Caption, "Common", "Cancel");

    text("TRunDravenaForm", "", TextRole::Caption, "EditorForm", "Caption");
    text("TRunDravenaForm", "Label1", TextRole::Caption, "EditorForm", "Question");
    text("TRunDravenaForm", "ButtonYes", TextRole::Caption, "EditorForm", "Button1");
    text("TRunDravenaForm", "ButtonNo", TextRole::Caption, "EditorForm", "Button2");
    return t;
}

} // namespace

const QList<WindowText>& WindowTexts::table()
{
    static const QList<WindowText> t = buildTable();
    return t;
}

QString WindowTexts::keyFor(const WindowText& text, bool newerSystem, bool stereoSelected)
{
    switch (text.when) {
    case Alt::NewerSystem: return newerSystem ? text.alternateKey : text.key;
    case Alt::MonoSelected: return stereoSelected ? text.key : text.alternateKey;
    case Alt::None: break;
    }
    return text.key;
}

QList<TextAssignment> WindowTexts::resolve(const LanguageFile& ini, bool newerSystem,
                                           bool stereoSelected)
{
    QList<TextAssignment> out;
    out.reserve(table().size());
    for (const WindowText& t : table())
        out.append({t.window, t.control, t.role,
                    ini.readString(t.section, keyFor(t, newerSystem, stereoSelected))});
    return out;
}

} // namespace i18n
