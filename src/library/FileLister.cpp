#include "library/FileLister.h"

#include "library/DurationText.h"
#include "library/FileListView.h"
#include "library/FileTypeIcons.h"
#include "library/WaveHeader.h"
#include "platform/MessageSink.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QList>
#include <algorithm>

namespace library {

FileLister::FileLister(audio::AudioApi& engine, platform::MessageSink& messages, QIcon programIcon)
    : engine_(engine), messages_(messages), programIcon_(std::move(programIcon))
{
}

QStringList FileLister::recordingNames(const QString& folder)
{
    QStringList names;
    if (folder.isEmpty())
        return names;
    const QDir dir(folder);
    const QDir::Filters filters = QDir::Files | QDir::Hidden | QDir::System;
    // Patterns one at a time, in their order; QDir matches them without regard to case.
    for (const char* pattern : {"*.wav", "*.mp3", "*.wma"})
        names += dir.entryList({QString::fromLatin1(pattern)}, filters, QDir::Unsorted);

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

QString FileLister::ListRecordings(const QString& folder, FileListView& view, Reason reason)
{
    if (reason == Reason::Explicit)
        reported_.clear();

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
            } else if (!reported_.contains(path) &&
                       !(result == WaveHeaderResult::CannotOpen && !QFileInfo::exists(path))) {
                // A file that vanished since the folder was read goes with the next listing.
                reported_.insert(path);
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
