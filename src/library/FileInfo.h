#pragma once
// ShowFileInfo: fills the information panel for a path by its extension: a WAV file from its
// header, an MP3 or WMA file from the engine's stream of it, anything else (the empty path
// included) with the current record format. After a failure the panel's values are emptied
// (the file-name label, set by the selection, names the new file). Why the file cannot be read
// (the WAV reader's text, then the [Strings] message of the file type) is said when the user
// chose the file (UserChoice), each time; the selections the program makes itself (re-lists,
// Refresh, the end of a recording, the window's activation) say nothing: the listing has said
// in one box what it could not read.
#include "audio/AudioApi.h"
#include "library/FileInfoView.h"
#include "library/StreamFacts.h"
#include "recording/RecordFormat.h"

#include "platform/LocalFiles.h"

#include <QHash>
#include <QString>
#include <cstdint>
#include <functional>

namespace i18n {
class LanguageFile;
}
namespace platform {
class MessageSink;
}

namespace library {

class FileInfo {
public:
    FileInfo(audio::AudioApi& engine, platform::MessageSink& messages)
        : engine_(engine), messages_(messages)
    {
    }

    void ShowFileInfo(const QString& path, FileInfoView& view,
                      const recording::RecordFormat& format, const i18n::LanguageFile& language);

    // While one lives, what the panel shows is the file the user chose (a click in the list,
    // Previous, Next, Open file): a failure is said in boxes. So is the failure of a file the
    // user chose while it waited for its facts (pendingPath), once they are in.
    class UserChoice {
    public:
        explicit UserChoice(FileInfo& info) : info_(info), before_(info.userChoice_)
        {
            info_.userChoice_ = true;
        }
        ~UserChoice() { info_.userChoice_ = before_; }
        UserChoice(const UserChoice&) = delete;
        UserChoice& operator=(const UserChoice&) = delete;

    private:
        FileInfo& info_;
        bool before_;
    };

    // The facts of an MP3 or WMA file already known (a take just recorded into it): the panel
    // shows them instead of opening the file while its size and modification time stay.
    void rememberStream(const QString& path, const StreamFacts& facts);
    // The same for a file read elsewhere when it had this size and time (null facts: it
    // cannot be decoded, and the panel reports it so without trying).
    void rememberStream(const QString& path, const platform::LocalFiles::Stamp& stamp,
                        const StreamFacts* facts);
    // Whether the panel knows the file as it is now, without opening it.
    bool knows(const QString& path) const;

    // An MP3 or WMA file the panel does not know yet, and for which this says yes, is shown by
    // its format alone and left pending rather than opened: the list has it read in another
    // process (see StreamProbe). Showing anything else ends the wait.
    void setDeferrable(std::function<bool(const QString& path)> deferrable)
    {
        deferrable_ = std::move(deferrable);
    }
    // The file shown by its format alone, waiting for its facts; empty when none is.
    QString pendingPath() const { return pending_; }

    // The panel for the record format: channel text, "wav"/"mp3"/"wma", the bit rate of a
    // compressed format, the sample rate, 16 bits and 00:00.
    static FileInfoLabels recordFormatLabels(const recording::RecordFormat& format,
                                             const i18n::LanguageFile& language);

    // Bits from the channel flags as a whole: exactly 8-bit -> "8", exactly float -> "32",
    // anything else "16".
    static QString bitsText(std::uint32_t flags);

    // The bit rate label holds three digits: a larger value is left out rather than shown cut.
    static constexpr std::uint32_t MaxBitrateShown = 999;

    // The bit rate label for kbit/s: rounded half up, and for a WMA file an odd value raised
    // to the next even one. Empty when it does not fit the label. Every way the panel finds a
    // rate ends here.
    static QString shownKbps(double kbps, bool wma);
    // kbit/s from the file size and the length: size / (125 x seconds), as shownKbps shows it.
    // Empty when the length is not positive.
    static QString bitrateText(std::uint32_t fileSize, float seconds, bool wma);
    // kbit/s of a rate in bit/s (the engine's, or the reader process's), as shownKbps shows it.
    static QString kbpsText(std::uint32_t bitsPerSecond, bool wma);

private:
    bool showStreamInfo(const QString& path, bool wma, FileInfoView& view,
                        const i18n::LanguageFile& language);
    // The facts of a file from what is known of it, else from the engine (then kept).
    bool streamFacts(const QString& path, bool wma, StreamFacts& facts);
    audio::AudioApi& engine_;
    platform::MessageSink& messages_;
    bool userChoice_ = false; // see UserChoice
    struct Known {
        platform::LocalFiles::Stamp stamp;
        StreamFacts facts;
        bool readable = true;
    };
    // The entry of a file as it is now, or null.
    const Known* known(const QString& path, const platform::LocalFiles::Stamp& stamp) const;
    std::function<bool(const QString&)> deferrable_;
    QString pending_;
    bool pendingChosen_ = false;  // the user chose the pending file
    QHash<QString, Known> known_; // by path
};

} // namespace library
