// ctest-label: unit
// The companion programs, the manual and the home page through a shell that records what it is
// asked: where a program is found, the editor's question and its one argument, and the message
// when a program is nowhere or does not start.
#include "extras/AuxCommands.h"
#include "i18n/LanguageFile.h"
#include "support/RecordingMessageSink.h"
#include "platform/Shell.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <gtest/gtest.h>

namespace {

using extras::AuxCommands;

struct Call {
    QString what;
    QString target;
    QStringList arguments;
};

class RecordingShell : public platform::Shell {
public:
    bool openFolder(const QString& folder) override { return record({"folder", folder, {}}); }
    bool openDocument(const QString& path) override { return record({"document", path, {}}); }
    bool openUrl(const QString& url) override { return record({"url", url, {}}); }
    bool startProgram(const QString& program, const QStringList& arguments, const QString&) override
    {
        return record({"program", program, arguments});
    }
    QList<Call> calls;
    bool succeed = true;

private:
    bool record(const Call& call)
    {
        calls << call;
        return succeed;
    }
};

// An executable file (never run: the recording shell only notes it).
void makeProgram(const QString& path, bool executable = true)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\n");
    f.close();
    f.setPermissions(executable ? QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                : QFile::ReadOwner | QFile::WriteOwner);
}

class AuxCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        program_ = dir_.filePath("app") + "/";
        path_ = dir_.filePath("bin");
        QDir().mkpath(program_);
        QDir().mkpath(path_);
        QFile lang(dir_.filePath("English.ini"));
        ASSERT_TRUE(lang.open(QIODevice::WriteOnly));
        lang.write("[Common]\nMessage=Vexa Recorder\n[Strings]\nToolNotFound=No %1 in %2!\n");
        lang.close();
        language_ = std::make_shared<const i18n::LanguageFile>(dir_.filePath("English.ini"));
        commands_ = std::make_unique<AuxCommands>(shell_, sink_, program_, [this] { return language_; });
        commands_->setSearchPath({path_});
        commands_->setEditorQuestion([this] {
            ++questions_;
            return answer_;
        });
    }

    QTemporaryDir dir_;
    QString program_, path_;
    RecordingShell shell_;
    testsupport::RecordingMessageSink sink_;
    std::shared_ptr<const i18n::LanguageFile> language_;
    std::unique_ptr<AuxCommands> commands_;
    int questions_ = 0;
    int answer_ = 0;
};

