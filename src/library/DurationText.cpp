#include "library/DurationText.h"

namespace library {

QString DurationText(std::uint32_t seconds)
{
    const std::uint32_t h = seconds / 3600;
    const std::uint32_t m = (seconds % 3600) / 60;
    const std::uint32_t s = seconds % 60;
    QString text;
    if (h != 0)
        text = QString::number(h) + QLatin1Char(':');
    text += QStringLiteral("%1:%2").arg(m, 2, 10, QLatin1Char('0')).arg(s, 2, 10, QLatin1Char('0'));
    return text;
}

} // namespace library
