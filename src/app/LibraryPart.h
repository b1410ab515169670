#pragma once
// The recordings list, the information panel, the file commands and playback in the main
// window: binds their controls (the file buttons and menu items, the list, Play, the playback
// half of Stop, Previous, Next, the position slider), joins the display tick with playback's
// step, and stands for the window towards the library (LibraryHost).
#include "app/TMainFormPart.h"
#include "library/LibraryHost.h"

#include <functional>
#include <memory>

namespace library {
class RecordingsLibrary;
}

class LibraryPart : public TMainFormPart, public library::LibraryHost {
public:
    explicit LibraryPart(audio::AudioApi& audio);
    ~LibraryPart() override;
    LibraryPart(const LibraryPart&) = delete;
    LibraryPart& operator=(const LibraryPart&) = delete;

    library::RecordingsLibrary& library() { return *library_; }
    // RecordFilePath comes from the recording session.
    void setRecordFilePathSource(std::function<QString()> source) { recordFilePath_ = std::move(source); }

    // TMainFormPart
    void attach(MainFormContext& context) override;
    void formActivate(MainFormContext& context) override;

    // LibraryHost
    audio::TransportModel& transport() override;
    QString recordingsFolder() const override;
    void setRecordingsFolder(const QString& folder) override;
    QString recordFilePath() const override;
    RecordFormat recordFormat() const override;
    const i18n::LanguageFile& language() const override;
    void setPositionSlider(int position) override;
    QString askOpenFile(const QString& folder, const QString& filter) override;
    QString askFolder(const QString& title) override;
    QString askText(const QString& caption, const QString& prompt, const QString& initial) override;
    void showFolderInFileManager(const QString& folder) override;

private:
    audio::AudioApi& audio_;
    MainFormContext* context_ = nullptr;
    std::unique_ptr<library::RecordingsLibrary> library_;
    std::function<QString()> recordFilePath_;
    mutable std::shared_ptr<const i18n::LanguageFile> languageHeld_;
};
