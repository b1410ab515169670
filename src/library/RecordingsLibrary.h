#pragma once
// The recordings library of the main window in one object: listing, selection, the information
// panel, the file commands and playback, wired to the window through LibraryHost and the two
// views. The window's library part owns one and calls it from its handlers.
#include "i18n/LanguageFile.h"
#include "library/FileCommands.h"
#include "library/FileInfo.h"
#include "library/FileLister.h"
#include "library/FileSelection.h"
#include "library/LibraryHost.h"
#include "library/Playback.h"
#include "library/StreamProbe.h"

#include <QIcon>
#include <memory>

namespace library {

class RecordingsLibrary {
public:
    RecordingsLibrary(LibraryHost& host, FileListView& list, FileInfoView& panel,
                      audio::AudioApi& engine, platform::MessageSink& messages,
                      const QIcon& programIcon)
        : host_(host), list_(list), info_(engine, messages), lister_(engine, messages, programIcon),
          selection_(host, list, panel, info_),
          playback_(host, engine, list, selection_, info_, messages),
          commands_(host, list, lister_, selection_, info_, playback_, messages)
    {
        lister_.setLanguage([this]() -> const i18n::LanguageFile& { return host_.language(); });
    }

    // Window activation: forgets the played file, re-lists the folder and selects its first
    // file, without repeating the messages of broken files already shown (the closing of such
    // a message is itself an activation) and without a word about the first file (the listing
    // says in one box what it could not read). MP3 and WMA durations not known yet are left to
    // readDeferredDurations, so that the window shows a large folder at once.
    void activate();
    // The next few durations an activation left out; the window's tick calls it.
    static constexpr int DeferredPerTick = 100;
    void readDeferredDurations();

    // MP3 and WMA files whose length is not known yet are read by the program at this path in
    // a process of its own (see StreamProbe), by every listing, and the panel waits for their
    // facts rather than opening them: the window then never loads the decoder just to list a
    // folder or show a file's details. Without it (the default) they are read through the
    // engine, the activation's in the window's tick, the other listings' at once.
    void setProbeProgram(const QString& program);
    // A take recorded into path: frames sample frames of format. The list and the panel take
    // an MP3 file's length and details from here rather than from its decoder. (A WAV file's
    // header is read in no time, and a WMA take has the decoder loaded already.)
    void rememberRecording(const QString& path, const recording::RecordFormat& format,
                           std::uint64_t frames);
    QString ListRecordings(const QString& folder) { return lister_.ListRecordings(folder, list_); }
    int FindListItem(const QString& name) const { return selection_.FindListItem(name); }
    void SelectFile(const QString& name) { selection_.SelectFile(name); }

    FileLister& lister() { return lister_; }
    FileInfo& info() { return info_; }
    FileSelection& selection() { return selection_; }
    Playback& playback() { return playback_; }
    FileCommands& commands() { return commands_; }

private:
    LibraryHost& host_;
    FileListView& list_;
    FileInfo info_;
    FileLister lister_;
    FileSelection selection_;
    Playback playback_;
    FileCommands commands_;
    std::unique_ptr<StreamProbe> probe_;
};

} // namespace library
