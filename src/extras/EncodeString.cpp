#include "extras/EncodeString.h"

namespace extras {

namespace {

// Two orders of the printable characters (space to tilde), each character exactly once.
constexpr char Plain[] =
    "U)e[;YMK+<|h}]6QOaR\"B~,C/`Evl45?%L$j8 @'7.qZsDcX&bxtVgIow1N_pT(iA^\\P>f:0WS9!=ndzHkmu#*FGJr{2y-3";
constexpr char Mirror[] =
    "a)tD=:W o,`.uP741@{wG^FiY]SVeZjc(-~!|\\}8*_?9>mABqK/'HX+k\"TNpLE<QvUOh#MJbCx;5l0R&d2zsr$3fgI6yn[%";
static_assert(sizeof(Plain) == EncodeString::TableSize + 1, "95 characters");
static_assert(sizeof(Mirror) == EncodeString::TableSize + 1, "95 characters");

int placeIn(const char* table, QChar c)
{
    for (int i = 0; i < EncodeString::TableSize; ++i)
        if (QLatin1Char(table[i]) == c)
            return i;
    return -1;
}

} // namespace

QString EncodeString::unscramble(const QString& text)
{
    QString out(text.size(), QChar());
    for (int k = 0; k < text.size(); ++k) {
        const int i = placeIn(Plain, text.at(k));
        out[k] = QLatin1Char(Mirror[TableSize - 1 - (i < 0 ? 0 : i)]);
    }
    return out;
}

QString EncodeString::scramble(const QString& text)
{
    QString out(text.size(), QChar());
    for (int k = 0; k < text.size(); ++k) {
        const int j = placeIn(Mirror, text.at(k));
        out[k] = QLatin1Char(Plain[TableSize - 1 - (j < 0 ? TableSize - 1 : j)]);
    }
    return out;
}

} // namespace extras
