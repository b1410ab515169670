#pragma once
// Stand-ins for the window and the engine, shared by the library tests: an in-memory list
// view and panel, a host with plain fields, a scripted engine, and WAV bytes made in code.
#include "i18n/LanguageFile.h"
#include "library/FileInfoView.h"
#include "library/FileListView.h"
#include "library/LibraryHost.h"
#include "support/FakeAudio.h"

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QtEndian>
#include <ostream>

// Readable QString values in test failures.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace librarytest {

struct ListItem {
    QString caption;
    int image = -1;
    QString duration;
};

class FakeListView : public library::FileListView {
public:
    void setIcons(const QList<QIcon>& i) override { icons = i; }
    void clear() override
    {
        items.clear();
        selected = -1;
        focused = -1;
    }
    void addItem(const QString& caption, int image, const QString& duration) override
    {
        items.append({caption, image, duration});
        ++added;
    }
    void removeItem(int index) override
    {
        items.removeAt(index);
        if (selected == index)
            selected = -1;
        else if (selected > index)
            --selected;
        focused = selected;
    }
    int count() const override { return int(items.size()); }
    QString caption(int index) const override { return items.value(index).caption; }
    int selectedIndex() const override { return selected; }
    void setSelectedIndex(int index) override
    {
        selected = index;
        focused = index;
    }
    int focusedIndex() const override { return focused; }

    // In-place editing only when asked for; each edit is counted.
    bool canEditInPlace() const override { return editable; }
    void insertItem(int index, const QString& caption, int image, const QString& duration) override
    {
        items.insert(index, {caption, image, duration});
        if (selected >= index)
            ++selected;
        focused = selected;
        ++edits;
    }
    QString duration(int index) const override { return items.value(index).duration; }
    void setDuration(int index, const QString& duration) override
    {
        items[index].duration = duration;
        ++edits;
    }

    QStringList captions() const
    {
        QStringList c;
        for (const ListItem& i : items)
            c << i.caption;
        return c;
    }
    QString selectedCaption() const { return selected >= 0 ? items.value(selected).caption : QString(); }

    QList<QIcon> icons;
    QList<ListItem> items;
    int selected = -1;
    int focused = -1;
    bool editable = false;
    int added = 0; // items added by a rebuild
    int edits = 0; // inserts and duration changes in place (removals go through removeItem)
};

class FakePanel : public library::FileInfoView {
public:
    void setFileInfoLabels(const library::FileInfoLabels& l) override
    {
        labels = l;
        ++updates;
    }
    void setFileName(const QString& name) override { fileName = name; }

    library::FileInfoLabels labels{QStringLiteral("wav"), QStringLiteral("44100"),
                                   QStringLiteral("stereo"), QStringLiteral("16"),
                                   QStringLiteral("128"), QStringLiteral("00:00")};
    QString fileName = QStringLiteral("-");
    int updates = 0;
};

// The window as the library sees it. The transport model is real; the fields state, states
// and channelHandle follow what was set on it (as the window's controls do).
class FakeHost : public library::LibraryHost {
public:
    FakeHost()
    {
        model.onStateSet([this](TransportState s) {
            state = s;
            if (arranging_)
                return;
            states.append(s);
            if (s == Idle)
                slider = 0;
        });
        model.onChannelSet([this](audio::Handle h) { channelHandle = h; });
    }
    // Puts the transport into a state before a case, without counting it as a change.
    void arrange(TransportState s, audio::Handle channel = 0)
    {
        arranging_ = true;
        model.setChannel(channel);
        model.SetTransportState(s);
        arranging_ = false;
    }
    audio::TransportModel& transport() override { return model; }
    QString recordingsFolder() const override { return folder; }
    void setRecordingsFolder(const QString& f) override { folder = f; }
    QString recordFilePath() const override { return recordPath; }
    recording::RecordFormat recordFormat() const override { return format; }
    const i18n::LanguageFile& language() const override { return lang; }
    void setPositionSlider(int p) override { slider = p; }
    QString askOpenFile(const QString& f, const QString& filter) override
    {
        openDialogFolder = f;
        openDialogFilter = filter;
        return openAnswer;
    }
    QString askFolder(const QString& title) override
    {
        folderDialogTitle = title;
        folderDialogStateSeen = state;
        return folderAnswer;
    }
    QString askText(const QString& caption, const QString& prompt, const QString& initial) override
    {
        textCaption = caption;
        textPrompt = prompt;
        textInitial = initial;
        return textCancelled ? initial : textAnswer;
    }
    void showFolderInFileManager(const QString& f) override { shownFolders.append(f); }

    audio::TransportModel model;
    TransportState state = Idle;
    QList<TransportState> states;
    audio::Handle channelHandle = 0;
    QString folder;
    QString recordPath;
    recording::RecordFormat format;
    i18n::LanguageFile lang;
    int slider = -1;
    QString openAnswer, openDialogFolder, openDialogFilter;
    QString folderAnswer, folderDialogTitle;
    TransportState folderDialogStateSeen = Idle;
    QString textAnswer, textCaption, textPrompt, textInitial;
    bool textCancelled = false;
    QStringList shownFolders;

private:
    bool arranging_ = false;
};

// The shared scripted engine: files are registered with what a decoder would report;
// streams keep their play state and position; the test moves time by hand.
using FakeEngine = testsupport::FakeAudio;

// WAV bytes built chunk by chunk.
inline QByteArray le16(quint16 v)
{
    QByteArray b(2, 0);
    qToLittleEndian(v, b.data());
    return b;
}
inline QByteArray le32(quint32 v)
{
    QByteArray b(4, 0);
    qToLittleEndian(v, b.data());
    return b;
}
inline QByteArray chunk(const char* id, const QByteArray& body, quint32 sizeField = 0xFFFFFFFFu)
{
    QByteArray c(id, 4);
    c += le32(sizeField == 0xFFFFFFFFu ? quint32(body.size()) : sizeField);
    c += body;
    return c;
}
inline QByteArray fmtBody(quint16 tag, quint16 channels, quint32 rate, quint16 bits, int extra = 0)
{
    QByteArray b = le16(tag) + le16(channels) + le32(rate) + le32(rate * channels * bits / 8) +
                   le16(quint16(channels * bits / 8)) + le16(bits);
    if (extra > 0)
        b += le16(quint16(extra - 2)) + QByteArray(extra - 2, '\0');
    return b;
}
inline QByteArray riff(const QByteArray& chunks)
{
    return QByteArray("RIFF", 4) + le32(quint32(chunks.size() + 4)) + QByteArray("WAVE", 4) + chunks;
}
// A canonical 44-byte-header PCM file.
inline QByteArray canonicalWav(quint16 channels, quint32 rate, quint16 bits, quint32 dataBytes)
{
    return riff(chunk("fmt ", fmtBody(1, channels, rate, bits)) +
                chunk("data", QByteArray(int(dataBytes), '\0')));
}
inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

// A language file with the texts the library shows.
inline QString writeLanguage(const QString& dir)
{
    const QString path = dir + QStringLiteral("/lang.ini");
    writeFile(path, "[Common]\nMessage=Note\n[Strings]\nstr004=Delete this file?\n"
                    "str005=Cannot rename\nstr006=Bad WAV\nstr007=Bad MP3\nstr008=Bad WMA\n"
                    "DeviceLostPlay=Output gone\nUnreadableFiles=%1 unreadable\n"
                    "[RecordFormatForm]\nMono=Mono\nStereo=Stereo\n");
    return path;
}

} // namespace librarytest
