// ctest-label: audio
// ctest-timeout: 120
// Without a sound server, and with one that dies under a running capture and playback: the
// engine fails cleanly, nothing hangs, the channels end by themselves and the program goes on.
#include "audio/Engine.h"
#include "support/audio_files.h"
#include "support/audio_signals.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <functional>
#include <memory>
#include <thread>

using namespace std::chrono;

namespace {

std::atomic<int> calls{0};
bool count(audio::HRECORD, const void*, std::uint32_t, void*)
{
    ++calls;
    return true;
}

void waitFor(milliseconds ms) { std::this_thread::sleep_for(ms); }

// Points the process at another sound server for the life of the object.
class ServerAddress {
public:
    explicit ServerAddress(const QByteArray& address) : saved_(qgetenv("PULSE_SERVER"))
    {
        qputenv("PULSE_SERVER", address);
    }
    ~ServerAddress() { qputenv("PULSE_SERVER", saved_); }

private:
    QByteArray saved_;
};

} // namespace

TEST(NoServer, InitFailsCleanlyAndNothingHangs)
{
    QTemporaryDir dir;
    ServerAddress dead("unix:" + QFile::encodeName(dir.filePath("no-such-socket")));
    audio::Engine engine;
    const auto start = steady_clock::now();
    EXPECT_FALSE(engine.recordInit(-1));
    EXPECT_FALSE(engine.init(-1, 44100));
    EXPECT_EQ(engine.recordStart(44100, 2, &count, nullptr), 0u);
    engine.recordFree();
    engine.free();
    // Streams still open for their length (the file list needs no device), but do not play.
    ASSERT_TRUE(testsupport::writeWav(dir.filePath("a.wav"), testsupport::sine(440, 44100, 2, 0.5), 44100, 2));
    const audio::HSTREAM h = engine.streamCreateFile(dir.filePath("a.wav"));
    ASSERT_NE(h, 0u);
    EXPECT_FALSE(engine.channelPlay(h, true));
    EXPECT_EQ(engine.channelIsActive(h), 0);
    EXPECT_TRUE(engine.streamFree(h));
    EXPECT_LT(duration<double>(steady_clock::now() - start).count(), 10.0);
}

TEST(DyingServer, CaptureEndsAndPlaybackBecomesInactive)
{
    const QString source = qEnvironmentVariable("VEXA_SOURCE_DIR", QDir::currentPath() + "/..");
    const QString config = source + "/tests/ci.pa";
    ASSERT_TRUE(QFile::exists(config)) << config.toStdString();
    QTemporaryDir dir;
    const QString runtime = dir.filePath("pulse");
    QDir().mkpath(runtime + "/state");
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    QProcess server;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PULSE_RUNTIME_PATH", runtime);
    env.insert("PULSE_STATE_PATH", runtime + "/state");
    env.insert("PULSE_SERVER", "unix:" + runtime + "/native");
    // Off every D-Bus session bus: a server left on the display's bus holds org.PulseAudio1,
    // and this one would end at once on reaching it.
    env.remove("DISPLAY");
    env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + runtime + "/no-bus");
    server.setProcessEnvironment(env);
    // In the foreground, so the test can kill it at will; detached, because a child that Qt
    // keeps watching (its SIGCHLD handling) hides our own locks from the thread sanitizer.
    server.setProgram("pulseaudio");
    server.setArguments({"-n", "-F", config, "--exit-idle-time=-1", "--daemonize=no", "--use-pid-file=no",
                         "--log-target=file:" + runtime + "/pa.log"});
    qint64 pid = 0;
    ASSERT_TRUE(server.startDetached(&pid));
    // Never left running, whatever assertion ends the test.
    const std::unique_ptr<void, std::function<void(void*)>> killAtEnd(
        &pid, [](void* p) { ::kill(pid_t(*static_cast<qint64*>(p)), SIGKILL); });
    ServerAddress own(("unix:" + runtime + "/native").toLocal8Bit());

    // A fresh server answers after a moment and its sources deliver about 2 s later; a busy
    // machine takes longer still: the limits below only end a test that would hang.
    const auto until = steady_clock::now() + seconds(60);
    audio::Engine engine;
    bool ready = false;
    while (!ready && steady_clock::now() < until) {
        ready = engine.recordInit(-1);
        if (!ready)
            waitFor(milliseconds(50));
    }
    ASSERT_TRUE(ready);
    ASSERT_TRUE(engine.init(-1, 44100));
    ASSERT_TRUE(testsupport::writeWav(dir.filePath("long.wav"), testsupport::sine(440, 44100, 2, 10.0), 44100, 2));
    const audio::HSTREAM stream = engine.streamCreateFile(dir.filePath("long.wav"));
    ASSERT_NE(stream, 0u);
    calls = 0;
    const audio::HRECORD rec = engine.recordStart(44100, 2, &count, nullptr);
    ASSERT_NE(rec, 0u);
    ASSERT_TRUE(engine.channelPlay(stream, true));
    while (calls < 10 && steady_clock::now() < until)
        waitFor(milliseconds(50));
    ASSERT_GE(calls, 10);
    EXPECT_EQ(engine.channelIsActive(rec), 1);
    EXPECT_EQ(engine.channelIsActive(stream), 1);

    ASSERT_EQ(::kill(pid_t(pid), SIGKILL), 0);
    const auto killed = steady_clock::now();
    int recActive = 1, streamActive = 1;
    while ((recActive || streamActive) && steady_clock::now() - killed < seconds(5)) {
        waitFor(milliseconds(20));
        recActive = engine.channelIsActive(rec);
        streamActive = engine.channelIsActive(stream);
    }
    EXPECT_EQ(recActive, 0);
    EXPECT_EQ(streamActive, 0);
    const int after = calls;
    waitFor(milliseconds(200));
    EXPECT_EQ(calls, after);
    // Everything still answers and frees without a server.
    EXPECT_GE(engine.channelGetPosition(stream), 0);
    EXPECT_FALSE(engine.channelPlay(stream, false));
    EXPECT_TRUE(engine.channelStop(rec));
    EXPECT_TRUE(engine.streamFree(rec));
    EXPECT_TRUE(engine.channelStop(stream));
    EXPECT_TRUE(engine.streamFree(stream));
    engine.recordFree();
    engine.free();
}
