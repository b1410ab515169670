#pragma once
// The main window: it owns everything for the life of the process and runs the fixed
// sequences of creation (FormCreate), activation (FormActivate) and shutdown (FormDestroy).
// It is the hub, not the home of the logic: it builds the skinned layout, keeps the window's
// own commands (menus, list height, stay on top, minimise, close), shows the transport model on
// the controls and runs the display tick. Everything else comes from its parts
// (Services::parts), which connect the controls they handle and join the tick through
// MainFormContext.
#include "app/AppSettings.h"
#include "app/MainFormContext.h"
#include "audio/TransportModel.h"
#include "i18n/LanguageApplier.h"
#include "i18n/ObjectNameTextsView.h"
#include "platform/ResourcePaths.h"
#include "platform/SystemInfo.h"

#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QMenu;

namespace i18n {
class MenuLanguageView;
}
namespace library {
class TreeWidgetFileListView;
}
namespace skin {
class SkinWindowCommands;
}

namespace app {

class MainFormViews;
class TMainFormPart;
class TransportPresenter;

class TMainForm : public QWidget, public MainFormContext {
    Q_OBJECT
public:
    struct Services {
        platform::SettingsStore& settings;
        platform::MessageSink& messages;
        platform::Shell& shell;
        platform::SystemFacts system;
        AppSettings::Environment environment;
        QString programFolder; // the executable's folder, with a trailing separator
        std::vector<TMainFormPart*> parts = {};
        bool printFirstPaint = false; // for the start-up benchmark: the time of the first paint
    };

    explicit TMainForm(Services services, QWidget* parent = nullptr);
    ~TMainForm() override;

    // --- MainFormContext -----------------------------------------------------------------
    QWidget& window() override { return *this; }
    skin::MainFormLayout& layout() override { return *layout_; }
    AppSettings& Settings() override { return settings_; }
    const AppSettings& Settings() const { return settings_; }
    int OsKind() const override { return osKind_; }
    QString ProgramFolder() const override { return services_.programFolder; }
    std::shared_ptr<const i18n::LanguageFile> LanguageIni() const override { return std::atomic_load(&languageIni_); }
    i18n::LanguageApplier& languageApplier() override { return languageApplier_; }
    platform::MessageSink& messages() override { return services_.messages; }
    platform::Shell& shell() override { return services_.shell; }
    audio::TransportModel& transport() override { return transport_; }
    std::function<void()> command(std::function<void()> work) override;
    void joinTick(std::function<void()> step) override { tickSteps_.push_back(std::move(step)); }

    // The language files: beside the program (the build tree), else the installed share folder.
    QString LanguagesFolder() const { return platform::ResourcePaths::languagesFolder(services_.programFolder); }
    // The open dialog's filter from the language file.
    QString OpenDialogFilter() const { return mainTexts_.value(QStringLiteral("OpenDialog1")); }

    // The system menu and any item of the window by name ("MenuSysExit", "MenuSpec2", ...).
    QMenu* PopupMenuSystem() const;
    QAction* menuItem(const QString& name) const;

    // --- Handlers ------------------------------------------------------------------------
    void ApplyLanguage();
    void LanguageMenuClick(int index);
    void MenuSysOnTopClick();
    void QLTButtonCloseClick(); // also MenuSysExit: closing runs the shutdown sequence
    void SetFileListShown(bool shown);
    // The 100 ms display tick: every joined step, in order.
    void displayTick();

    // The first showing was painted and what waited for it (mixer, audio engine) has run.
    bool FirstShowingDone() const { return shownHandled_; }

    // A command that showed a dialog of its own has already brought the window up to date:
    // the focus coming back from that dialog is no activation.
    void dropPendingActivation() { otherWindowHadFocus_ = false; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void createControls();
    void connectWindowCommands();
    void showTransport(TransportState state);
    void FormCreate();
    void FormActivate();
    void FormShown();
    void FormDestroy();
    void ApplySettingsToWindow();
    void WatchActivation();

    Services services_;
    AppSettings settings_;
    int osKind_ = 0;
    std::shared_ptr<const i18n::LanguageFile> languageIni_;

    skin::MainFormLayout* layout_ = nullptr; // child of the window
    std::unique_ptr<skin::SkinWindowCommands> windowCommands_;
    std::unique_ptr<MainFormViews> views_;
    std::unique_ptr<library::TreeWidgetFileListView> list_;
    audio::TransportModel transport_;
    std::unique_ptr<TransportPresenter> presenter_;
    std::vector<std::function<void()>> tickSteps_;

    std::unique_ptr<i18n::MenuLanguageView> languageMenu_;
    i18n::LanguageApplier languageApplier_;
    i18n::ObjectNameTextsView mainTexts_;

    bool shownOnce_ = false;
    bool shownHandled_ = false; // FormShown ran (or is no longer wanted)
    bool firstPaintSeen_ = false;
    QString languageToStore_; // the default language, stored once the window is up
    bool otherWindowHadFocus_ = false;
    bool destroyed_ = false;
    bool printFirstPaint_ = false;
};

} // namespace app
