#pragma once
// One open capture or output stream of a DeviceBackend. Destroying it closes the device; once
// stop() or the destructor has returned, its callback is not running and will not run again
// (until start()). Calls are made from one controlling thread at a time; stop() may also be
// called from inside the stream's own callback.
#include "audio/DeviceFormat.h"

#include <cstdint>
#include <string>

namespace audio {

class DeviceStream {
public:
    virtual ~DeviceStream() = default;

    virtual bool start() = 0;
    // Stops at once and drops what the device still buffers (no drain).
    virtual void stop() = 0;
    virtual bool running() const = 0;
    // True once the device or the sound server went away; the stream then delivers nothing.
    virtual bool failed() const = 0;
    // The format the device really runs at.
    virtual DeviceFormat format() const = 0;

    // A capture's source as the sound server described it when the stream opened (empty when
    // the backend cannot tell), and whether it was muted then.
    virtual std::string sourceDescription() const { return {}; }
    virtual bool sourceMuted() const { return false; }
    // True once the capture ended because its own source went away while the sound server
    // stayed (failed() is true then too). A capture is never moved to another source.
    virtual bool sourceGone() const { return false; }
};

} // namespace audio
