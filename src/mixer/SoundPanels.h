#pragma once
// The desktop's own sound settings and volume mixer, for the commands that hand the user over
// to them. The first installed of the known programs is started with an argument list through
// the shell (never a command interpreter).
#include <QString>
#include <QStringList>

#include <functional>

namespace platform {
class Shell;
}

namespace i18n {
class LanguageFile;
}

namespace mixer {

class SoundPanels {
public:
    enum class Panel {
        SoundSettings, // the sound settings (output devices)
        VolumeMixer,   // the volumes of the programs that play
        Inputs,        // the recording devices
        Outputs,       // the playback devices, with their mute
    };

    struct Candidate {
        QString program;
        QStringList arguments;
    };

    // findProgram: the full path of an installed program by name, empty when it is not
    // installed (default: a search of PATH).
    explicit SoundPanels(platform::Shell& shell, std::function<QString(const QString&)> findProgram = {});

    // The programs that can show a panel, in the order they are tried.
    static QList<Candidate> candidates(Panel panel);
    // The names of all programs that would serve, for the message when none is installed.
    static QStringList programNames();
    // The text of that message ([Strings] NoSoundPanel with the names).
    static QString noneInstalledText(const i18n::LanguageFile& language);

    // Starts the first installed program for the panel; false when none is installed or it
    // could not be started.
    bool open(Panel panel);

private:
    platform::Shell& shell_;
    std::function<QString(const QString&)> findProgram_;
};

} // namespace mixer
