// Vexa Recorder: process entry. The only argument read is the one that makes this process the
// window's reader of MP3 and WMA lengths (library::StreamProbe).
#include "app/AppSettings.h"
#include "app/BenchSwitches.h"
#include "app/MainFormParts.h"
#include "app/SignalWatcher.h"
#include "app/StartupPhases.h"
#include "app/TMainForm.h"
#include "audio/Engine.h"
#include "library/StreamProbe.h"
#include "platform/DesktopShell.h"
#include "platform/FontConfigWarmUp.h"
#include "platform/InstanceLock.h"
#include "platform/PulseMixerBackend.h"
#include "platform/QtMessageSink.h"
#include "platform/QtSettingsStore.h"
#include "platform/SystemInfo.h"
#include "skin/MainFormLayout.h"

#include <QApplication>
#include <QIcon>

#include <cstring>
#include <exception>

int main(int argc, char** argv)
{
    const app::BenchSwitches bench = app::BenchSwitches::fromEnvironment();
    app::StartupPhases::setEnabled(bench.printStartup);
    app::StartupPhases::mark("main");
    // The window's reader of MP3 and WMA lengths (library::StreamProbe): no window, no lock.
    if (argc == 2 && std::strcmp(argv[1], library::StreamProbe::ServeArgument) == 0)
        return library::StreamProbe::serve();
    // One instance per user session. A second process ends at once, before it shows anything,
    // and leaves the first alone. When no lock can be made at all the program still runs.
    platform::InstanceLock lock(QStringLiteral("RunOnlyOneVexaRecorder"));
    if (lock.tryLock() == platform::InstanceLock::Result::HeldElsewhere)
        return 0;

    // The font configuration is read beside the toolkit's start-up, not on the way to the first
    // paint (the window's first font waits for it).
    platform::FontConfigWarmUp fontConfig;
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vexa Recorder"));
    QApplication::setOrganizationName(QStringLiteral("Quandrel"));
    app::StartupPhases::mark("qt");
    // The file list shows the desktop's audio icons; outside a desktop session the theme has
    // none (or no theme is named at all) and every themed icon would come out empty. Naming the
    // fallback costs nothing here: the themes are only searched when a list shows its icons.
    if (QIcon::themeName().isEmpty())
        QIcon::setThemeName(QStringLiteral("Adwaita"));
    else
        QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));

    platform::QtMessageSink messages;
    try {
        platform::QtSettingsStore settings;
        platform::DesktopShell shell;
        audio::Engine engine;
        app::MainFormParts parts(
            engine, [] { return std::make_unique<platform::PulseMixerBackend>(); },
            [&engine](platform::MixerBackend* mixer) { engine.setMixer(mixer); }, bench);
        // MP3 and WMA lengths for the list: this program, run apart
        parts.library.setStreamProbeProgram(QCoreApplication::applicationFilePath());
        app::TMainForm::Services services{settings,
                                          messages,
                                          shell,
                                          platform::SystemInfo::current(),
                                          app::AppSettings::SystemEnvironment(),
                                          QCoreApplication::applicationDirPath() +
                                              QLatin1Char('/')};
        services.parts = parts.all();
        services.printFirstPaint = bench.printStartup;
        // Watching from the start. A signal that arrives while the window is being made (a box
        // of the start-up has its own event loop) ends that box and is remembered: the window
        // then closes as soon as it exists.
        app::SignalWatcher signalWatcher;
        // A request to end is honoured within two seconds whatever the sound server does.
        signalWatcher.endHardAfter(1500);
        app::TMainForm* mainForm = nullptr;
        bool signalled = false;
        // SIGTERM, SIGINT and SIGHUP close the window exactly as Exit does (the shutdown
        // sequence runs), then end every event loop, so that a box or dialog left open cannot
        // keep the program alive.
        QObject::connect(&signalWatcher, &app::SignalWatcher::received, &application,
                         [&mainForm, &signalled] {
                             signalled = true;
                             if (mainForm)
                                 mainForm->close();
                             QCoreApplication::exit(0);
                         });
        app::StartupPhases::mark("engine");
        fontConfig.wait();
        app::StartupPhases::mark("fonts");
        app::TMainForm MainForm(std::move(services));
        mainForm = &MainForm;
        messages.setOwner(&MainForm);
        if (signalled) {
            MainForm.close();
            return 0;
        }

        MainForm.show();
        if (signalled) // during the first activation: the window is closed already
            return 0;
        return application.exec();
    } catch (const std::exception& e) {
        // Nothing of ours throws; this is third-party code failing during start-up.
        messages.show({QString::fromLocal8Bit(e.what()), QString(), platform::MessageIcon::Error, false});
        return 1;
    }
}
