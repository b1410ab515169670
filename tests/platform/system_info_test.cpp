// ctest-label: unit
// The user's language as a Windows language identifier: the five Chinese variants the
// language files depend on, and English for everything else.
#include "platform/SystemInfo.h"

#include <gtest/gtest.h>

namespace {

using platform::SystemInfo;

TEST(SystemInfoTest, LanguageIdentifierOfEachLocale)
{
    const struct {
        const char* locale;
        std::uint16_t id;
    } rows[] = {
        {"zh_CN", 2052}, {"zh_SG", 4100}, {"zh_TW", 1028}, {"zh_HK", 3076}, {"zh_MO", 5124},
        {"zh_Hant_TW", 1028}, {"zh_Hans_SG", 4100}, {"zh", 2052},
        {"en_US", 1033}, {"en_GB", 1033}, {"de_DE", 1033}, {"ja_JP", 1033}, {"C", 1033},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.locale);
        EXPECT_EQ(SystemInfo::languageIdFor(QLocale(QString::fromLatin1(row.locale))), row.id);
    }
}

} // namespace
