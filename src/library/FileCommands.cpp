#include "library/FileCommands.h"

#include "i18n/LanguageFile.h"
#include "i18n/LanguageMessages.h"
#include "library/FileInfo.h"
#include "library/FileListView.h"
#include "library/FileLister.h"
#include "library/FileSelection.h"
#include "library/LibraryHost.h"
#include "library/Playback.h"
#include "platform/LocalFiles.h"
#include "platform/MessageSink.h"

#include <QDir>
#include <QFileInfo>

namespace library {

const char* const FileCommands::DefaultOpenFilter =
    "All support files(*.wav;*.mp3;*.wma)|*.wav;*.mp3;*.wma|WAV files(*.wav)|*.wav|"
    "MP3 files(*.mp3)|*.mp3|WMA files(*.wma)|*.wma|Any Files(*.*)|*.*";

QString FileCommands::openDialogFilter() const
{
    return host_.language().readString(QStringLiteral("OpenDialog"), QStringLiteral("Filter"),
                                       QString::fromLatin1(DefaultOpenFilter));
}

QStringList FileCommands::qtNameFilters(const QString& filter)
{
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        result.append(parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return result;
}

QString FileCommands::withTrailingSeparator(const QString& folder)
{
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\')))
        return folder;
    return folder + QDir::separator();
}

QString FileCommands::trimAnswer(const QString& answer)
{
    int begin = 0;
    int end = answer.size();
    while (begin < end && answer[begin].unicode() <= 0x20)
        ++begin;
    while (end > begin && answer[end - 1].unicode() <= 0x20)
        --end;
    return answer.mid(begin, end - begin);
}

QString FileCommands::renameTarget(const QString& oldName, const QString& answer, bool& refused)
{
    refused = false;
    const int oldDot = oldName.lastIndexOf(QLatin1Char('.'));
    const QString oldExtension = oldDot >= 0 ? oldName.mid(oldDot) : QString();
    const QString oldBase = oldName.left(oldName.size() - 4);

    const QString trimmed = trimAnswer(answer);
    if (trimmed.isEmpty())
        return QString();
    const int dot = trimmed.lastIndexOf(QLatin1Char('.'));
    const QString newBase = dot >= 0 ? trimmed.left(dot) : trimmed;
    if (newBase.compare(oldBase, Qt::CaseInsensitive) == 0)
        return QString();

    // A name is a name in this folder: no separator (nothing that would lead out of it) and
    // nothing the file systems of either platform refuse, and a base of its own: an empty one
    // or one of dots alone (".", "..") would make a hidden ".wav" or worse. Dots inside a name
    // ("Intro... part 2") are only dots.
    bool bad = trimmed.contains(QLatin1Char('/')) || trimmed.contains(QLatin1Char('\\'));
    bool onlyDots = true;
    for (const QChar c : newBase)
        onlyDots = onlyDots && (c == QLatin1Char('.') || c == QLatin1Char(' '));
    bad = bad || onlyDots;
    for (const QChar c : trimmed)
        bad = bad || c.unicode() < 0x20;
    if (bad) {
        refused = true;
        return QString();
    }
    return newBase + oldExtension;
}

void FileCommands::showStrings(const char* key)
{
    i18n::LanguageMessages::Inform(messages_, host_.language(), QString::fromLatin1(key), false);
}

void FileCommands::forgetPlayedFileIfNamed(const QString& name)
{
    const QString played = FileSelection::fileNamePart(playback_.PlayFilePath());
    if (played.isEmpty() || name.compare(played, Qt::CaseInsensitive) != 0)
        return;
    if (playback_.isPlayingOrPaused())
        playback_.stopStream();
    playback_.clearPlayFilePath();
    host_.transport().SetTransportState(Idle);
}

void FileCommands::OpenFile()
{
    const QString path = host_.askOpenFile(host_.recordingsFolder(), openDialogFilter());
    if (path.isEmpty())
        return;
    const bool wasOn = playback_.isPlayingOrPaused();
    if (wasOn)
        playback_.stopStream();
    const QFileInfo chosen(path);
    const QString folder = withTrailingSeparator(chosen.absolutePath());
    host_.setRecordingsFolder(folder);
    lister_.ListRecordings(folder, list_);
    {
        const FileInfo::UserChoice user(info_);
        selection_.SelectFile(chosen.fileName());
    }
    host_.transport().SetTransportState(Idle);
    if (wasOn)
        playback_.Play();
}

void FileCommands::ChooseFolder()
{
    // The stream ends before the dialog, and the transport with it: whatever the answer, no
    // stream is left behind a playing-looking transport.
    if (playback_.isPlayingOrPaused()) {
        playback_.stopStream();
        host_.transport().SetTransportState(Idle);
    }
    const QString chosen = host_.askFolder(QStringLiteral("Select Folder ..."));
    if (chosen.isEmpty())
        return;
    const QString folder = withTrailingSeparator(chosen);
    host_.setRecordingsFolder(folder);
    const QString first = lister_.ListRecordings(folder, list_);
    selection_.SelectFile(first);
    host_.transport().SetTransportState(Idle);
}

void FileCommands::ShowFolderInFileManager()
{
    host_.showFolderInFileManager(host_.recordingsFolder());
}

void FileCommands::Refresh()
{
    lister_.ListRecordings(host_.recordingsFolder(), list_);
    list_.setSelectedIndex(selection_.FindListItem(FileSelection::fileNamePart(playback_.PlayFilePath())));
    // The panel and the name follow the new selection (the record format when there is none),
    // instead of going on describing a file that is no longer selected.
    selection_.ShowSelection();
}

void FileCommands::Delete()
{
    const int index = list_.selectedIndex();
    if (index < 0 || index >= list_.count())
        return;
    const QString text =
        i18n::LanguageMessages::stringText(host_.language(), QStringLiteral("str004"));
    if (!messages_.confirm(text, QStringLiteral("Confirm")))
        return;
    const QString name = list_.caption(index);
    forgetPlayedFileIfNamed(name);

    const QString folder = host_.recordingsFolder();
    const QString path = folder + name;
    bool removed = platform::LocalFiles::remove(path);
    if (!removed) {
        // Clears what would stop it: the read-only mark (owner write permission).
        platform::LocalFiles::makeWritable(path);
        QString why;
        removed = platform::LocalFiles::remove(path, &why);
        if (!removed) {
            // The file stays listed; without a word the click would seem to have been missed.
            platform::Message m = i18n::LanguageMessages::information(
                host_.language(), QStringLiteral("DeleteFailed"), false);
            m.text = m.text.arg(QDir::toNativeSeparators(path), why);
            messages_.show(m);
        }
    }
    if (removed)
        list_.removeItem(index);

    lister_.ListRecordings(folder, list_);
    const int count = list_.count();
    QString next;
    if (count > 0)
        next = list_.caption(index < count ? index : count - 1);
    selection_.SelectFile(next);
    host_.transport().SetTransportState(host_.transport().state());
}

bool FileCommands::renameOnce(const QString& folder, const QString& fromName,
                              const QString& toName) const
{
    // Never replace a file: not one of the same name, nor one whose name differs only in case
    // (the list could not tell the two apart).
    for (const QString& entry : platform::LocalFiles::entryNames(folder)) {
        if (entry.compare(toName, Qt::CaseInsensitive) == 0)
            return false;
    }
    // The rename itself never replaces an existing target either.
    return platform::LocalFiles::rename(folder + fromName, folder + toName);
}

void FileCommands::Rename()
{
    const int index = list_.selectedIndex();
    if (index < 0 || index >= list_.count())
        return;
    const QString oldName = list_.caption(index);
    const QString oldBase = oldName.left(oldName.size() - 4);
    const QString answer = host_.askText(QStringLiteral("Rename"), oldName, oldBase);

    bool refused = false;
    const QString newName = renameTarget(oldName, answer, refused);
    const QString folder = host_.recordingsFolder();
    if (refused) {
        showStrings("str005");
    } else if (!newName.isEmpty()) {
        forgetPlayedFileIfNamed(oldName);
        if (!renameOnce(folder, oldName, newName)) {
            platform::LocalFiles::makeWritable(folder + oldName);
            if (!renameOnce(folder, oldName, newName))
                showStrings("str005");
        }
    } else if (trimAnswer(answer).isEmpty()) {
        return; // an empty answer changes nothing at all
    }

    lister_.ListRecordings(folder, list_);
    QString select;
    if (list_.count() > 0) {
        const int found = selection_.FindListItem(newName.isEmpty() ? oldName : newName);
        select = list_.caption(found >= 0 ? found : 0);
    }
    selection_.SelectFile(select);
    host_.transport().SetTransportState(host_.transport().state());
}

void FileCommands::ListClick()
{
    const int focused = list_.focusedIndex();
    if (list_.count() > 0 && focused >= 0)
        list_.setSelectedIndex(focused);
    {
        const FileInfo::UserChoice chosen(info_);
        selection_.SelectFile(selection_.selectedCaption());
    }
    const TransportState state = host_.transport().state();
    if (state == Idle || state == Playing || state == PlayPaused)
        host_.transport().SetTransportState(state);
}

void FileCommands::ListDoubleClick()
{
    const int focused = list_.focusedIndex();
    if (list_.count() > 0 && focused >= 0)
        list_.setSelectedIndex(focused);
    if (playback_.isPlayingOrPaused()) {
        playback_.stopStream();
        host_.transport().SetTransportState(Idle);
    }
    {
        const FileInfo::UserChoice chosen(info_);
        selection_.SelectFile(selection_.selectedCaption());
    }
    if (list_.selectedIndex() >= 0)
        playback_.Play();
}

void FileCommands::Reselect()
{
    selection_.SelectFile(selection_.selectedCaption());
}

} // namespace library
