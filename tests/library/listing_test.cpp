// Listing the recordings folder: patterns, order, icons, durations, and the messages of broken
// WAV files, with a scripted engine for the MP3 and WMA durations.
#include "LibraryFakes.h"
#include "i18n/LanguageMessages.h"
#include "library/FileLister.h"
#include "library/FileTypeIcons.h"
#include "support/RecordingMessageSink.h"

#include "platform/LocalFiles.h"

#include <QDateTime>
#include <QDir>
#include <QPixmap>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace librarytest;
using library::FileLister;

namespace {

QIcon programIcon()
{
    QPixmap p(16, 16);
    p.fill(Qt::red);
    return QIcon(p);
}

// A sink that runs something while a message is "on screen", as the window's re-activation
// does when a modal box closes.
class ReenteringSink : public testsupport::RecordingMessageSink {
public:
    void show(const platform::Message& m) override
    {
        RecordingMessageSink::show(m);
        if (onShow && depth++ < 5)
            onShow();
    }
    std::function<void()> onShow;
    int depth = 0;
};

} // namespace

class Listing : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
    }
    QString path(const QString& name) const { return folder + name; }
    QString list() { return lister.ListRecordings(folder, view); }
    QStringList images() const
    {
        QStringList r;
        for (const ListItem& i : view.items)
            r << QString::number(i.image);
        return r;
    }
    QStringList durations() const
    {
        QStringList r;
        for (const ListItem& i : view.items)
            r << i.duration;
        return r;
    }

    QTemporaryDir dir;
    QString folder;
    FakeEngine engine;
    FakeListView view;
    ReenteringSink sink;
    FileLister lister{engine, sink, programIcon()};
};

TEST_F(Listing, PatternsOrderAndImageIndices)
{
    writeFile(path("b.WAV"), canonicalWav(2, 44100, 16, 176400 * 65));
    writeFile(path("a.mp3"), "x");
    writeFile(path("C.wma"), "x");
    engine.addFile(path("a.mp3"), {44100 * 4 * 3725ll, 44100, 2, 0, 1000});
    engine.addFile(path("C.wma"), {44100 * 4 * 9 + 1000, 44100, 2, 0, 1000});
    ASSERT_TRUE(QDir(folder).mkdir("x.wav"));          // a folder is never listed
    ASSERT_TRUE(QDir(folder).mkdir("sub.MP3"));
    writeFile(path("notes.txt"), "x");
    writeFile(path("take.wav.bak"), "x");
    writeFile(path("wav"), "x");

    EXPECT_EQ(list(), "a.mp3");
    EXPECT_EQ(view.captions(), QStringList({"a.mp3", "b.WAV", "C.wma"}));
    EXPECT_EQ(images(), QStringList({"1", "0", "2"}));
    EXPECT_EQ(durations(), QStringList({"1:02:05", "01:05", "00:09"}));
    EXPECT_EQ(view.selected, -1) << "listing does not select";
    EXPECT_EQ(engine.openStreams(), 0);

    // Exactly three icons, none empty: offscreen there is no icon theme, so the program's own.
    ASSERT_EQ(view.icons.size(), 3);
    for (const QIcon& icon : view.icons)
        EXPECT_FALSE(icon.isNull());
}

// Past 4 GiB of decoded sound (6.8 hours at 44.1 kHz stereo) the length still comes out whole.
TEST_F(Listing, LengthsPastFourGigabytesOfSound)
{
    writeFile(path("long.mp3"), "x");
    writeFile(path("night.wma"), "x");
    engine.addFile(path("long.mp3"), {44100 * 4 * 28344ll, 44100, 2, 0, 1000});
    engine.addFile(path("night.wma"), {48000 * 2 * 100000ll, 48000, 1, 0, 1000});
    list();
    EXPECT_EQ(durations(), QStringList({"7:52:24", "27:46:40"}));
}

