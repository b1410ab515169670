#include "i18n/DefaultLanguage.h"

namespace i18n {

QString DefaultLanguageFile(std::uint16_t languageId)
{
    switch (languageId) {
    case 2052: // Chinese, PRC
    case 4100: // Chinese, Singapore
        return QStringLiteral("ChineseGB.ini");
    case 1028: // Chinese, Taiwan
    case 3076: // Chinese, Hong Kong
        return QStringLiteral("ChineseBig5.ini");
    default:
        return QStringLiteral("English.ini");
    }
}

} // namespace i18n
