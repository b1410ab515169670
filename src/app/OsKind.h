#pragma once
// The operating-system class of the program: 1..10. Classes 1 and 6 are the systems whose
// sound-card mixer the program does not drive itself (the sound-source and mute commands open
// the system's own sound panel there, and three texts differ).
#include "platform/SystemInfo.h"

namespace app {

// The class of a system by family and version:
//   Windows NT family: 4.x -> 2, 5.0 -> 3, 5.1 -> 4, 5.2 -> 5, 6.0 -> 6, any other version -> 1
//   Windows 9x family: major below 4 -> 7, 4.10 -> 9, 4.90 -> 10, other 4.x (and later) -> 8
//   any other system  -> OsKindOwnMixer
int OsKindFor(platform::OsFamily family, int major, int minor);

// The class of a system that is not Windows. On Linux (and any non-Windows system) there is
// no system sound panel for the program to hand over to: it drives the sound server's mixer
// itself (own-mixer mode), so the class reported there is never 1 or 6. 5 is the newest
// Windows class that also drives its own mixer.
constexpr int OsKindOwnMixer = 5;

// True for the classes that hand the sound-source and mute commands to the system's panel.
constexpr bool OsKindUsesSystemPanel(int osKind) { return osKind == 1 || osKind == 6; }

} // namespace app
