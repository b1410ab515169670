#include "app/TMainForm.h"

#include "app/StartupPhases.h"

#include "app/KeyboardCommands.h"
#include "app/MainFormViews.h"
#include "app/OsKind.h"
#include "app/TMainFormPart.h"
#include "app/TransportPresenter.h"
#include "i18n/LanguageFile.h"
#include "i18n/LanguageMenu.h"
#include "i18n/MenuLanguageView.h"
#include "library/TreeWidgetFileListView.h"
#include "platform/SettingsStore.h"
#include "skin/MainFormLayout.h"
#include "skin/SkinWindowCommands.h"
#include "skin/TQLTButton.h"
#include "skin/TQLTCircleButton.h"

#include <QAction>
#include <QApplication>
#include <QBitmap>
#include <QCloseEvent>
#include <QMenu>
#include <QPixmap>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <cstdio>
#include <typeinfo>
#include <utility>

namespace app {

TMainForm::TMainForm(Services services, QWidget* parent)
    : QWidget(parent),
      services_(std::move(services)),
      languageIni_(std::make_shared<const i18n::LanguageFile>()),
      mainTexts_(this)
{
    setWindowTitle(QStringLiteral("Vexa Recorder"));
    setObjectName(QStringLiteral("MainForm"));
    printFirstPaint_ = services_.printFirstPaint;
    // Until a part says otherwise, the channel label follows the stored format.
    languageApplier_.setStereoSelectedSource([this] { return settings_.Format.channels != 1; });
    createControls();
    StartupPhases::mark("controls");
    FormCreate();
    WatchActivation();
}

TMainForm::~TMainForm()
{
    FormDestroy(); // when the window goes without being closed
}

QMenu* TMainForm::PopupMenuSystem() const
{
    return layout_->PopupMenuSystem;
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
    layout_ = new skin::MainFormLayout(this);
    // The program's icon, transparent where the picture has its key colour (top-left pixel).
    const QImage icon = skin::MainFormLayout::art(QStringLiteral("icon_n"));
    QPixmap iconPixmap = QPixmap::fromImage(icon);
    if (!icon.isNull())
        iconPixmap.setMask(iconPixmap.createMaskFromColor(QColor::fromRgb(icon.pixel(0, 0))));
    setWindowIcon(QIcon(iconPixmap));

    windowCommands_ = std::make_unique<skin::SkinWindowCommands>(*layout_);
    views_ = std::make_unique<MainFormViews>(*layout_);
    list_ = std::make_unique<library::TreeWidgetFileListView>(layout_->ListViewFiles);
    presenter_ = std::make_unique<TransportPresenter>(*views_);
    transport_.onStateSet([this](TransportState state) { showTransport(state); });

    languageMenu_ = std::make_unique<i18n::MenuLanguageView>(layout_->MenuSysLang);
    languageMenu_->setClickHandler([this](int index) { LanguageMenuClick(index); });
    languageApplier_.registerWindow(QStringLiteral("TMainForm"), &mainTexts_);

    connectWindowCommands();
    // The keys a user tries, each pressing its button (so a disabled button's key does nothing).
    new KeyboardCommands(*layout_, layout_);
    for (TMainFormPart* part : services_.parts)
        part->attach(*this);
}

void TMainForm::connectWindowCommands()
{
    skin::MainFormLayout& l = *layout_;
    skin::SkinWindowCommands& w = *windowCommands_;
    connectCommand(*this, l.QLTButtonIcon, &skin::TQLTButton::clicked,
                   [&w] { w.openSystemMenu(); });
    // The window's own height switch: it keeps the fixed size that the settings gave it.
    connectCommand(*this, l.QLTButtonFileList, &skin::TQLTButton::clicked,
                   [this] { SetFileListShown(height() != skin::MainFormLayout::FullHeight); });
    connectCommand(*this, l.QLTButtonCloseList, &skin::TQLTButton::clicked,
                   [this] { SetFileListShown(false); });
    connectCommand(*this, l.QLTButtonMinimize, &skin::TQLTButton::clicked, [&w] { w.minimize(); });
    connectCommand(*this, l.QLTButtonClose, &skin::TQLTButton::clicked,
                   [this] { QLTButtonCloseClick(); });
    connectCommand(*this, l.MenuSysExit, &QAction::triggered, [this] { QLTButtonCloseClick(); });
    connectCommand(*this, l.MenuSysOnTop, &QAction::triggered, [this] { MenuSysOnTopClick(); });
    connectCommand(*this, l.QLTButtonSpectrum, &skin::TQLTButton::clicked,
                   [&w] { w.openSpectrumMenu(); });
    // Stop ends whatever runs, as the recording or playback that started it said.
    connectCommand(*this, l.QLTCircleButtonStop, &skin::TQLTCircleButton::clicked,
                   [this] { transport_.stop(); });
    connect(l.Timer2, &QTimer::timeout, this, &TMainForm::displayTick);
}

std::function<void()> TMainForm::command(std::function<void()> work)
{
    // A command given before the first paint has handed over (a click as the window appears)
    // finds the mixer and the devices started first, as they would have been. Every command
    // ends with the window up to date: a dialog it showed does not activate the window again
    // when it closes (which would re-list and select the first file).
    return [this, work = std::move(work)] {
        FormShown();
        work();
        dropPendingActivation();
    };
}

void TMainForm::FormCreate()
{
    // Read the settings and apply what belongs to the window.
    // A language chosen by default is stored after the first paint: the write waits for the disk.
    settings_.Load(services_.settings, services_.environment, LanguagesFolder(), &languageToStore_);
    ApplySettingsToWindow();
    StartupPhases::mark("settings");
    // The Languages menu, from the files found.
    i18n::LanguageMenu::BuildLanguageMenu(*languageMenu_, LanguagesFolder(), settings_.LanguageFile);
    osKind_ = OsKindFor(services_.system.family, services_.system.major, services_.system.minor);
    // Then the mixer, the audio engine and the renderers.
    StartupPhases::mark("language-menu");
    for (TMainFormPart* part : services_.parts) {
        part->formCreate(*this);
        StartupPhases::markPart("create", typeid(*part).name());
    }
    // The tick only polls the channel, so it runs without audio too: a stream that could not
    // start is then found inactive and playback returns to Idle.
    layout_->Timer2->start();
}

void TMainForm::ApplySettingsToWindow()
{
    windowCommands_->setStayOnTop(settings_.StayOnTop);
    SetFileListShown(settings_.FileListShown);
}

// --- Transport ---------------------------------------------------------------------------

void TMainForm::showTransport(TransportState state)
{
    presenter_->SetTransportState(state, {list_->selectedIndex(), list_->count()},
                                  settings_.RecordingsFolder, *LanguageIni());
}

void TMainForm::displayTick()
{
    for (const std::function<void()>& step : tickSteps_)
        step();
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
        // Normally the first paint hands over to FormShown; a window that is never exposed
        // (mapped on another desktop) gets there after a moment all the same.
        QTimer::singleShot(500, this, [this] { FormShown(); });
    }
}

