// ctest-label: unit
// The program's messages take their text from [Strings] and their caption from [Common]
// Message, read when shown; the delete question has no caption; missing keys give empty texts.
#include "i18n/LanguageFile.h"
#include "i18n/LanguageMessages.h"
#include "support/RecordingMessageSink.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using i18n::LanguageFile;
using i18n::LanguageMessages;

TEST(LanguageMessagesTest, TextCaptionAndIcon)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("t.ini");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("[Common]\nMessage=Note\n[Strings]\nstr001=Cannot open\nstr004=Delete it?\n");
    f.close();
    LanguageFile ini(path);
    platform::RecordingMessageSink sink;

    LanguageMessages::Inform(sink, ini, "str001");
    LanguageMessages::Inform(sink, ini, "str002", false);
    sink.answerNext(false);
    EXPECT_FALSE(LanguageMessages::Confirm(sink, ini, "str004"));
    EXPECT_TRUE(LanguageMessages::Confirm(sink, LanguageFile(), "str004"));

    const auto messages = sink.messages();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0].text, QStringLiteral("Cannot open"));
    EXPECT_EQ(messages[0].caption, QStringLiteral("Note"));
    EXPECT_EQ(messages[0].icon, platform::MessageIcon::Information);
    EXPECT_TRUE(messages[0].withOwner);
    EXPECT_EQ(messages[1].text, QString());
    EXPECT_EQ(messages[1].caption, QStringLiteral("Note"));
    EXPECT_FALSE(messages[1].withOwner);
    EXPECT_EQ(sink.confirmations(), (QList<QString>{"Delete it?", ""}));
}

} // namespace
