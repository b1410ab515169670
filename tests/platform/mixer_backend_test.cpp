// ctest-label: audio
// The PulseAudio mixer backend against the private server (sources: the three monitors and
// "Silence"; default source micsink.monitor; default sink "speaker"), the null backend, and a
// backend without a server.
#include "platform/NullMixerBackend.h"
#include "platform/PulseMixerBackend.h"
#include "support/sound_server.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>

namespace {

QString pactl(const QStringList& args)
{
    QProcess p;
    p.start("pactl", args);
    p.waitForFinished(5000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// A change made with pactl reaches our connection a moment after pactl returns on PipeWire (its
// server keeps a view of the graph for each client); on PulseAudio at once. True once the
// condition holds, within 3 s.
bool eventually(const std::function<bool()>& condition)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > 3000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    return true;
}

class PulseMixer : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mixer.connected()) << "no sound server (PULSE_SERVER)";
        ASSERT_TRUE(mixer.open(0));
    }
    void TearDown() override
    {
        // Leave the server as the other tests expect it.
        testsupport::setDefaultSource("micsink.monitor");
        pactl({"set-sink-mute", "speaker", "0"});
        pactl({"set-sink-volume", "speaker", "100%"});
        for (const char* s : {"micsink.monitor", "speaker.monitor", "tonesink.monitor", "silence"})
            pactl({"set-source-volume", s, "100%"});
    }
    platform::PulseMixerBackend mixer;
};

} // namespace

TEST_F(PulseMixer, OneDeviceNamedAfterTheServerAndEverySourceAsALine)
{
    const QStringList devices = mixer.devices();
    ASSERT_EQ(devices.size(), 1);
    // The server's own name: "pulseaudio", or "PulseAudio (on PipeWire 0.3.65)" from PipeWire.
    QString server;
    for (const QString& line : pactl({"info"}).split('\n'))
        if (line.startsWith("Server Name: "))
            server = line.mid(13);
    ASSERT_FALSE(server.isEmpty());
    EXPECT_TRUE(devices[0].startsWith(server + " on ") || devices[0] == server) << devices[0].toStdString();
    const QStringList lines = mixer.recordingLines();
    EXPECT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines.contains("Monitor of Speaker"));
    EXPECT_TRUE(lines.contains("Monitor of ToneSink"));
    EXPECT_TRUE(lines.contains("Monitor of MicSink"));
    EXPECT_TRUE(lines.contains("Silence"));
    EXPECT_EQ(mixer.recordingLines(), lines); // stable order
    EXPECT_EQ(mixer.selectedLine(), lines.indexOf("Monitor of MicSink"));
}

TEST_F(PulseMixer, SelectedLineRoundTrip)
{
    const QStringList lines = mixer.recordingLines();
    const int silence = lines.indexOf("Silence");
    ASSERT_GE(silence, 0);
    EXPECT_EQ(mixer.setSelectedLine(silence), 0);
    EXPECT_EQ(mixer.selectedLine(), silence);
    EXPECT_EQ(pactl({"get-default-source"}), "silence");
    const int speaker = lines.indexOf("Monitor of Speaker");
    EXPECT_EQ(mixer.setSelectedLine(speaker), 0);
    EXPECT_EQ(mixer.selectedLine(), speaker);
    EXPECT_EQ(pactl({"get-default-source"}), "speaker.monitor");
    for (int bad : {-1, int(lines.size()), 1000}) {
        EXPECT_NE(mixer.setSelectedLine(bad), 0) << bad;
        EXPECT_EQ(mixer.lineVolume(bad), -1) << bad;
        EXPECT_NE(mixer.setLineVolume(bad, 100), 0) << bad;
    }
    EXPECT_EQ(mixer.selectedLine(), speaker);
}

