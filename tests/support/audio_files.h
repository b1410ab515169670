#pragma once
// Audio files for tests: WAV files written byte by byte (any bit depth, and headers that lie),
// and MP3 and WMA files made with FFmpeg's encoders (libmp3lame in MP3, wmav2 in ASF). They do
// not use the program's own writers, so the readers are checked against an independent source.
#include "support/audio_signals.h"

#include <QByteArray>
#include <QString>

namespace testsupport {

// Canonical 44-byte WAV header followed by `data`. dataSizeField < 0: the real size.
QByteArray wavBytes(const QByteArray& data, unsigned rate, unsigned channels, unsigned bits,
                    long long dataSizeField = -1);
bool writeFile(const QString& path, const QByteArray& bytes);
bool writeWav(const QString& path, const Pcm& samples, unsigned rate, unsigned channels);
// 8-bit (unsigned) WAV from signed 16-bit samples.
bool writeWav8(const QString& path, const Pcm& samples, unsigned rate, unsigned channels);

// Encodes with FFmpeg: "mp3" (libmp3lame, with the Info tag) or "wma" (wmav2 in ASF, led in by
// one codec frame of silence that the decoder swallows).
// bitRate in bit/s.
bool encodeFile(const QString& path, const char* kind, const Pcm& samples, unsigned rate,
                unsigned channels, int bitRate);

} // namespace testsupport
