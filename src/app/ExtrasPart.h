#pragma once
// The About box, the editor question, the companion programs, the manual and the home page in
// the main window: connects the tool buttons and their menu items, Help, Home page and About.
// The two dialogs are made when first needed and then kept, with their texts registered for
// every later application of the language.
#include "app/TMainFormPart.h"

#include <QString>

#include <memory>

namespace extras {
class TAboutForm;
class EditorQuestionDialog;
} // namespace extras
namespace extras {
class AuxCommands;
}
namespace i18n {
class ObjectNameTextsView;
}

namespace app {

class ExtrasPart : public TMainFormPart {
public:
    ExtrasPart();
    ~ExtrasPart() override;
    ExtrasPart(const ExtrasPart&) = delete;
    ExtrasPart& operator=(const ExtrasPart&) = delete;

    extras::AuxCommands& commands() { return *commands_; }
    // The dialogs, made on first use.
    extras::TAboutForm* AboutForm();
    extras::EditorQuestionDialog* editorQuestion();

    // Handlers
    void QLTButtonJoinToolClick();
    void QLTButtonEditToolClick();
    void QLTButtonConversionToolClick();
    void MenuSysHelpClick();
    void MenuSysHomePageClick();
    void MenuSysAboutClick();

    // TMainFormPart
    void attach(MainFormContext& context) override;

private:
    // Registers the window's texts and gives it those of the language now applied.
    void registerTexts(const QString& windowName, i18n::ObjectNameTextsView& view);

    MainFormContext* context_ = nullptr;
    std::unique_ptr<extras::AuxCommands> commands_;
    extras::TAboutForm* aboutForm_ = nullptr;                // child of the window
    extras::EditorQuestionDialog* editorQuestion_ = nullptr; // child of the window
    std::unique_ptr<i18n::ObjectNameTextsView> aboutTexts_;
    std::unique_ptr<i18n::ObjectNameTextsView> editorQuestionTexts_;
};

} // namespace app
