#pragma once
// A recording format in one call, in the order of the format dialog's choices: format code,
// channels, sample rate, MP3 and WMA bit rate (kbit/s). What is left out is stereo, 44100 Hz,
// MP3 128 and WMA 96.
#include "recording/RecordFormat.h"

namespace testsupport {

inline recording::RecordFormat recordFormat(std::uint8_t code, int channels = 2, int rate = 44100,
                                            int mp3 = 128, int wma = 96)
{
    recording::RecordFormat f;
    f.format = code;
    f.channels = channels;
    f.sampleRate = rate;
    f.mp3Bitrate = mp3;
    f.wmaBitrate = wma;
    return f;
}

} // namespace testsupport
