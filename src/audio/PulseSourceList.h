#pragma once
// The capture sources of the PulseAudio server as the server lists them (by index): the name a
// stream opens and the description people read. Empty when no server answers within the
// timeout. Used to find a named source among RtAudio's devices, which carry descriptions only.
#include <string>
#include <vector>

namespace audio {

struct PulseSource {
    std::string name;
    std::string description;
    bool isDefault = false;
    // The "device.description" property, which is what RtAudio shows. PulseAudio gives a
    // monitor "Monitor of X" in both; PipeWire's property is the sink's own "X", and RtAudio
    // then lists the sink and its monitor as one device. Empty: the same as the description.
    std::string label = {};
};

std::vector<PulseSource> listPulseSources(int timeoutMs = 2000);

// The position among `inputDescriptions` (RtAudio's capture devices in its order) of the source
// called `name`, or -1. A label (or description) that only this source has, found exactly once
// among the devices, names it. Otherwise positions decide: RtAudio lists the default source
// first and the others in the server's order (or, in other versions, all in the server's
// order); the order that agrees with the devices entry by entry is taken, so a source added or
// removed between the two queries never picks the wrong device.
int findSourceByName(const std::vector<PulseSource>& sources,
                     const std::vector<std::string>& inputDescriptions, const std::string& name);

} // namespace audio
