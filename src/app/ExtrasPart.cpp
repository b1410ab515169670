#include "app/ExtrasPart.h"

#include "app/AppSettings.h"
#include "app/MainFormContext.h"
#include "app/OsKind.h"
#include "extras/AuxCommands.h"
#include "extras/TAboutForm.h"
#include "extras/TRunDravenaForm.h"
#include "i18n/LanguageApplier.h"
#include "i18n/LanguageFile.h"
#include "i18n/ObjectNameTextsView.h"
#include "library/FileListView.h"
#include "skin/MainFormHandlers.h"

#include <QWidget>

#ifndef VEXA_VERSION
#define VEXA_VERSION ""
#endif

ExtrasPart::ExtrasPart() = default;

ExtrasPart::~ExtrasPart() = default;

void ExtrasPart::attach(MainFormContext& context)
{
    context_ = &context;
    commands_ = std::make_unique<extras::AuxCommands>(context.shell(), context.messages(), context.ProgramFolder(),
                                                      [&context] { return context.LanguageIni(); });
    commands_->setEditorQuestion([this] { return RunDravenaForm()->exec(); });

    skin::MainFormHandlers h;
    h.QLTButtonJoinToolClick = [this] { QLTButtonJoinToolClick(); };
    h.QLTButtonEditToolClick = [this] { QLTButtonEditToolClick(); };
    h.QLTButtonConversionToolClick = [this] { QLTButtonConversionToolClick(); };
    h.MenuSysHelpClick = [this] { MenuSysHelpClick(); };
    h.MenuSysHomePageClick = [this] { MenuSysHomePageClick(); };
    h.MenuSysAboutClick = [this] { MenuSysAboutClick(); };
    context.bind(h);
}

TAboutForm* ExtrasPart::AboutForm()
{
    if (!aboutForm_) {
        QWidget& window = context_->window();
        aboutForm_ = new TAboutForm(context_->shell(), window.windowIcon(), QStringLiteral(VEXA_VERSION), &window);
        aboutForm_->setObjectName(QStringLiteral("TAboutForm"));
        aboutTexts_ = std::make_unique<i18n::ObjectNameTextsView>(aboutForm_);
        registerTexts(QStringLiteral("TAboutForm"), *aboutTexts_);
    }
    return aboutForm_;
}

TRunDravenaForm* ExtrasPart::RunDravenaForm()
{
    if (!runDravenaForm_) {
        runDravenaForm_ = new TRunDravenaForm(&context_->window());
        runDravenaForm_->setObjectName(QStringLiteral("TRunDravenaForm"));
        runDravenaTexts_ = std::make_unique<i18n::ObjectNameTextsView>(runDravenaForm_);
        registerTexts(QStringLiteral("TRunDravenaForm"), *runDravenaTexts_);
    }
    return runDravenaForm_;
}

void ExtrasPart::registerTexts(const QString& windowName, i18n::ObjectNameTextsView& view)
{
    context_->languageApplier().registerWindow(windowName, &view);
    // The language was applied before this window existed: give it its share now.
    i18n::LanguageApplier only;
    only.registerWindow(windowName, &view);
    only.apply(*context_->LanguageIni(), OsKindUsesSystemPanel(context_->OsKind()), true);
}

void ExtrasPart::QLTButtonJoinToolClick()
{
    commands_->startJoiner();
}

void ExtrasPart::QLTButtonEditToolClick()
{
    const library::FileListView& list = context_->fileList();
    const int selected = list.selectedIndex();
    commands_->startEditor(selected < 0 ? QString() : context_->Settings().RecordingsFolder + list.caption(selected));
}

void ExtrasPart::QLTButtonConversionToolClick()
{
    commands_->startConverter();
}

void ExtrasPart::MenuSysHelpClick()
{
    commands_->openHelp();
}

void ExtrasPart::MenuSysHomePageClick()
{
    commands_->openHomePage();
}

void ExtrasPart::MenuSysAboutClick()
{
    TAboutForm* about = AboutForm();
    about->setAddress(extras::AuxCommands::homePage());
    about->setRightsTemplate(aboutTexts_->value(QStringLiteral("Label4")));
    about->exec();
}