TEST_F(Listing, SortsWithoutRegardToCaseAndKeepsOddNames)
{
    const QStringList names = {"beta1.wav", "ALPHA2.mp3", "Beta.wma", "alpha.wav", ".hidden.wav",
                               "my take.wav", QString::fromUtf8("Grüße.wav"), "Zeta.Mp3", "zz.wAv"};
    for (const QString& n : names)
        writeFile(path(n), canonicalWav(1, 8000, 16, 32000));
    EXPECT_EQ(list(), ".hidden.wav");
    const QStringList expected = {".hidden.wav", "alpha.wav", "ALPHA2.mp3", "Beta.wma", "beta1.wav",
                                  QString::fromUtf8("Grüße.wav"), "my take.wav", "Zeta.Mp3", "zz.wAv"};
    EXPECT_EQ(view.captions(), expected);
    // The WAVs read 2 s; the MP3 and WMA the engine cannot open read 00:00.
    for (const ListItem& item : view.items)
        EXPECT_EQ(item.duration, item.image == 0 ? "00:02" : "00:00") << item.caption.toStdString();
    EXPECT_TRUE(sink.messages().isEmpty()) << "only broken WAV files have a message";
}

TEST_F(Listing, EmptyMissingAndNonFolders)
{
    const QString file = path("plain.txt");
    writeFile(file, "x");
    for (const QString& f : {folder, folder + "gone/", QString(), file + "/"}) {
        view.addItem("stale.wav", 0, "00:01");
        EXPECT_EQ(lister.ListRecordings(f, view), QString()) << f.toStdString();
        EXPECT_EQ(view.count(), 0);
        // Nothing to show: the icon theme is not searched (a fresh start's first showing).
        EXPECT_TRUE(view.icons.isEmpty());
    }
    // The first listing with a recording brings the three icons.
    writeFile(path("a.wav"), canonicalWav(1, 8000, 16, 16000));
    EXPECT_EQ(lister.ListRecordings(folder, view), QStringLiteral("a.wav"));
    EXPECT_EQ(view.icons.size(), 3);
}

TEST_F(Listing, BrokenWavFilesInOneBoxOncePerRunUntilTheyChange)
{
    writeFile(path("a.wav"), canonicalWav(2, 44100, 16, 176400));
    writeFile(path("b.wav"), "RIFF");                                            // cut
    writeFile(path("c.wav"), riff(chunk("fmt ", fmtBody(1, 2, 44100, 24)) + chunk("data", "123456")));
    writeFile(path("d.wav"), QByteArray());                                      // zero bytes

    auto texts = [this] {
        QStringList t;
        for (const platform::Message& m : sink.messages())
            t << m.text;
        return t;
    };
    // One box for the listing, however many files it could not read (the built-in text: no
    // language file here); each file's own message is the panel's, when the user selects it.
    const QString unreadable = i18n::LanguageMessages::builtIn(QStringLiteral("Strings"),
                                                               QStringLiteral("UnreadableFiles"));
    const QString three = unreadable.arg(3);
    EXPECT_TRUE(three.startsWith("3 files")) << three.toStdString();

    // Each message's closing re-activates the window, which re-lists: nothing comes back.
    sink.onShow = [this] { list(); };
    EXPECT_EQ(list(), "a.wav");
    EXPECT_EQ(texts(), QStringList({three}));
    EXPECT_EQ(durations(), QStringList({"00:01", "00:00", "00:00", "00:00"}));

    // Neither activations nor the re-lists after a recording, Refresh, Rename or Delete bring
    // the boxes back for files nobody touched.
    sink.clear();
    sink.onShow = nullptr;
    list();
    list();
    list();
    EXPECT_TRUE(texts().isEmpty());
    EXPECT_EQ(view.count(), 4);

    // A file that changed (another size) is reported once more; the others stay quiet.
    writeFile(path("c.wav"), riff(chunk("fmt ", fmtBody(1, 2, 44100, 24)) + chunk("data", "12345678")));
    list();
    EXPECT_EQ(texts(), QStringList({"Not PCM formats!"}));
    sink.clear();
    list();
    EXPECT_TRUE(texts().isEmpty());
    // So is one whose time alone changed.
    QFile touched(path("b.wav"));
    ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
    ASSERT_TRUE(touched.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                    QFileDevice::FileModificationTime));
    touched.close();
    list();
    EXPECT_EQ(texts(), QStringList({"This is not a valid Wave file"}));

    // Two files changed (or new) in one listing: one box again, naming two.
    sink.clear();
    writeFile(path("d.wav"), "RIFF, changed");
    writeFile(path("e.wav"), QByteArray());
    list();
    EXPECT_EQ(texts(), QStringList({unreadable.arg(2)}));
    EXPECT_EQ(sink.messages()[0].icon, platform::MessageIcon::Information);
}

