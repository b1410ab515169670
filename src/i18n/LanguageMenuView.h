#pragma once
// The "Languages" submenu as the language menu logic sees it: a list of items with a caption
// and a check mark.
#include <QString>

namespace i18n {

class LanguageMenuView {
public:
    virtual ~LanguageMenuView() = default;
    // Appends an item; objectName is "MLanguage" followed by its index.
    virtual void addItem(const QString& caption, const QString& objectName, bool checked) = 0;
    virtual int itemCount() const = 0;
    virtual QString itemCaption(int index) const = 0;
    virtual bool isItemChecked(int index) const = 0;
    virtual void setItemChecked(int index, bool checked) = 0;
};

} // namespace i18n
