// The language folder lookup at start-up: beside the program (build tree), in the installed
// share folder (the first place missing), and neither. Figures: time per lookup.
//   resource_paths_bench
#include <benchmark/benchmark.h>

#include "platform/ResourcePaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

namespace {

void lookup(benchmark::State& state, bool beside, bool installed)
{
    QTemporaryDir root;
    QDir dir(root.path());
    dir.mkpath("bin");
    if (beside)
        dir.mkpath("bin/Languages");
    if (installed)
        dir.mkpath("share/vexa-recorder/Languages");
    const QString program = dir.filePath("bin") + "/";
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::ResourcePaths::languagesFolder(program));
}

void BM_LookupBuildTree(benchmark::State& s) { lookup(s, true, false); }
void BM_LookupInstalled(benchmark::State& s) { lookup(s, false, true); }
void BM_LookupMissing(benchmark::State& s) { lookup(s, false, false); }
BENCHMARK(BM_LookupBuildTree);
BENCHMARK(BM_LookupInstalled);
BENCHMARK(BM_LookupMissing);

} // namespace

BENCHMARK_MAIN();
