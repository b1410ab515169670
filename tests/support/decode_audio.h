#pragma once
// Test helper: decodes an audio file back with FFmpeg and reports what a player would see
// (codec, container, sample rate, channels, bit rate, durations, the samples), plus the small
// signal tools the round-trip tests need (a sine generator, the dominant frequency, the level).
#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

namespace testsupport {

struct DecodedAudio {
    bool ok = false;
    QString error;                // why decoding failed
    QString codec;                // FFmpeg codec id name: "mp3", "wmav2", "pcm_s16le"
    QString container;            // FFmpeg demuxer name: "mp3", "asf", "wav"
    int sampleRate = 0;
    int channels = 0;
    std::int64_t bitRate = 0;     // the stream's bit rate, bit/s (the container's if none)
    double containerDuration = 0; // seconds, as the container reports it (0 if unknown)
    std::vector<float> samples;   // every decoded sample, interleaved, full scale = 1.0

    std::int64_t frames() const { return channels ? std::int64_t(samples.size()) / channels : 0; }
    double duration() const { return sampleRate ? double(frames()) / sampleRate : 0.0; }
    // One channel's samples from frame `from` (inclusive) to `to` (exclusive; -1 = the end).
    std::vector<float> channel(int index, std::int64_t from = 0, std::int64_t to = -1) const;
};

DecodedAudio decodeAudio(const QString& path);

// Interleaved 16-bit PCM: `frames` frames of a sine per channel (frequencies[c] Hz, amplitude
// 0..1 of full scale); channels = frequencies.size().
std::vector<std::int16_t> sinePcm(int sampleRate, std::int64_t frames,
                                  const std::vector<double>& frequencies, double amplitude = 0.5);

// Frequency (Hz) of the strongest component (Hann window, FFT, parabolic peak interpolation).
double dominantFrequency(const std::vector<float>& signal, int sampleRate);

// First and one past the last frame in which any sample's magnitude reaches threshold
// (-1, -1 when none does): where a tone starts and ends in a decoded file.
std::pair<std::int64_t, std::int64_t> soundSpan(const DecodedAudio& audio, float threshold);

// Root mean square of a signal (full scale = 1.0).
double rms(const std::vector<float>& signal);

} // namespace testsupport
