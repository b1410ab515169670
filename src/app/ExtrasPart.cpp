#include "app/ExtrasPart.h"

#include "app/AppSettings.h"
#include "app/MainFormContext.h"
#include "app/OsKind.h"
#include "extras/AuxCommands.h"
#include "extras/EditorQuestionDialog.h"
#include "extras/TAboutForm.h"
#include "i18n/LanguageApplier.h"
#include "i18n/LanguageFile.h"
#include "i18n/ObjectNameTextsView.h"
#include "library/TreeWidgetFileListView.h"
#include "skin/MainFormLayout.h"
#include "skin/TQLTButton.h"

#include <QAction>
#include <QWidget>

#ifndef VEXA_VERSION
#define VEXA_VERSION ""
#endif

namespace app {

ExtrasPart::ExtrasPart() = default;

ExtrasPart::~ExtrasPart() = default;

void ExtrasPart::attach(MainFormContext& context)
{
    context_ = &context;
    commands_ = std::make_unique<extras::AuxCommands>(context.shell(), context.messages(), context.ProgramFolder(),
                                                      [&context] { return context.LanguageIni(); });
    commands_->setEditorQuestion([this] { return editorQuestion()->exec(); });

    skin::MainFormLayout& l = context.layout();
    using skin::TQLTButton;
    connectCommand(context, l.QLTButtonJoinTool, &TQLTButton::clicked,
                   [this] { QLTButtonJoinToolClick(); });
    connectCommand(context, l.MenuSysJoinTool, &QAction::triggered,
                   [this] { QLTButtonJoinToolClick(); });
    connectCommand(context, l.QLTButtonEditTool, &TQLTButton::clicked,
                   [this] { QLTButtonEditToolClick(); });
    connectCommand(context, l.MenuSysEditTool, &QAction::triggered,
                   [this] { QLTButtonEditToolClick(); });
    connectCommand(context, l.QLTButtonConversionTool, &TQLTButton::clicked,
                   [this] { QLTButtonConversionToolClick(); });
    connectCommand(context, l.MenuSysConverterTool, &QAction::triggered,
                   [this] { QLTButtonConversionToolClick(); });
    connectCommand(context, l.MenuSysHelp, &QAction::triggered, [this] { MenuSysHelpClick(); });
    connectCommand(context, l.MenuSysHomePage, &QAction::triggered,
                   [this] { MenuSysHomePageClick(); });
    connectCommand(context, l.MenuSysAbout, &QAction::triggered, [this] { MenuSysAboutClick(); });
}

extras::TAboutForm* ExtrasPart::AboutForm()
{
    if (!aboutForm_) {
        QWidget& window = context_->window();
        aboutForm_ = new extras::TAboutForm(context_->shell(), window.windowIcon(),
                                            QStringLiteral(VEXA_VERSION), &window);
        aboutForm_->setObjectName(QStringLiteral("TAboutForm"));
        aboutTexts_ = std::make_unique<i18n::ObjectNameTextsView>(aboutForm_);
        registerTexts(QStringLiteral("TAboutForm"), *aboutTexts_);
    }
    return aboutForm_;
}

extras::EditorQuestionDialog* ExtrasPart::editorQuestion()
{
    if (!editorQuestion_) {
        editorQuestion_ = new extras::EditorQuestionDialog(&context_->window());
        editorQuestion_->setObjectName(QStringLiteral("TRunDravenaForm"));
        editorQuestionTexts_ = std::make_unique<i18n::ObjectNameTextsView>(editorQuestion_);
        registerTexts(QStringLiteral("TRunDravenaForm"), *editorQuestionTexts_);
    }
    return editorQuestion_;
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
    const library::TreeWidgetFileListView list(context_->layout().ListViewFiles);
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
    extras::TAboutForm* about = AboutForm();
    about->setAddress(extras::AuxCommands::homePage());
    about->setRightsTemplate(aboutTexts_->value(QStringLiteral("Label4")));
    about->exec();
}

} // namespace app
