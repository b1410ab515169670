#pragma once
// A WindowTextsView for any Qt window: controls are found among the window's descendants by
// object name. A caption goes to a menu's title, an action's or button's or label's text, a
// group box's title, or a property "Caption" where a control declares one; a hint goes to a
// property "Hint" where declared, else the tooltip. Values are kept here for the window to
// read (value()), and a window can be told when one changes.
#include "i18n/WindowTextsView.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace i18n {

class ObjectNameTextsView : public WindowTextsView {
public:
    explicit ObjectNameTextsView(QWidget* window) : window_(window) {}

    void setLanguageFont(const LanguageFont& font) override;
    void setText(const QString& control, TextRole role, const QString& text) override;

    QString value(const QString& control) const { return values_.value(control); }
    void onValue(std::function<void(const QString& control, const QString& text)> callback)
    {
        onValue_ = std::move(callback);
    }

private:
    QPointer<QWidget> window_;
    QHash<QString, QString> values_;
    std::function<void(const QString&, const QString&)> onValue_;
};

} // namespace i18n