TEST_F(Listing, OnlyRegularFilesAndEveryName)
{
    // Each of these entries would hang an open or is no recording; none is listed and the
    // listing returns (a blocking open would hang this test until its time-out).
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo.wav")).constData(), 0600), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo.mp3")).constData(), 0600), 0);
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(sock, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray socketPath = QFile::encodeName(path("socket.wma"));
    ASSERT_LT(size_t(socketPath.size()), sizeof address.sun_path);
    std::memcpy(address.sun_path, socketPath.constData(), size_t(socketPath.size()));
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::symlink("/dev/zero", QFile::encodeName(path("zero.wav")).constData()), 0);
    ASSERT_EQ(::symlink("/nowhere/at/all.wav", QFile::encodeName(path("dangling.wav")).constData()), 0);
    // A regular file and a link to it are recordings.
    writeFile(path("real.wav"), canonicalWav(1, 8000, 16, 16000 * 3));
    ASSERT_EQ(::symlink("real.wav", QFile::encodeName(path("link.wav")).constData()), 0);
    // A name that is not UTF-8 (Latin-1 bytes), and one with a stray byte before its extension.
    for (const QByteArray& raw : {QByteArray("caf\xe9.wav"), QByteArray("take\xff\xfe.mp3")}) {
        const QByteArray full = QFile::encodeName(folder) + raw;
        FILE* f = std::fopen(full.constData(), "wb");
        ASSERT_NE(f, nullptr);
        const QByteArray bytes = canonicalWav(1, 8000, 16, 16000 * 2);
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f);
        std::fclose(f);
    }
    const QString latin = platform::LocalFiles::decodeName("caf\xe9.wav");
    const QString stray = platform::LocalFiles::decodeName("take\xff\xfe.mp3");
    engine.addFile(path(stray), {8000 * 2 * 7, 8000, 1, 0, 10});

    list();
    ::close(sock);
    EXPECT_EQ(view.captions(), QStringList({latin, "link.wav", "real.wav", stray}));
    EXPECT_EQ(durations(), QStringList({"00:02", "00:03", "00:03", "00:07"}));
    EXPECT_TRUE(sink.messages().isEmpty());
    // The caption leads back to exactly the bytes on disk.
    EXPECT_EQ(platform::LocalFiles::encodeName(path(latin)), QFile::encodeName(folder) + "caf\xe9.wav");
}

TEST_F(Listing, FolderThatDisappearsWhileListed)
{
    for (int i = 0; i < 6; ++i)
        writeFile(path(QStringLiteral("take%1.%2").arg(i).arg(i < 3 ? "mp3" : "wav")), "x");
    engine.addFile(path("take0.mp3"), {176400, 44100, 2, 0, 10});
    // The folder goes while the first MP3 is being measured.
    struct VanishingEngine : FakeEngine {
        QString victim;
        audio::HSTREAM streamCreateFile(const QString& p) override
        {
            QDir(victim).removeRecursively();
            return FakeEngine::streamCreateFile(p);
        }
    } vanishing;
    vanishing.victim = folder;
    FileLister l(vanishing, sink, QIcon());
    EXPECT_EQ(l.ListRecordings(folder, view), "take0.mp3");
    EXPECT_EQ(view.count(), 6);
    for (const ListItem& item : view.items)
        EXPECT_EQ(item.duration, "00:00");
    EXPECT_TRUE(sink.messages().isEmpty()) << "files that are gone are not reported as broken";
    EXPECT_EQ(l.ListRecordings(folder, view), QString());
    EXPECT_EQ(view.count(), 0);
}

TEST_F(Listing, ThousandFiles)
{
    const QByteArray wav = canonicalWav(1, 8000, 16, 16000 * 10);
    for (int i = 0; i < 1000; ++i) {
        const QString name = QStringLiteral("Vexa_%1.%2").arg(i + 1, 3, 10, QLatin1Char('0')).arg(
            i % 3 == 0 ? "wav" : i % 3 == 1 ? "mp3" : "wma");
        writeFile(path(name), i % 3 == 0 ? wav : QByteArray("x"));
        if (i % 3 != 0)
            engine.addFile(path(name), {8000 * 2 * 10, 8000, 1, 0, 10});
    }
    EXPECT_EQ(list(), "Vexa_001.wav");
    ASSERT_EQ(view.count(), 1000);
    // Name order, not number order: Vexa_1000 follows Vexa_100, Vexa_999 is last.
    const int hundred = view.captions().indexOf("Vexa_100.wav");
    ASSERT_GE(hundred, 0);
    EXPECT_EQ(view.caption(hundred + 1), "Vexa_1000.wav");
    EXPECT_EQ(view.caption(hundred + 2), "Vexa_101.mp3");
    EXPECT_EQ(view.caption(999), "Vexa_999.wma");
    for (const ListItem& item : view.items)
        ASSERT_EQ(item.duration, "00:10") << item.caption.toStdString();
    EXPECT_EQ(engine.openStreams(), 0);
}

