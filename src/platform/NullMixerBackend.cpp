#include "platform/NullMixerBackend.h"

namespace platform {

QStringList NullMixerBackend::devices() { return {}; }
bool NullMixerBackend::open(int) { return false; }
void NullMixerBackend::close() {}
QStringList NullMixerBackend::recordingLines() { return {}; }
int NullMixerBackend::selectedLine() { return -1; }
int NullMixerBackend::setSelectedLine(int) { return NoDevice; }
int NullMixerBackend::lineVolume(int) { return -1; }
int NullMixerBackend::setLineVolume(int, int) { return NoDevice; }
int NullMixerBackend::speakerVolume() { return -1; }
int NullMixerBackend::setSpeakerVolume(int) { return NoDevice; }
int NullMixerBackend::speakerMute() { return -1; }
int NullMixerBackend::setSpeakerMute(bool) { return NoDevice; }

} // namespace platform
