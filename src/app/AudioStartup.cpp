#include "app/AudioStartup.h"

#include "platform/MessageSink.h"
#include "recording/RecordingSession.h"

namespace app {

namespace AudioStartup {

bool start(audio::AudioApi& audio, platform::MessageSink& messages)
{
    // Both are asked for even when the first fails: an engine whose sound server comes later
    // starts what was asked for then (audio::Engine::setMixer).
    const bool record = audio.recordInit(-1);
    const bool output = audio.init(-1, 44100);
    if (record && output)
        return true;
    platform::Message m;
    m.text = QStringLiteral("Can not start default recording device!");
    m.icon = platform::MessageIcon::Error;
    m.withOwner = false;
    messages.show(m);
    return false;
}

void release(audio::AudioApi& audio, recording::RecordingSession& session, audio::Handle channel)
{
    if (session.isRecording()) {
        session.finalise();
    } else if (channel != 0) {
        audio.channelStop(channel);
        audio.streamFree(channel);
    }
    audio.recordFree();
    audio.free();
}

} // namespace AudioStartup

} // namespace app
