#pragma once
namespace app {

// Where the time before the first paint goes, for the start-up benchmark: once enabled (by
// main, from BenchSwitches), each mark prints "phase <name> <microseconds since the epoch>"
// on standard output as it is reached; otherwise a mark costs one branch.
class StartupPhases {
public:
    static void setEnabled(bool enabled);
    static void mark(const char* name);
    // The name of a part's class, for marks per part.
    static void markPart(const char* step, const char* typeName);
};

} // namespace app
