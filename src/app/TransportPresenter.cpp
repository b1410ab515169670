#include "app/TransportPresenter.h"

#include "i18n/LanguageFile.h"

namespace app {

namespace {

QString buttonText(const i18n::LanguageFile& language, const char* key)
{
    return language.readString(QStringLiteral("Button"), QLatin1String(key));
}

} // namespace

void TransportPresenter::SetTransportState(TransportState state, TransportSelection selection,
                                           const QString& recordingsFolder,
                                           const i18n::LanguageFile& language)
{
    const bool recording = state == Recording || state == RecordPaused;
    const bool playback = state == Playing || state == PlayPaused;
    const bool selected = selection.index >= 0 && selection.index < selection.count;

    // Library, tool, source and format controls: usable whenever no recording runs.
    view_.setControlEnabled(TransportControl::LibraryGroup, !recording);
    view_.setControlEnabled(TransportControl::SourceGroup, !recording);

    // Record: starts from Idle, pauses in Recording, continues in RecordPaused.
    view_.setControlEnabled(TransportControl::QLTCircleButtonRecord, !playback);
    view_.setButtonDown(TransportControl::QLTCircleButtonRecord, state == Recording);
    const char* recordKey = state == Recording ? "Pause"
                            : state == RecordPaused ? "Continue"
                                                    : "Record";
    view_.setButtonHint(TransportControl::QLTCircleButtonRecord, buttonText(language, recordKey));

    // Play: needs a selected item to start from Idle.
    view_.setControlEnabled(TransportControl::QLTCircleButtonPlay,
                            playback || (state == Idle && selected));
    view_.setButtonDown(TransportControl::QLTCircleButtonPlay, state == Playing);
    view_.setButtonHint(TransportControl::QLTCircleButtonPlay,
                        buttonText(language, state == Playing ? "Pause" : "Play"));

    view_.setControlEnabled(TransportControl::QLTCircleButtonStop, state != Idle);

    // Previous and Next move the selection one step; they need a neighbour to move to.
    view_.setControlEnabled(TransportControl::QLTCircleButtonPrevious,
                            !recording && selected && selection.index > 0);
    view_.setControlEnabled(TransportControl::QLTCircleButtonNext,
                            !recording && selected && selection.index < selection.count - 1);

    // The position slider belongs to playback; the position timer moves it while playing.
    if (!playback)
        view_.setSliderPosition(0);
    view_.setControlEnabled(TransportControl::QLTProgressBar1, playback);

    if (state == Idle)
        view_.setFolderCaption(recordingsFolder);
}

} // namespace app