// The sound server and the devices are asked once the window has been painted, so that the
// first paint never waits for them; the order of the parts is that of creation.
void TMainForm::FormShown()
{
    if (shownHandled_ || destroyed_)
        return;
    shownHandled_ = true;
    StartupPhases::mark("shown");
    for (TMainFormPart* part : services_.parts) {
        part->formShown(*this);
        StartupPhases::markPart("shown", typeid(*part).name());
    }
    // Last: the write may wait for the disk.
    if (!languageToStore_.isEmpty())
        AppSettings::StoreLanguageChoice(services_.settings, std::exchange(languageToStore_, QString()));
}

void TMainForm::FormActivate()
{
    ApplyLanguage();
    StartupPhases::mark("language");
    // Then the recordings list and the transport.
    for (TMainFormPart* part : services_.parts) {
        part->formActivate(*this);
        StartupPhases::markPart("activate", typeid(*part).name());
    }
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
    languageApplier_.apply(*applied, OsKindUsesSystemPanel(osKind_));
    // The Record and Play hints depend on the state; in Idle the activation sets them.
    if (transport_.state() != Idle)
        transport_.SetTransportState(transport_.state());
    for (TMainFormPart* part : services_.parts)
        part->languageApplied(*this);
}

void TMainForm::LanguageMenuClick(int index)
{
    const QString file = i18n::LanguageMenu::LanguageMenuClick(*languageMenu_, index, LanguagesFolder());
    if (file.isEmpty())
        return;
    // Stored at once: the choice survives even if the program does not end normally. When the
    // store cannot be written the choice holds for this run.
    AppSettings::StoreLanguageChoice(services_.settings, file);
    languageToStore_.clear(); // the default that waited for the first paint is out of date
    settings_.LanguageFile = file;
    ApplyLanguage();
}

// --- Window commands ---------------------------------------------------------------------

void TMainForm::MenuSysOnTopClick()
{
    // The item has flipped its own check mark before the handler runs.
    windowCommands_->setStayOnTop(layout_->MenuSysOnTop->isChecked());
}

void TMainForm::SetFileListShown(bool shown)
{
    setFixedSize(skin::MainFormLayout::ClientWidth,
                 shown ? skin::MainFormLayout::FullHeight : skin::MainFormLayout::ListHiddenHeight);
}

void TMainForm::QLTButtonCloseClick()
{
    close();
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
    settings_.Save(services_.settings, layout_->MenuSysOnTop->isChecked(), height());
    layout_->Timer2->stop();
    for (TMainFormPart* part : services_.parts)
        part->formDestroyAfterSave(*this);
    // The language goes last, so that messages of the steps above still have their texts.
    std::atomic_store(&languageIni_, std::make_shared<const i18n::LanguageFile>());
}

void TMainForm::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    // Only a paint of the shown window counts: the display renders the window into an image
    // before it shows. What waits for the first paint runs once it is on the screen.
    if (!firstPaintSeen_ && isVisible()) {
        firstPaintSeen_ = true;
        QMetaObject::invokeMethod(this, &TMainForm::FormShown, Qt::QueuedConnection);
    }
    if (printFirstPaint_ && isVisible()) {
        printFirstPaint_ = false;
        // For the start-up benchmark: wall-clock time of the first paint, in microseconds.
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        std::printf("first-paint %lld\n", static_cast<long long>(
                        std::chrono::duration_cast<std::chrono::microseconds>(now).count()));
        std::fflush(stdout);
    }
}

} // namespace app
