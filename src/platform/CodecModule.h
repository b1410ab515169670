#pragma once
// The codec module (vexa-codecs.so: FFmpeg's decoders, encoders and resampler behind the
// program's own interfaces), loaded the first time one of its entry points is asked for. It
// lies beside the executable in a build tree and in <prefix>/lib/vexa-recorder when installed;
// VEXA_CODEC_MODULE names another file (tests of a missing module).
#include <QString>

namespace platform {

// The module's exported symbol `name`, or null when the module cannot be loaded (the reason
// is printed once on standard error) or lacks it. Safe from any thread.
void* codecModuleSymbol(const char* name);

// Starts loading the module on a thread of its own and returns at once, so that a first use
// soon after (a WMA recording) does not wait for it. A later use waits until it is loaded.
void preloadCodecModule();

// Where the module is looked for, for a program in programFolder: beside it if the file is
// there, otherwise <programFolder>/../lib/vexa-recorder/.
QString codecModulePath(const QString& programFolder);

} // namespace platform
