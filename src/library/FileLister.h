#pragma once
// ListRecordings: the WAV, MP3 and WMA files of the recordings folder, sorted by name without
// regard to case, each with its icon index and its duration, into the list view.
//
// A WAV file whose header cannot be read is listed with 00:00 and its reader's message is
// shown once the list is filled, once per run of the program: again only when the file
// changed (FileReports). So neither a re-list (Refresh, the end of a recording, Delete,
// Rename) nor the activation that follows the closing of such a message brings it back.
#include "audio/AudioApi.h"
#include "library/FileReports.h"

#include <QIcon>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace platform {
class MessageSink;
}

namespace library {

class FileListView;

class FileLister {
public:
    // Why the list is rebuilt. Both report a file's message only the first time (see above);
    // kept so callers can still say which it is.
    enum class Reason { Explicit, Activation };

    FileLister(audio::AudioApi& engine, platform::MessageSink& messages, QIcon programIcon);

    // Rebuilds the icons and the items of the view from the folder (which ends with the path
    // separator) and returns the first name in the sorted order, empty when there is none.
    // Does not change the selection.
    QString ListRecordings(const QString& folder, FileListView& view,
                           Reason reason = Reason::Explicit);

    // The names of the folder's regular files (or links to them) matching "*.wav", "*.mp3" and
    // "*.wma" (without regard to case; hidden files included; FIFOs, sockets, devices and
    // directories left out), sorted without regard to case in the user's locale. Names that
    // are not valid UTF-8 are kept, decoded by platform::LocalFiles::decodeName.
    static QStringList recordingNames(const QString& folder);

    // Image index by extension: 0 ".wav", 1 ".mp3", 2 ".wma", -1 any other.
    static int imageIndexFor(const QString& name);

    // Whole seconds of an MP3 or WMA file as the engine decodes it; 0 when it cannot open it
    // or it is a FIFO, socket, device or folder.
    std::uint32_t streamSeconds(const QString& path, bool wma) const;

private:
    audio::AudioApi& engine_;
    platform::MessageSink& messages_;
    QIcon programIcon_;
    FileReports reported_; // broken WAV files whose message was shown
};

} // namespace library
