#include "audio/FfmpegPath.h"

namespace audio {

QByteArray ffmpegPath(const QString& path)
{
    return path.toUtf8();
}

} // namespace audio
