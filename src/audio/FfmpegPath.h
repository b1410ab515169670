#pragma once
// File names for FFmpeg. Its file functions (avformat_open_input, avio_open, the muxers' file
// names) take UTF-8 on every system and convert it themselves where the system wants another
// form (wide characters on Windows). QFile::encodeName would give the local 8-bit code page
// there, and a recording in a folder with a non-ASCII name would not open. Elsewhere a name's
// own bytes are given, so that a name that is not valid UTF-8 still opens.
#include <QByteArray>
#include <QString>

namespace audio {

QByteArray ffmpegPath(const QString& path);

} // namespace audio
