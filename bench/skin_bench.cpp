// What the skinned main window costs: building its shape from the skin (at start-up and on
// every stay-on-top switch), building the whole layout, and the CPU share of the idle window
// while all its cursor-polling timers run.
//
//   skin_bench                                   all figures (about 12 s; offscreen)
//   QT_QPA_PLATFORM=xcb DISPLAY=:NN skin_bench   the same on a real X display (Xvfb)
//   skin_bench --benchmark_filter=Shape
//
// Figures: the time per build; cpu_share_pct = user + system CPU of this process over 10 s of
// the idle, shown window, in percent of one core (goal: under 1 %).
#include <benchmark/benchmark.h>

#include "skin/MainFormLayout.h"
#include "skin/SkinControl.h"
#include "skin/SkinSlider.h"
#include "skin/TQLTSkinForm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>

#include <sys/resource.h>

namespace {

// Runs the event loop for a while (the bench has no QTest).
void runEvents(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec
           + usage.ru_stime.tv_usec / 1e6;
}

// The shape alone: the key-colour mask of the shipped 270 x 358 skin.
void BM_SkinShapeMask(benchmark::State& state)
{
    const QImage art = skin::MainFormLayout::art(QStringLiteral("skin"));
    for (auto _ : state) {
        QBitmap mask = skin::TQLTSkinForm::shapeMask(art);
        benchmark::DoNotOptimize(mask);
    }
}
BENCHMARK(BM_SkinShapeMask)->Unit(benchmark::kMicrosecond);

// What a stay-on-top switch does: size the window to the skin and give it its shape again.
void BM_SkinReSetWndRgn(benchmark::State& state)
{
    QWidget owner;
    skin::TQLTSkinForm form(&owner);
    form.SetSkinBmp(skin::MainFormLayout::art(QStringLiteral("skin")));
    owner.show();
    runEvents(200);
    for (auto _ : state)
        form.ReSetWndRgn();
}
BENCHMARK(BM_SkinReSetWndRgn)->Unit(benchmark::kMicrosecond);

// The whole main window: skin, 26 polling controls, labels, list and menus.
void BM_MainFormLayoutBuild(benchmark::State& state)
{
    for (auto _ : state) {
        QWidget window;
        skin::MainFormLayout layout(&window);
        benchmark::DoNotOptimize(layout.QLTSkinForm1);
    }
}
BENCHMARK(BM_MainFormLayoutBuild)->Unit(benchmark::kMillisecond);

// The idle window: shown, every button and slider polling the cursor ten times a second.
void BM_IdleWindowCpuShare(benchmark::State& state)
{
    for (auto _ : state) {
        QWidget window;
        skin::MainFormLayout layout(&window);
        for (auto* slider : {layout.QLTProgressBar1, layout.QLTProgressBarSpeak, layout.QLTProgressBarWaveIn})
            slider->SetEnabled(true);
        window.show();
        runEvents(500);
        const double cpuStart = processCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        runEvents(10000);
        const double cpu = processCpuSeconds() - cpuStart;
        const double seconds = wall.nsecsElapsed() / 1e9;
        state.SetIterationTime(seconds);
        state.counters["cpu_share_pct"] = 100.0 * cpu / seconds;
        state.counters["polling_controls"] =
            layout.window->findChildren<skin::SkinControl*>().size();
    }
}
BENCHMARK(BM_IdleWindowCpuShare)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
