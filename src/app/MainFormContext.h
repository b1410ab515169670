#pragma once
// What the parts of the main window share, as the window offers it to them: the window and its
// skinned controls, the settings, the language, the transport model, the message sink and the
// shell, the wrapping of commands and the display tick that every part may join. The main
// window (TMainForm) implements it; a part never needs the window class itself.
#include <QObject>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

namespace audio {
class TransportModel;
}
namespace i18n {
class LanguageApplier;
class LanguageFile;
} // namespace i18n
namespace platform {
class MessageSink;
class Shell;
}
namespace skin {
class MainFormLayout;
}

namespace app {

class AppSettings;

class MainFormContext {
public:
    virtual ~MainFormContext() = default;

    virtual QWidget& window() = 0;
    // The skinned controls; a part connects to the signals of the controls it handles.
    virtual skin::MainFormLayout& layout() = 0;

    virtual AppSettings& Settings() = 0;
    virtual int OsKind() const = 0;
    // The executable's folder, with a trailing separator.
    virtual QString ProgramFolder() const = 0;

    // The open language file (never null; empty before the first application). A copy of the
    // pointer keeps that language readable (from any thread) while a new one is applied.
    virtual std::shared_ptr<const i18n::LanguageFile> LanguageIni() const = 0;
    // Dialogs register their texts here; every application of the language writes them.
    virtual i18n::LanguageApplier& languageApplier() = 0;

    virtual platform::MessageSink& messages() = 0;
    virtual platform::Shell& shell() = 0;
    virtual audio::TransportModel& transport() = 0;

    // `work` as a command of the window: a command given before the first paint has handed
    // over finds the mixer and the devices started first, and a dialog the command showed does
    // not count as an activation of the window when it closes.
    virtual std::function<void()> command(std::function<void()> work) = 0;
    // Adds a step to the 100 ms display tick; steps run in the order they joined.
    virtual void joinTick(std::function<void()> step) = 0;
};

// Connects `signal` of `sender` (a control of the layout) to `work` as a command of the window.
template <typename Sender, typename Signal>
void connectCommand(MainFormContext& context, Sender* sender, Signal signal,
                    std::function<void()> work)
{
    QObject::connect(sender, signal, &context.window(), context.command(std::move(work)));
}

} // namespace app