TEST(FileTypeIcons, NeverAnEmptySlot)
{
    QPixmap a(16, 16), b(16, 16), c(16, 16);
    a.fill(Qt::red);
    b.fill(Qt::green);
    c.fill(Qt::blue);
    const QIcon type(a), generic(b), program(c);
    auto key = [](const QIcon& i) { return i.pixmap(16, 16).toImage().pixel(0, 0); };
    EXPECT_EQ(key(library::FileTypeIcons::choose(type, generic, program)), key(type));
    EXPECT_EQ(key(library::FileTypeIcons::choose(QIcon(), generic, program)), key(generic));
    EXPECT_EQ(key(library::FileTypeIcons::choose(QIcon(), QIcon(), program)), key(program));
    EXPECT_FALSE(library::FileTypeIcons::choose(QIcon(), QIcon(), QIcon()).isNull());
    const QList<QIcon> icons = library::FileTypeIcons::listIcons(QIcon());
    ASSERT_EQ(icons.size(), 3);
    for (const QIcon& i : icons)
        EXPECT_FALSE(i.isNull());
}

TEST_F(Listing, FolderWithoutReadPermission)
{
    writeFile(path("a.wav"), canonicalWav(1, 8000, 16, 16000));
    ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    const bool readable = QDir(folder).entryList(QDir::Files).size() == 1;
    if (readable) {
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        GTEST_SKIP() << "running with the right to read any folder (root): nothing to refuse";
    }
    view.addItem("stale.wav", 0, "00:01");
    EXPECT_EQ(list(), QString());
    EXPECT_EQ(view.count(), 0);
    EXPECT_TRUE(sink.messages().isEmpty());
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST(FileTypeIcons, TheThemesAudioIconBeforeTheProgramsOwn)
{
    const QString themeBefore = QIcon::themeName();
    QIcon::setThemeSearchPaths(QIcon::themeSearchPaths() << "/usr/share/icons");
    QIcon::setThemeName("Adwaita");
    if (!QIcon::hasThemeIcon("audio-x-generic")) {
        QIcon::setThemeName(themeBefore);
        GTEST_SKIP() << "no Adwaita icon theme installed";
    }
    const QIcon program = programIcon();
    for (const char* ext : {".wav", ".mp3", ".wma"}) {
        const QIcon icon = library::FileTypeIcons::iconFor(ext, program);
        EXPECT_FALSE(icon.isNull()) << ext;
        EXPECT_NE(icon.cacheKey(), program.cacheKey()) << ext << ": the theme has an audio icon";
    }
    QIcon::setThemeName(themeBefore);
    for (const QIcon& icon : library::FileTypeIcons::listIcons(program))
        EXPECT_EQ(icon.cacheKey(), program.cacheKey()) << "without a theme: the program's own";
}

// A re-list that edits the view in place must end exactly where a rebuild ends: the same
// names, icons and durations in the same order, nothing selected or focused.
TEST_F(Listing, EditsInPlaceEndWhereARebuildEnds)
{
    auto wav = [this](const QString& name, int seconds) {
        return writeFile(path(name), canonicalWav(1, 8000, 16, 16000u * seconds));
    };
    struct Case {
        const char* name;
        std::function<void()> change;
        int edits; // inserts and duration changes expected
    };
    const Case cases[] = {
        {"nothing changed", [] {}, 0},
        {"a new recording at the end", [&] { wav("Vexa_004.wav", 4); }, 1},
        {"a new file in the middle", [&] { wav("Vexa_002b.wav", 1); }, 1},
        {"a new file first", [&] { wav("A first.WAV", 2); }, 1},
        {"a file removed", [&] { QFile::remove(path("Vexa_002.wav")); }, 0},
        {"a file rewritten longer", [&] { wav("Vexa_003.wav", 7); }, 1},
        {"a file renamed", [&] { QFile::rename(path("Vexa_001.wav"), path("zz.wav")); }, 1},
        {"a file broken", [&] { writeFile(path("Vexa_004.wav"), "RIFF"); }, 1},
        {"all gone but one", [&] {
             for (const QString& n : QDir(folder).entryList({"*.wav", "*.WAV"}, QDir::Files))
                 if (n != "zz.wav")
                     QFile::remove(path(n));
         }, 0},
    };
    for (int i = 1; i <= 3; ++i)
        ASSERT_TRUE(wav(QStringLiteral("Vexa_%1.wav").arg(i, 3, 10, QLatin1Char('0')), i));

    view.editable = true;
    list();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.change();
        view.setSelectedIndex(view.count() - 1); // a re-list never keeps it
        view.added = view.edits = 0;
        const QString first = list();

        FakeListView fresh;
        ReenteringSink quiet;
        FakeEngine otherEngine;
        FileLister rebuild(otherEngine, quiet, programIcon());
        EXPECT_EQ(first, rebuild.ListRecordings(folder, fresh));
        EXPECT_EQ(view.captions(), fresh.captions());
        EXPECT_EQ(durations(), [&] {
            QStringList r;
            for (const ListItem& item : fresh.items)
                r << item.duration;
            return r;
        }());
        for (int k = 0; k < view.count() && k < fresh.count(); ++k)
            EXPECT_EQ(view.items[k].image, fresh.items[k].image);
        EXPECT_EQ(view.selected, -1);
        EXPECT_EQ(view.focused, -1);
        EXPECT_EQ(view.added, 0) << "edited, not rebuilt";
        EXPECT_EQ(view.edits, c.edits);
    }
}

