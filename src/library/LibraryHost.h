#pragma once
// What the recordings library needs from the window it lives in: the transport model, the
// folder and paths shared with the settings and the recording session, the current language
// file, the record format, the position slider, and the dialogs and the shell. The window's
// library part implements it; tests implement it with plain fields.
#include "audio/AudioApi.h"
#include "audio/TransportModel.h"
#include "recording/RecordFormat.h"

#include <QString>

namespace i18n {
class LanguageFile;
}

namespace library {

class LibraryHost {
public:
    virtual ~LibraryHost() = default;

    // The window's transport: its state and Channel (the stream of a playback or the capture
    // of a recording). Setting the state brings the controls into line with it (they read the
    // list's current selection themselves).
    virtual audio::TransportModel& transport() = 0;

    // RecordingsFolder, always ending with the path separator.
    virtual QString recordingsFolder() const = 0;
    virtual void setRecordingsFolder(const QString& folder) = 0;
    // RecordFilePath: the file being recorded (its name is shown while recording).
    virtual QString recordFilePath() const = 0;
    virtual recording::RecordFormat recordFormat() const = 0;
    virtual const i18n::LanguageFile& language() const = 0;

    // QLTProgressBar1, 0..100. Ignored by the slider while the user drags its thumb.
    virtual void setPositionSlider(int position) = 0;

    // The file-open dialog (OpenDialog1) in the given folder with the given filter;
    // the chosen file's full path, empty when cancelled.
    virtual QString askOpenFile(const QString& folder, const QString& filter) = 0;
    // The folder browser with the given title; the chosen folder, empty when cancelled.
    virtual QString askFolder(const QString& title) = 0;
    // A modal input box; Cancel returns the initial text.
    virtual QString askText(const QString& caption, const QString& prompt,
                            const QString& initial) = 0;
    // Shows the folder in the desktop's file manager; the result is not used.
    virtual void showFolderInFileManager(const QString& folder) = 0;
};

} // namespace library
