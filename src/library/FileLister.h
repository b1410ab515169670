#pragma once
// ListRecordings: the WAV, MP3 and WMA files of the recordings folder, sorted by name without
// regard to case, each with its icon index and its duration, into the list view.
//
// A WAV file whose header cannot be read is listed with 00:00 and reported once the list is
// filled, once per run of the program: again only when the file changed (FileReports). So
// neither a re-list (Refresh, the end of a recording, Delete, Rename) nor the activation that
// follows the closing of such a message brings it back. A listing raises at most one box: the
// reader's message when it has one file to report, else the number of files that could not
// be read ([Strings] "UnreadableFiles"); each file's own message comes when the user selects
// it (FileInfo).
//
// A re-list stays quick in a large folder: durations are kept by path, size and modification
// time, so only new or changed files are read again, and a view that can edit in place gets
// only the items that were added, removed or changed (the end of a recording inserts one).
//
// The first showing of a large folder does not wait for the decoder: a listing may defer the
// MP3 and WMA files whose duration it does not know yet. They are listed with an empty
// duration, which ReadDeferredDurations fills in afterwards, a few files at a time, in the
// order of the list. Any later listing reads what is still missing. With a probe (see
// StreamProbe) they are read in a process of its own, all at once, and only what it could not
// read is read here.
#include "audio/AudioApi.h"
#include "library/FileListView.h"
#include "library/FileReports.h"
#include "library/StreamProbe.h"
#include "platform/LocalFiles.h"
#include "platform/MessageSink.h"

#include <QHash>
#include <QIcon>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>

namespace i18n {
class LanguageFile;
} // namespace i18n

namespace library {

// A duration read from a file of this size and modification time.
struct KnownDuration {
    platform::LocalFiles::Stamp stamp;
    std::uint32_t seconds = 0;
};

class FileLister {
public:
    // What a listing does with MP3 and WMA files of unknown duration (see above). Only a view
    // that can edit in place gets them deferred; another one has them read at once. With a
    // probe (setProbe) every listing defers them.
    enum class StreamDurations { Read, Defer };

    FileLister(audio::AudioApi& engine, platform::MessageSink& messages, QIcon programIcon);

    // Rebuilds the icons and the items of the view from the folder (which ends with the path
    // separator) and returns the first name in the sorted order, empty when there is none.
    // Does not change the selection.
    QString ListRecordings(const QString& folder, FileListView& view,
                           StreamDurations streams = StreamDurations::Read);

    // The length of a file already known (a take just recorded into it): listed without reading
    // the file while its size and modification time stay.
    void rememberDuration(const QString& path, std::uint32_t seconds);

    // Reads up to count deferred durations, in the order of the list, into the rows of view
    // that still show those files; returns the number still deferred.
    int ReadDeferredDurations(FileListView& view, int count);
    int deferredCount() const { return static_cast<int>(deferred_.size()); }
    // Whether the file is still waiting for its deferred duration.
    bool isDeferred(const QString& path) const;

    // Deferred durations are read by this probe (not owned; null: through the engine), and
    // each file it read, with the size and time it had then, is handed to onProbed (the
    // information panel keeps the facts; null facts: unreadable).
    void setProbe(StreamProbe* probe) { probe_ = probe; }
    std::function<void(const QString& path, const platform::LocalFiles::Stamp& stamp,
                       const StreamFacts* facts)>
        onProbed;

    // The names of the folder's regular files (or links to them) matching "*.wav", "*.mp3" and
    // "*.wma" (without regard to case; hidden files included; FIFOs, sockets, devices and
    // directories left out), sorted without regard to case in the user's locale. Names that
    // are not valid UTF-8 are kept, decoded by platform::LocalFiles::decodeName.
    static QStringList recordingNames(const QString& folder);

    // The language file the box naming the unreadable files takes its words from (without
    // one: the built-in English text).
    void setLanguage(std::function<const i18n::LanguageFile&()> language)
    {
        language_ = std::move(language);
    }
    // The one box of a listing that found these files' failures to report: the reader's
    // message of a single file, else the number of files that could not be read.
    platform::Message unreadableMessage(const QList<platform::Message>& failures) const;

    // Image index by extension: 0 ".wav", 1 ".mp3", 2 ".wma", -1 any other.
    static int imageIndexFor(const QString& name);

    // Whole seconds of an MP3 or WMA file as the engine decodes it; 0 when it cannot open it
    // or it is a FIFO, socket, device or folder.
    std::uint32_t streamSeconds(const QString& path, bool wma) const;

private:
    // Duration of one file: from the cache while its size and time are unchanged. Empty when a
    // stream file is deferred (defer set and its duration unknown).
    std::optional<std::uint32_t> secondsOf(const QString& path, int image, bool defer,
                                           QList<platform::Message>& pending,
                                           QHash<QString, KnownDuration>& seen);
    // Brings the view from what it shows to rows by inserts, removals and duration changes;
    // false (view untouched) when the two orders disagree.
    using Row = FileListView::Item;
    static bool editInPlace(FileListView& view, const QList<Row>& rows);
    struct Deferred;
    // Shows seconds in the row of a deferred file, wherever the view has it now.
    static void showDeferred(FileListView& view, const Deferred& d, std::uint32_t seconds);
    // Takes what the probe read, and starts it on the files still deferred.
    void probeDeferred(FileListView& view);

    audio::AudioApi& engine_;
    platform::MessageSink& messages_;
    QIcon programIcon_;
    FileReports reported_; // broken WAV files whose message was shown
    QHash<QString, KnownDuration> durations_; // by path, the files of the last listing
    struct Deferred {
        QString name;
        QString path;
        bool wma;
        int row; // where the listing put it
        bool here = false; // the probe could not read it: read through the engine
    };
    QList<Deferred> deferred_; // front first
    std::function<const i18n::LanguageFile&()> language_;
    StreamProbe* probe_ = nullptr;
    bool probeBroken_ = false; // it could not be started: everything is read here
    QHash<QString, platform::LocalFiles::Stamp> probing_; // asked of the probe, as they were
};

} // namespace library
