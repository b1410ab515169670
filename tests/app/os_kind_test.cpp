// ctest-label: unit
// The operating-system class for every row of its table, the borders between rows, and the
// class of this machine (never a system-panel class off Windows).
#include "app/OsKind.h"

#include <gtest/gtest.h>

namespace {

using platform::OsFamily;

TEST(OsKindTest, EveryRowOfTheTable)
{
    const struct {
        OsFamily family;
        int major, minor;
        int expected;
    } rows[] = {
        {OsFamily::WindowsNt, 3, 51, 1},
        {OsFamily::WindowsNt, 4, 0, 2},
        {OsFamily::WindowsNt, 4, 90, 2},
        {OsFamily::WindowsNt, 5, 0, 3},
        {OsFamily::WindowsNt, 5, 1, 4},
        {OsFamily::WindowsNt, 5, 2, 5},
        {OsFamily::WindowsNt, 5, 3, 1},
        {OsFamily::WindowsNt, 6, 0, 6},
        {OsFamily::WindowsNt, 6, 1, 1},
        {OsFamily::WindowsNt, 6, 2, 1},
        {OsFamily::WindowsNt, 10, 0, 1},
        {OsFamily::Windows9x, 3, 95, 7},
        {OsFamily::Windows9x, 0, 0, 7},
        {OsFamily::Windows9x, 4, 0, 8},
        {OsFamily::Windows9x, 4, 3, 8},
        {OsFamily::Windows9x, 4, 10, 9},
        {OsFamily::Windows9x, 4, 90, 10},
        {OsFamily::Windows9x, 4, 91, 8},
        {OsFamily::Windows9x, 5, 0, 8},
        {OsFamily::Other, 6, 1, app::OsKindOwnMixer},
        {OsFamily::Other, 6, 0, app::OsKindOwnMixer},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << int(row.family) << " " << row.major << "." << row.minor);
        EXPECT_EQ(app::OsKindFor(row.family, row.major, row.minor), row.expected);
    }
}

TEST(OsKindTest, SystemPanelClassesAreOneAndSix)
{
    for (int kind = 1; kind <= 10; ++kind)
        EXPECT_EQ(app::OsKindUsesSystemPanel(kind), kind == 1 || kind == 6) << kind;
}

TEST(OsKindTest, ThisMachineDrivesItsOwnMixerOffWindows)
{
    const platform::SystemFacts facts = platform::SystemInfo::current();
#ifndef Q_OS_WIN
    EXPECT_EQ(facts.family, OsFamily::Other);
    const int kind = app::OsKindFor(facts.family, facts.major, facts.minor);
    EXPECT_FALSE(app::OsKindUsesSystemPanel(kind));
    EXPECT_GT(facts.major, 0); // the kernel version was read
#else
    EXPECT_EQ(facts.family, OsFamily::WindowsNt);
#endif
}

} // namespace
