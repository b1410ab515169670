#include "audio/FfmpegPath.h"

#include "platform/LocalFiles.h"

namespace audio {

QByteArray ffmpegPath(const QString& path)
{
#ifdef Q_OS_WIN
    return path.toUtf8();
#else
    // The file system's own bytes: UTF-8 for every valid name, and the very bytes of a name
    // that is not valid UTF-8 (which the listing carries through unchanged).
    return platform::LocalFiles::encodeName(path);
#endif
}

} // namespace audio
