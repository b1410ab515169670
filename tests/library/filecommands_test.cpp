// The file commands on a real folder: delete and rename as one table (disk, list, selection,
// transport and playback afterwards), then open file, choose folder, refresh and the list clicks.
#include "library/FileCommands.h"
#include "library/FileLister.h"
#include "library/WaveHeader.h"
#include "platform/LocalFiles.h"
#include "support/LibraryBench.h"
#include "support/WithoutRights.h"

#include <QDir>
#include <cstdio>
#include <gtest/gtest.h>

using namespace librarytest;

namespace {

// One folder with its window: files on disk, the lister, selection, playback and commands.
struct Bench : LibraryBench {
    explicit Bench(const QStringList& names)
    {
        for (int i = 0; i < names.size(); ++i)
            add(names[i], 1 + i);
        lister.ListRecordings(host.folder, view);
    }
    // A WAV of so many seconds (8 kHz mono 8-bit), known to the engine as well.
    void add(const QString& name, int seconds)
    {
        writeFile(host.folder + name, canonicalWav(1, 8000, 8, quint32(8000 * seconds)));
        engine.addFile(host.folder + name, {16000ll * seconds, 8000, 1, 0, 44 + 8000 * seconds});
    }
    void play(const QString& name, bool paused)
    {
        view.setSelectedIndex(selection.FindListItem(name));
        playback.Play();
        engine.advance(host.channelHandle, 100);
        if (paused)
            playback.Play();
    }
    QStringList onDisk() const
    {
        return QDir(host.folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    QStringList messageTexts() const
    {
        QStringList t;
        for (const platform::Message& m : sink.messages())
            t << m.text;
        return t;
    }
    int secondsOf(const QString& name) const
    {
        library::WaveInfo info;
        return library::WaveHeader::read(host.folder + name, info) == library::WaveHeaderResult::Ok
                   ? int(info.Duration) : -1;
    }

    library::FileLister lister{engine, sink, QIcon()};
    library::FileCommands commands{host, view, lister, selection, info, playback, sink};
};

} // namespace

TEST(FileCommands, DeleteAndRename)
{
    enum Op { Delete, Rename };
    struct Case {
        const char* name;
        Op op;
        QStringList files;
        QString selected;
        QString played;          // file playing before the command ("" none)
        bool paused;
        QString answer;          // Rename: the typed text; Delete: "no" declines
        QStringList expectDisk;
        QString expectSelected;  // "" nothing selected
        TransportState expectState;
        QStringList expectMessages;
        bool readOnly = false;
    };
    const QStringList abc = {"a.wav", "b.wav", "c.wav"};
    const std::vector<Case> cases = {
        {"delete the last of three",
         Delete,
         abc,
         "c.wav",
         "",
         false,
         "",
         {"a.wav", "b.wav"},
         "b.wav",
         Idle,
         {}},
        {"delete the middle",
         Delete,
         abc,
         "b.wav",
         "",
         false,
         "",
         {"a.wav", "c.wav"},
         "c.wav",
         Idle,
         {}},
        {"delete the first",
         Delete,
         abc,
         "a.wav",
         "",
         false,
         "",
         {"b.wav", "c.wav"},
         "b.wav",
         Idle,
         {}},
        {"delete the only one", Delete, {"a.wav"}, "a.wav", "", false, "", {}, "", Idle, {}},
        {"delete declined", Delete, abc, "b.wav", "", false, "no", abc, "b.wav", Idle, {}},
        {"delete a read-only file",
         Delete,
         abc,
         "a.wav",
         "",
         false,
         "",
         {"b.wav", "c.wav"},
         "b.wav",
         Idle,
         {},
         true},
        {"delete the played file while playing",
         Delete,
         abc,
         "b.wav",
         "b.wav",
         false,
         "",
         {"a.wav", "c.wav"},
         "c.wav",
         Idle,
         {}},
        {"delete the played file while paused",
         Delete,
         abc,
         "a.wav",
         "a.wav",
         true,
         "",
         {"b.wav", "c.wav"},
         "b.wav",
         Idle,
         {}},
        {"delete another file while playing",
         Delete,
         abc,
         "c.wav",
         "a.wav",
         false,
         "",
         {"a.wav", "b.wav"},
         "b.wav",
         Playing,
         {}},
        {"rename keeps the extension, trimmed",
         Rename,
         abc,
         "a.wav",
         "",
         false,
         "  Interview.mp3 \t",
         {"Interview.wav", "b.wav", "c.wav"},
         "Interview.wav",
         Idle,
         {}},
        {"rename drops from the last dot",
         Rename,
         abc,
         "b.wav",
         "",
         false,
         "Take 2.1",
         {"a.wav", "c.wav", "Take 2.wav"},
         "Take 2.wav",
         Idle,
         {}},
        {"rename with only the case changed",
         Rename,
         abc,
         "b.wav",
         "",
         false,
         "B",
         abc,
         "b.wav",
         Idle,
         {}},
        {"rename cancelled", Rename, abc, "b.wav", "", false, "<cancel>", abc, "b.wav", Idle, {}},
        {"rename to a blank answer",
         Rename,
         abc,
         "b.wav",
         "",
         false,
         " \t ",
         abc,
         "b.wav",
         Idle,
         {}},
        {"rename onto an existing file",
         Rename,
         abc,
         "a.wav",
         "",
         false,
         "c",
         abc,
         "c.wav",
         Idle,
         {"Cannot rename"}},
        {"rename onto an existing file but for case",
         Rename,
         abc,
         "a.wav",
         "",
         false,
         "C",
         abc,
         "c.wav",
         Idle,
         {"Cannot rename"}},
        {"rename out of the folder",
         Rename,
         abc,
         "a.wav",
         "",
         false,
         "../escaped",
         abc,
         "a.wav",
         Idle,
         {"Cannot rename"}},
        {"rename into a subfolder",
         Rename,
         abc,
         "a.wav",
         "",
         false,
         "sub/x",
         abc,
         "a.wav",
         Idle,
         {"Cannot rename"}},
        {"rename to dots",
         Rename,
         abc,
         "a.wav",
         "",
         false,
         "..",
         abc,
         "a.wav",
         Idle,
         {"Cannot rename"}},
        {"rename to a name with dots",
         Rename,
         abc,
         "a.wav",
         "",
         false,
         "Intro... part 2.x",
         {"b.wav", "c.wav", "Intro... part 2.wav"},
         "Intro... part 2.wav",
         Idle,
         {}},
        {"rename with a backslash",
         Rename,
         abc,
         "a.wav",
         "",
         false,
         "x\\y",
         abc,
         "a.wav",
         Idle,
         {"Cannot rename"}},
        {"rename a read-only file",
         Rename,
         abc,
         "c.wav",
         "",
         false,
         "z",
         {"a.wav", "b.wav", "z.wav"},
         "z.wav",
         Idle,
         {},
         true},
        {"rename to non-ASCII with spaces",
         Rename,
         abc,
         "c.wav",
         "",
         false,
         QString::fromUtf8("Grüße aus Köln"),
         {"a.wav", "b.wav", QString::fromUtf8("Grüße aus Köln.wav")},
         QString::fromUtf8("Grüße aus Köln.wav"),
         Idle,
         {}},
        {"rename the played file while playing",
         Rename,
         abc,
         "b.wav",
         "b.wav",
         false,
         "played",
         {"a.wav", "c.wav", "played.wav"},
         "played.wav",
         Idle,
         {}},
        {"rename another file while playing",
         Rename,
         abc,
         "c.wav",
         "a.wav",
         false,
         "other",
         {"a.wav", "b.wav", "other.wav"},
         "other.wav",
         Playing,
         {}},
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bench b(c.files);
        QMap<QString, int> seconds;
        for (const QString& f : c.files)
            seconds[f] = b.secondsOf(f);
        if (c.readOnly) {
            QFile::setPermissions(b.host.folder + c.selected, QFileDevice::ReadOwner | QFileDevice::ReadUser);
        }
        audio::Handle stream = 0;
        if (!c.played.isEmpty()) {
            b.play(c.played, c.paused);
            stream = b.host.channelHandle;
        }
        b.view.setSelectedIndex(b.selection.FindListItem(c.selected));
        b.host.states.clear();
        if (c.op == Delete) {
            b.sink.answerNext(c.answer != "no");
            b.commands.Delete();
            ASSERT_EQ(b.sink.confirmations().size(), 1);
            EXPECT_EQ(b.sink.confirmations()[0], "Confirm|Delete this file?");
        } else {
            b.host.textCancelled = c.answer == "<cancel>";
            b.host.textAnswer = c.answer;
            b.commands.Rename();
            EXPECT_EQ(b.host.textCaption, "Rename");
            EXPECT_EQ(b.host.textPrompt, c.selected);
            EXPECT_EQ(b.host.textInitial, c.selected.left(c.selected.size() - 4));
        }

        QStringList disk = b.onDisk();
        QStringList expectDisk = c.expectDisk;
        disk.sort(Qt::CaseInsensitive);
        expectDisk.sort(Qt::CaseInsensitive);
        EXPECT_EQ(disk, expectDisk);
        EXPECT_EQ(b.view.captions(), expectDisk) << "the list shows the folder";
        EXPECT_EQ(b.view.selectedCaption(), c.expectSelected);
        EXPECT_EQ(b.host.state, c.expectState);
        EXPECT_EQ(b.messageTexts(), c.expectMessages);
        // Nothing was overwritten: every file kept its own length (a renamed one under its new name).
        for (const QString& f : c.files) {
            if (b.onDisk().contains(f)) {
                EXPECT_EQ(b.secondsOf(f), seconds[f]) << f.toStdString();
            }
        }
        EXPECT_FALSE(QFile::exists(b.root.path() + "/escaped.wav"));
        if (!c.played.isEmpty()) {
            const bool concerned = c.played == c.selected;
            EXPECT_EQ(b.engine.stream(stream) != nullptr, !concerned)
                << "the played file's stream ends, another file's keeps playing";
            if (!concerned) {
                EXPECT_EQ(b.engine.stream(stream)->active, audio::Playing);
                EXPECT_EQ(b.playback.PlayFilePath(), b.host.folder + c.played);
            } else {
                EXPECT_TRUE(b.playback.PlayFilePath().isEmpty());
            }
        }
        if (c.expectState == Idle && c.expectSelected.isEmpty()) {
            EXPECT_EQ(b.panel.labels.format, "mp3") << "an empty list shows the record format";
        }
    }
}

TEST(FileCommands, RenameRetryLeavesTheFileWritable)
{
    Bench b({"a.wav", "b.wav"});
    QFile::setPermissions(b.host.folder + "a.wav", QFileDevice::ReadOwner);
    b.view.setSelectedIndex(0);
    b.host.textAnswer = "b";
    b.commands.Rename();
    EXPECT_EQ(b.messageTexts(), QStringList({"Cannot rename"}));
    EXPECT_EQ(b.sink.messages()[0].caption, "Note");
    EXPECT_FALSE(b.sink.messages()[0].withOwner);
    EXPECT_TRUE(QFile::permissions(b.host.folder + "a.wav") & QFileDevice::WriteOwner);
    EXPECT_EQ(b.view.selectedCaption(), "b.wav") << "the name asked for is selected";
}

TEST(FileCommands, RenameTargets)
{
    struct T {
        const char* old;
        QString answer;
        const char* target;
        bool refused;
    };
    const std::vector<T> cases = {
        {"Vexa_001.wav", "  Interview.mp3  ", "Interview.wav", false},
        {"Vexa_001.wav", "Take 2.1", "Take 2.wav", false},
        {"Vexa_001.wav", "vexa_001", "", false},
        {"Vexa_001.wav", "VEXA_001.mp3", "", false},
        {"Vexa_001.mp3", "a.b.c", "a.b.mp3", false},
        {"Vexa_001.wma", "\t\n", "", false},
        // No name of dots alone, nor an empty base: "." would make a hidden ".wma".
        {"Vexa_001.wma", ".hidden", "", true},
        {"Vexa_001.wma", ".", "", true},
        {"Vexa_001.wma", " . ", "", true},
        {"Vexa_001.wma", ". .", "", true},
        {"Vexa_001.wma", ".wav", "", true},
        {"Vexa_001.wma", "...", "", true},
        {"Vexa_001.wma", "a.", "a.wma", false},
        {"Vexa_001.wma", ".a.b", ".a.wma", false},
        {"Vexa_001.wma", "../x", "", true},
        {"Vexa_001.wma", "a/b", "", true},
        {"Vexa_001.wma", "a\\b", "", true},
        {"Vexa_001.wma", "..", "", true},
        {"Vexa_001.wma", "a/../b", "", true},
        {"Vexa_001.wma", "..\\x", "", true},
        // Dots within a name are no way out of the folder.
        {"Vexa_001.wav", "Intro... part 2.mp3", "Intro... part 2.wav", false},
        {"Vexa_001.wav", "Intro... part 2", "Intro...wav", false},
        {"Vexa_001.wav", "a..b", "a..wav", false},
        {"Vexa_001.wav", "..x.y", "..x.wav", false},
        {"Vexa_001.wma", QString("a") + QChar(10) + "b", "", true},
    };
    for (const T& c : cases) {
        bool refused = false;
        EXPECT_EQ(library::FileCommands::renameTarget(c.old, c.answer, refused), QString::fromUtf8(c.target))
            << c.answer.toStdString();
        EXPECT_EQ(refused, c.refused) << c.answer.toStdString();
    }
}

// Names are bytes: whatever is not valid UTF-8 in them (Latin-1 as an older system or a camera
// writes it, UTF-8 forms of surrogates, overlong forms, values past U+10FFFF) is listed, shown,
// read, renamed and deleted by exactly the bytes on the disk.
TEST(FileCommands, NamesThatAreNotUtf8CanBeShownRenamedAndDeleted)
{
    const struct {
        const char* what;
        QByteArray base; // the name's bytes before ".wav"
    } cases[] = {
        {"Latin-1", "caf\xe9"},
        {"an encoded high surrogate", "\xed\xa0\x80 take"},
        {"an encoded low surrogate", "take \xed\xbf\xbf"},
        {"an overlong slash", "a\xc0\xaf" "b"},
        {"overlong dots", "\xe0\x80\xae\xe0\x80\xae"},
        {"an overlong letter", "\xc1\x81 take"},
        {"past U+10FFFF", "\xf4\x90\x80\x80"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bench b({"a.wav"});
        const auto writeRaw = [&b](const QByteArray& rawName, int seconds) {
            const QByteArray full = QFile::encodeName(b.host.folder) + rawName;
            FILE* f = std::fopen(full.constData(), "wb");
            ASSERT_NE(f, nullptr);
            const QByteArray bytes = canonicalWav(1, 8000, 8, quint32(8000 * seconds));
            std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f);
            std::fclose(f);
        };
        const auto rawNames = [&b] {
            QStringList names;
            for (const QString& n : platform::LocalFiles::entryNames(b.host.folder))
                names << QString::fromLatin1(platform::LocalFiles::encodeName(n).toHex());
            names.sort();
            return names;
        };
        const auto hex = [](const QByteArray& name) { return QString::fromLatin1(name.toHex()); };
        writeRaw(c.base + ".wav", 2);
        writeRaw("na\xefve.wav", 3);
        b.lister.ListRecordings(b.host.folder, b.view);
        ASSERT_EQ(b.view.count(), 3);
        const int at = b.view.captions().indexOf(platform::LocalFiles::decodeName(c.base + ".wav"));
        ASSERT_GE(at, 0) << b.view.captions().join('|').toStdString();
        const QString caption = b.view.caption(at);
        EXPECT_EQ(b.view.items[at].duration, "00:02");

        // Selected, it shows its values (read through its path).
        b.selection.SelectFile(caption);
        EXPECT_EQ(b.panel.fileName, caption);
        EXPECT_EQ(b.panel.labels.totalTime, "00:02");
        EXPECT_TRUE(b.sink.messages().isEmpty()) << b.messageTexts().join("|").toStdString();

        // Renamed, the odd bytes kept and " 2" added: exactly those bytes on the disk.
        b.host.textAnswer = caption.left(caption.size() - 4) + " 2";
        b.commands.Rename();
        EXPECT_TRUE(b.sink.messages().isEmpty()) << b.messageTexts().join("|").toStdString();
        QStringList expected = {hex("a.wav"), hex(c.base + " 2.wav"), hex("na\xefve.wav")};
        expected.sort();
        EXPECT_EQ(rawNames(), expected);
        const QString renamed = platform::LocalFiles::decodeName(c.base + " 2.wav");
        EXPECT_EQ(b.view.selectedCaption(), renamed);
        EXPECT_EQ(b.panel.labels.totalTime, "00:02");

        // Renamed to UTF-8, then the other one deleted: the old bytes are gone from the disk.
        b.host.textAnswer = QString::fromUtf8("Café");
        b.commands.Rename();
        EXPECT_EQ(b.view.selectedCaption(), QString::fromUtf8("Café.wav"));
        EXPECT_EQ(b.secondsOf(QString::fromUtf8("Café.wav")), 2);
        b.selection.SelectFile(platform::LocalFiles::decodeName("na\xefve.wav"));
        b.commands.Delete();
        EXPECT_EQ(b.view.captions(), QStringList({"a.wav", QString::fromUtf8("Café.wav")}));
        expected = QStringList{hex("a.wav"), hex(QString::fromUtf8("Café.wav").toUtf8())};
        expected.sort();
        EXPECT_EQ(rawNames(), expected);
        EXPECT_TRUE(b.sink.messages().isEmpty()) << b.messageTexts().join("|").toStdString();
    }
}

TEST(FileCommands, OpenFile)
{
    Bench b({"a.wav", "b.wav"});
    QDir(b.root.path()).mkdir("other");
    const QString other = b.root.path() + "/other/";
    writeFile(other + "x.wav", canonicalWav(1, 8000, 8, 8000));
    writeFile(other + "y.wav", canonicalWav(1, 8000, 8, 16000));
    b.engine.addFile(other + "y.wav", {32000, 8000, 1, 0, 16044});
    writeFile(other + "notes.txt", "x");

    // Cancelled: nothing happens, even while playing.
    b.play("a.wav", false);
    b.host.states.clear();
    b.commands.OpenFile();
    EXPECT_EQ(b.host.openDialogFolder, b.host.folder);
    EXPECT_EQ(b.host.openDialogFilter, library::FileCommands::DefaultOpenFilter);
    EXPECT_TRUE(b.host.states.isEmpty());

    // Chosen while playing: the new folder, the chosen file selected and playing.
    b.host.openAnswer = other + "Y.WAV";
    b.commands.OpenFile();
    EXPECT_EQ(b.host.folder, other);
    EXPECT_EQ(b.view.captions(), QStringList({"x.wav", "y.wav"}));
    EXPECT_EQ(b.view.selectedCaption(), "y.wav");
    EXPECT_EQ(b.host.state, Playing);
    ASSERT_EQ(b.engine.openStreams(), 1);
    EXPECT_EQ(b.engine.stream(b.host.channelHandle)->path, other + "y.wav");

    // A file of another type: the first file is selected, in Idle.
    b.playback.Stop();
    b.host.openAnswer = other + "notes.txt";
    b.commands.OpenFile();
    EXPECT_EQ(b.view.selectedCaption(), "x.wav");
    EXPECT_EQ(b.host.state, Idle);
    EXPECT_EQ(b.panel.fileName, "x.wav");

    EXPECT_EQ(library::FileCommands::qtNameFilters(library::FileCommands::DefaultOpenFilter),
              QStringList({"All support files(*.wav;*.mp3;*.wma) (*.wav *.mp3 *.wma)",
                           "WAV files(*.wav) (*.wav)", "MP3 files(*.mp3) (*.mp3)",
                           "WMA files(*.wma) (*.wma)", "Any Files(*.*) (*.*)"}));
}

TEST(FileCommands, ChooseFolder)
{
    Bench b({"a.wav", "b.wav"});
    QDir(b.root.path()).mkdir("other");
    const QString other = b.root.path() + "/other";
    writeFile(other + "/m.wav", canonicalWav(1, 8000, 8, 8000));

    // Cancelled while playing: the stream ended before the dialog, and the transport is Idle.
    b.play("b.wav", false);
    const audio::Handle stream = b.host.channelHandle;
    b.commands.ChooseFolder();
    EXPECT_EQ(b.host.folderDialogTitle, "Select Folder ...");
    EXPECT_EQ(b.host.folderDialogStateSeen, Idle);
    EXPECT_EQ(b.engine.stream(stream), nullptr);
    EXPECT_EQ(b.host.state, Idle);
    EXPECT_EQ(b.view.count(), 2);

    // Chosen: one separator is added, never a second.
    for (const QString& answer : {other, other + "/"}) {
        b.host.folderAnswer = answer;
        b.commands.ChooseFolder();
        EXPECT_EQ(b.host.folder, other + "/");
        EXPECT_EQ(b.view.captions(), QStringList({"m.wav"}));
        EXPECT_EQ(b.view.selectedCaption(), "m.wav");
        EXPECT_EQ(b.panel.labels.totalTime, "00:01");
    }
}

TEST(FileCommands, RefreshBrowseClicksAndReselect)
{
    Bench b({"a.wav", "b.wav", "c.wav"});
    b.commands.ShowFolderInFileManager();
    EXPECT_EQ(b.host.shownFolders, QStringList({b.host.folder}));

    // Refresh: the played file selected again, nothing when none was played; the panel and
    // the name follow: the record format and no name when nothing is selected.
    b.selection.SelectFile("c.wav");
    ASSERT_EQ(b.panel.fileName, "c.wav");
    b.commands.Refresh();
    EXPECT_EQ(b.view.selected, -1);
    EXPECT_EQ(b.panel.fileName, "");
    EXPECT_EQ(b.panel.labels, library::FileInfo::recordFormatLabels(b.host.format, b.host.lang));
    b.play("b.wav", false);
    b.view.setSelectedIndex(0);
    b.add("0.wav", 4);
    b.host.states.clear();
    b.commands.Refresh();
    EXPECT_EQ(b.view.captions(), QStringList({"0.wav", "a.wav", "b.wav", "c.wav"}));
    EXPECT_EQ(b.view.selectedCaption(), "b.wav");
    EXPECT_TRUE(b.host.states.isEmpty()) << "Refresh leaves the transport alone";

    // Click while playing: the selection moves, the transport is re-evaluated, playback and
    // panel stay.
    const int panelUpdates = b.panel.updates;
    b.view.focused = 3;
    b.commands.ListClick();
    EXPECT_EQ(b.view.selectedCaption(), "c.wav");
    EXPECT_EQ(b.host.states, QList<TransportState>({Playing}));
    EXPECT_EQ(b.panel.updates, panelUpdates);
    EXPECT_EQ(b.engine.stream(b.host.channelHandle)->path, b.host.folder + "b.wav");

    // Double-click while playing: the clicked file plays from its start.
    b.view.focused = 1;
    b.commands.ListDoubleClick();
    EXPECT_EQ(b.engine.openStreams(), 1);
    EXPECT_EQ(b.engine.stream(b.host.channelHandle)->path, b.host.folder + "a.wav");
    EXPECT_EQ(b.host.state, Playing);

    // Click in Idle refreshes the panel; re-select after the format dialog too.
    b.playback.Stop();
    b.view.focused = 0;
    b.commands.ListClick();
    EXPECT_EQ(b.panel.fileName, "0.wav");
    EXPECT_EQ(b.panel.labels.totalTime, "00:04");
    // Refresh in Idle after a.wav was played: a.wav is selected and the panel describes it.
    b.commands.Refresh();
    EXPECT_EQ(b.view.selectedCaption(), "a.wav");
    EXPECT_EQ(b.panel.fileName, "a.wav");
    EXPECT_EQ(b.panel.labels.totalTime, "00:01");
    b.host.format.format = recording::RecordFormat::Wma;
    b.view.clear();
    b.commands.Reselect();
    EXPECT_EQ(b.panel.labels.format, "wma");
    EXPECT_EQ(b.panel.labels.bitrate, "96");
}

// A folder that cannot be written to: the file stays (and stays listed and selected), and each
// command says so once: Delete with the file and the system's reason, Rename with str005.
TEST(FileCommands, DeleteAndRenameInAFolderThatCannotBeWritten)
{
    Bench b({"a.wav", "b.wav", "c.wav"});
    b.view.setSelectedIndex(1);
    testsupport::WithoutRights::openToOthers(b.root.path());
    testsupport::WithoutRights readOnly(b.host.folder);
    b.commands.Delete();
    EXPECT_EQ(b.onDisk(), QStringList({"a.wav", "b.wav", "c.wav"}));
    EXPECT_EQ(b.view.captions(), QStringList({"a.wav", "b.wav", "c.wav"})) << "the file stays listed";
    EXPECT_EQ(b.view.selectedCaption(), "b.wav");
    EXPECT_EQ(b.messageTexts(),
              QStringList({"The file " + b.host.folder +
                           "b.wav could not be deleted (Permission denied)."}));
    ASSERT_EQ(b.sink.messages().size(), 1);
    EXPECT_EQ(b.sink.messages()[0].icon, platform::MessageIcon::Information);

    b.sink.clear();
    b.host.textAnswer = "new";
    b.commands.Rename();
    EXPECT_EQ(b.onDisk(), QStringList({"a.wav", "b.wav", "c.wav"}));
    EXPECT_EQ(b.messageTexts(), QStringList({"Cannot rename"}));
}
