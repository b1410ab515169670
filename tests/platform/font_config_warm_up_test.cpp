// ctest-label: gui
// Reading the font configuration ahead: the toolkit still finds its fonts afterwards, several
// readers at once (the toolkit's own among them) do no harm, and a reader nobody waited for is
// waited for when it goes.
#include "platform/FontConfigWarmUp.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

using platform::FontConfigWarmUp;

TEST(FontConfigWarmUpTest, TheToolkitFindsItsFontsAfterwards)
{
    FontConfigWarmUp warmUp;
    warmUp.wait();
    warmUp.wait(); // a second wait returns at once
    const QStringList families = QFontDatabase::families();
    ASSERT_FALSE(families.isEmpty());
    // A family the database lists is the family a font asking for it gets.
    QFont font;
    font.setFamilies({families.first()});
    font.setPixelSize(11);
    EXPECT_EQ(QFontInfo(font).family(), families.first());
}

TEST(FontConfigWarmUpTest, ReadersAtOnceAndReadersNobodyWaitedFor)
{
    std::vector<std::unique_ptr<FontConfigWarmUp>> readers;
    for (int i = 0; i < 4; ++i)
        readers.push_back(std::make_unique<FontConfigWarmUp>());
    // The toolkit reads the configuration too, while they run.
    EXPECT_FALSE(QFontDatabase::families().isEmpty());
    readers.clear(); // each waits for its thread as it goes
    SUCCEED();
}
