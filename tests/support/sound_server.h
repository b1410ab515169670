#pragma once
// The private test sound server as the tests change it from outside, the way a user's own
// tools do (pactl).
#include <QString>
#include <QStringList>

namespace testsupport {

// Runs pactl with these arguments; its standard output, trimmed (empty when it failed).
QString pactl(const QStringList& args);
// Makes `name` the server's default source and waits until the server reports it (up to 3 s,
// asking again every 250 ms). PulseAudio applies a new default before it confirms it;
// PipeWire's server confirms at once and leaves it to its session manager, a moment later.
// False when the default did not change.
bool setDefaultSource(const QString& name);

} // namespace testsupport
