// ctest-label: unit
// The language file chosen on first run, by the user's language identifier.
#include "i18n/DefaultLanguage.h"

#include <gtest/gtest.h>

TEST(DefaultLanguageTest, ByLanguageIdentifier)
{
    const struct {
        std::uint16_t id;
        const char* file;
    } rows[] = {
        {2052, "ChineseGB.ini"},  {4100, "ChineseGB.ini"}, {1028, "ChineseBig5.ini"},
        {3076, "ChineseBig5.ini"}, {5124, "English.ini"},  {1033, "English.ini"},
        {2057, "English.ini"},    {4, "English.ini"},      {0, "English.ini"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(i18n::DefaultLanguageFile(row.id), QString::fromLatin1(row.file)) << row.id;
}
