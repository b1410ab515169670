#pragma once
// The name of the next recording: folder + "Vexa_" + a number from 1 to 1000 (padded to three
// digits) + the extension of the format code
// (RecordFormat::extensionFor). A number is taken while a file of that number exists
// with any of the three extensions, in any letter case, so a recording never overwrites a file
// and numbers are not shared between formats.
#include <QString>

#include <cstdint>

namespace recording {

// Full path of the first free number, or an empty text when all 1000 are taken. The folder may
// end with a separator or not; the result always has one between folder and name.
QString nextFileName(const QString& folder, std::uint8_t formatCode);

} // namespace recording
