// What the About box and the editor question cost to make, with their language texts applied
// (the main window makes them on first use, so this is what the first About or Dravena click
// pays, never the start-up). The first pair made in a process pays for loading the widget
// style's resources and fonts: printed on its own before the repeated figures, once in a fresh
// process (VEXA_BENCH_COLD=1) and by default after another window with a label and a button
// was shown, as in the program, where the main window is up before any dialog.
//
//   extras_dialogs_bench                                   offscreen
//   QT_QPA_PLATFORM=xcb DISPLAY=:NN extras_dialogs_bench   on a real X display
#include <benchmark/benchmark.h>

#include "extras/EditorQuestionDialog.h"
#include "extras/TAboutForm.h"
#include "i18n/LanguageApplier.h"
#include "i18n/LanguageFile.h"
#include "i18n/ObjectNameTextsView.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QPixmap>

#include <cstdio>

namespace {

class NoShell : public platform::Shell {
public:
    bool openFolder(const QString&) override { return false; }
    bool openDocument(const QString&) override { return false; }
    bool openUrl(const QString&) override { return false; }
    bool startProgram(const QString&, const QStringList&, const QString&) override { return false; }
};

QString englishFile()
{
    // The copy the build puts beside the programs.
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Languages/English.ini");
}

void makeBoth(const i18n::LanguageFile& ini, const QIcon& icon)
{
    NoShell shell;
    QWidget owner;
    auto* about = new extras::TAboutForm(shell, icon, QStringLiteral("3.1"), &owner);
    auto* question = new extras::EditorQuestionDialog(&owner);
    i18n::ObjectNameTextsView aboutTexts(about), questionTexts(question);
    i18n::LanguageApplier applier;
    applier.registerWindow(QStringLiteral("TAboutForm"), &aboutTexts);
    applier.registerWindow(QStringLiteral("TRunDravenaForm"), &questionTexts);
    applier.apply(ini, false, true);
    benchmark::DoNotOptimize(about->Label4);
}

void BM_MakeBothDialogs(benchmark::State& state)
{
    const i18n::LanguageFile ini(englishFile());
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::red);
    const QIcon icon(pixmap);
    for (auto _ : state)
        makeBoth(ini, icon);
}
BENCHMARK(BM_MakeBothDialogs)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    {
        const i18n::LanguageFile ini(englishFile());
        QPixmap pixmap(20, 20);
        pixmap.fill(Qt::red);
        QWidget warm;
        if (!qEnvironmentVariableIsSet("VEXA_BENCH_COLD")) {
            auto* label = new QLabel(QStringLiteral("Vexa"), &warm);
            auto* button = new QPushButton(QStringLiteral("OK"), &warm);
            button->move(0, 30);
            warm.show();
            QCoreApplication::processEvents();
            benchmark::DoNotOptimize(label);
        }
        QElapsedTimer timer;
        timer.start();
        makeBoth(ini, QIcon(pixmap));
        std::printf("first pair in this process (%s): %.3f ms\n",
                    qEnvironmentVariableIsSet("VEXA_BENCH_COLD") ? "cold" : "after another window", timer.nsecsElapsed() / 1e6);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
