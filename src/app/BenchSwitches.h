#pragma once
namespace app {

// Switches that only the benchmarks set, read once from the environment when the program
// starts; the parts are given what concerns them.
//   VEXA_BENCH_FIRST_PAINT   print the start-up phases and the time of the first paint
//   VEXA_BENCH_DISPLAY_OFF   run the window without its display (what the display costs)
//   VEXA_CAPTURE_WATCH=0     leave dropouts and clipping uncounted (what counting costs)
struct BenchSwitches {
    bool printStartup = false;
    bool displayOff = false;
    bool captureWatchOff = false;

    static BenchSwitches fromEnvironment();
};

} // namespace app
