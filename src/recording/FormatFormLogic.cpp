#include "recording/FormatFormLogic.h"

namespace recording {

namespace {

constexpr int FirstLowRateIndex = 3;   // 11025 Hz
constexpr int CoupledMp3Index = 5;     // 64 kbit/s
constexpr int LastHighMp3Index = 4;    // 96 kbit/s
constexpr int CoupledRateIndex = 2;    // 22050 Hz

} // namespace

void FormatFormLogic::handIn(const RecordFormat& format)
{
    handedFormat_ = format.format;
    handedChannels_ = format.channels;
    state_.frequencyIndex = RecordFormat::frequencyIndex(format.sampleRate);
    state_.mp3Index = RecordFormat::mp3BitrateIndex(format.mp3Bitrate);
    state_.wmaIndex = RecordFormat::wmaBitrateIndex(format.wmaBitrate);
}

void FormatFormLogic::activate()
{
    switch (handedFormat_) {
    case RecordFormat::Wav: state_.format = RadioWav; break;
    case RecordFormat::Mp3: state_.format = RadioMp3; break;
    default: state_.format = RadioWma; break;
    }
    state_.stereo = handedChannels_ != 1;
}

void FormatFormLogic::userSelectsFrequency(int index)
{
    state_.frequencyIndex = index;
    if (index >= FirstLowRateIndex && state_.mp3Index < CoupledMp3Index)
        state_.mp3Index = CoupledMp3Index;
}

void FormatFormLogic::userSelectsMp3Bitrate(int index)
{
    state_.mp3Index = index;
    if (index <= LastHighMp3Index && state_.frequencyIndex > CoupledRateIndex)
        state_.frequencyIndex = CoupledRateIndex;
}

void FormatFormLogic::userSelectsWmaBitrate(int index)
{
    state_.wmaIndex = index;
}

void FormatFormLogic::userChecksFormat(FormatRadio radio)
{
    state_.format = radio;
}

void FormatFormLogic::userChecksStereo(bool stereo)
{
    state_.stereo = stereo;
}

void FormatFormLogic::setDefaults()
{
    state_ = State();
}

RecordFormat FormatFormLogic::readBack(const RecordFormat& current) const
{
    RecordFormat format = current;
    switch (state_.format) {
    case RadioWav: format.format = RecordFormat::Wav; break;
    case RadioMp3: format.format = RecordFormat::Mp3; break;
    case RadioWma: format.format = RecordFormat::Wma; break;
    }
    format.channels = state_.stereo ? 2 : 1;
    format.sampleRate = RecordFormat::frequencyForIndex(state_.frequencyIndex);
    format.mp3Bitrate = RecordFormat::mp3BitrateForIndex(state_.mp3Index);
    format.wmaBitrate = RecordFormat::wmaBitrateForIndex(state_.wmaIndex);
    return format;
}

} // namespace recording
