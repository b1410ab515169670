#include "mixer/SoundPanels.h"

#include "i18n/LanguageMessages.h"

#include "platform/Shell.h"

#include <QStandardPaths>

namespace mixer {

namespace {

// pavucontrol's tabs: 1 playback streams, 2 recording streams, 3 output devices, 4 input devices.
QString tab(SoundPanels::Panel panel)
{
    switch (panel) {
    case SoundPanels::Panel::VolumeMixer: return QStringLiteral("--tab=1");
    case SoundPanels::Panel::Inputs: return QStringLiteral("--tab=4");
    case SoundPanels::Panel::SoundSettings:
    case SoundPanels::Panel::Outputs: break;
    }
    return QStringLiteral("--tab=3");
}

} // namespace

SoundPanels::SoundPanels(platform::Shell& shell, std::function<QString(const QString&)> findProgram)
    : shell_(shell), findProgram_(std::move(findProgram))
{
    if (!findProgram_)
        findProgram_ = [](const QString& name) { return QStandardPaths::findExecutable(name); };
}

QList<SoundPanels::Candidate> SoundPanels::candidates(Panel panel)
{
    return {
        {QStringLiteral("pavucontrol"), {tab(panel)}},
        {QStringLiteral("gnome-control-center"), {QStringLiteral("sound")}},
        {QStringLiteral("kcmshell6"), {QStringLiteral("kcm_pulseaudio")}},
        {QStringLiteral("kcmshell5"), {QStringLiteral("kcm_pulseaudio")}},
        {QStringLiteral("pavucontrol-qt"), {QStringLiteral("--tab"), tab(panel).mid(6)}},
    };
}

QStringList SoundPanels::programNames()
{
    QStringList names;
    for (const Candidate& c : candidates(Panel::SoundSettings))
        names << c.program;
    return names;
}

QString SoundPanels::noneInstalledText(const i18n::LanguageFile& language)
{
    return i18n::LanguageMessages::stringText(language, QStringLiteral("NoSoundPanel"))
        .arg(programNames().join(QStringLiteral(", ")));
}

bool SoundPanels::open(Panel panel)
{
    for (const Candidate& c : candidates(panel)) {
        const QString path = findProgram_(c.program);
        if (!path.isEmpty())
            return shell_.startProgram(path, c.arguments);
    }
    return false;
}

} // namespace mixer
