// ctest-label: unit
// The string unscrambler: every printable character comes back through the round trip, the
// tables are true permutations, a character outside them takes the first place, the length
// never changes, and the stored home page address comes out as an address.
#include "extras/AuxCommands.h"
#include "extras/EncodeString.h"

#include <QSet>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

using extras::EncodeString;

QString printable()
{
    QString all;
    for (int c = 32; c <= 126; ++c)
        all += QLatin1Char(char(c));
    return all;
}

TEST(EncodeStringTest, AllPrintableCharactersSurviveTheRoundTrip)
{
    const QString all = printable();
    ASSERT_EQ(all.size(), EncodeString::TableSize);
    const QString scrambled = EncodeString::scramble(all);
    EXPECT_EQ(scrambled.size(), all.size());
    EXPECT_NE(scrambled, all);
    EXPECT_EQ(EncodeString::unscramble(scrambled), all);
    // And the other way round: unscrambling is a one-to-one map of the printable characters.
    const QString unscrambled = EncodeString::unscramble(all);
    EXPECT_EQ(EncodeString::scramble(unscrambled), all);
    QSet<QChar> distinct(unscrambled.begin(), unscrambled.end());
    EXPECT_EQ(distinct.size(), EncodeString::TableSize);
    for (QChar c : unscrambled)
        EXPECT_TRUE(c.unicode() >= 32 && c.unicode() <= 126) << c.unicode();
}

TEST(EncodeStringTest, CharactersOutsideTheTableCountAsItsFirstPlace)
{
    // Every character the table does not hold gives one and the same printable character,
    // the one that exactly one character of the table (its first) also gives.
    const QString outside[] = {QStringLiteral("\t"), QStringLiteral("\n"), QString(QChar(0)), QString(QChar(127)),
                               QString(QChar(0x00e9)), QString(QChar(0x5f55))};
    const QString first = EncodeString::unscramble(outside[0]);
    ASSERT_EQ(first.size(), 1);
    for (const QString& c : outside)
        EXPECT_EQ(EncodeString::unscramble(c), first) << c.at(0).unicode();
    const QString all = printable();
    const QString unscrambled = EncodeString::unscramble(all);
    EXPECT_EQ(unscrambled.count(first.at(0)), 1);
    // In the middle of a text it takes only its own place.
    const QString text = QStringLiteral("ab") + QChar(0x00e9) + QStringLiteral("cd");
    const QString out = EncodeString::unscramble(text);
    EXPECT_EQ(out, EncodeString::unscramble("ab") + first + EncodeString::unscramble("cd"));
}

TEST(EncodeStringTest, LengthIsKept)
{
    const QString mixed = QStringLiteral("ab\t\x00e9 c~") + QString(QChar(0x5f55));
    for (int n = 0; n <= mixed.size(); ++n) {
        EXPECT_EQ(EncodeString::unscramble(mixed.left(n)).size(), n);
        EXPECT_EQ(EncodeString::scramble(mixed.left(n)).size(), n);
    }
}

TEST(EncodeStringTest, TheStoredHomePageIsAnAddress)
{
    const QString address = extras::AuxCommands::homePage();
    const QUrl url(address, QUrl::StrictMode);
    EXPECT_TRUE(url.isValid()) << address.toStdString();
    EXPECT_EQ(url.scheme(), QStringLiteral("https"));
    EXPECT_FALSE(url.host().isEmpty());
}

} // namespace
