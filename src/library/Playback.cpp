#include "library/Playback.h"

#include "i18n/LanguageMessages.h"
#include "library/FileInfo.h"
#include "library/FileListView.h"
#include "library/FileSelection.h"
#include "library/LibraryHost.h"
#include "platform/LocalFiles.h"

namespace library {

bool Playback::isPlayingOrPaused() const
{
    const TransportState state = host_.transport().state();
    return state == Playing || state == PlayPaused;
}

void Playback::stopStream()
{
    const audio::Handle channel = host_.transport().channel();
    engine_.channelStop(channel);
    engine_.streamFree(channel);
}

int Playback::sliderPosition(std::uint32_t position, std::uint32_t length)
{
    if (length == 0)
        return 0;
    const int percent = int(double(position) * 100.0 / double(length));
    return percent > 100 ? 100 : percent;
}

std::uint32_t Playback::bytePosition(int sliderPosition, std::uint32_t length)
{
    const long double bytes = (long double)sliderPosition * length * 0.01L;
    return std::uint32_t(std::uint64_t(bytes));
}

void Playback::Play()
{
    const TransportState state = host_.transport().state();
    if (state == Playing) {
        engine_.channelPause(host_.transport().channel());
        host_.transport().SetTransportState(PlayPaused);
        return;
    }
    if (state == Idle) {
        const int index = list_.selectedIndex();
        if (index < 0 || index >= list_.count())
            return;
        playFilePath_ = host_.recordingsFolder() + list_.caption(index);
        const bool wma = playFilePath_.endsWith(QLatin1String(".wma"), Qt::CaseInsensitive);
        // Only a regular file reaches the decoder: opening a FIFO of that name would block.
        const audio::HSTREAM stream =
            platform::LocalFiles::isSpecialFile(playFilePath_) ? 0
            : wma ? engine_.wmaStreamCreateFile(playFilePath_) : engine_.streamCreateFile(playFilePath_);
        host_.transport().setChannel(stream);
        const std::int64_t length = engine_.channelGetLength(stream);
        playLength_ = length > 0 ? std::uint32_t(length) : 0;
        // A stream that did not open is not reported: the next tick finds it inactive and stops.
        engine_.channelPlay(stream, true);
    } else if (state == PlayPaused) {
        engine_.channelPlay(host_.transport().channel(), false);
    } else {
        return;
    }
    host_.transport().setStop([this] { Stop(); });
    host_.transport().SetTransportState(Playing);
}

void Playback::Stop()
{
    if (!isPlayingOrPaused())
        return;
    stopStream();
    // Still Playing or PlayPaused here: this only moves the selection back to the played file.
    selection_.SelectFile(FileSelection::fileNamePart(playFilePath_));
    host_.transport().SetTransportState(Idle);
}

void Playback::step(int delta)
{
    const int index = list_.selectedIndex();
    if (delta < 0 && index < 0)
        return;
    const int target = index + delta;
    // The buttons are disabled at the ends, but the keyboard can move the selection without
    // updating them: a step past either end does nothing.
    if (target < 0 || target >= list_.count())
        return;
    const bool wasOn = isPlayingOrPaused();
    if (wasOn)
        stopStream();
    list_.setSelectedIndex(target);
    {
        const FileInfo::UserChoice chosen(info_);
        selection_.SelectFile(list_.caption(target));
    }
    host_.transport().SetTransportState(Idle);
    if (wasOn)
        Play();
}

void Playback::Previous()
{
    step(-1);
}

void Playback::Next()
{
    step(+1);
}

void Playback::Seek(int sliderPosition)
{
    const audio::Handle channel = host_.transport().channel();
    if (engine_.channelIsActive(channel) != audio::Playing)
        return;
    engine_.channelSetPosition(channel, bytePosition(sliderPosition, playLength_));
}

void Playback::showDeviceLost()
{
    i18n::LanguageMessages::Inform(messages_, host_.language(), QStringLiteral("DeviceLostPlay"));
}

std::uint32_t Playback::Tick()
{
    const audio::Handle channel = host_.transport().channel();
    if (engine_.channelIsActive(channel) == audio::Stopped) {
        if (host_.transport().state() == Playing) {
            const bool lost = engine_.channelDeviceLost(channel);
            Stop(); // the track ended, the stream never started, or the output went away
            if (lost)
                showDeviceLost();
        }
        return 0;
    }
    const std::int64_t pos = engine_.channelGetPosition(channel);
    const std::uint32_t bytes = pos > 0 ? std::uint32_t(pos) : 0;
    const double seconds = engine_.channelBytes2Seconds(channel, bytes);
    if (isPlayingOrPaused())
        host_.setPositionSlider(sliderPosition(bytes, playLength_));
    return seconds > 0 ? std::uint32_t(seconds) : 0;
}

} // namespace library
