#pragma once
// What the record format dialog (TFormatForm) shows and how it reacts, without the widgets:
// the hand-over of the current format, the radio buttons checked on activation, the coupling
// between sample rate and MP3 bit rate (on the user's changes only), Default, and the reading
// back of the controls when the dialog ends with OK.
#include "recording/RecordFormat.h"

namespace recording {

class FormatFormLogic {
public:
    enum FormatRadio { RadioWav, RadioMp3, RadioWma };

    // The controls' state. The initial values are those of the dialog's resource.
    struct State {
        FormatRadio format = RadioMp3;
        bool stereo = true;
        int frequencyIndex = 1; // 44100 Hz
        int mp3Index = 3;       // 128 kbit/s
        int wmaIndex = 2;       // 96 kbit/s
    };

    // Before showing: keeps the format code and channel count for activate() and selects the
    // list entries that match the sample rate and bit rates (unknown values: the defaults).
    // Program selections: no coupling.
    void handIn(const RecordFormat& format);
    // FormActivate: checks WAV for code 0, MP3 for 1, WMA for any other code; Mono for one
    // channel, Stereo otherwise.
    void activate();

    // The user's changes.
    void userSelectsFrequency(int index);  // 11025 or 8000 Hz pulls MP3 down to 64 kbit/s
    void userSelectsMp3Bitrate(int index); // 96 kbit/s or more pulls the rate up to 22050 Hz
    void userSelectsWmaBitrate(int index);
    void userChecksFormat(FormatRadio radio);
    void userChecksStereo(bool stereo);

    // ButtonDefaultClick: MP3, Stereo, 44100 Hz, 128 kbit/s MP3, 96 kbit/s WMA.
    void setDefaults();

    // After OK: the record format the controls describe (bits per sample kept from current).
    RecordFormat readBack(const RecordFormat& current) const;

    const State& state() const { return state_; }

private:
    State state_;
    std::uint8_t handedFormat_ = RecordFormat::Mp3;
    std::int32_t handedChannels_ = 2;
};

} // namespace recording
