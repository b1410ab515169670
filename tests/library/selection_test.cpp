// Selection by name: which item is selected, and what the panel shows in each transport state.
#include "library/RecordingsLibrary.h"
#include "support/LibraryBench.h"

#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace librarytest;

class Selection : public ::testing::Test, protected LibraryBench {
protected:
    void SetUp() override
    {
        host.recordPath = host.folder + "Vexa_004.mp3";
        writeFile(host.folder + "a.wav", canonicalWav(1, 8000, 16, 16000 * 3));
        writeFile(host.folder + "B.wav", canonicalWav(2, 22050, 16, 88200 * 7));
    }
    void fill(const QStringList& names)
    {
        view.clear();
        for (const QString& n : names)
            view.addItem(n, 0, "00:00");
    }
};

TEST_F(Selection, FindListItemIgnoresCase)
{
    fill({"a.wav", "B.wav", "b.WAV", "c.mp3"});
    EXPECT_EQ(selection.FindListItem("A.WAV"), 0);
    EXPECT_EQ(selection.FindListItem("b.wav"), 1); // the first of two equal names
    EXPECT_EQ(selection.FindListItem("c.mp3"), 3);
    EXPECT_EQ(selection.FindListItem("c"), -1);
    EXPECT_EQ(selection.FindListItem(""), -1);
    fill({});
    EXPECT_EQ(selection.FindListItem("a.wav"), -1);
}

TEST_F(Selection, SelectsAndRefreshesThePanelOnlyWhereTheStateAllows)
{
    const library::FileInfoLabels untouched = panel.labels;
    const library::FileInfoLabels bWav{"wav", "22050", "Stereo", "16", "", "00:07"};
    const library::FileInfoLabels aWav{"wav", "8000", "Mono", "16", "", "00:03"};
    const library::FileInfoLabels format{"mp3", "44100", "Stereo", "16", "128", "00:00"};

    struct SelectCase {
        TransportState state;
        QStringList items;
        QString name;
        int selected;
        library::FileInfoLabels labels;
        QString fileName;
    };
    const std::vector<SelectCase> cases = {
        {Idle, {"a.wav", "B.wav"}, "b.WAV", 1, bWav, "B.wav"},
        {Idle, {"a.wav", "B.wav"}, "gone.wav", 0, aWav, "a.wav"},
        {Idle, {"a.wav", "B.wav"}, "", 0, aWav, "a.wav"},
        {Idle, {}, "a.wav", -1, format, ""},
        {Playing, {"a.wav", "B.wav"}, "B.wav", 1, untouched, "-"},
        {PlayPaused, {"a.wav", "B.wav"}, "x", 0, untouched, "-"},
        {Playing, {}, "a.wav", -1, untouched, "-"},
        {Recording, {"a.wav", "B.wav"}, "B.wav", 1, format, "Vexa_004.mp3"},
        {RecordPaused, {"a.wav", "B.wav"}, "", 0, format, "Vexa_004.mp3"},
        {RecordPaused, {}, "", -1, format, "Vexa_004.mp3"},
    };
    for (const SelectCase& c : cases) {
        SCOPED_TRACE(QStringLiteral("state %1 name '%2'").arg(int(c.state)).arg(c.name).toStdString());
        panel = FakePanel();
        fill(c.items);
        view.selected = c.items.isEmpty() ? -1 : int(c.items.size()) - 1;
        host.arrange(c.state);
        selection.SelectFile(c.name);
        EXPECT_EQ(view.selected, c.selected);
        EXPECT_EQ(view.focused, c.selected);
        EXPECT_EQ(panel.labels, c.labels);
        EXPECT_EQ(panel.fileName, c.fileName);
        EXPECT_TRUE(host.states.isEmpty()) << "selection never changes the transport";
    }
    EXPECT_TRUE(sink.messages().isEmpty());
}

namespace {
// A sink during whose messages the window is activated again, as closing a modal box does.
class ActivatingSink : public testsupport::RecordingMessageSink {
public:
    void show(const platform::Message& m) override
    {
        RecordingMessageSink::show(m);
        if (onShow && depth < 10) {
            ++depth;
            onShow();
            --depth;
        }
    }
    std::function<void()> onShow;
    int depth = 0;
};
} // namespace

// At start (the window's activation) a folder whose files cannot be read raises at most one
// box, the listing's: the reader's message of a single broken file, or the number of them;
// the panel says nothing of the first file it selects, and closing the box (itself an
// activation) brings nothing back. Each click on a broken file then says why, every time.
TEST(SelectionActivation, OneBoxAtStartAndEachFilesOwnWordsOnEveryClick)
{
    struct Case {
        const char* what;
        QList<QPair<QString, QByteArray>> files; // the broken ones; b.wav and c.mp3 beside them
        QStringList atStart;
    };
    const Case cases[] = {
        {"one broken WAV",
         {{"a broken.wav", "RIFF0000WAVEjunk"}},
         {"This is not a valid Wave file"}},
        {"three broken WAVs",
         {{"a broken.wav", "RIFF0000WAVEjunk"},
          {"a deep.wav", riff(chunk("fmt ", fmtBody(1, 2, 44100, 24)) + chunk("data", "123456"))},
          {"a empty.wav", QByteArray()}},
         {"3 unreadable"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        FakeHost host;
        host.folder = dir.path() + "/";
        host.lang.open(writeLanguage(dir.path()));
        for (const auto& [name, bytes] : c.files)
            writeFile(host.folder + name, bytes);
        writeFile(host.folder + "b.wav", canonicalWav(1, 8000, 16, 16000));
        writeFile(host.folder + "c.mp3", "not an mp3");
        FakeEngine engine;
        FakeListView view;
        FakePanel panel;
        ActivatingSink sink;
        library::RecordingsLibrary library(host, view, panel, engine, sink, QIcon());
        sink.onShow = [&library] { library.activate(); };
        const auto texts = [&sink] {
            QStringList t;
            for (const platform::Message& m : sink.messages())
                t << m.text;
            return t;
        };

        library.activate();
        EXPECT_EQ(texts(), c.atStart);
        EXPECT_EQ(view.selectedCaption(), "a broken.wav");
        EXPECT_EQ(panel.fileName, "a broken.wav");
        EXPECT_EQ(panel.labels, library::FileInfoLabels());

        // A click on a broken file says why, and so does every click after it; the MP3 the
        // engine cannot open the same.
        sink.onShow = nullptr;
        const int mp3 = int(view.items.size()) - 1;
        const struct {
            int focused;
            QStringList texts;
        } clicks[] = {
            {0, {"This is not a valid Wave file", "Bad WAV"}},
            {0, {"This is not a valid Wave file", "Bad WAV"}},
            {mp3, {"Bad MP3"}},
            {mp3, {"Bad MP3"}},
        };
        for (const auto& click : clicks) {
            sink.clear();
            view.focused = click.focused;
            library.commands().ListClick();
            EXPECT_EQ(texts(), click.texts) << click.focused;
            EXPECT_EQ(panel.labels, library::FileInfoLabels());
        }
        // Re-lists and Refresh say nothing of files nobody touched.
        sink.clear();
        library.activate();
        library.commands().Refresh();
        EXPECT_TRUE(sink.messages().isEmpty()) << texts().join('|').toStdString();
    }
}
