#pragma once
// Reads the system's font configuration on a thread of its own while the toolkit starts up.
// Parsing it (some fifty XML files, then the font caches) takes several milliseconds that would
// otherwise fall on the way to the first paint, when the window asks for its first font; the
// toolkit then finds the configuration ready. Where fonts do not come through fontconfig this
// does nothing.
#include <thread>

namespace platform {

class FontConfigWarmUp {
public:
    FontConfigWarmUp(); // starts reading
    ~FontConfigWarmUp(); // waits for the reading, if nobody did
    FontConfigWarmUp(const FontConfigWarmUp&) = delete;
    FontConfigWarmUp& operator=(const FontConfigWarmUp&) = delete;

    // Waits until the configuration is read. Call it before the first font is used: reading
    // it twice at the same time would only do the work twice.
    void wait();

    // Whether this build reads the configuration ahead at all.
    static bool available();

private:
    std::thread thread_;
};

} // namespace platform
