// ctest-label: unit
// The program's messages take their text from [Strings] and their caption from [Common]
// Message, read when shown; the delete question has no caption; a key the file lacks (or leaves
// empty), or no file at all, gives the built-in English text: no box is ever without words.
#include "i18n/LanguageFile.h"
#include "i18n/LanguageMessages.h"
#include "support/RecordingMessageSink.h"
#include "support/language_files.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using i18n::LanguageFile;
using i18n::LanguageMessages;

TEST(LanguageMessagesTest, TextCaptionAndIcon)
{
    QTemporaryDir dir;
    const LanguageFile ini = testsupport::languageFile(
        dir, "[Common]\nMessage=Note\n[Strings]\nstr001=Cannot open\nstr004=Delete it?\n");
    testsupport::RecordingMessageSink sink;

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
    EXPECT_EQ(messages[1].text, LanguageMessages::builtIn("Strings", "str002"));
    EXPECT_FALSE(messages[1].text.isEmpty());
    EXPECT_EQ(messages[1].caption, QStringLiteral("Note"));
    EXPECT_FALSE(messages[1].withOwner);
    EXPECT_EQ(sink.confirmations(),
              (QList<QString>{"Delete it?", LanguageMessages::builtIn("Strings", "str004")}));
}

TEST(LanguageMessagesTest, EveryMessageHasWordsWithoutALanguageFile)
{
    QTemporaryDir dir;
    const LanguageFile missing(dir.filePath("Languages/English.ini")); // no Languages folder
    const LanguageFile empty = testsupport::languageFile(
        dir, "[Common]\nMessage=\n[Strings]\nstr001=\nstr006=   \nstr007=\"\"\n", "empty.ini");
    for (const LanguageFile* ini : {&missing, &empty}) {
        for (int i = 1; i <= 8; ++i) {
            const QString key = QStringLiteral("str%1").arg(i, 3, 10, QLatin1Char('0'));
            SCOPED_TRACE(key.toStdString());
            testsupport::RecordingMessageSink sink;
            LanguageMessages::Inform(sink, *ini, key);
            ASSERT_EQ(sink.messages().size(), 1);
            EXPECT_FALSE(sink.messages()[0].text.isEmpty());
            EXPECT_EQ(sink.messages()[0].text, LanguageMessages::builtIn("Strings", key));
            EXPECT_EQ(sink.messages()[0].caption, QStringLiteral("Vexa Recorder"));
            EXPECT_EQ(LanguageMessages::stringText(*ini, key), sink.messages()[0].text);
        }
    }
    // Sections and keys without regard to case, as the file's; no text for what is no message.
    EXPECT_EQ(LanguageMessages::builtIn("strings", "STR006"), LanguageMessages::builtIn("Strings", "str006"));
    EXPECT_EQ(LanguageMessages::builtIn("Strings", "str999"), QString());
    EXPECT_EQ(LanguageMessages::builtIn("Menu", "Open"), QString());
}

} // namespace
