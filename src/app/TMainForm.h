#pragma once
// The main window: it owns everything for the life of the process and runs the fixed
// sequences of creation (FormCreate), activation (FormActivate) and shutdown (FormDestroy).
// It is the hub, not the home of the logic: each handler is a few lines that call a subsystem.
//
// Plugging in:
// - Services::buildLayout builds the window's controls (the skinned layout) before FormCreate.
//   A QMenu named "PopupMenuSystem" among them is used as the system menu; without one the
//   window makes a plain system menu of its own with the same item names.
// - Services::parts take their places in the three sequences (see TMainFormPart).
// - Dialogs register their texts with languageApplier(); ApplyLanguage writes all of them.
#include "app/AppSettings.h"
#include "i18n/LanguageApplier.h"
#include "i18n/MenuLanguageView.h"
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
class TMainFormPart;

namespace i18n {
class LanguageFile;
}
namespace platform {
class MessageSink;
class SettingsStore;
class Shell;
}

class TMainForm : public QWidget {
    Q_OBJECT
public:
    struct Services {
        platform::SettingsStore& settings;
        platform::MessageSink& messages;
        platform::Shell& shell;
        platform::SystemFacts system;
        AppSettings::Environment environment;
        QString programFolder; // the executable's folder, with a trailing separator
        std::function<void(TMainForm&)> buildLayout = {};
        std::vector<TMainFormPart*> parts = {};
    };

    explicit TMainForm(Services services, QWidget* parent = nullptr);
    ~TMainForm() override;

    static constexpr int ClientWidth = 270;

    // --- State the subsystems share -------------------------------------------------------
    AppSettings& Settings() { return settings_; }
    const AppSettings& Settings() const { return settings_; }
    int OsKind() const { return osKind_; }
    QString ProgramFolder() const { return services_.programFolder; }
    QString LanguagesFolder() const { return platform::ResourcePaths::languagesFolder(services_.programFolder); }
    // The open language file (never null; empty before the first ApplyLanguage). A copy of the
    // pointer keeps that language readable (from any thread) while a new one is applied.
    std::shared_ptr<const i18n::LanguageFile> LanguageIni() const { return std::atomic_load(&languageIni_); }
    // The open dialog's filter from the language file.
    QString OpenDialogFilter() const { return mainTexts_.value(QStringLiteral("OpenDialog1")); }

    platform::SettingsStore& settingsStore() { return services_.settings; }
    platform::MessageSink& messages() { return services_.messages; }
    platform::Shell& shell() { return services_.shell; }
    i18n::LanguageApplier& languageApplier() { return languageApplier_; }

    // The system menu and any item of the window by name ("MenuSysExit", "MenuSpec2", ...).
    QMenu* PopupMenuSystem() const { return popupMenuSystem_; }
    QAction* menuItem(const QString& name) const;

    // Where LabelChannel reads whether stereo is chosen (the record format dialog's radio
    // button once it exists); the settings' channel count until then.
    void setStereoSelectedSource(std::function<bool()> source) { stereoSelected_ = std::move(source); }

    // --- Handlers ------------------------------------------------------------------------
    void ApplyLanguage();
    void LanguageMenuClick(int index);
    void MenuSysOnTopClick();
    void QLTButtonCloseClick(); // also MenuSysExit: closing runs the shutdown sequence
    void SetFileListShown(bool shown);

    // A command that showed a dialog of its own has already brought the window up to date:
    // the focus coming back from that dialog is no activation.
    void dropPendingActivation() { otherWindowHadFocus_ = false; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void createControls();
    void createPlainSystemMenu();
    void FormCreate();
    void FormActivate();
    void FormDestroy();
    void ApplySettingsToWindow();
    void SetStayOnTop(bool on);
    void WatchActivation();

    Services services_;
    AppSettings settings_;
    int osKind_ = 0;
    std::shared_ptr<const i18n::LanguageFile> languageIni_;

    QMenu* popupMenuSystem_ = nullptr;
    bool ownSystemMenu_ = false;
    std::unique_ptr<i18n::MenuLanguageView> languageMenu_;
    i18n::LanguageApplier languageApplier_;
    i18n::ObjectNameTextsView mainTexts_;
    std::function<bool()> stereoSelected_;

    bool shownOnce_ = false;
    bool otherWindowHadFocus_ = false;
    bool destroyed_ = false;
    bool benchFirstPaint_ = false;
};
