#pragma once
// The audio engine and the recording session in the main window: starts the engine after the
// first paint and releases it at shutdown (completing a running recording), connects Record
// and the record format commands, and stands for the window towards the session
// (RecordingHost). It announces each take and each newly chosen format (takes()); the
// recording line comes from the mixer (the function it is given).
#include "app/TMainFormPart.h"
#include "recording/RecordingHost.h"
#include "recording/TakeEvents.h"

#include <functional>
#include <memory>

namespace recording {
class RecordWriterFactory;
class TFormatForm;
} // namespace recording
namespace i18n {
class ObjectNameTextsView;
}
namespace recording {
class RecordingSession;
}

namespace app {

class RecordingPart : public TMainFormPart, public recording::RecordingHost {
public:
    // recordLine: the wave-in line chosen in the mixer (-1, or without one: the default source).
    RecordingPart(audio::AudioApi& audio, std::function<int()> recordLine);
    ~RecordingPart() override;
    RecordingPart(const RecordingPart&) = delete;
    RecordingPart& operator=(const RecordingPart&) = delete;

    recording::RecordingSession& session() { return *session_; }
    recording::TakeEvents& takes() { return takes_; }
    // Whether the audio engine started after the first paint.
    bool audioStarted() const { return audioStarted_; }
    // Off: dropouts and clipping go uncounted (only for measuring what counting costs).
    void setCaptureWatching(bool on) { captureWatching_ = on; }

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
    void takeStarted(const QString& path) override { takes_.started(path); }
    void takeFinished(const recording::FinishedTake& take) override { takes_.finished(take); }

private:
    audio::AudioApi& audio_;
    std::function<int()> recordLine_;
    recording::TakeEvents takes_;
    MainFormContext* context_ = nullptr;
    std::unique_ptr<recording::RecordWriterFactory> writers_;
    std::unique_ptr<recording::RecordingSession> session_;
    recording::TFormatForm* formatForm_ = nullptr; // child of the window
    std::unique_ptr<i18n::ObjectNameTextsView> formatTexts_;
    mutable std::shared_ptr<const i18n::LanguageFile> languageHeld_;
    bool audioStarted_ = false;
    bool captureWatching_ = true;
};

} // namespace app
