#include "library/RecordingsLibrary.h"

#include "library/LibraryHost.h"

namespace library {

void RecordingsLibrary::activate()
{
    playback_.clearPlayFilePath();
    const QString first =
        lister_.ListRecordings(host_.recordingsFolder(), list_, FileLister::Reason::Activation);
    selection_.SelectFile(first);
}

void RecordingsLibrary::listAndSelect(const QString& name)
{
    lister_.ListRecordings(host_.recordingsFolder(), list_);
    selection_.SelectFile(name);
}

} // namespace library
