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

} // namespace library
