#pragma once
// The one place that brings the transport-dependent controls of the main window into line with
// the transport state. The window calls it whenever the transport model's state is set (every
// command, record, stop, play, the list and file commands, ends by setting it).
#include "app/TransportView.h"
#include "audio/TransportState.h"

#include <QString>

namespace i18n {
class LanguageFile;
}

namespace app {

// The list selection as SetTransportState needs it: the selected item's index (-1 for none)
// and the number of items in ListViewFiles.
struct TransportSelection {
    int index = -1;
    int count = 0;
};

class TransportPresenter {
public:
    explicit TransportPresenter(TransportView& view) : view_(view) {}

    // Sets every transport-dependent control for the state. The Record and Play hints
    // are read from [Button] of the language file on every call, so a call after a change of
    // language refreshes them; a closed file or a missing key gives an empty hint.
    void SetTransportState(TransportState state, TransportSelection selection,
                           const QString& recordingsFolder, const i18n::LanguageFile& language);

private:
    TransportView& view_;
};

} // namespace app
