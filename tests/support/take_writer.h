#pragma once
// Feeds interleaved 16-bit PCM to one of the program's writers as a recording session does:
// open, whole chunks of the size the writer asks for, the shorter tail, close.
#include "recording/RecordFormat.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace recording {
class RecordWriter;
} // namespace recording

namespace testsupport {

// False when any step fails.
bool writeAsTake(recording::RecordWriter& writer, const QString& path,
                 const recording::RecordFormat& format, const std::vector<std::int16_t>& pcm);

} // namespace testsupport
