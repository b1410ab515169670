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

} // namespace skin
