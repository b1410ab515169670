#include "app/MainFormCommands.h"

#include "app/AudioStartup.h"
#include "app/MainFormViews.h"
#include "app/TMainForm.h"
#include "i18n/LanguageFile.h"
#include "i18n/ObjectNameTextsView.h"
#include "library/FileCommands.h"
#include "library/RecordingsLibrary.h"
#include "library/TreeWidgetFileListView.h"
#include "platform/Shell.h"
#include "recording/RecordWriterFactory.h"
#include "recording/RecordingSession.h"
#include "recording/TFormatForm.h"
#include "skin/MainFormHandlers.h"
#include "skin/MainFormLayout.h"
#include "skin/SkinWindowCommands.h"
#include "skin/TQLTProgressBar.h"

#include <QAction>
#include <QBitmap>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QPixmap>
#include <QTimer>

MainFormCommands::MainFormCommands(audio::AudioApi& audio, platform::MessageSink& messages,
                                   platform::Shell& shell)
    : audio_(audio), messages_(messages), shell_(shell)
{
}

MainFormCommands::~MainFormCommands() = default;

void MainFormCommands::buildLayout(TMainForm& form)
{
    form_ = &form;
    layout_ = new skin::MainFormLayout(&form);
    // The program's icon, transparent where the picture has its key colour (top-left pixel).
    const QImage icon = skin::MainFormLayout::art(QStringLiteral("icon_n"));
    QPixmap iconPixmap = QPixmap::fromImage(icon);
    if (!icon.isNull())
        iconPixmap.setMask(iconPixmap.createMaskFromColor(QColor::fromRgb(icon.pixel(0, 0))));
    programIcon_ = QIcon(iconPixmap);
    form.setWindowIcon(programIcon_);
    windowCommands_ = std::make_unique<skin::SkinWindowCommands>(*layout_);
    views_ = std::make_unique<MainFormViews>(*layout_);
    list_ = std::make_unique<library::TreeWidgetFileListView>(layout_->ListViewFiles);
    transport_ = std::make_unique<TransportPresenter>(*views_);
    writers_ = std::make_unique<RecordWriterFactory>(messages_);
    session_ = std::make_unique<recording::RecordingSession>(audio_, *writers_, messages_, *this);
    library_ = std::make_unique<library::RecordingsLibrary>(*this, *list_, *views_, audio_,
                                                            messages_, programIcon_);
    formatForm_ = new TFormatForm(&form);
    formatForm_->setObjectName(QStringLiteral("TFormatForm"));
    bindHandlers();
}

void MainFormCommands::bindHandlers()
{
    skin::MainFormLayout& l = *layout_;
    skin::SkinWindowCommands& w = *windowCommands_;
    library::FileCommands& files = library_->commands();
    TMainForm& form = *form_;

    // Every command ends with the window up to date: a dialog it showed does not activate the
    // window again when it closes (which would re-list and select the first file).
    auto command = [this](std::function<void()> run) {
        return [this, run = std::move(run)] {
            run();
            form_->dropPendingActivation();
        };
    };

    skin::MainFormHandlers h;
    h.QLTButtonIconClick = command([&w] { w.openSystemMenu(); });
    // The window's own height switch: it keeps the fixed size that the settings gave it.
    h.QLTButtonFileListClick = command([&form] {
        form.SetFileListShown(form.height() != AppSettings::HeightWithList);
    });
    h.QLTButtonCloseListClick = command([&form] { form.SetFileListShown(false); });
    h.QLTButtonMinimizeClick = command([&w] { w.minimize(); });
    h.QLTButtonCloseClick = command([&form] { form.QLTButtonCloseClick(); });
    h.MenuSysOnTopClick = command([&w, &l] { w.setStayOnTop(l.MenuSysOnTop->isChecked()); });
    h.QLTButtonSpectrumClick = command([&w] { w.openSpectrumMenu(); });
    h.MenuSpec1Click = command([this] { MenuSpecClick(0); });
    h.MenuSpec2Click = command([this] { MenuSpecClick(1); });
    h.MenuSpec3Click = command([this] { MenuSpecClick(2); });

    h.MenuSysOpenClick = command([&files] { files.OpenFile(); });
    h.MenuSysOpenFolderClick = command([&files] { files.ChooseFolder(); });
    h.QLTButtonBrowseFolderClick = command([&files] { files.ShowFolderInFileManager(); });
    h.QLTButtonRefurbishClick = command([&files] { files.Refresh(); });
    h.QLTButtonDeleteClick = command([&files] { files.Delete(); });
    h.QLTButtonRenameClick = command([&files] { files.Rename(); });
    h.ListViewFilesClick = command([&files] { files.ListClick(); });
    h.ListViewFilesDblClick = command([&files] { files.ListDoubleClick(); });

    h.MenuSysFormatClick = command([this] { MenuSysFormatClick(); });
    h.QLTButtonRecordFormatClick = command([this] { MenuSysFormatClick(); });

    h.QLTCircleButtonRecordClick = command([this] { QLTCircleButtonRecordClick(); });
    h.QLTCircleButtonPlayClick = command([this] { QLTCircleButtonPlayClick(); });
    h.QLTCircleButtonStopClick = command([this] { QLTCircleButtonStopClick(); });
    h.QLTCircleButtonPreviousClick = command([this] { QLTCircleButtonPreviousClick(); });
    h.QLTCircleButtonNextClick = command([this] { QLTCircleButtonNextClick(); });
    h.QLTProgressBar1Change = command([this] { QLTProgressBar1Change(); });
    h.Timer2Timer = [this] { Timer2Timer(); };
    l.bind(h);
}

