#include "library/RecordingsLibrary.h"

#include "library/LibraryHost.h"

namespace library {

void RecordingsLibrary::activate()
{
    playback_.clearPlayFilePath();
    const QString first =
        lister_.ListRecordings(host_.recordingsFolder(), list_, FileLister::Reason::Activation,
                               FileLister::StreamDurations::Defer);
    // Closing a message about a broken file activates the window again: what was already
    // reported stays quiet on this path.
    info_.setQuietRepeats(true);
    selection_.SelectFile(first);
    info_.setQuietRepeats(false);
}

void RecordingsLibrary::rememberRecording(const QString& path, const RecordFormat& format,
                                          std::uint64_t frames)
{
    if (format.format != RecordFormat::Mp3 || format.sampleRate <= 0)
        return;
    StreamFacts facts;
    facts.freq = std::uint32_t(format.sampleRate);
    facts.chans = format.channels == 1 ? 1 : 2;
    facts.bitrate = std::uint32_t(format.effectiveMp3Bitrate()) * 1000;
    facts.seconds = double(frames) / double(format.sampleRate);
    const std::int64_t size = platform::LocalFiles::stamp(path).size;
    facts.fileSize = size > 0 && size <= 0xFFFFFFFF ? std::uint32_t(size) : 0;
    info_.rememberStream(path, facts);
    lister_.rememberDuration(path, std::uint32_t(frames / std::uint64_t(format.sampleRate)));
}

} // namespace library
