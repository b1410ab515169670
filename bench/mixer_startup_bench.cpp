// What the mixer adds to the window's start-up, on the sound server of $PULSE_SERVER (scripts/
// services.sh start DIR gives a private one):
//  - BM_MixerStartUp: a new connection to the server's mixer, the device count, the open and
//    the first refresh (line, its volume, speaker volume, mute), as the window's creation runs
//    them; arg 0 without a server (the connection fails at once).
//  - BM_SoundSourceFormCreate: making the sound source dialog (hidden).
//  - BM_Refresh: one refresh from the device, as every change notification runs it.
#include "mixer/MixerDevice.h"
#include "mixer/MixerPanel.h"
#include "mixer/MixerPanelView.h"
#include "mixer/SoundPanels.h"
#include "mixer/TSoundSourceForm.h"
#include "platform/PulseMixerBackend.h"
#include "platform/Shell.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

class View : public mixer::MixerPanelView {
public:
    void setControlsEnabled(bool) override {}
    int waveInPos() const override { return 0; }
    void setWaveInPos(int) override {}
    int speakPos() const override { return 0; }
    void setSpeakPos(int) override {}
    bool muteDown() const override { return false; }
    void setMuteDown(bool) override {}
};

class NoShell : public platform::Shell {
public:
    bool openFolder(const QString&) override { return false; }
    bool openDocument(const QString&) override { return false; }
    bool openUrl(const QString&) override { return false; }
    bool startProgram(const QString&, const QStringList&, const QString&) override { return false; }
};

mixer::MixerDevice::BackendFactory pulse()
{
    return [] { return std::make_unique<platform::PulseMixerBackend>(); };
}

void BM_MixerStartUp(benchmark::State& state)
{
    const QByteArray saved = qgetenv("PULSE_SERVER");
    if (state.range(0) == 0)
        qputenv("PULSE_SERVER", "unix:/nonexistent/vexa-bench-no-server");
    View view;
    NoShell shell;
    mixer::SoundPanels panels(shell);
    mixer::TSoundSourceForm form(pulse());
    for (auto _ : state) {
        mixer::MixerDevice mixer(pulse());
        mixer::MixerPanel panel(mixer, view, form, panels, false);
        int mixerIndex = 0;
        panel.startUp(mixerIndex);
        benchmark::DoNotOptimize(mixerIndex);
    }
    qputenv("PULSE_SERVER", saved);
}
BENCHMARK(BM_MixerStartUp)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SoundSourceFormCreate(benchmark::State& state)
{
    for (auto _ : state) {
        mixer::TSoundSourceForm form(pulse());
        benchmark::DoNotOptimize(&form);
    }
}
BENCHMARK(BM_SoundSourceFormCreate)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Refresh(benchmark::State& state)
{
    View view;
    NoShell shell;
    mixer::SoundPanels panels(shell);
    mixer::TSoundSourceForm form(pulse());
    mixer::MixerDevice mixer(pulse());
    mixer::MixerPanel panel(mixer, view, form, panels, false);
    int mixerIndex = 0;
    panel.startUp(mixerIndex);
    for (auto _ : state)
        panel.refresh();
}
BENCHMARK(BM_Refresh)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
