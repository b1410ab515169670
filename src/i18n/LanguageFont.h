#pragma once
// The font a language asks for: [LanguageProperty] FontName, FontSize (points) and CharSet
// (a Windows character-set number, kept for the record: Qt picks glyphs by script itself).
#include <QString>

namespace i18n {

class LanguageFile;

struct LanguageFont {
    QString family = QStringLiteral("Tahoma");
    int pointSize = 8;
    int charSet = 1;

    // A size or character set that is not a whole number (or not a positive size) gives the
    // default; a missing key too.
    static LanguageFont read(const LanguageFile& ini);

    bool operator==(const LanguageFont& o) const
    {
        return family == o.family && pointSize == o.pointSize && charSet == o.charSet;
    }
};

} // namespace i18n
