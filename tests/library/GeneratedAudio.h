#pragma once
// Audio files made for the tests: WAV as bytes, MP3 and WMA by the ffmpeg command-line tool
// from a generated sine.
#include "LibraryFakes.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtMath>

namespace librarytest {

// A 16-bit PCM WAV of a sine at `tone` Hz.
inline QByteArray sineWav(double seconds, int tone, quint32 rate = 44100, quint16 channels = 2)
{
    const int frames = int(seconds * rate);
    QByteArray pcm(frames * channels * 2, '\0');
    auto* out = reinterpret_cast<qint16*>(pcm.data());
    for (int i = 0; i < frames; ++i) {
        const auto v = qint16(12000 * std::sin(2 * M_PI * tone * i / double(rate)));
        for (int c = 0; c < channels; ++c)
            out[i * channels + c] = qToLittleEndian(v);
    }
    return riff(chunk("fmt ", fmtBody(1, channels, rate, 16)) + chunk("data", pcm));
}

// Encodes a sine of the given length with ffmpeg: the codec follows the extension (.mp3 with
// LAME at a constant rate, .wma with wmav2). Returns false with the tool's output on failure.
inline bool ffmpegSine(const QString& out, double seconds, int tone, int kbps, QString* log = nullptr,
                       int rate = 44100, int channels = 2)
{
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (ffmpeg.isEmpty())
        return false;
    QStringList args = {"-v", "error", "-y", "-f", "lavfi", "-i",
                        QStringLiteral("sine=frequency=%1:sample_rate=%2:duration=%3").arg(tone).arg(rate).arg(seconds),
                        "-ac", QString::number(channels)};
    if (out.endsWith(".mp3", Qt::CaseInsensitive))
        args << "-c:a" << "libmp3lame";
    else if (out.endsWith(".wma", Qt::CaseInsensitive))
        args << "-c:a" << "wmav2";
    args << "-b:a" << QStringLiteral("%1k").arg(kbps) << out;
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(ffmpeg, args);
    // No bound of our own: an hour of MP3 takes a minute or more on a busy machine, and the
    // test's own time limit catches an encoder that hangs.
    const bool ok = p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (log)
        *log = QString::fromLocal8Bit(p.readAll());
    return ok;
}

} // namespace librarytest
