#include "library/FileLister.h"

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
        const double s = engine_.channelBytes2Seconds(stream, std::uint32_t(length));
        if (s > 0)
            seconds = std::uint32_t(s);
    }
    engine_.streamFree(stream);
    return seconds;
}

QString FileLister::ListRecordings(const QString& folder, FileListView& view, Reason)
{
    const QStringList names = recordingNames(folder);

    view.setIcons(FileTypeIcons::listIcons(programIcon_));
    view.clear();

    QList<platform::Message> pending;
    for (const QString& name : names) {
        const QString path = folder + name;
        const int image = imageIndexFor(name);
        std::uint32_t seconds = 0;
        if (image == 0) {
            WaveInfo info;
            const WaveHeaderResult result = WaveHeader::read(path, info);
            if (result == WaveHeaderResult::Ok) {
                seconds = info.Duration;
            } else if (!(result == WaveHeaderResult::CannotOpen &&
                         !platform::LocalFiles::exists(path)) &&
                       reported_.firstReport(path)) {
                // A file that vanished since the folder was read goes with the next listing.
                pending.append(WaveHeader::message(result));
            }
        } else if (image > 0) {
            seconds = streamSeconds(path, image == 2);
        }
        view.addItem(name, image, DurationText(seconds));
    }

    // Shown after the list is complete: a box is modal and the window may re-list when it
    // closes, which then finds these files already reported.
    for (const platform::Message& message : pending)
        messages_.show(message);

    return names.isEmpty() ? QString() : names.first();
}

} // namespace library
