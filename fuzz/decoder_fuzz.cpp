// Opens arbitrary bytes as an audio file and decodes them the way the player does: open, read
// everything, seek to the middle and read again. The first byte picks the file name's
// extension (which decides the container tried first); the rest is the file.
#include "codecs/FfmpegDecoder.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    static const char* const extensions[] = {".wav", ".mp3", ".wma", ".bin"};
    const std::string path = "/tmp/vexa-decoder-fuzz-" + std::to_string(getpid())
                             + extensions[data[0] % 4];
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data + 1, 1, size - 1, f);
        std::fclose(f);
    } else {
        return 0;
    }

    codecs::FfmpegDecoder d; // the module's decoder itself, built with the fuzzer's instrumentation
    if (d.open(path)) {
        std::vector<std::int16_t> buffer(4096 * std::size_t(d.channels()));
        // Bounded: a damaged header may claim hours.
        for (int i = 0; i < 256 && !d.atEnd(); ++i)
            if (d.read(buffer.data(), 4096) == 0)
                break;
        if (d.seek(d.lengthFrames() / 2))
            d.read(buffer.data(), 4096);
        d.seek(0);
        d.read(buffer.data(), 1024);
    }
    std::remove(path.c_str());
    return 0;
}
