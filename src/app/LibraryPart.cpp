#include "app/LibraryPart.h"

#include "app/AppSettings.h"
#include "app/FileInfoPanel.h"
#include "app/MainFormContext.h"
#include "i18n/LanguageFile.h"
#include "library/FileCommands.h"
#include "library/Playback.h"
#include "library/RecordingsLibrary.h"
#include "library/TreeWidgetFileListView.h"
#include "platform/Shell.h"
#include "skin/MainFormLayout.h"
#include "skin/SkinSlider.h"
#include "skin/TQLTButton.h"
#include "skin/TQLTCircleButton.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QTreeWidget>
#include <QWidget>

namespace app {

LibraryPart::LibraryPart(audio::AudioApi& audio, recording::TakeEvents& takes)
    : audio_(audio), takes_(takes)
{
}

LibraryPart::~LibraryPart() = default;

void LibraryPart::attach(MainFormContext& context)
{
    context_ = &context;
    skin::MainFormLayout& l = context.layout();
    list_ = std::make_unique<library::TreeWidgetFileListView>(l.ListViewFiles);
    panel_ = std::make_unique<FileInfoPanel>(l);
    library_ = std::make_unique<library::RecordingsLibrary>(
        *this, *list_, *panel_, audio_, context.messages(), context.window().windowIcon());
    if (!probeProgram_.isEmpty())
        library_->setProbeProgram(probeProgram_);
    library::FileCommands& files = library_->commands();
    library::Playback& playback = library_->playback();

    using skin::TQLTButton;
    using skin::TQLTCircleButton;
    connectCommand(context, l.QLTButtonOpen, &TQLTButton::clicked, [&files] { files.OpenFile(); });
    connectCommand(context, l.MenuSysOpen, &QAction::triggered, [&files] { files.OpenFile(); });
    connectCommand(context, l.QLTButtonOpenFolder, &TQLTButton::clicked,
                   [&files] { files.ChooseFolder(); });
    connectCommand(context, l.MenuSysOpenFolder, &QAction::triggered,
                   [&files] { files.ChooseFolder(); });
    connectCommand(context, l.QLTButtonBrowseFolder, &TQLTButton::clicked,
                   [&files] { files.ShowFolderInFileManager(); });
    connectCommand(context, l.QLTButtonRefurbish, &TQLTButton::clicked,
                   [&files] { files.Refresh(); });
    connectCommand(context, l.QLTButtonDelete, &TQLTButton::clicked, [&files] { files.Delete(); });
    connectCommand(context, l.QLTButtonRename, &TQLTButton::clicked, [&files] { files.Rename(); });
    connectCommand(context, l.ListViewFiles, &QTreeWidget::itemClicked,
                   [&files] { files.ListClick(); });
    // The current row is the selection: a row the keys (or a drag) made current is clicked.
    connectCommand(context, l.ListViewFiles, &skin::FileListWidget::currentMovedByUser,
                   [&files] { files.ListClick(); });
    connectCommand(context, l.ListViewFiles, &QTreeWidget::itemDoubleClicked,
                   [&files] { files.ListDoubleClick(); });
    connectCommand(context, l.QLTCircleButtonPlay, &TQLTCircleButton::clicked,
                   [&playback] { playback.Play(); });
    connectCommand(context, l.QLTCircleButtonPrevious, &TQLTCircleButton::clicked,
                   [&playback] { playback.Previous(); });
    connectCommand(context, l.QLTCircleButtonNext, &TQLTCircleButton::clicked,
                   [&playback] { playback.Next(); });
    connectCommand(context, l.QLTProgressBar1, &skin::SkinSlider::changed,
                   [&playback, &l] { playback.Seek(l.QLTProgressBar1->Pos()); });
    library::RecordingsLibrary& library = *library_;
    context.joinTick([&playback, &library] {
        playback.Tick();
        library.readDeferredDurations();
    });

    // A take shows in the list as it begins (the first entry selected, the panel describing
    // the record format) and as it ends (listed again with the new file selected); a newly
    // chosen format shows in the panel.
    takes_.onStarted([this](const QString& path) {
        recordFilePath_ = path;
        library_->SelectFile(QString());
    });
    takes_.onFinished([this](const recording::FinishedTake& take) {
        if (take.complete)
            library_->rememberRecording(take.path, take.format, take.frames);
        library_->ListRecordings(context_->Settings().RecordingsFolder);
        library_->SelectFile(QFileInfo(take.path).fileName());
    });
    takes_.onFormatChosen([this] { library_->commands().Reselect(); });
}

void LibraryPart::formActivate(MainFormContext& context)
{
    // The return from any dialog activates the window again; a running recording or playback
    // and its transport are left alone then.
    if (!context.transport().activationMayReset())
        return;
    library_->activate();
    context.transport().SetTransportState(Idle);
}

audio::TransportModel& LibraryPart::transport()
{
    return context_->transport();
}

QString LibraryPart::recordingsFolder() const
{
    return context_->Settings().RecordingsFolder;
}

void LibraryPart::setRecordingsFolder(const QString& folder)
{
    context_->Settings().RecordingsFolder = folder;
}

QString LibraryPart::recordFilePath() const
{
    return recordFilePath_;
}

recording::RecordFormat LibraryPart::recordFormat() const
{
    return context_->Settings().Format;
}

const i18n::LanguageFile& LibraryPart::language() const
{
    languageHeld_ = context_->LanguageIni(); // kept alive while a caller reads it
    return *languageHeld_;
}

void LibraryPart::setPositionSlider(int position)
{
    context_->layout().QLTProgressBar1->SetPos(position);
}

QString LibraryPart::askOpenFile(const QString& folder, const QString& filter)
{
    return QFileDialog::getOpenFileName(&context_->window(), QString(), folder,
                                        library::FileCommands::qtNameFilters(filter).join(QStringLiteral(";;")));
}

QString LibraryPart::askFolder(const QString& title)
{
    return QFileDialog::getExistingDirectory(&context_->window(), title, QDir::homePath());
}

QString LibraryPart::askText(const QString& caption, const QString& prompt, const QString& initial)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(&context_->window(), caption, prompt, QLineEdit::Normal,
                                                 initial, &ok);
    return ok ? answer : initial;
}

void LibraryPart::showFolderInFileManager(const QString& folder)
{
    context_->shell().openFolder(folder);
}

} // namespace app
