#include "i18n/MenuLanguageView.h"

#include <QAction>

namespace i18n {

void MenuLanguageView::addItem(const QString& caption, const QString& objectName, bool checked)
{
    if (!menu_)
        return;
    QString shown = caption;
    auto* action = menu_->addAction(shown.replace(QLatin1Char('&'), QLatin1String("&&")));
    action->setObjectName(objectName);
    action->setData(caption); // the caption as the language file has it
    action->setCheckable(true);
    action->setChecked(checked);
    const int index = int(menu_->actions().size()) - 1;
    QObject::connect(action, &QAction::triggered, menu_, [this, index] {
        if (onClick_)
            onClick_(index);
    });
}

QAction* MenuLanguageView::item(int index) const
{
    if (!menu_ || index < 0 || index >= menu_->actions().size())
        return nullptr;
    return menu_->actions().at(index);
}

int MenuLanguageView::itemCount() const
{
    return menu_ ? int(menu_->actions().size()) : 0;
}

QString MenuLanguageView::itemCaption(int index) const
{
    const QAction* a = item(index);
    return a ? a->data().toString() : QString();
}

bool MenuLanguageView::isItemChecked(int index) const
{
    const QAction* a = item(index);
    return a && a->isChecked();
}

void MenuLanguageView::setItemChecked(int index, bool checked)
{
    if (QAction* a = item(index))
        a->setChecked(checked);
}

} // namespace i18n
