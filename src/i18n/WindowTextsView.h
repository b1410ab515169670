#pragma once
// What applying a language does to one window: set its font and write its texts. Each window
// (the main window and every dialog) registers one view with the LanguageApplier.
#include "i18n/LanguageFont.h"
#include "i18n/WindowTexts.h"

namespace i18n {

class WindowTextsView {
public:
    virtual ~WindowTextsView() = default;
    virtual void setLanguageFont(const LanguageFont& font) = 0;
    // control: an object name of the window; empty for the window's own caption.
    virtual void setText(const QString& control, TextRole role, const QString& text) = 0;
};

} // namespace i18n
