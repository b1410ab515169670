#include "i18n/LanguageApplier.h"

#include "i18n/LanguageFile.h"
#include "i18n/WindowTextsView.h"

#include <algorithm>
#include <iterator>

namespace i18n {

namespace {

// The order in which windows get their font and texts.
const char* const WindowOrder[] = {"TMainForm", "TAboutForm", "TFormatForm", "TSoundSourceForm",
                                   "TRunDravenaForm"};

int rank(const QString& name)
{
    for (int i = 0; i < int(std::size(WindowOrder)); ++i)
        if (name == QLatin1String(WindowOrder[i]))
            return i;
    return int(std::size(WindowOrder)); // windows added later come last
}

} // namespace

void LanguageApplier::registerWindow(const QString& windowName, WindowTextsView* view)
{
    unregisterWindow(windowName);
    if (!view)
        return;
    // Keep the list in window order so fonts are set in that order.
    auto at = std::find_if(windows_.begin(), windows_.end(),
                           [&](const Entry& e) { return rank(e.name) > rank(windowName); });
    windows_.insert(at, Entry{windowName, view});
}

void LanguageApplier::unregisterWindow(const QString& windowName)
{
    windows_.removeIf([&](const Entry& e) { return e.name == windowName; });
}

bool LanguageApplier::isRegistered(const QString& windowName) const
{
    return std::any_of(windows_.begin(), windows_.end(),
                       [&](const Entry& e) { return e.name == windowName; });
}

bool LanguageApplier::takesFont(const QString& windowName)
{
    return windowName != QLatin1String("TRunDravenaForm");
}

void LanguageApplier::apply(const LanguageFile& ini, bool newerSystem) const
{
    apply(ini, newerSystem, stereoSelected_ ? stereoSelected_() : true);
}

void LanguageApplier::apply(const LanguageFile& ini, bool newerSystem, bool stereoSelected) const
{
    const LanguageFont font = LanguageFont::read(ini);
    for (const Entry& e : windows_)
        if (takesFont(e.name))
            e.view->setLanguageFont(font);
    for (const TextAssignment& a : WindowTexts::resolve(ini, newerSystem, stereoSelected)) {
        for (const Entry& e : windows_) {
            if (e.name == a.window) {
                e.view->setText(a.control, a.role, a.text);
                break;
            }
        }
    }
}

} // namespace i18n
