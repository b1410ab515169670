#pragma once
// The language menu: one item per language file of the Languages folder, captioned with the
// language's [LanguageProperty] Name, the current one checked. A click maps the clicked
// caption back to a file by reading the folder again (files renamed while the program runs
// are still found).
#include <QString>
#include <QStringList>

namespace i18n {

class LanguageMenuView;

class LanguageMenu {
public:
    // The "*.ini" files of the folder (any case of the extension), sorted without regard to
    // case in the user's locale. Empty when the folder is missing.
    static QStringList ListLanguageFiles(const QString& languagesFolder);

    // Fills the view: one item per file in sorted order, checked when its file name equals
    // languageFile without regard to case.
    static void BuildLanguageMenu(LanguageMenuView& view, const QString& languagesFolder,
                                  const QString& languageFile);

    // Checks every item whose caption equals the clicked one exactly and unchecks the rest,
    // then returns the first file (in sorted order) whose Name equals the clicked caption
    // without regard to case; empty when none does.
    static QString LanguageMenuClick(LanguageMenuView& view, int clickedIndex,
                                     const QString& languagesFolder);

    static QString LanguageName(const QString& path);
};

} // namespace i18n