TEST_F(PulseMixer, VolumeAndMuteRoundTrips)
{
    const int line = mixer.recordingLines().indexOf("Silence");
    struct Case {
        int raw;
        const char* percent; // what pactl shows
    };
    for (const Case c : {Case{32768, "50%"}, Case{65535, "100%"}, Case{0, "0%"}, Case{16384, "25%"}}) {
        EXPECT_EQ(mixer.setLineVolume(line, c.raw), 0);
        EXPECT_NEAR(mixer.lineVolume(line), c.raw, 1);
        EXPECT_TRUE(pactl({"get-source-volume", "silence"}).contains(c.percent)) << c.raw;
        EXPECT_EQ(mixer.setSpeakerVolume(c.raw), 0);
        EXPECT_NEAR(mixer.speakerVolume(), c.raw, 1);
        EXPECT_TRUE(pactl({"get-sink-volume", "speaker"}).contains(c.percent)) << c.raw;
    }
    EXPECT_EQ(mixer.setSpeakerMute(true), 0);
    EXPECT_EQ(mixer.speakerMute(), 1);
    EXPECT_EQ(pactl({"get-sink-mute", "speaker"}), "Mute: yes");
    EXPECT_EQ(mixer.setSpeakerMute(false), 0);
    EXPECT_EQ(mixer.speakerMute(), 0);
    pactl({"set-sink-volume", "speaker", "150%"});
    EXPECT_TRUE(eventually([&] { return mixer.speakerVolume() == 65535; })) // above normal reads as the top
        << mixer.speakerVolume();
}

TEST_F(PulseMixer, AVolumeAboveNormalSurvivesAReadAndWriteRoundTrip)
{
    const int line = mixer.recordingLines().indexOf("Silence");
    ASSERT_GE(line, 0);
    // Half first, so that our view of the volumes above normal reads differently from before.
    pactl({"set-sink-volume", "speaker", "50%"});
    pactl({"set-source-volume", "silence", "50%"});
    ASSERT_TRUE(eventually([&] { return mixer.speakerVolume() == 32768 && mixer.lineVolume(line) == 32768; }));
    pactl({"set-sink-volume", "speaker", "150%"});
    pactl({"set-source-volume", "silence", "130%"});
    ASSERT_TRUE(eventually([&] { return mixer.speakerVolume() == 65535 && mixer.lineVolume(line) == 65535; }));
    EXPECT_EQ(mixer.setSpeakerVolume(mixer.speakerVolume()), 0);
    EXPECT_EQ(mixer.setLineVolume(line, mixer.lineVolume(line)), 0);
    EXPECT_TRUE(pactl({"get-sink-volume", "speaker"}).contains("150%"));
    EXPECT_TRUE(pactl({"get-source-volume", "silence"}).contains("130%"));
    // Any lower value is written as it is.
    EXPECT_EQ(mixer.setSpeakerVolume(65534), 0);
    EXPECT_TRUE(pactl({"get-sink-volume", "speaker"}).contains("100%"));
}

TEST_F(PulseMixer, LineNamesAreTheServersSourceNames)
{
    const QStringList lines = mixer.recordingLines();
    struct Case {
        const char* description;
        const char* name;
    };
    for (const Case c : {Case{"Monitor of Speaker", "speaker.monitor"}, Case{"Monitor of MicSink", "micsink.monitor"},
                         Case{"Monitor of ToneSink", "tonesink.monitor"}, Case{"Silence", "silence"}})
        EXPECT_EQ(mixer.lineName(lines.indexOf(c.description)), QString(c.name)) << c.description;
    EXPECT_TRUE(mixer.lineName(-1).isEmpty());
    EXPECT_TRUE(mixer.lineName(int(lines.size())).isEmpty());
}

TEST_F(PulseMixer, ChangesFromOutsideArriveOnTheGuiThread)
{
    QThread* seenOn = nullptr;
    int count = 0;
    QObject::connect(&mixer, &platform::MixerBackend::changed, [&] {
        seenOn = QThread::currentThread();
        ++count;
    });
    QSignalSpy spy(&mixer, &platform::MixerBackend::changed);
    pactl({"set-sink-mute", "speaker", "1"});
    ASSERT_TRUE(spy.wait(3000));
    EXPECT_EQ(seenOn, QCoreApplication::instance()->thread());
    EXPECT_GE(count, 1);
    EXPECT_TRUE(eventually([&] { return mixer.speakerMute() == 1; }));

    // A change of the default source arrives too; nothing arrives while closed.
    spy.clear();
    pactl({"set-default-source", "silence"});
    EXPECT_TRUE(spy.wait(3000));
    mixer.close();
    QCoreApplication::processEvents();
    spy.clear();
    pactl({"set-sink-mute", "speaker", "0"});
    EXPECT_FALSE(spy.wait(500));
    EXPECT_EQ(mixer.speakerMute(), -1); // closed: queries fail
}

