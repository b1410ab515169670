#include "library/RecordingsLibrary.h"

#include "library/LibraryHost.h"

namespace library {

void RecordingsLibrary::activate()
{
    playback_.clearPlayFilePath();
    const QString first =
        lister_.ListRecordings(host_.recordingsFolder(), list_, FileLister::StreamDurations::Defer);
    selection_.SelectFile(first);
}

void RecordingsLibrary::readDeferredDurations()
{
    if (lister_.deferredCount() > 0)
        lister_.ReadDeferredDurations(list_, DeferredPerTick);
    // The panel shows the file it waited for once its facts are in, or once nobody else is
    // going to read it (then it reads it itself).
    const QString pending = info_.pendingPath();
    if (!pending.isEmpty() && (info_.knows(pending) || !lister_.isDeferred(pending)))
        selection_.ShowSelection();
}

void RecordingsLibrary::setProbeProgram(const QString& program)
{
    probe_ = std::make_unique<StreamProbe>(program);
    lister_.setProbe(probe_.get());
    info_.setDeferrable([this](const QString& path) { return lister_.isDeferred(path); });
    lister_.onProbed = [this](const QString& path, const platform::LocalFiles::Stamp& stamp,
                              const StreamFacts* facts) {
        info_.rememberStream(path, stamp, facts);
    };
}

void RecordingsLibrary::rememberRecording(const QString& path,
                                          const recording::RecordFormat& format,
                                          std::uint64_t frames)
{
    if (format.format != recording::RecordFormat::Mp3 || format.sampleRate <= 0)
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
