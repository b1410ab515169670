#pragma once
// LanguageMenuView over a QMenu (the "Languages" submenu). Captions are shown literally (no
// shortcut characters); a click on an item calls the handler with the item's index.
#include "i18n/LanguageMenuView.h"

#include <QPointer>
#include <QMenu>

#include <functional>

namespace i18n {

class MenuLanguageView : public LanguageMenuView {
public:
    explicit MenuLanguageView(QMenu* menu) : menu_(menu) {}

    void setClickHandler(std::function<void(int index)> handler) { onClick_ = std::move(handler); }

    void addItem(const QString& caption, const QString& objectName, bool checked) override;
    int itemCount() const override;
    QString itemCaption(int index) const override;
    bool isItemChecked(int index) const override;
    void setItemChecked(int index, bool checked) override;

private:
    QAction* item(int index) const;

    QPointer<QMenu> menu_;
    std::function<void(int)> onClick_;
};

} // namespace i18n
