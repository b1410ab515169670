#pragma once
// Where the mouse cursor is, in screen coordinates. The skinned controls find the mouse by
// polling this every 100 ms instead of listening to move events; tests hand in their own
// source so that no real mouse is needed. An empty result means the position could not be
// read, and the poll does nothing that tick.
#include <QPoint>
#include <functional>
#include <optional>

namespace skin {

using CursorSource = std::function<std::optional<QPoint>()>;

// The real cursor of the windowing system.
CursorSource systemCursorSource();

// The real cursor, shared by every control given the same source. While the pointer is over a
// window of the program, its position is the one the last mouse event there carried: the
// pointer cannot move over the window without the window hearing of it, and asking the
// windowing system is a round trip that wakes the program up. Once the pointer has left (or
// the window moved, was hidden or blocked by a modal one, or a drag is over it) the system is
// asked again, at most once per maxAgeMs: a window full of polling controls then asks once
// per tick instead of once per control.
CursorSource sharedSystemCursorSource(int maxAgeMs = 30);

} // namespace skin
