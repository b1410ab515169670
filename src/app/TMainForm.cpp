#include "app/TMainForm.h"

#include "app/OsKind.h"
#include "app/TMainFormPart.h"
#include "i18n/LanguageFile.h"
#include "i18n/LanguageMenu.h"
#include "platform/SettingsStore.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QMenu>
#include <QWindow>

#include <chrono>
#include <cstdio>

TMainForm::TMainForm(Services services, QWidget* parent)
    : QWidget(parent),
      services_(std::move(services)),
      languageIni_(std::make_shared<const i18n::LanguageFile>()),
      mainTexts_(this)
{
    setWindowTitle(QStringLiteral("Vexa Recorder"));
    setObjectName(QStringLiteral("MainForm"));
    benchFirstPaint_ = qEnvironmentVariableIsSet("VEXA_BENCH_FIRST_PAINT");
    stereoSelected_ = [this] { return settings_.Format.channels != 1; };
    createControls();
    FormCreate();
    WatchActivation();
}

TMainForm::~TMainForm()
{
    FormDestroy(); // when the window goes without being closed
}

QAction* TMainForm::menuItem(const QString& name) const
{
    if (auto* menu = findChild<QMenu*>(name))
        return menu->menuAction();
    return findChild<QAction*>(name);
}

// --- Creation ----------------------------------------------------------------------------

void TMainForm::createControls()
{
    resize(ClientWidth, AppSettings::HeightWithList);
    if (services_.buildLayout)
        services_.buildLayout(*this);
    popupMenuSystem_ = findChild<QMenu*>(QStringLiteral("PopupMenuSystem"));
    if (!popupMenuSystem_)
        createPlainSystemMenu();

    if (auto* languages = findChild<QMenu*>(QStringLiteral("MenuSysLang"))) {
        languageMenu_ = std::make_unique<i18n::MenuLanguageView>(languages);
        languageMenu_->setClickHandler([this](int index) { LanguageMenuClick(index); });
    }
    languageApplier_.registerWindow(QStringLiteral("TMainForm"), &mainTexts_);
}

// The system menu of a window without the skinned layout: the same items with the same names,
// of which the window's own commands (stay on top, languages, exit) already work.
void TMainForm::createPlainSystemMenu()
{
    ownSystemMenu_ = true;
    popupMenuSystem_ = new QMenu(this);
    popupMenuSystem_->setObjectName(QStringLiteral("PopupMenuSystem"));
    auto item = [](QMenu* menu, const char* name, const char* caption) {
        QAction* action = menu->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    auto submenu = [this](const char* name, const char* caption) {
        QMenu* menu = popupMenuSystem_->addMenu(QString::fromLatin1(caption));
        menu->setObjectName(QString::fromLatin1(name));
        return menu;
    };
    QMenu* m = popupMenuSystem_;
    item(m, "MenuSysOpen", "Open...");
    item(m, "MenuSysOpenFolder", "Open folder...");
    m->addSeparator()->setObjectName(QStringLiteral("N1"));
    item(m, "MenuSysFormat", "Record format");
    item(m, "MenuSysSource", "Sound source");
    QAction* onTop = item(m, "MenuSysOnTop", "Stay on top");
    onTop->setCheckable(true); // the item flips its own check mark before the handler runs
    connect(onTop, &QAction::triggered, this, [this] { MenuSysOnTopClick(); });
    item(m, "MenuSysAudioControl", "Audio Control");
    item(m, "MenuSysMixerPanel", "Mixer Control");
    m->addSeparator()->setObjectName(QStringLiteral("N3"));
    submenu("MenuSysLang", "Languages");
    QMenu* tools = submenu("MenuSysTools", "Tools");
    item(tools, "MenuSysJoinTool", "Pelmora");
    item(tools, "MenuSysEditTool", "Dravena");
    item(tools, "MenuSysConverterTool", "Kestiva");
    item(m, "MenuSysHelp", "Help");
    m->addSeparator()->setObjectName(QStringLiteral("N4"));
    item(m, "MenuSysHomePage", "Home page");
    item(m, "MenuSysAbout", "About...");
    m->addSeparator()->setObjectName(QStringLiteral("N2"));
    QAction* exit = item(m, "MenuSysExit", "Exit");
    connect(exit, &QAction::triggered, this, [this] { QLTButtonCloseClick(); });
}

void TMainForm::FormCreate()
{
    // Read the settings and apply what belongs to the window.
    settings_.Load(services_.settings, services_.environment, LanguagesFolder());
    ApplySettingsToWindow();
    // The Languages menu, from the files found.
    if (languageMenu_)
        i18n::LanguageMenu::BuildLanguageMenu(*languageMenu_, LanguagesFolder(), settings_.LanguageFile);
    osKind_ = OsKindFor(services_.system.family, services_.system.major, services_.system.minor);
    // Then the mixer, the audio engine and the renderers.
    for (TMainFormPart* part : services_.parts)
        part->formCreate(*this);
}

void TMainForm::ApplySettingsToWindow()
{
    SetStayOnTop(settings_.StayOnTop);
    const QString spectrumItem = QStringLiteral("MenuSpec%1").arg(settings_.SpectrumMode + 1);
    if (QAction* spectrumAction = menuItem(spectrumItem)) {
        spectrumAction->setCheckable(true);
        spectrumAction->setChecked(true);
    }
    SetFileListShown(settings_.FileListShown);
}

// --- Activation --------------------------------------------------------------------------

// Activation means: the first showing, and each time focus comes back to this window from
// another window of the program (a dialog closing). Focus coming back from another program
// is no activation; neither is a pop-up menu.
void TMainForm::WatchActivation()
{
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* focus) {
        if (!focus || destroyed_)
            return; // focus left the program
        if (focus->type() == Qt::Popup || focus->type() == Qt::ToolTip)
            return;
        if (focus != windowHandle()) {
            otherWindowHadFocus_ = true;
            return;
        }
        if (otherWindowHadFocus_ && shownOnce_) {
            otherWindowHadFocus_ = false;
            FormActivate();
        }
    });
}

void TMainForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        FormActivate();
    }
}

void TMainForm::FormActivate()
{
    ApplyLanguage();
    // Then the recordings list and the transport.
    for (TMainFormPart* part : services_.parts)
        part->formActivate(*this);
    // A box shown by these steps hands the focus back when it closes; that is no new
    // activation.
    otherWindowHadFocus_ = false;
}

// --- Language ----------------------------------------------------------------------------

void TMainForm::ApplyLanguage()
{
    auto ini = std::make_shared<i18n::LanguageFile>();
    if (!settings_.LanguageFile.isEmpty())
        ini->open(LanguagesFolder() + QLatin1Char('/') + settings_.LanguageFile);
    std::shared_ptr<const i18n::LanguageFile> applied = std::move(ini);
    std::atomic_store(&languageIni_, applied); // other threads may be copying the pointer
    languageApplier_.apply(*applied, OsKindUsesSystemPanel(osKind_), stereoSelected_());
    for (TMainFormPart* part : services_.parts)
        part->languageApplied(*this);
}

void TMainForm::LanguageMenuClick(int index)
{
    if (!languageMenu_)
        return;
    const QString file = i18n::LanguageMenu::LanguageMenuClick(*languageMenu_, index, LanguagesFolder());
    if (file.isEmpty())
        return;
    // Stored at once: the choice survives even if the program does not end normally. When the
    // store cannot be written the choice holds for this run.
    AppSettings::StoreLanguageChoice(services_.settings, file);
    settings_.LanguageFile = file;
    ApplyLanguage();
}

// --- Window commands ---------------------------------------------------------------------

void TMainForm::MenuSysOnTopClick()
{
    if (QAction* onTop = menuItem(QStringLiteral("MenuSysOnTop")))
        SetStayOnTop(onTop->isChecked());
}

void TMainForm::SetStayOnTop(bool on)
{
    if (QAction* onTop = menuItem(QStringLiteral("MenuSysOnTop"))) {
        onTop->setCheckable(true);
        onTop->setChecked(on);
    }
    if (bool(windowFlags() & Qt::WindowStaysOnTopHint) == on)
        return;
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, on); // recreates the native window, hidden
    if (visible)
        show();
}

void TMainForm::SetFileListShown(bool shown)
{
    setFixedSize(ClientWidth, shown ? AppSettings::HeightWithList : AppSettings::HeightWithoutList);
}

void TMainForm::QLTButtonCloseClick()
{
    close();
}

void TMainForm::contextMenuEvent(QContextMenuEvent* event)
{
    // The skinned layout opens the system menu from its icon button; the plain window has none.
    if (ownSystemMenu_)
        popupMenuSystem_->popup(event->globalPos());
}

// --- Shutdown ----------------------------------------------------------------------------

void TMainForm::closeEvent(QCloseEvent* event)
{
    FormDestroy();
    event->accept();
}

void TMainForm::FormDestroy()
{
    if (destroyed_)
        return;
    destroyed_ = true;
    for (TMainFormPart* part : services_.parts)
        part->formDestroyBeforeSave(*this);
    // The window as it is now decides stay-on-top and the list; a store that cannot be
    // written is not worth a word at shutdown.
    const QAction* onTop = menuItem(QStringLiteral("MenuSysOnTop"));
    settings_.Save(services_.settings, onTop && onTop->isChecked(), height());
    for (TMainFormPart* part : services_.parts)
        part->formDestroyAfterSave(*this);
    // The language goes last, so that messages of the steps above still have their texts.
    std::atomic_store(&languageIni_, std::make_shared<const i18n::LanguageFile>());
}

void TMainForm::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    if (benchFirstPaint_) {
        benchFirstPaint_ = false;
        // For the start-up benchmark: wall-clock time of the first paint, in microseconds.
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        std::printf("first-paint %lld\n", static_cast<long long>(
                        std::chrono::duration_cast<std::chrono::microseconds>(now).count()));
        std::fflush(stdout);
    }
}
