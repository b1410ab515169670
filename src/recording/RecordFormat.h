#pragma once
// How the next recording is written: container and codec, channels, sample rate and the bit
// rate of each compressed format. Both bit rates are kept whatever the format; only the one of
// the chosen format is used. Held inside AppSettings; changed only through TFormatForm.
#include <QString>
#include <cstdint>

namespace recording {

struct RecordFormat {
    enum Code : std::uint8_t { Wav = 0, Mp3 = 1, Wma = 2 };

    std::uint8_t format = Mp3;  // 0 WAV, 1 MP3, 2 WMA
    std::int32_t channels = 2;  // 1 mono, 2 stereo
    std::int32_t sampleRate = 44100;
    std::int32_t bitsPerSample = 16;
    std::int32_t mp3Bitrate = 128; // kbit/s
    std::int32_t wmaBitrate = 96;  // kbit/s

    // ".wav", ".mp3" or ".wma" (any code other than 0 and 1 is WMA, as the dialog reads it).
    static QString extensionFor(std::uint8_t formatCode);
    QString extension() const { return extensionFor(format); }

    // Entries of the format dialog's drop-down lists, in list order.
    static constexpr int FrequencyCount = 5;   // 48000, 44100, 22050, 11025, 8000 Hz
    static constexpr int Mp3BitrateCount = 7;  // 320, 256, 192, 128, 96, 64, 32 kbit/s
    static constexpr int WmaBitrateCount = 6;  // 160, 128, 96, 80, 64, 48 kbit/s

    // Value -> list index; a value not in the list selects the default entry
    // (44100 Hz, 128 kbit/s, 96 kbit/s).
    static int frequencyIndex(std::int32_t sampleRate);
    static int mp3BitrateIndex(std::int32_t kbps);
    static int wmaBitrateIndex(std::int32_t kbps);

    // List index -> value; an index past the list (or -1, no selection) gives the last entry.
    static std::int32_t frequencyForIndex(int index);
    static std::int32_t mp3BitrateForIndex(int index);
    static std::int32_t wmaBitrateForIndex(int index);

    // The MP3 bit rate (kbit/s) a file is really written at for a requested rate: the nearest
    // MPEG-1 layer III rate, capped by what the MPEG version of the sample rate can carry
    // (MPEG-1 at 32000 Hz and above: 320; MPEG-2 at 16000-24000 Hz: 160; MPEG-2.5 below: 64),
    // as the LAME encoder does.
    static std::int32_t effectiveMp3Bitrate(std::int32_t sampleRate, std::int32_t kbps);
    std::int32_t effectiveMp3Bitrate() const { return effectiveMp3Bitrate(sampleRate, mp3Bitrate); }

    bool operator==(const RecordFormat& other) const;
    bool operator!=(const RecordFormat& other) const { return !(*this == other); }
};

} // namespace recording
