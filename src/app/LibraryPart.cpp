#include "app/LibraryPart.h"

#include "app/AppSettings.h"
#include "app/MainFormContext.h"
#include "i18n/LanguageFile.h"
#include "library/FileCommands.h"
#include "library/RecordingsLibrary.h"
#include "platform/Shell.h"
#include "skin/MainFormHandlers.h"
#include "skin/MainFormLayout.h"
#include "skin/TQLTProgressBar.h"

#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QWidget>

LibraryPart::LibraryPart(audio::AudioApi& audio) : audio_(audio)
{
}

LibraryPart::~LibraryPart() = default;

void LibraryPart::attach(MainFormContext& context)
{
    context_ = &context;
    library_ = std::make_unique<library::RecordingsLibrary>(*this, context.fileList(), context.fileInfoPanel(),
                                                            audio_, context.messages(),
                                                            context.window().windowIcon());
    if (!context.streamProbeProgram().isEmpty())
        library_->setProbeProgram(context.streamProbeProgram());
    library::FileCommands& files = library_->commands();
    library::Playback& playback = library_->playback();
    skin::MainFormLayout& layout = context.layout();

    skin::MainFormHandlers h;
    h.MenuSysOpenClick = [&files] { files.OpenFile(); };
    h.MenuSysOpenFolderClick = [&files] { files.ChooseFolder(); };
    h.QLTButtonBrowseFolderClick = [&files] { files.ShowFolderInFileManager(); };
    h.QLTButtonRefurbishClick = [&files] { files.Refresh(); };
    h.QLTButtonDeleteClick = [&files] { files.Delete(); };
    h.QLTButtonRenameClick = [&files] { files.Rename(); };
    h.ListViewFilesClick = [&files] { files.ListClick(); };
    h.ListViewFilesDblClick = [&files] { files.ListDoubleClick(); };
    h.QLTCircleButtonPlayClick = [&playback] { playback.Play(); };
    // The playback half of Stop; it does nothing while a recording runs.
    h.QLTCircleButtonStopClick = [&playback] { playback.Stop(); };
    h.QLTCircleButtonPreviousClick = [&playback] { playback.Previous(); };
    h.QLTCircleButtonNextClick = [&playback] { playback.Next(); };
    h.QLTProgressBar1Change = [&playback, &layout] { playback.Seek(layout.QLTProgressBar1->Pos()); };
    context.bind(h);
    library::RecordingsLibrary& library = *library_;
    context.joinTick([&playback, &library] {
        playback.Tick();
        library.readDeferredDurations();
    });
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
    return recordFilePath_ ? recordFilePath_() : QString();
}

RecordFormat LibraryPart::recordFormat() const
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
