#include "app/RecordingPart.h"

#include "app/AppSettings.h"
#include "app/AudioStartup.h"
#include "app/LibraryPart.h"
#include "app/MainFormContext.h"
#include "i18n/LanguageApplier.h"
#include "i18n/LanguageFile.h"
#include "i18n/ObjectNameTextsView.h"
#include "library/FileCommands.h"
#include "library/RecordingsLibrary.h"
#include "platform/CodecModule.h"
#include "recording/RecordWriterFactory.h"
#include "recording/RecordingSession.h"
#include "recording/TFormatForm.h"
#include "skin/MainFormHandlers.h"
#include "skin/MainFormLayout.h"
#include "skin/TQLTProgressBar.h"

#include <QWidget>

RecordingPart::RecordingPart(audio::AudioApi& audio, LibraryPart& library) : audio_(audio), library_(library)
{
}

RecordingPart::~RecordingPart() = default;

void RecordingPart::attach(MainFormContext& context)
{
    context_ = &context;
    writers_ = std::make_unique<RecordWriterFactory>(context.messages());
    session_ = std::make_unique<recording::RecordingSession>(audio_, *writers_, context.messages(), *this);
    // VEXA_CAPTURE_WATCH=0 leaves dropouts and clipping uncounted: only for measuring their cost.
    session_->setWatching(qEnvironmentVariable("VEXA_CAPTURE_WATCH") != QLatin1String("0"));
    library_.setRecordFilePathSource([this] { return session_->recordFilePath(); });
    formatForm_ = new TFormatForm(&context.window());
    formatForm_->setObjectName(QStringLiteral("TFormatForm"));

    skin::MainFormHandlers h;
    h.QLTCircleButtonRecordClick = [this] { QLTCircleButtonRecordClick(); };
    // The recording half of Stop; it does nothing unless a recording runs.
    h.QLTCircleButtonStopClick = [this] { session_->stop(); };
    h.MenuSysFormatClick = [this] { MenuSysFormatClick(); };
    h.QLTButtonRecordFormatClick = [this] { MenuSysFormatClick(); };
    context.bind(h);
    // A capture that ends by itself (device or sound server gone) is completed at the next tick.
    context.joinTick([this] { session_->checkCapture(); });
}

void RecordingPart::formCreate(MainFormContext& context)
{
    context.languageApplier().registerWindow(
        QStringLiteral("TFormatForm"), (formatTexts_ = std::make_unique<i18n::ObjectNameTextsView>(formatForm_)).get());
    context.setStereoSelectedSource([this] { return formatForm_->isStereoChecked(); });
}

void RecordingPart::formShown(MainFormContext& context)
{
    // The recording device, then the output device, once the window is on the screen; without
    // them the window still lists and manages files.
    context.setAudioStarted(AudioStartup::start(audio_, context.messages()));
    preloadWmaWriter();
}

// The WMA writer comes from the codec module, which the window does not load to start. When
// WMA is the chosen format the module is loaded in the background, so that the first Record
// does not wait for it.
void RecordingPart::preloadWmaWriter()
{
    if (context_->Settings().Format.format == RecordFormat::Wma)
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
    if (context.AudioStarted())
        AudioStartup::release(audio_, *session_, transport.state() == Idle ? 0 : transport.channel());
}

void RecordingPart::QLTCircleButtonRecordClick()
{
    session_->record(context_->Settings().RecordingsFolder, context_->Settings().Format);
}

void RecordingPart::MenuSysFormatClick()
{
    RecordFormat format = context_->Settings().Format;
    if (!formatForm_->execute(format))
        return;
    context_->Settings().Format = format;
    preloadWmaWriter();
    library_.library().commands().Reselect();
}

audio::TransportModel& RecordingPart::transport()
{
    return context_->transport();
}

int RecordingPart::recordLineIndex() const
{
    return context_->RecordLineIndex();
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

void RecordingPart::recorded(const QString& path, const RecordFormat& format, std::uint64_t frames)
{
    library_.library().rememberRecording(path, format, frames);
}

void RecordingPart::listRecordings()
{
    library_.library().ListRecordings(context_->Settings().RecordingsFolder);
}

void RecordingPart::selectFile(const QString& name)
{
    library_.library().SelectFile(name);
}
