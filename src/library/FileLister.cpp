#include "library/FileLister.h"

#include "i18n/LanguageFile.h"
#include "i18n/LanguageMessages.h"
#include "library/DurationText.h"
#include "library/FileListView.h"
#include "library/FileTypeIcons.h"
#include "library/WaveHeader.h"
#include "platform/LocalFiles.h"
#include "platform/MessageSink.h"

#include <QCollator>
#include <QList>
#include <algorithm>

namespace library {

FileLister::FileLister(audio::AudioApi& engine, platform::MessageSink& messages, QIcon programIcon)
    : engine_(engine), messages_(messages), programIcon_(std::move(programIcon))
{
}

QStringList FileLister::recordingNames(const QString& folder)
{
    // Regular files only (and links to them): a FIFO, socket or device named "x.wav" is no
    // recording, and opening one would wait for ever. Names that are not UTF-8 are kept.
    const QStringList entries = platform::LocalFiles::regularFileNames(folder);
    QStringList names;
    // Patterns one at a time, in their order, without regard to case.
    for (const char* extension : {".wav", ".mp3", ".wma"}) {
        for (const QString& entry : entries) {
            if (entry.endsWith(QLatin1String(extension), Qt::CaseInsensitive))
                names.append(entry);
        }
    }

    QCollator collator; // the user's locale
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(names.begin(), names.end(), [&collator](const QString& a, const QString& b) {
        const int c = collator.compare(a, b);
        return c != 0 ? c < 0 : a < b; // names equal but for case keep one fixed order
    });
    return names;
}

int FileLister::imageIndexFor(const QString& name)
{
    if (name.endsWith(QLatin1String(".wav"), Qt::CaseInsensitive))
        return 0;
    if (name.endsWith(QLatin1String(".mp3"), Qt::CaseInsensitive))
        return 1;
    if (name.endsWith(QLatin1String(".wma"), Qt::CaseInsensitive))
        return 2;
    return -1;
}

std::uint32_t FileLister::streamSeconds(const QString& path, bool wma) const
{
    if (platform::LocalFiles::isSpecialFile(path))
        return 0; // the decoder's open of a FIFO would block
    const audio::HSTREAM stream =
        wma ? engine_.wmaStreamCreateFile(path) : engine_.streamCreateFile(path);
    if (stream == 0)
        return 0;
    std::uint32_t seconds = 0;
    const std::int64_t length = engine_.channelGetLength(stream);
    if (length > 0) {
        const double s = engine_.channelBytes2Seconds(stream, length);
        if (s > 0)
            seconds = std::uint32_t(s);
    }
    engine_.streamFree(stream);
    return seconds;
}

void FileLister::rememberDuration(const QString& path, std::uint32_t seconds)
{
    const platform::LocalFiles::Stamp stamp = platform::LocalFiles::stamp(path);
    if (stamp.size >= 0)
        durations_.insert(path, {stamp, seconds});
}

std::optional<std::uint32_t> FileLister::secondsOf(const QString& path, int image, bool defer,
                                                   QList<platform::Message>& pending,
                                                   QHash<QString, KnownDuration>& seen)
{
    const auto known = durations_.constFind(path);
    if (defer && image > 0 && known == durations_.constEnd())
        return std::nullopt; // read later, with its stamp
    const platform::LocalFiles::Stamp stamp = platform::LocalFiles::stamp(path);
    if (stamp.size >= 0 && known != durations_.constEnd() && known->stamp == stamp) {
        seen.insert(path, *known);
        return known->seconds;
    }
    if (defer && image > 0)
        return std::nullopt;
    std::uint32_t seconds = 0;
    bool keep = stamp.size >= 0;
    if (image == 0) {
        WaveInfo info;
        const WaveHeaderResult result = WaveHeader::read(path, info);
        if (result == WaveHeaderResult::Ok) {
            seconds = info.Duration;
        } else {
            keep = false; // read again next time: its message depends on what it holds then
            if (!(result == WaveHeaderResult::CannotOpen && !platform::LocalFiles::exists(path)) &&
                reported_.firstReport(path)) {
                // A file that vanished since the folder was read goes with the next listing.
                pending.append(WaveHeader::message(result));
            }
        }
    } else if (image > 0) {
        seconds = streamSeconds(path, image == 2);
    }
    // A file that changed while it was read is read again next time.
    if (keep && platform::LocalFiles::stamp(path) == stamp)
        seen.insert(path, {stamp, seconds});
    return seconds;
}

bool FileLister::editInPlace(FileListView& view, const QList<Row>& rows)
{
    const int shown = view.count();
    QHash<QString, int> wanted;
    wanted.reserve(rows.size());
    for (int i = 0; i < rows.size(); ++i)
        wanted.insert(rows[i].caption, i);
    QHash<QString, int> present;
    present.reserve(shown);
    for (int i = 0; i < shown; ++i)
        present.insert(view.caption(i), i);
    if (present.size() != shown)
        return false; // the same caption twice: rebuild

    // Both lists are in one order; check that the items kept are in the same order before
    // touching anything.
    int last = -1;
    for (int i = 0; i < shown; ++i) {
        const auto at = wanted.constFind(view.caption(i));
        if (at == wanted.constEnd())
            continue;
        if (*at < last)
            return false;
        last = *at;
    }

    int index = 0; // position in the view as it is being edited
    int row = 0;
    while (index < view.count() || row < rows.size()) {
        const QString caption = index < view.count() ? view.caption(index) : QString();
        if (index < view.count() && !wanted.contains(caption)) {
            view.removeItem(index);
            continue;
        }
        const Row& r = rows[row];
        if (index < view.count() && caption == r.caption) {
            if (view.duration(index) != r.duration)
                view.setDuration(index, r.duration);
        } else {
            view.insertItem(index, r.caption, r.imageIndex, r.duration);
        }
        ++index;
        ++row;
    }
    view.finishEdits();
    return true;
}

QString FileLister::ListRecordings(const QString& folder, FileListView& view,
                                   StreamDurations streams)
{
    const QStringList names = recordingNames(folder);
    // With a reader of its own every listing defers them: none then waits for the decoder.
    const bool defer =
        (streams == StreamDurations::Defer || (probe_ && !probeBroken_)) && view.canEditInPlace();

    QList<platform::Message> pending;
    QHash<QString, KnownDuration> seen;
    seen.reserve(names.size());
    QList<Row> rows;
    rows.reserve(names.size());
    deferred_.clear();
    for (const QString& name : names) {
        const int image = imageIndexFor(name);
        const QString path = folder + name;
        const std::optional<std::uint32_t> seconds = secondsOf(path, image, defer, pending, seen);
        if (!seconds)
            deferred_.append({name, path, image == 2, int(rows.size())});
        rows.append({name, image, seconds ? DurationText(*seconds) : QString()});
    }
    durations_ = std::move(seen); // files gone from the folder are forgotten

    // The icons come from the desktop's theme, which is searched the first time: not for a
    // folder without recordings (the first showing of a fresh start).
    if (!rows.isEmpty())
        view.setIcons(FileTypeIcons::listIcons(programIcon_));
    // The edits start from whatever the view shows, so they end where a rebuild would.
    const bool edited = view.canEditInPlace() && view.count() > 0 && editInPlace(view, rows);
    if (!edited) {
        view.clear();
        view.addItems(rows);
    }

    // Shown after the list is complete: a box is modal and the window may re-list when it
    // closes, which then finds these files already reported. One box, however many files.
    if (!pending.isEmpty())
        messages_.show(unreadableMessage(pending));

    return names.isEmpty() ? QString() : names.first();
}

platform::Message FileLister::unreadableMessage(const QList<platform::Message>& failures) const
{
    if (failures.size() == 1)
        return failures.first();
    static const i18n::LanguageFile builtIn; // no file: the built-in texts
    const i18n::LanguageFile& language = language_ ? language_() : builtIn;
    platform::Message message = i18n::LanguageMessages::information(
        language, QStringLiteral("UnreadableFiles"), failures.first().withOwner);
    message.text = message.text.arg(failures.size());
    return message;
}

bool FileLister::isDeferred(const QString& path) const
{
    for (const Deferred& d : deferred_)
        if (d.path == path)
            return true;
    return false;
}

void FileLister::showDeferred(FileListView& view, const Deferred& d, std::uint32_t seconds)
{
    // The row is where the listing put it unless the view was edited since.
    int row = d.row < view.count() && view.caption(d.row) == d.name ? d.row : -1;
    for (int i = 0; row < 0 && i < view.count(); ++i)
        row = view.caption(i) == d.name ? i : -1;
    if (row >= 0)
        view.setDuration(row, DurationText(seconds));
}

void FileLister::probeDeferred(FileListView& view)
{
    for (const StreamProbe::Result& r : probe_->take()) {
        const platform::LocalFiles::Stamp asked = probing_.take(r.path);
        int at = 0;
        while (at < deferred_.size() && deferred_[at].path != r.path)
            ++at;
        const bool listed = at < deferred_.size();
        if (r.outcome == StreamProbe::Outcome::NotRead) {
            if (listed)
                deferred_[at].here = true;
            continue;
        }
        const bool read = r.outcome == StreamProbe::Outcome::Read;
        const std::uint32_t seconds = read ? r.facts.wholeSeconds() : 0;
        // Kept unless the file changed while it was read.
        if (asked.size >= 0 && platform::LocalFiles::stamp(r.path) == asked) {
            durations_.insert(r.path, {asked, seconds});
            if (onProbed)
                onProbed(r.path, asked, read ? &r.facts : nullptr);
        }
        if (listed) {
            showDeferred(view, deferred_[at], seconds);
            deferred_.removeAt(at);
        }
    }
    if (probe_->busy())
        return;
    QStringList paths;
    for (const Deferred& d : deferred_) {
        if (!d.here) {
            paths.append(d.path);
            probing_.insert(d.path, platform::LocalFiles::stamp(d.path));
        }
    }
    if (!paths.isEmpty() && !probe_->start(paths)) {
        probeBroken_ = true;
        probing_.clear();
    }
}

int FileLister::ReadDeferredDurations(FileListView& view, int count)
{
    if (probe_ && !probeBroken_)
        probeDeferred(view);
    int done = 0;
    for (int i = 0; done < count && i < deferred_.size();) {
        const Deferred d = deferred_[i];
        if (probe_ && !probeBroken_ && !d.here) {
            ++i; // the probe has it
            continue;
        }
        const platform::LocalFiles::Stamp stamp = platform::LocalFiles::stamp(d.path);
        const std::uint32_t seconds = streamSeconds(d.path, d.wma);
        if (stamp.size >= 0 && platform::LocalFiles::stamp(d.path) == stamp)
            durations_.insert(d.path, {stamp, seconds});
        showDeferred(view, d, seconds);
        deferred_.removeAt(i);
        ++done;
    }
    return static_cast<int>(deferred_.size());
}

} // namespace library
