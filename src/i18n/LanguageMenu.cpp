#include "i18n/LanguageMenu.h"

#include "i18n/LanguageFile.h"
#include "i18n/LanguageMenuView.h"

#include <QCollator>
#include <QDir>

#include <algorithm>

namespace i18n {

QStringList LanguageMenu::ListLanguageFiles(const QString& languagesFolder)
{
    QDir dir(languagesFolder);
    if (!dir.exists())
        return {};
    QStringList files = dir.entryList({QStringLiteral("*.ini")},
                                      QDir::Files | QDir::Hidden | QDir::System, QDir::NoSort);
    QCollator collator(QLocale::system());
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(files.begin(), files.end(), [&](const QString& a, const QString& b) {
        const int c = collator.compare(a, b);
        return c != 0 ? c < 0 : a < b; // names equal but for case: a fixed order all the same
    });
    return files;
}

QString LanguageMenu::LanguageName(const QString& path)
{
    return LanguageFile(path).readString(QStringLiteral("LanguageProperty"), QStringLiteral("Name"));
}

void LanguageMenu::BuildLanguageMenu(LanguageMenuView& view, const QString& languagesFolder,
                                     const QString& languageFile)
{
    const QStringList files = ListLanguageFiles(languagesFolder);
    for (int i = 0; i < files.size(); ++i) {
        const QString name = LanguageName(QDir(languagesFolder).filePath(files[i]));
        view.addItem(name, QStringLiteral("MLanguage%1").arg(i),
                     files[i].compare(languageFile, Qt::CaseInsensitive) == 0);
    }
}

QString LanguageMenu::LanguageMenuClick(LanguageMenuView& view, int clickedIndex,
                                        const QString& languagesFolder)
{
    if (clickedIndex < 0 || clickedIndex >= view.itemCount())
        return QString();
    const QString caption = view.itemCaption(clickedIndex);
    for (int i = 0; i < view.itemCount(); ++i)
        view.setItemChecked(i, view.itemCaption(i) == caption);

    for (const QString& file : ListLanguageFiles(languagesFolder)) {
        if (LanguageName(QDir(languagesFolder).filePath(file)).compare(caption, Qt::CaseInsensitive) == 0)
            return file;
    }
    return QString();
}

} // namespace i18n
