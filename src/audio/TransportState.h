#pragma once
// The one transport of the main window. The raw values are fixed: the display renderers
// receive them as they are.
#include <cstdint>

enum TransportState : std::uint8_t {
    Idle = 0,
    Playing = 1,
    PlayPaused = 2,
    Recording = 3,
    RecordPaused = 4,
};