TEST_F(PulseMixer, AFailedOpenLeavesEveryQueryFailing)
{
    EXPECT_FALSE(mixer.open(1));
    EXPECT_TRUE(mixer.recordingLines().isEmpty());
    EXPECT_EQ(mixer.selectedLine(), -1);
    EXPECT_EQ(mixer.lineVolume(0), -1);
    EXPECT_EQ(mixer.speakerVolume(), -1);
    EXPECT_EQ(mixer.speakerMute(), -1);
    EXPECT_NE(mixer.setSpeakerVolume(100), 0);
    EXPECT_NE(mixer.setSpeakerMute(true), 0);
    EXPECT_NE(mixer.setSelectedLine(0), 0);
    EXPECT_EQ(mixer.devices().size(), 1); // the device list does not need an open device
    EXPECT_TRUE(mixer.open(0));
    EXPECT_EQ(mixer.recordingLines().size(), 4);
}

namespace {
template <typename Backend>
void expectEveryQueryFails(Backend& b)
{
    EXPECT_TRUE(b.devices().isEmpty());
    EXPECT_FALSE(b.open(0));
    EXPECT_FALSE(b.open(-1));
    EXPECT_TRUE(b.recordingLines().isEmpty());
    EXPECT_EQ(b.selectedLine(), -1);
    EXPECT_NE(b.setSelectedLine(0), 0);
    EXPECT_EQ(b.lineVolume(0), -1);
    EXPECT_NE(b.setLineVolume(0, 1000), 0);
    EXPECT_EQ(b.speakerVolume(), -1);
    EXPECT_NE(b.setSpeakerVolume(1000), 0);
    EXPECT_EQ(b.speakerMute(), -1);
    EXPECT_NE(b.setSpeakerMute(true), 0);
    b.close();
}
} // namespace

TEST(NullMixer, NoDevicesAndEveryQueryFails)
{
    platform::NullMixerBackend null;
    expectEveryQueryFails(null);
}

TEST(PulseMixerNoServer, BehavesLikeTheNullBackend)
{
    QTemporaryDir dir;
    const QByteArray saved = qgetenv("PULSE_SERVER");
    qputenv("PULSE_SERVER", "unix:" + QFile::encodeName(dir.filePath("nothing-here")));
    {
        platform::PulseMixerBackend mixer;
        EXPECT_FALSE(mixer.connected());
        expectEveryQueryFails(mixer);
    }
    qputenv("PULSE_SERVER", saved);
}

namespace {
// A private PulseAudio of the test's own in `runtime` (its socket: runtime/native). It is kept
// off every D-Bus session bus (no display to find one, an address where nothing listens): a
// server another test left on the display's bus holds the name org.PulseAudio1, and a second
// one that reaches that bus ends at once.
void startServer(QProcess& server, const QString& runtime)
{
    const QString source = qEnvironmentVariable("VEXA_SOURCE_DIR", QDir::currentPath() + "/..");
    QDir().mkpath(runtime + "/state");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PULSE_RUNTIME_PATH", runtime);
    env.insert("PULSE_STATE_PATH", runtime + "/state");
    env.remove("DISPLAY");
    env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + runtime + "/no-bus");
    server.setProcessEnvironment(env);
    server.start("pulseaudio", {"-n", "-F", source + "/tests/ci.pa", "--exit-idle-time=-1", "--daemonize=no",
                                "--use-pid-file=no", "--log-target=file:" + runtime + "/pa.log"});
}
} // namespace

