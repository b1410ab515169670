#pragma once
// Whole seconds as the file list and the information panel show them: [H:]MM:SS.
#include <cstdint>
#include <QString>

namespace library {

// 0 -> "00:00", 65 -> "01:05", 3600 -> "1:00:00", 36000 -> "10:00:00".
QString DurationText(std::uint32_t seconds);

} // namespace library