TEST_F(Listing, AViewInAnotherOrderOrWithDoublesIsRebuilt)
{
    writeFile(path("a.wav"), canonicalWav(1, 8000, 16, 16000));
    writeFile(path("b.wav"), canonicalWav(1, 8000, 16, 32000));
    view.editable = true;
    const struct {
        const char* name;
        QStringList shown;
    } cases[] = {
        {"reversed", {"b.wav", "a.wav"}},
        {"a name twice", {"a.wav", "a.wav", "b.wav"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        view.clear();
        for (const QString& n : c.shown)
            view.addItem(n, 0, "09:09");
        view.added = view.edits = 0;
        list();
        EXPECT_EQ(view.captions(), QStringList({"a.wav", "b.wav"}));
        EXPECT_EQ(durations(), QStringList({"00:01", "00:02"}));
        EXPECT_EQ(view.added, 2);
        EXPECT_EQ(view.edits, 0);
    }
}

TEST_F(Listing, DurationsAreReadAgainOnlyWhenAFileChanged)
{
    writeFile(path("a.mp3"), "x");
    writeFile(path("b.wma"), "xy");
    engine.addFile(path("a.mp3"), {44100 * 4 * 5ll, 44100, 2, 0, 1000});
    engine.addFile(path("b.wma"), {44100 * 4 * 7ll, 44100, 2, 0, 1000});
    list();
    EXPECT_EQ(durations(), QStringList({"00:05", "00:07"}));
    EXPECT_EQ(engine.opened.size(), 2);

    // Unchanged files come from what was read before, in this view or another.
    list();
    FakeListView other;
    lister.ListRecordings(folder, other);
    EXPECT_EQ(engine.opened.size(), 2);
    EXPECT_EQ(durations(), QStringList({"00:05", "00:07"}));

    // Another size, or another time, and the file is read again (and only that one).
    writeFile(path("a.mp3"), "xyz");
    engine.addFile(path("a.mp3"), {44100 * 4 * 9ll, 44100, 2, 0, 1000});
    QFile touched(path("b.wma"));
    ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
    ASSERT_TRUE(touched.setFileTime(QDateTime::currentDateTime().addSecs(-60),
                                    QFileDevice::FileModificationTime));
    touched.close();
    engine.addFile(path("b.wma"), {44100 * 4 * 3ll, 44100, 2, 0, 1000});
    list();
    EXPECT_EQ(durations(), QStringList({"00:09", "00:03"}));
    EXPECT_EQ(engine.opened.size(), 4);

    // A file that left the folder is forgotten: when it comes back it is read again.
    QFile::remove(path("a.mp3"));
    list();
    writeFile(path("a.mp3"), "abcd");
    list();
    EXPECT_EQ(engine.opened.size(), 5);
    EXPECT_EQ(engine.openStreams(), 0);
}

// The first showing defers MP3 and WMA durations it does not know: they are listed empty and
// filled in later a few at a time, in list order, into the row that shows the file even when
// the list changed meanwhile; what was read then is not read again, and a listing that reads
// (Refresh) reads what is still missing. A view that cannot edit in place gets them at once.
TEST_F(Listing, DeferredStreamDurationsAreFilledInLaterInListOrder)
{
    writeFile(path("a.mp3"), "x");
    writeFile(path("b.wav"), canonicalWav(2, 44100, 16, 176400 * 3));
    writeFile(path("c.wma"), "xy");
    writeFile(path("d.mp3"), "xyz");
    writeFile(path("e.mp3"), "xyzw");
    engine.addFile(path("a.mp3"), {44100 * 4 * 5ll, 44100, 2, 0, 1000});
    engine.addFile(path("c.wma"), {44100 * 4 * 7ll, 44100, 2, 0, 1000});
    engine.addFile(path("d.mp3"), {44100 * 4 * 11ll, 44100, 2, 0, 1000});
    engine.addFile(path("e.mp3"), {44100 * 4 * 13ll, 44100, 2, 0, 1000});
    const auto deferred = FileLister::StreamDurations::Defer;

    // Not editable: read at once.
    lister.ListRecordings(folder, view, deferred);
    EXPECT_EQ(durations(), QStringList({"00:05", "00:03", "00:07", "00:11", "00:13"}));
    EXPECT_EQ(lister.deferredCount(), 0);
    EXPECT_EQ(engine.opened.size(), 4);

    FakeListView editable;
    editable.editable = true;
    FileLister first{engine, sink, programIcon()};
    engine.opened.clear();
    const auto shown = [&editable] {
        QStringList r;
        for (const ListItem& i : editable.items)
            r << i.caption + "=" + i.duration;
        return r;
    };
    EXPECT_EQ(first.ListRecordings(folder, editable, deferred), "a.mp3");
    EXPECT_EQ(shown(), QStringList({"a.mp3=", "b.wav=00:03", "c.wma=", "d.mp3=", "e.mp3="}));
    EXPECT_EQ(engine.opened.size(), 0);
    EXPECT_EQ(first.deferredCount(), 4);

    const struct {
        const char* name;
        std::function<void()> meanwhile;
        int count;
        int left;
        QStringList expected;
    } steps[] = {
        {"the first two", [] {}, 2, 2, {"a.mp3=00:05", "b.wav=00:03", "c.wma=00:07", "d.mp3=", "e.mp3="}},
        // A row above moved the others down: each still lands on its own file.
        {"after a row went away", [&] { editable.removeItem(0); }, 1, 1,
         {"b.wav=00:03", "c.wma=00:07", "d.mp3=00:11", "e.mp3="}},
        {"more than are left", [] {}, 5, 0, {"b.wav=00:03", "c.wma=00:07", "d.mp3=00:11", "e.mp3=00:13"}},
        {"nothing left", [] {}, 5, 0, {"b.wav=00:03", "c.wma=00:07", "d.mp3=00:11", "e.mp3=00:13"}},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        s.meanwhile();
        EXPECT_EQ(first.ReadDeferredDurations(editable, s.count), s.left);
        EXPECT_EQ(shown(), s.expected);
    }
    EXPECT_EQ(engine.opened.size(), 4);
    EXPECT_EQ(engine.openStreams(), 0);

    // Read once: a later listing of either kind takes them from what was read.
    first.ListRecordings(folder, editable, deferred);
    EXPECT_EQ(first.deferredCount(), 0);
    EXPECT_EQ(engine.opened.size(), 4);
    EXPECT_EQ(shown(), QStringList({"a.mp3=00:05", "b.wav=00:03", "c.wma=00:07", "d.mp3=00:11", "e.mp3=00:13"}));

    // A changed file is deferred again; a reading listing reads it and drops what was deferred.
    writeFile(path("d.mp3"), "changed");
    engine.addFile(path("d.mp3"), {44100 * 4 * 17ll, 44100, 2, 0, 1000});
    first.ListRecordings(folder, editable, deferred);
    EXPECT_EQ(first.deferredCount(), 1);
    EXPECT_EQ(shown().at(3), "d.mp3=");
    first.ListRecordings(folder, editable);
    EXPECT_EQ(first.deferredCount(), 0);
    EXPECT_EQ(shown().at(3), "d.mp3=00:17");
    EXPECT_EQ(engine.opened.size(), 5);
}
