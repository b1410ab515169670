#include "library/FileInfo.h"

#include "i18n/LanguageFile.h"
#include "i18n/LanguageMessages.h"
#include "library/DurationText.h"
#include "library/WaveHeader.h"
#include "platform/LocalFiles.h"
#include "platform/MessageSink.h"

#include <algorithm>

namespace library {

namespace {

QString channelText(std::uint32_t channels, const i18n::LanguageFile& language)
{
    return language.readString(QStringLiteral("RecordFormatForm"),
                               channels == 1 ? QStringLiteral("Mono") : QStringLiteral("Stereo"));
}

void showStringsMessage(platform::MessageSink& sink, const i18n::LanguageFile& language,
                        const char* key)
{
    sink.show(i18n::LanguageMessages::information(language, QString::fromLatin1(key), false));
}

} // namespace

QString FileInfo::bitsText(std::uint32_t flags)
{
    if (flags == audio::SampleFlag8Bits)
        return QStringLiteral("8");
    if (flags == audio::SampleFlagFloat)
        return QStringLiteral("32");
    return QStringLiteral("16");
}

QString FileInfo::shownKbps(double kbps, bool wma)
{
    // Rounded half up; a WMA file's odd rate is raised to the next even one, whichever way the
    // rate was found.
    const double rounded = kbps + 0.5;
    if (!(rounded >= 0) || rounded >= double(MaxBitrateShown) + 2)
        return QString();
    std::uint32_t rate = std::uint32_t(rounded);
    if (wma && (rate & 1))
        ++rate;
    return rate > MaxBitrateShown ? QString() : QString::number(rate);
}

QString FileInfo::bitrateText(std::uint32_t fileSize, float seconds, bool wma)
{
    if (!(seconds > 0))
        return QString(); // no length, no rate
    return shownKbps(double(fileSize) / (125.0 * double(seconds)), wma);
}

QString FileInfo::kbpsText(std::uint32_t bitsPerSecond, bool wma)
{
    return shownKbps(double(bitsPerSecond) / 1000.0, wma);
}

FileInfoLabels FileInfo::recordFormatLabels(const recording::RecordFormat& format,
                                            const i18n::LanguageFile& language)
{
    FileInfoLabels labels;
    labels.channel = channelText(format.channels == 1 ? 1 : 2, language);
    switch (format.format) {
    case recording::RecordFormat::Wav: labels.format = QStringLiteral("wav"); break;
    case recording::RecordFormat::Mp3:
        labels.format = QStringLiteral("mp3");
        // What the file will really get: MPEG-2 and 2.5 rates carry less than the dialog offers.
        labels.bitrate = QString::number(format.effectiveMp3Bitrate());
        break;
    default:
        labels.format = QStringLiteral("wma");
        labels.bitrate = QString::number(format.wmaBitrate);
        break;
    }
    labels.frequency = QString::number(format.sampleRate);
    labels.bits = QString::number(format.bitsPerSample);
    labels.totalTime = DurationText(0);
    return labels;
}

void FileInfo::rememberStream(const QString& path, const StreamFacts& facts)
{
    rememberStream(path, platform::LocalFiles::stamp(path), &facts);
}

void FileInfo::rememberStream(const QString& path, const platform::LocalFiles::Stamp& stamp,
                              const StreamFacts* facts)
{
    if (stamp.size >= 0)
        known_.insert(path, {stamp, facts ? *facts : StreamFacts(), facts != nullptr});
}

const FileInfo::Known* FileInfo::known(const QString& path,
                                       const platform::LocalFiles::Stamp& stamp) const
{
    const auto at = known_.constFind(path);
    return at != known_.constEnd() && stamp.size >= 0 && at->stamp == stamp ? &*at : nullptr;
}

bool FileInfo::knows(const QString& path) const
{
    return known(path, platform::LocalFiles::stamp(path)) != nullptr;
}

bool FileInfo::streamFacts(const QString& path, bool wma, StreamFacts& facts)
{
    const platform::LocalFiles::Stamp stamp = platform::LocalFiles::stamp(path);
    if (const Known* k = known(path, stamp)) {
        facts = k->facts;
        return k->readable;
    }
    known_.remove(path); // changed since, if it was known
    if (platform::LocalFiles::isSpecialFile(path))
        return false; // the decoder's open of a FIFO would block
    const audio::HSTREAM stream =
        wma ? engine_.wmaStreamCreateFile(path) : engine_.streamCreateFile(path);
    if (stream == 0)
        return false;
    audio::ChannelInfo info;
    engine_.channelGetInfo(stream, info);
    facts.freq = info.freq;
    facts.chans = info.chans;
    facts.flags = info.flags;
    facts.bitrate = info.bitrate;
    const std::int64_t length = engine_.channelGetLength(stream);
    facts.seconds = length > 0 ? std::max(0.0, engine_.channelBytes2Seconds(stream, length)) : 0.0;
    const std::int64_t size = engine_.streamGetFilePosition(stream, audio::FilePosEnd);
    facts.fileSize = size > 0 && size <= 0xFFFFFFFF ? std::uint32_t(size) : 0;
    engine_.streamFree(stream);
    // Kept unless the file changed while it was read.
    if (stamp.size >= 0 && platform::LocalFiles::stamp(path) == stamp)
        known_.insert(path, {stamp, facts, true});
    return true;
}

bool FileInfo::showStreamInfo(const QString& path, bool wma, FileInfoView& view,
                              const i18n::LanguageFile& language)
{
    StreamFacts facts;
    if (!streamFacts(path, wma, facts))
        return false;

    FileInfoLabels labels;
    labels.format = wma ? QStringLiteral("wma") : QStringLiteral("mp3");
    labels.frequency = QString::number(facts.freq);
    labels.channel = channelText(facts.chans, language);
    labels.bits = bitsText(facts.flags);
    const float lengthSeconds = float(facts.seconds);
    // The engine's rate of the audio data alone; the file size over the length counts tags,
    // cover pictures and container headers too, and is only the fallback.
    labels.bitrate = facts.bitrate > 0 ? kbpsText(facts.bitrate, wma)
                                       : bitrateText(facts.fileSize, lengthSeconds, wma);
    labels.totalTime = DurationText(std::uint32_t(lengthSeconds));
    view.setFileInfoLabels(labels);
    return true;
}

void FileInfo::ShowFileInfo(const QString& path, FileInfoView& view,
                            const recording::RecordFormat& format,
                            const i18n::LanguageFile& language)
{
    // A file the user chose says why it cannot be read, also when its facts come later.
    const bool chosen = userChoice_ || (pendingChosen_ && !pending_.isEmpty() && path == pending_);
    pending_.clear();
    pendingChosen_ = false;
    if (path.endsWith(QLatin1String(".wav"), Qt::CaseInsensitive)) {
        WaveInfo info;
        const WaveHeaderResult result = WaveHeader::read(path, info);
        if (result != WaveHeaderResult::Ok) {
            // The name shown is the new file's: no values of another file under it.
            view.setFileInfoLabels(FileInfoLabels());
            if (chosen) {
                messages_.show(WaveHeader::message(result));
                showStringsMessage(messages_, language, "str006");
            }
            return;
        }
        FileInfoLabels labels;
        labels.channel = channelText(info.Channels, language);
        labels.format = QStringLiteral("wav");
        labels.frequency = QString::number(info.SampleRate);
        labels.bits = QString::number(info.BitsPerSample);
        labels.totalTime = DurationText(info.Duration);
        view.setFileInfoLabels(labels);
    } else if (path.endsWith(QLatin1String(".mp3"), Qt::CaseInsensitive) ||
               path.endsWith(QLatin1String(".wma"), Qt::CaseInsensitive)) {
        const bool wma = path.endsWith(QLatin1String(".wma"), Qt::CaseInsensitive);
        if (deferrable_ && deferrable_(path) && !knows(path)) {
            FileInfoLabels labels;
            labels.format = wma ? QStringLiteral("wma") : QStringLiteral("mp3");
            view.setFileInfoLabels(labels);
            pending_ = path;
            pendingChosen_ = chosen;
        } else if (!showStreamInfo(path, wma, view, language)) {
            view.setFileInfoLabels(FileInfoLabels());
            if (chosen)
                showStringsMessage(messages_, language, wma ? "str008" : "str007");
        }
    } else {
        view.setFileInfoLabels(recordFormatLabels(format, language));
    }
}

} // namespace library