// --- The window's sequences ----------------------------------------------------------------

void MainFormCommands::formCreate(TMainForm& form)
{
    form.languageApplier().registerWindow(QStringLiteral("TFormatForm"),
                                          (formatTexts_ = std::make_unique<i18n::ObjectNameTextsView>(formatForm_)).get());
    form.setStereoSelectedSource([this] { return formatForm_->isStereoChecked(); });
    // The recording device, then the output device; without them the window still lists and
    // manages files, and the display timer stays off.
    audioStarted_ = AudioStartup::start(audio_, messages_);
    // The tick only polls the channel, so it runs without audio too: a stream that could not
    // start is then found inactive and playback returns to Idle.
    layout_->Timer2->start();
}

void MainFormCommands::formActivate(TMainForm&)
{
    // The return from any dialog activates the window again; a running recording or playback
    // and its transport are left alone then.
    if (!transport_->activationMayReset())
        return;
    library_->activate();
    SetTransportState(Idle);
}

void MainFormCommands::languageApplied(TMainForm&)
{
    // The Record and Play hints depend on the state; in Idle the activation sets them.
    if (transport_->state() != Idle)
        SetTransportState(transport_->state());
}

void MainFormCommands::formDestroyAfterSave(TMainForm&)
{
    layout_->Timer2->stop();
    // The release completes a running recording as Stop does (the language file is still
    // open for its messages), or stops the playback, then frees the engine. Without audio no
    // recording or playback can run.
    if (audioStarted_)
        AudioStartup::release(audio_, *session_, transport_->state() == Idle ? 0 : Channel);
}

// --- Handlers ------------------------------------------------------------------------------

void MainFormCommands::QLTCircleButtonRecordClick()
{
    session_->record(recordingsFolder(), recordFormat());
}

void MainFormCommands::QLTCircleButtonPlayClick()
{
    library_->playback().Play();
}

void MainFormCommands::QLTCircleButtonStopClick()
{
    if (!session_->stop())
        library_->playback().Stop();
}

void MainFormCommands::QLTCircleButtonPreviousClick()
{
    library_->playback().Previous();
}

void MainFormCommands::QLTCircleButtonNextClick()
{
    library_->playback().Next();
}

void MainFormCommands::QLTProgressBar1Change()
{
    library_->playback().Seek(layout_->QLTProgressBar1->Pos());
}

void MainFormCommands::MenuSysFormatClick()
{
    RecordFormat format = form_->Settings().Format;
    if (!formatForm_->execute(format))
        return;
    form_->Settings().Format = format;
    library_->commands().Reselect();
}

void MainFormCommands::MenuSpecClick(int mode)
{
    form_->Settings().SpectrumMode = mode;
}

void MainFormCommands::Timer2Timer()
{
    library_->playback().Tick();
}

// --- Host ----------------------------------------------------------------------------------

void MainFormCommands::SetTransportState(TransportState state)
{
    transport_->SetTransportState(state, {list_->selectedIndex(), list_->count()},
                                  recordingsFolder(), language());
}

int MainFormCommands::recordLineIndex() const
{
    return -1; // the default source until the mixer panel chooses a line
}

float MainFormCommands::recordVolume() const
{
    return static_cast<float>(layout_->QLTProgressBarWaveIn->Pos()) / 65535.0f;
}

const i18n::LanguageFile& MainFormCommands::language() const
{
    languageHeld_ = form_->LanguageIni(); // kept alive while a caller reads it
    return *languageHeld_;
}

void MainFormCommands::listRecordings()
{
    library_->ListRecordings(recordingsFolder());
}

void MainFormCommands::selectFile(const QString& name)
{
    library_->SelectFile(name);
}

QString MainFormCommands::recordingsFolder() const
{
    return form_->Settings().RecordingsFolder;
}

void MainFormCommands::setRecordingsFolder(const QString& folder)
{
    form_->Settings().RecordingsFolder = folder;
}

QString MainFormCommands::recordFilePath() const
{
    return session_->recordFilePath();
}

RecordFormat MainFormCommands::recordFormat() const
{
    return form_->Settings().Format;
}

void MainFormCommands::setPositionSlider(int position)
{
    layout_->QLTProgressBar1->SetPos(position);
}

QString MainFormCommands::askOpenFile(const QString& folder, const QString& filter)
{
    return QFileDialog::getOpenFileName(form_, QString(), folder,
                                        library::FileCommands::qtNameFilters(filter).join(QStringLiteral(";;")));
}

QString MainFormCommands::askFolder(const QString& title)
{
    return QFileDialog::getExistingDirectory(form_, title, QDir::homePath());
}

QString MainFormCommands::askText(const QString& caption, const QString& prompt, const QString& initial)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(form_, caption, prompt, QLineEdit::Normal, initial, &ok);
    return ok ? answer : initial;
}

void MainFormCommands::showFolderInFileManager(const QString& folder)
{
    shell_.openFolder(folder);
}
