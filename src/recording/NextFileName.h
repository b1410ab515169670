#pragma once
// The name of the next recording: folder + "Vexa_" + a number from 1 to 1000 (padded to three
// digits) + the extension of the format. A number is taken while a file of that number exists
// with any of the three extensions, in any letter case, so a recording never overwrites a file
// and numbers are not shared between formats.
#include <QString>

namespace recording {

// The extension with its dot for a format code (0 WAV, 1 MP3, 2 WMA); ".wav" for any other.
QString recordExtension(int formatCode);

// Full path of the first free number, or an empty text when all 1000 are taken. The folder may
// end with a separator or not; the result always has one between folder and name.
QString nextFileName(const QString& folder, int formatCode);

} // namespace recording
