#pragma once
// The recordings list, the information panel, the file commands and playback in the main
// window: connects their controls (the file buttons and menu items, the list, Play, Previous,
// Next, the position slider), joins the display tick with playback's step, follows the takes
// the recording announces, and stands for the window towards the library (LibraryHost).
#include "app/TMainFormPart.h"
#include "library/LibraryHost.h"
#include "recording/TakeEvents.h"

#include <functional>
#include <memory>

namespace library {
class RecordingsLibrary;
class TreeWidgetFileListView;
}

namespace app {

class FileInfoPanel;

class LibraryPart : public TMainFormPart, public library::LibraryHost {
public:
    LibraryPart(audio::AudioApi& audio, recording::TakeEvents& takes);
    ~LibraryPart() override;
    LibraryPart(const LibraryPart&) = delete;
    LibraryPart& operator=(const LibraryPart&) = delete;

    library::RecordingsLibrary& library() { return *library_; }
    // The program that reads MP3 and WMA lengths for the list in a process of its own
    // (library::StreamProbe); without one the list reads them through the engine. Before attach.
    void setStreamProbeProgram(const QString& program) { probeProgram_ = program; }

    // TMainFormPart
    void attach(MainFormContext& context) override;
    void formActivate(MainFormContext& context) override;

    // LibraryHost
    audio::TransportModel& transport() override;
    QString recordingsFolder() const override;
    void setRecordingsFolder(const QString& folder) override;
    QString recordFilePath() const override;
    recording::RecordFormat recordFormat() const override;
    const i18n::LanguageFile& language() const override;
    void setPositionSlider(int position) override;
    QString askOpenFile(const QString& folder, const QString& filter) override;
    QString askFolder(const QString& title) override;
    QString askText(const QString& caption, const QString& prompt, const QString& initial) override;
    void showFolderInFileManager(const QString& folder) override;

private:
    audio::AudioApi& audio_;
    recording::TakeEvents& takes_;
    MainFormContext* context_ = nullptr;
    QString probeProgram_;
    std::unique_ptr<library::TreeWidgetFileListView> list_;
    std::unique_ptr<FileInfoPanel> panel_;
    std::unique_ptr<library::RecordingsLibrary> library_;
    QString recordFilePath_; // the file of the take that runs or ran last
    mutable std::shared_ptr<const i18n::LanguageFile> languageHeld_;
};

} // namespace app