TEST(PulseMixerHangingServer, AQueryGivesUpInsteadOfHanging)
{
    QTemporaryDir dir;
    const QString runtime = dir.filePath("pulse");
    QProcess server;
    startServer(server, runtime);
    ASSERT_TRUE(server.waitForStarted(5000));
    const QByteArray saved = qgetenv("PULSE_SERVER");
    qputenv("PULSE_SERVER", ("unix:" + runtime + "/native").toLocal8Bit());
    {
        std::unique_ptr<platform::PulseMixerBackend> mixer;
        for (int i = 0; i < 100; ++i) {
            mixer = std::make_unique<platform::PulseMixerBackend>();
            if (mixer->connected())
                break;
            QThread::msleep(50);
        }
        ASSERT_TRUE(mixer->connected());
        ASSERT_TRUE(mixer->open(0));
        EXPECT_EQ(mixer->speakerVolume(), 65535);

        ::kill(pid_t(server.processId()), SIGSTOP); // alive, but answers nothing
        QElapsedTimer timer;
        timer.start();
        EXPECT_EQ(mixer->speakerVolume(), -1);
        EXPECT_LT(timer.elapsed(), 5000);
        // The next ones do not wait again for a server known to answer nothing.
        timer.restart();
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(mixer->speakerVolume(), -1);
        EXPECT_LT(timer.elapsed(), 1500);
        // A connection made now gives up after its own wait instead of hanging.
        timer.restart();
        platform::PulseMixerBackend late;
        EXPECT_FALSE(late.connected());
        EXPECT_LT(timer.elapsed(), 5000);
        ::kill(pid_t(server.processId()), SIGCONT);
        // Once the server answers again, so do the queries (the probe's answer).
        QSignalSpy changed(mixer.get(), &platform::MixerBackend::changed);
        EXPECT_TRUE(eventually([&] { return mixer->speakerVolume() == 65535; }));
    }
    qputenv("PULSE_SERVER", saved);
    server.kill();
    server.waitForFinished(5000);
}

// A server that starts after the backend, and one that restarts: the backend connects by itself
// (no restart of the program), says so once with serverAvailable(), and every query and every
// change notification works again.
TEST(PulseMixerLateServer, TheBackendConnectsWhenTheServerComesOrReturns)
{
    QTemporaryDir dir;
    const QString runtime = dir.filePath("pulse");
    QDir().mkpath(runtime);
    const QByteArray saved = qgetenv("PULSE_SERVER");
    qputenv("PULSE_SERVER", ("unix:" + runtime + "/native").toLocal8Bit());
    {
        platform::PulseMixerBackend mixer;
        EXPECT_FALSE(mixer.connected());
        EXPECT_FALSE(mixer.open(0));
        QSignalSpy available(&mixer, &platform::MixerBackend::serverAvailable);
        QProcess server;
        for (const char* what : {"started late", "restarted"}) {
            SCOPED_TRACE(what);
            startServer(server, runtime);
            ASSERT_TRUE(server.waitForStarted(5000));
            // Generous: the server's start on a busy machine; no polling is involved.
            ASSERT_TRUE(eventually([&] { return available.size() == 1; }) || available.wait(15000));
            EXPECT_EQ(available.size(), 1);
            EXPECT_TRUE(mixer.connected());
            ASSERT_TRUE(mixer.open(0));
            EXPECT_EQ(mixer.recordingLines().size(), 4);
            QSignalSpy changed(&mixer, &platform::MixerBackend::changed);
            QProcess::execute("pactl", {"set-sink-mute", "speaker", "1"}); // PULSE_SERVER: ours
            EXPECT_TRUE(eventually([&] { return mixer.speakerMute() == 1; }));
            EXPECT_TRUE(eventually([&] { return changed.size() > 0; }));
            available.clear();
            server.terminate();
            ASSERT_TRUE(server.waitForFinished(10000));
            EXPECT_TRUE(eventually([&] { return !mixer.connected(); }));
            EXPECT_EQ(mixer.speakerMute(), -1);
        }
        EXPECT_TRUE(available.isEmpty());
    }
    qputenv("PULSE_SERVER", saved);
}
