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

// The real cursor, read at most once per maxAgeMs and shared by every control given the same
// source: a window full of polling controls then asks the windowing system once per tick
// instead of once per control.
CursorSource sharedSystemCursorSource(int maxAgeMs = 30);

} // namespace skin
