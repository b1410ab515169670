#pragma once
// Bringing the audio engine up when the main window is created and releasing it when the
// window goes away.
#include "audio/AudioApi.h"

namespace platform {
class MessageSink;
}
namespace recording {
class RecordingSession;
}

namespace app {

namespace AudioStartup {

// The default recording device, then the default output device at 44100 Hz. If either fails,
// "Can not start default recording device!" is shown (no owner, the system's caption, error
// icon); the window stays usable without audio, and the engine starts the devices when the
// sound server comes. True when both run now. Either way release() undoes it at the end.
bool start(audio::AudioApi& audio, platform::MessageSink& messages);

// The audio part of the shutdown: a running recording is stopped and its file completed
// exactly as Stop does (but without re-listing); otherwise a playback channel (channel, 0 for
// none; a freed handle is harmless) is stopped and freed. Then the engine is released.
void release(audio::AudioApi& audio, recording::RecordingSession& session, audio::Handle channel);

} // namespace AudioStartup

} // namespace app
