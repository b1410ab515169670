#include "i18n/LanguageFont.h"

#include "i18n/LanguageFile.h"

namespace i18n {

LanguageFont LanguageFont::read(const LanguageFile& ini)
{
    const QString section = QStringLiteral("LanguageProperty");
    LanguageFont font;
    font.family = ini.readString(section, QStringLiteral("FontName"), QStringLiteral("Tahoma"));
    bool ok = false;
    const int size = ini.readString(section, QStringLiteral("FontSize"), QStringLiteral("8")).toInt(&ok);
    font.pointSize = ok && size > 0 ? size : 8;
    const int charSet = ini.readString(section, QStringLiteral("CharSet"), QStringLiteral("1")).toInt(&ok);
    font.charSet = ok ? charSet : 1;
    return font;
}

} // namespace i18n
