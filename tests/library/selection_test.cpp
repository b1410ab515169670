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

TEST(SelectionActivation, MessagesOfABrokenFirstFileDoNotComeBackWithoutEnd)
{
    QTemporaryDir dir;
    FakeHost host;
    host.folder = dir.path() + "/";
    host.lang.open(writeLanguage(dir.path()));
    writeFile(host.folder + "a broken.wav", "RIFF0000WAVEjunk");
    writeFile(host.folder + "b.wav", canonicalWav(1, 8000, 16, 16000));
    writeFile(host.folder + "c.mp3", "not an mp3");
    FakeEngine engine;
    FakeListView view;
    FakePanel panel;
    ActivatingSink sink;
    library::RecordingsLibrary library(host, view, panel, engine, sink, QIcon());
    sink.onShow = [&library] { library.activate(); };

    library.activate();
    QStringList texts;
    for (const platform::Message& m : sink.messages())
        texts << m.text;
    // The list's message, then the panel's two: once each, however often the window activates.
    EXPECT_EQ(texts, QStringList({"This is not a valid Wave file", "This is not a valid Wave file", "Bad WAV"}));
    EXPECT_EQ(view.selectedCaption(), "a broken.wav");
    EXPECT_EQ(panel.fileName, "a broken.wav");

    // A file's message is shown once per run: a click on it later, or on the MP3 after its own
    // message, says nothing again; the panel shows the name with empty values.
    sink.clear();
    view.focused = 0;
    library.commands().ListClick();
    EXPECT_TRUE(sink.messages().isEmpty());
    EXPECT_EQ(panel.fileName, "a broken.wav");
    EXPECT_EQ(panel.labels, library::FileInfoLabels());
    view.focused = 2;
    library.commands().ListClick();
    ASSERT_EQ(sink.messages().size(), 1);
    EXPECT_EQ(sink.messages()[0].text, "Bad MP3");
    sink.clear();
    library.commands().ListClick();
    EXPECT_TRUE(sink.messages().isEmpty());
    sink.clear();
    sink.onShow = nullptr;
    library.activate();
    EXPECT_TRUE(sink.messages().isEmpty());

    // Once the file changed, the panel reports it again.
    writeFile(host.folder + "a broken.wav", "RIFF0000WAVEjunk, changed");
    view.focused = 0;
    library.commands().ListClick();
    EXPECT_EQ(sink.messages().size(), 2);
}
