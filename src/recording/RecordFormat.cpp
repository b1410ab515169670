#include "recording/RecordFormat.h"

namespace recording {

namespace {

constexpr std::int32_t Frequencies[RecordFormat::FrequencyCount] = {48000, 44100, 22050, 11025, 8000};
constexpr std::int32_t Mp3Bitrates[RecordFormat::Mp3BitrateCount] = {320, 256, 192, 128, 96, 64, 32};
constexpr std::int32_t WmaBitrates[RecordFormat::WmaBitrateCount] = {160, 128, 96, 80, 64, 48};

template <int N>
int indexOf(const std::int32_t (&values)[N], std::int32_t value, int defaultIndex)
{
    for (int i = 0; i < N; ++i) {
        if (values[i] == value)
            return i;
    }
    return defaultIndex;
}

template <int N>
std::int32_t valueAt(const std::int32_t (&values)[N], int index)
{
    // Any index outside the list reads as its last entry, as the dialog's read-back does.
    return (index >= 0 && index < N) ? values[index] : values[N - 1];
}

} // namespace

QString RecordFormat::extensionFor(std::uint8_t formatCode)
{
    switch (formatCode) {
    case Wav: return QStringLiteral(".wav");
    case Mp3: return QStringLiteral(".mp3");
    default: return QStringLiteral(".wma");
    }
}

int RecordFormat::frequencyIndex(std::int32_t sampleRate) { return indexOf(Frequencies, sampleRate, 1); }
int RecordFormat::mp3BitrateIndex(std::int32_t kbps) { return indexOf(Mp3Bitrates, kbps, 3); }
int RecordFormat::wmaBitrateIndex(std::int32_t kbps) { return indexOf(WmaBitrates, kbps, 2); }

std::int32_t RecordFormat::frequencyForIndex(int index) { return valueAt(Frequencies, index); }
std::int32_t RecordFormat::mp3BitrateForIndex(int index) { return valueAt(Mp3Bitrates, index); }
std::int32_t RecordFormat::wmaBitrateForIndex(int index) { return valueAt(WmaBitrates, index); }

std::int32_t RecordFormat::effectiveMp3Bitrate(std::int32_t sampleRate, std::int32_t kbps)
{
    // A requested rate becomes the MPEG-1 rate whose range holds it (compared unsigned, so a
    // negative request is huge)...
    struct Step {
        std::uint32_t upTo;
        std::int32_t rate;
    };
    static constexpr Step Steps[] = {
        {36, 32},   {44, 40},   {52, 48},   {60, 56},   {67, 64},   {88, 80},   {104, 96},
        {120, 112}, {144, 128}, {176, 160}, {208, 192}, {240, 224}, {288, 256},
    };
    std::int32_t rate = 320;
    for (const Step& step : Steps) {
        if (std::uint32_t(kbps) <= step.upTo) {
            rate = step.rate;
            break;
        }
    }
    // ...and the MPEG version of the sample rate caps it. Every MPEG-1 rate up to the cap is
    // also a rate of MPEG-2 and MPEG-2.5, so the cap is all that changes.
    const std::int32_t cap = sampleRate >= 32000 ? 320 : sampleRate >= 16000 ? 160 : 64;
    return rate < cap ? rate : cap;
}

bool RecordFormat::operator==(const RecordFormat& other) const
{
    return format == other.format && channels == other.channels && sampleRate == other.sampleRate
        && bitsPerSample == other.bitsPerSample && mp3Bitrate == other.mp3Bitrate
        && wmaBitrate == other.wmaBitrate;
}

} // namespace recording
