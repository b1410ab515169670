#pragma once
// The audio engine and the recording session in the main window: starts the engine after the
// first paint and releases it at shutdown (completing a running recording), binds Record, the
// recording half of Stop and the record format commands, and stands for the window towards the
// session (RecordingHost).
#include "app/TMainFormPart.h"
#include "recording/RecordingHost.h"

#include <memory>

class LibraryPart;
class RecordWriterFactory;
class TFormatForm;

namespace i18n {
class ObjectNameTextsView;
}
namespace recording {
class RecordingSession;
}

class RecordingPart : public TMainFormPart, public recording::RecordingHost {
public:
    RecordingPart(audio::AudioApi& audio, LibraryPart& library);
    ~RecordingPart() override;
    RecordingPart(const RecordingPart&) = delete;
    RecordingPart& operator=(const RecordingPart&) = delete;

    recording::RecordingSession& session() { return *session_; }
    TFormatForm* FormatForm() const { return formatForm_; }

    // Handlers
    void QLTCircleButtonRecordClick();
    void MenuSysFormatClick();
    void preloadWmaWriter();

    // TMainFormPart
    void attach(MainFormContext& context) override;
    void formCreate(MainFormContext& context) override;
    void formShown(MainFormContext& context) override;
    void languageApplied(MainFormContext& context) override;
    void formDestroyAfterSave(MainFormContext& context) override;

    // RecordingHost
    audio::TransportModel& transport() override;
    int recordLineIndex() const override;
    float recordVolume() const override;
    const i18n::LanguageFile& language() const override;
    void recorded(const QString& path, const RecordFormat& format, std::uint64_t frames) override;
    void listRecordings() override;
    void selectFile(const QString& name) override;

private:
    audio::AudioApi& audio_;
    LibraryPart& library_;
    MainFormContext* context_ = nullptr;
    std::unique_ptr<RecordWriterFactory> writers_;
    std::unique_ptr<recording::RecordingSession> session_;
    TFormatForm* formatForm_ = nullptr; // child of the window
    std::unique_ptr<i18n::ObjectNameTextsView> formatTexts_;
    mutable std::shared_ptr<const i18n::LanguageFile> languageHeld_;
};
