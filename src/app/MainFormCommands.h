#pragma once
// The commands of the main window: the handlers of its skinned controls, menus, list and
// display timer, each a few lines that call the recording session, the recordings library and
// playback, the record format dialog or the window commands of the skin. It also stands for
// the window towards those subsystems (RecordingHost, LibraryHost) and holds the one Channel.
//
// It takes its place in the window's sequences as a TMainFormPart; its buildLayout() is the
// window's layout hook, so the skinned controls exist before FormCreate.
#include "app/TMainFormPart.h"
#include "app/TransportPresenter.h"
#include "library/LibraryHost.h"
#include "recording/RecordingHost.h"

#include <QIcon>

#include <memory>

class MainFormViews;
class RecordWriterFactory;
class TFormatForm;
class TMainForm;

namespace i18n {
class ObjectNameTextsView;
}
namespace library {
class RecordingsLibrary;
class TreeWidgetFileListView;
}
namespace platform {
class MessageSink;
class Shell;
}
namespace recording {
class RecordingSession;
}
namespace skin {
class MainFormLayout;
class SkinWindowCommands;
}

class MainFormCommands : public TMainFormPart,
                         public recording::RecordingHost,
                         public library::LibraryHost {
public:
    MainFormCommands(audio::AudioApi& audio, platform::MessageSink& messages, platform::Shell& shell);
    ~MainFormCommands() override;
    MainFormCommands(const MainFormCommands&) = delete;
    MainFormCommands& operator=(const MainFormCommands&) = delete;

    // The window's layout hook: builds the skinned layout and everything that works on it, and
    // binds the handlers.
    void buildLayout(TMainForm& form);

    skin::MainFormLayout* layout() const { return layout_; }
    bool audioStarted() const { return audioStarted_; }
    recording::RecordingSession& session() { return *session_; }
    library::RecordingsLibrary& library() { return *library_; }
    TFormatForm* FormatForm() const { return formatForm_; }

    // TMainFormPart
    void formCreate(TMainForm& form) override;
    void formActivate(TMainForm& form) override;
    void languageApplied(TMainForm& form) override;
    void formDestroyAfterSave(TMainForm& form) override;

    // Handlers
    void QLTCircleButtonRecordClick();
    void QLTCircleButtonPlayClick();
    void QLTCircleButtonStopClick();
    void QLTCircleButtonPreviousClick();
    void QLTCircleButtonNextClick();
    void QLTProgressBar1Change();
    void MenuSysFormatClick();
    void MenuSpecClick(int mode);
    void Timer2Timer();

    // RecordingHost and LibraryHost
    TransportState transportState() const override { return transport_->state(); }
    void SetTransportState(TransportState state) override;
    audio::Handle channel() const override { return Channel; }
    void setChannel(audio::Handle handle) override { Channel = handle; }
    int recordLineIndex() const override;
    float recordVolume() const override;
    const i18n::LanguageFile& language() const override;
    void listRecordings() override;
    void selectFile(const QString& name) override;
    QString recordingsFolder() const override;
    void setRecordingsFolder(const QString& folder) override;
    QString recordFilePath() const override;
    RecordFormat recordFormat() const override;
    void setPositionSlider(int position) override;
    QString askOpenFile(const QString& folder, const QString& filter) override;
    QString askFolder(const QString& title) override;
    QString askText(const QString& caption, const QString& prompt, const QString& initial) override;
    void showFolderInFileManager(const QString& folder) override;

private:
    void bindHandlers();

    audio::AudioApi& audio_;
    platform::MessageSink& messages_;
    platform::Shell& shell_;
    TMainForm* form_ = nullptr;

    // The one audio handle: the capture of a recording or the stream of a playback; valid
    // only outside Idle (a stale handle is harmless to the engine).
    audio::Handle Channel = 0;
    bool audioStarted_ = false;

    skin::MainFormLayout* layout_ = nullptr; // child of the window
    std::unique_ptr<skin::SkinWindowCommands> windowCommands_;
    std::unique_ptr<MainFormViews> views_;
    std::unique_ptr<library::TreeWidgetFileListView> list_;
    std::unique_ptr<TransportPresenter> transport_;
    std::unique_ptr<RecordWriterFactory> writers_;
    std::unique_ptr<recording::RecordingSession> session_;
    std::unique_ptr<library::RecordingsLibrary> library_;
    TFormatForm* formatForm_ = nullptr; // child of the window
    std::unique_ptr<i18n::ObjectNameTextsView> formatTexts_;
    QIcon programIcon_;
    mutable std::shared_ptr<const i18n::LanguageFile> languageHeld_;
};