TEST_F(AuxCommandsTest, EditorArgumentFollowsTheSelectionAndTheAnswer)
{
    makeProgram(program_ + "Dravena");
    struct Case {
        const char* name;
        QString selected;
        int answer;
        int questions;
        QStringList arguments;
    } cases[] = {
        {"no selection: no question, no argument", "", 6, 0, {}},
        {"Yes: the folder and name as one argument", "/home/u/My Rec/Vexa_003.mp3", 6, 1,
         {"/home/u/My Rec/Vexa_003.mp3"}},
        {"Yes with quotes and shell characters: kept as they are", "/r/a \"b\" $(x); c.wav", 6, 1,
         {"/r/a \"b\" $(x); c.wav"}},
        {"No: no argument", "/rec/Vexa_001.wav", 7, 1, {}},
        {"window closed: no argument", "/rec/Vexa_001.wav", 0, 1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        shell_.calls.clear();
        questions_ = 0;
        answer_ = c.answer;
        EXPECT_TRUE(commands_->startEditor(c.selected));
        EXPECT_EQ(questions_, c.questions);
        ASSERT_EQ(shell_.calls.size(), 1);
        EXPECT_EQ(shell_.calls[0].what, "program");
        EXPECT_EQ(shell_.calls[0].target, program_ + "Dravena");
        EXPECT_EQ(shell_.calls[0].arguments, c.arguments);
    }
    EXPECT_TRUE(sink_.messages().isEmpty());
}

TEST_F(AuxCommandsTest, ProgramsAreFoundBesideTheExecutableThenOnThePath)
{
    struct Case {
        const char* name;
        QStringList files; // relative to the test folder
        QString expected;  // relative to the test folder; empty: not found
    } cases[] = {
        {"beside the executable", {"app/Pelmora", "bin/Pelmora"}, "app/Pelmora"},
        {"lower case beside the executable", {"app/pelmora", "bin/Pelmora"}, "app/pelmora"},
        {"beside the executable before lower case", {"app/Pelmora", "app/pelmora"}, "app/Pelmora"},
        {"on the path", {"bin/Pelmora"}, "bin/Pelmora"},
        {"lower case on the path", {"bin/pelmora"}, "bin/pelmora"},
        {"not executable beside it, but on the path", {"app/Pelmora!", "bin/Pelmora"}, "bin/Pelmora"},
        {"a folder of that name is no program", {"app/Pelmora/", "bin/x"}, ""},
        {"nowhere", {"app/Kestiva"}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(program_).removeRecursively();
        QDir(path_).removeRecursively();
        QDir().mkpath(program_);
        QDir().mkpath(path_);
        for (QString f : c.files) {
            if (f.endsWith('/'))
                QDir().mkpath(dir_.filePath(f));
            else if (f.endsWith('!'))
                makeProgram(dir_.filePath(f.chopped(1)), false);
            else
                makeProgram(dir_.filePath(f));
        }
        const QString expected = c.expected.isEmpty() ? QString() : dir_.filePath(c.expected);
        EXPECT_EQ(commands_->locate("Pelmora"), expected);
    }
}

TEST_F(AuxCommandsTest, AMissingProgramIsNamedWithItsFolderOnce)
{
    struct Case {
        const char* program;
        std::function<bool()> start;
    } cases[] = {
        {"Pelmora", [this] { return commands_->startJoiner(); }},
        {"Kestiva", [this] { return commands_->startConverter(); }},
        {"Dravena", [this] { return commands_->startEditor("/rec/Vexa_001.wav"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program);
        sink_.clear();
        shell_.calls.clear();
        questions_ = 0;
        EXPECT_FALSE(c.start());
        EXPECT_TRUE(shell_.calls.isEmpty());
        EXPECT_EQ(questions_, 0); // nobody is asked about a file for a program that is not there
        ASSERT_EQ(sink_.messages().size(), 1);
        EXPECT_EQ(sink_.messages()[0].text, QString("No %1 in %2!").arg(c.program, program_));
        EXPECT_EQ(sink_.messages()[0].caption, "Vexa Recorder");
    }
}

TEST_F(AuxCommandsTest, AProgramThatDoesNotStartIsReported)
{
    makeProgram(path_ + "/kestiva");
    shell_.succeed = false;
    EXPECT_FALSE(commands_->startConverter());
    ASSERT_EQ(shell_.calls.size(), 1);
    EXPECT_EQ(shell_.calls[0].target, path_ + "/kestiva");
    EXPECT_TRUE(shell_.calls[0].arguments.isEmpty());
    ASSERT_EQ(sink_.messages().size(), 1);
    EXPECT_EQ(sink_.messages()[0].text, QString("No Kestiva in %1!").arg(program_));
}

TEST_F(AuxCommandsTest, ALanguageWithoutTheMessageFallsBackToEnglish)
{
    language_ = std::make_shared<const i18n::LanguageFile>(); // no file open
    EXPECT_FALSE(commands_->startJoiner());
    ASSERT_EQ(sink_.messages().size(), 1);
    EXPECT_EQ(sink_.messages()[0].text,
              QString("Pelmora could not be started. It was looked for in %1 and in the folders of PATH.").arg(program_));
}

TEST_F(AuxCommandsTest, HelpAndHomePageGoToTheDesktopsHandler)
{
    // The manual installed: the desktop reports its own failures, no message of ours. Not
    // installed: one message, in the language file's words, naming where it was looked for.
    const QString manual = program_ + "manual/index.html";
    struct Case {
        const char* name;
        bool installed;
        QString language;
        QStringList calls;
        QStringList messages;
    } cases[] = {
        {"installed", true, "", {"document " + manual, "url " + AuxCommands::homePage()}, {}},
        {"missing",
         false,
         "ManualMissing=No manual at %1!\n",
         {"url " + AuxCommands::homePage()},
         {"No manual at " + manual + "!"}},
        {"missing, built-in text",
         false,
         "",
         {"url " + AuxCommands::homePage()},
         {"The user manual is not installed. It was looked for at " + manual + "."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        shell_.calls.clear();
        sink_.clear();
        if (c.installed)
            makeProgram(manual, false);
        else
            QFile::remove(manual);
        QFile lang(dir_.filePath("Help.ini"));
        ASSERT_TRUE(lang.open(QIODevice::WriteOnly | QIODevice::Truncate));
        lang.write("[Common]\nMessage=Vexa Recorder\n[Strings]\n" + c.language.toUtf8());
        lang.close();
        language_ = std::make_shared<const i18n::LanguageFile>(dir_.filePath("Help.ini"));
        shell_.succeed = false;
        EXPECT_FALSE(commands_->openHelp());
        EXPECT_FALSE(commands_->openHomePage());
        QStringList calls;
        for (const Call& call : shell_.calls)
            calls << call.what + " " + call.target;
        EXPECT_EQ(calls, c.calls);
        QStringList texts;
        for (const platform::Message& m : sink_.messages())
            texts << m.text;
        EXPECT_EQ(texts, c.messages);
    }
}

} // namespace
