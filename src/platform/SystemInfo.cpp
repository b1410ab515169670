#include "platform/SystemInfo.h"

#include <QOperatingSystemVersion>
#include <QSysInfo>

namespace platform {

SystemFacts SystemInfo::current()
{
    SystemFacts facts;
    facts.userLanguageId = languageIdFor(QLocale::system());
#ifdef Q_OS_WIN
    // Every Windows Qt 6 runs on belongs to the NT family.
    const QOperatingSystemVersion version = QOperatingSystemVersion::current();
    facts.family = OsFamily::WindowsNt;
    facts.major = version.majorVersion();
    facts.minor = version.minorVersion();
#else
    facts.family = OsFamily::Other;
    const QStringList kernel = QSysInfo::kernelVersion().split(QLatin1Char('.'));
    facts.major = kernel.value(0).toInt();
    facts.minor = kernel.value(1).toInt();
#endif
    return facts;
}

std::uint16_t SystemInfo::languageIdFor(const QLocale& locale)
{
    if (locale.language() != QLocale::Chinese)
        return EnglishUs;
    switch (locale.territory()) {
    case QLocale::China: return ChinesePrc;
    case QLocale::Singapore: return ChineseSingapore;
    case QLocale::Taiwan: return ChineseTaiwan;
    case QLocale::HongKong: return ChineseHongKong;
    case QLocale::Macao: return ChineseMacao;
    default: return EnglishUs;
    }
}

} // namespace platform
