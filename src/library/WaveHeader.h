#pragma once
// The RIFF header reader behind the file list's WAV durations and the information panel.
// readWaveHeader only reads; ReadWaveHeader also reports a failure through the message sink,
// with the reader's own texts.
#include <cstdint>
#include <QString>

namespace platform {
class MessageSink;
struct Message;
}

namespace library {

struct WaveInfo {
    std::uint32_t Channels = 0;
    std::uint32_t SampleRate = 0;
    std::uint32_t BitsPerSample = 0;
    std::uint32_t DataSize = 0;  // bytes of the "data" chunk that the file really holds
    std::uint32_t Duration = 0;  // whole seconds; 0 when the header gives no byte rate
};

enum class WaveHeaderResult {
    Ok,
    CannotOpen, // "Cannot open the file!"
    NotWave,    // "This is not a valid Wave file": no "fmt " before "data", not PCM, no "data" chunk
    NotPcm,     // "Not PCM formats!": PCM with other than 8 or 16 bits
};

class WaveHeader {
public:
    // Walks the chunks after the RIFF header: "fmt " anywhere before "data", any other chunks
    // around it. PCM is format tag 1, or WAVE_FORMAT_EXTENSIBLE with the PCM sub-format.
    // Odd-sized chunks are followed by their pad byte. The walk stops at the end of the file.
    // A "data" size larger than what follows in the file is cut to what is there. Only regular
    // files are opened, and the open never waits (a FIFO is "Cannot open the file!").
    static WaveHeaderResult read(const QString& path, WaveInfo& info);

    // The message a failure shows; an empty text for Ok.
    static platform::Message message(WaveHeaderResult result);
};

// Reads the header; on failure shows its message through the sink and returns false.
bool ReadWaveHeader(const QString& path, WaveInfo& info, platform::MessageSink& sink);

} // namespace library
