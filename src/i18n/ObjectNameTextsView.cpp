#include "i18n/ObjectNameTextsView.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>

namespace i18n {

namespace {

// Menus take captions literally: an ampersand is shown, not turned into a shortcut.
QString literalMenuText(const QString& text)
{
    QString escaped = text;
    return escaped.replace(QLatin1Char('&'), QLatin1String("&&"));
}

bool setDeclaredProperty(QObject* object, const char* name, const QString& text)
{
    if (object->metaObject()->indexOfProperty(name) < 0)
        return false;
    return object->setProperty(name, text);
}

} // namespace

void ObjectNameTextsView::setLanguageFont(const LanguageFont& font)
{
    if (!window_)
        return;
    QFont f = window_->font();
    f.setFamily(font.family);
    f.setPointSize(font.pointSize);
    window_->setFont(f);
}

void ObjectNameTextsView::setText(const QString& control, TextRole role, const QString& text)
{
    if (!window_)
        return;
    if (role == TextRole::Value) {
        values_.insert(control, text);
        if (onValue_)
            onValue_(control, text);
        return;
    }
    if (control.isEmpty()) {
        if (role == TextRole::Caption)
            window_->setWindowTitle(text);
        else
            window_->setToolTip(text);
        return;
    }
    if (role == TextRole::Hint) {
        QObject* object = window_->findChild<QWidget*>(control);
        if (!object)
            object = window_->findChild<QAction*>(control);
        if (!object || setDeclaredProperty(object, "Hint", text))
            return;
        if (auto* widget = qobject_cast<QWidget*>(object))
            widget->setToolTip(text);
        else if (auto* action = qobject_cast<QAction*>(object))
            action->setToolTip(text);
        return;
    }
    if (auto* menu = window_->findChild<QMenu*>(control)) {
        menu->setTitle(literalMenuText(text));
    } else if (auto* action = window_->findChild<QAction*>(control)) {
        action->setText(literalMenuText(text));
    } else if (QWidget* widget = window_->findChild<QWidget*>(control)) {
        if (setDeclaredProperty(widget, "Caption", text))
            return;
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            button->setText(text);
        else if (auto* label = qobject_cast<QLabel*>(widget))
            label->setText(text);
        else if (auto* box = qobject_cast<QGroupBox*>(widget))
            box->setTitle(text);
    }
}

} // namespace i18n
