#pragma once
// The transport state of the main window and the one place that brings the transport-dependent
// controls into line with it. Every command (record, stop, play, the list and file commands)
// ends by calling SetTransportState.
#include "app/TransportView.h"
#include "audio/TransportState.h"

#include <QString>

namespace i18n {
class LanguageFile;
}

// The list selection as SetTransportState needs it: the selected item's index (-1 for none)
// and the number of items in ListViewFiles.
struct TransportSelection {
    int index = -1;
    int count = 0;
};

class TransportPresenter {
public:
    explicit TransportPresenter(TransportView& view) : view_(view) {}

    // Stores the state, then sets every transport-dependent control. The Record and Play hints
    // are read from [Button] of the language file on every call, so a call after a change of
    // language refreshes them; a closed file or a missing key gives an empty hint.
    void SetTransportState(TransportState state, TransportSelection selection,
                           const QString& recordingsFolder, const i18n::LanguageFile& language);

    TransportState state() const { return state_; }

    // A recording or playback runs in every state but Idle. Window activation (the return from
    // any dialog) re-lists the folder and resets the transport only when nothing runs, so a
    // running channel never hides behind an idle window.
    bool activationMayReset() const { return state_ == Idle; }

private:
    TransportView& view_;
    TransportState state_ = Idle;
};
