#pragma once
// Every section of a language file with every key the program reads from it. The shipped
// language files are checked against this list; a file that lacks a key blanks the text it
// stands for.
#include <QStringList>
#include <QList>

namespace i18n {

struct LanguageSection {
    QString name;
    QStringList keys;
};

// In the order the sections appear in the shipped files.
QList<LanguageSection> LanguageKeys();

} // namespace i18n
