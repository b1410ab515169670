#pragma once
// Facts about the system the program runs on: the operating-system family and version, and the
// user's language as a Windows language identifier (the language files are chosen by those).
#include <QLocale>
#include <cstdint>

namespace platform {

enum class OsFamily {
    WindowsNt,
    Windows9x,
    Other, // Linux and every other non-Windows system
};

struct SystemFacts {
    OsFamily family = OsFamily::Other;
    int major = 0;
    int minor = 0;
    std::uint16_t userLanguageId = 0;
};

class SystemInfo {
public:
    // The facts of this machine and user (QLocale::system() for the language).
    static SystemFacts current();

    // The Windows language identifier for a locale, as far as the program needs to tell them
    // apart: the five Chinese variants by country, 1033 (English, United States) for the rest.
    static std::uint16_t languageIdFor(const QLocale& locale);

    static constexpr std::uint16_t EnglishUs = 1033;
    static constexpr std::uint16_t ChineseTaiwan = 1028;
    static constexpr std::uint16_t ChinesePrc = 2052;
    static constexpr std::uint16_t ChineseHongKong = 3076;
    static constexpr std::uint16_t ChineseSingapore = 4100;
    static constexpr std::uint16_t ChineseMacao = 5124;
};

} // namespace platform
