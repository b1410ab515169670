#pragma once
// What the parts of the main window share, as the window offers it to them: the window and its
// skinned controls, the settings, the language, the transport model, the message sink and the
// shell, additive binding of handlers and the display tick that every part may join. The main
// window (TMainForm) implements it; a part never needs the window class itself.
#include <QString>

#include <functional>
#include <memory>

class AppSettings;
class QWidget;

namespace audio {
class TransportModel;
}
namespace i18n {
class LanguageApplier;
class LanguageFile;
}
namespace library {
class FileInfoView;
class FileListView;
}
namespace platform {
class MessageSink;
class SettingsStore;
class Shell;
}
namespace skin {
class MainFormLayout;
struct MainFormHandlers;
}

class MainFormContext {
public:
    virtual ~MainFormContext() = default;

    virtual QWidget& window() = 0;
    virtual skin::MainFormLayout& layout() = 0;
    // The list and the information panel as the library's logic sees them.
    virtual library::FileListView& fileList() = 0;
    virtual library::FileInfoView& fileInfoPanel() = 0;

    virtual AppSettings& Settings() = 0;
    virtual platform::SettingsStore& settingsStore() = 0;
    virtual int OsKind() const = 0;
    // The executable's folder, with a trailing separator.
    virtual QString ProgramFolder() const = 0;
    // The program that reads MP3 and WMA lengths for the list in a process of its own
    // (library::StreamProbe); empty: the list reads them through the engine.
    virtual QString streamProbeProgram() const { return QString(); }

    // The open language file (never null; empty before the first application). A copy of the
    // pointer keeps that language readable (from any thread) while a new one is applied.
    virtual std::shared_ptr<const i18n::LanguageFile> LanguageIni() const = 0;
    // Dialogs register their texts here; every application of the language writes them.
    virtual i18n::LanguageApplier& languageApplier() = 0;

    virtual platform::MessageSink& messages() = 0;
    virtual platform::Shell& shell() = 0;
    virtual audio::TransportModel& transport() = 0;

    // Connects the handlers that are set, after those bound before. Each runs as a command of
    // the window: a dialog it showed does not count as an activation when it closes.
    virtual void bind(const skin::MainFormHandlers& handlers) = 0;
    // Adds a step to Timer2Timer, the 100 ms display tick; steps run in the order they joined.
    virtual void joinTick(std::function<void()> step) = 0;

    // RecordLineIndex: the wave-in line chosen in the mixer (-1: the default source). The mixer
    // part provides it; without one the recording uses the default source.
    virtual int RecordLineIndex() const = 0;
    virtual void setRecordLineSource(std::function<int()> source) = 0;
    // Where the channel label reads whether stereo is chosen (the record format dialog).
    virtual void setStereoSelectedSource(std::function<bool()> source) = 0;
    // Whether the audio engine started (set by the part that starts it).
    virtual bool AudioStarted() const = 0;
    virtual void setAudioStarted(bool started) = 0;
};
