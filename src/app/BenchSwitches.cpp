#include "app/BenchSwitches.h"

#include <QString>

namespace app {

BenchSwitches BenchSwitches::fromEnvironment()
{
    BenchSwitches s;
    s.printStartup = qEnvironmentVariableIsSet("VEXA_BENCH_FIRST_PAINT");
    s.displayOff = qEnvironmentVariableIsSet("VEXA_BENCH_DISPLAY_OFF");
    s.captureWatchOff = qEnvironmentVariable("VEXA_CAPTURE_WATCH") == QLatin1String("0");
    return s;
}

} // namespace app
