#include "app/RecordingPart.h"

#include "app/AppSettings.h"
#include "app/AudioStartup.h"
#include "app/MainFormContext.h"
#include "i18n/LanguageApplier.h"
#include "i18n/LanguageFile.h"
#include "i18n/ObjectNameTextsView.h"
#include "platform/CodecModule.h"
#include "recording/RecordWriterFactory.h"
#include "recording/RecordingSession.h"
#include "recording/TFormatForm.h"
#include "skin/MainFormLayout.h"
#include "skin/SkinSlider.h"
#include "skin/TQLTButton.h"
#include "skin/TQLTCircleButton.h"

#include <QAction>
#include <QWidget>

namespace app {

RecordingPart::RecordingPart(audio::AudioApi& audio, std::function<int()> recordLine)
    : audio_(audio), recordLine_(std::move(recordLine))
{
}

RecordingPart::~RecordingPart() = default;

void RecordingPart::attach(MainFormContext& context)
{
    context_ = &context;
    writers_ = std::make_unique<recording::RecordWriterFactory>(context.messages());
    session_ = std::make_unique<recording::RecordingSession>(audio_, *writers_, context.messages(), *this);
    session_->setWatching(captureWatching_);
    formatForm_ = new recording::TFormatForm(&context.window());
    formatForm_->setObjectName(QStringLiteral("TFormatForm"));

    skin::MainFormLayout& l = context.layout();
    connectCommand(context, l.QLTCircleButtonRecord, &skin::TQLTCircleButton::clicked,
                   [this] { QLTCircleButtonRecordClick(); });
    connectCommand(context, l.MenuSysFormat, &QAction::triggered, [this] { MenuSysFormatClick(); });
    connectCommand(context, l.QLTButtonRecordFormat, &skin::TQLTButton::clicked,
                   [this] { MenuSysFormatClick(); });
    // A capture that ends by itself (device or sound server gone) is completed at the next tick.
    context.joinTick([this] { session_->checkCapture(); });
}

void RecordingPart::formCreate(MainFormContext& context)
{
    context.languageApplier().registerWindow(
        QStringLiteral("TFormatForm"), (formatTexts_ = std::make_unique<i18n::ObjectNameTextsView>(formatForm_)).get());
    context.languageApplier().setStereoSelectedSource(
        [this] { return formatForm_->isStereoChecked(); });
}

void RecordingPart::formShown(MainFormContext& context)
{
    // The recording device, then the output device, once the window is on the screen; without
    // them the window still lists and manages files.
    audioStarted_ = AudioStartup::start(audio_, context.messages());
    preloadWmaWriter();
}

// The WMA writer comes from the codec module, which the window does not load to start. When
// WMA is the chosen format the module is loaded in the background, so that the first Record
// does not wait for it.
void RecordingPart::preloadWmaWriter()
{
    if (context_->Settings().Format.format == recording::RecordFormat::Wma)
        platform::preloadCodecModule();
}

void RecordingPart::languageApplied(MainFormContext& context)
{
    // The capped-rate note has the rates put into its text, so it is not a plain window text.
    formatForm_->setCappedText(
        context.LanguageIni()->readString(QStringLiteral("RecordFormatForm"), QStringLiteral("Mp3Capped")));
}

void RecordingPart::formDestroyAfterSave(MainFormContext& context)
{
    // The release completes a running recording as Stop does (the language file is still
    // open for its messages), or stops the playback, then frees the engine. Without audio no
    // recording or playback can run.
    const audio::TransportModel& transport = context.transport();
    AudioStartup::release(audio_, *session_, transport.state() == Idle ? 0 : transport.channel());
}

void RecordingPart::QLTCircleButtonRecordClick()
{
    session_->record(context_->Settings().RecordingsFolder, context_->Settings().Format);
}

void RecordingPart::MenuSysFormatClick()
{
    recording::RecordFormat format = context_->Settings().Format;
    if (!formatForm_->execute(format))
        return;
    context_->Settings().Format = format;
    preloadWmaWriter();
    takes_.formatChosen();
}

audio::TransportModel& RecordingPart::transport()
{
    return context_->transport();
}

int RecordingPart::recordLineIndex() const
{
    return recordLine_ ? recordLine_() : -1;
}

float RecordingPart::recordVolume() const
{
    return static_cast<float>(context_->layout().QLTProgressBarWaveIn->Pos()) / 65535.0f;
}

const i18n::LanguageFile& RecordingPart::language() const
{
    languageHeld_ = context_->LanguageIni(); // kept alive while a caller reads it
    return *languageHeld_;
}

} // namespace app
