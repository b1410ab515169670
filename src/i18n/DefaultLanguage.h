#pragma once
// The language file chosen when none is stored yet, by the user's Windows language identifier:
// Chinese (PRC, Singapore) -> "ChineseGB.ini", Chinese (Taiwan, Hong Kong) -> "ChineseBig5.ini",
// anything else (Macao included) -> "English.ini".
#include <QString>
#include <cstdint>

namespace i18n {

QString DefaultLanguageFile(std::uint16_t languageId);

} // namespace i18n
