// ctest-label: audio
// The mixer component and the panel on the private sound server: each operation against what
// pactl reads and writes, and changes made with pactl reaching the panel's controls.
#include "mixer/MixerDevice.h"
#include "mixer/MixerPanel.h"
#include "mixer/MixerPanelView.h"
#include "mixer/SoundPanels.h"
#include "mixer/TSoundSourceForm.h"
#include "platform/PulseMixerBackend.h"
#include "platform/Shell.h"
#include "support/sound_server.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace {

QString pactl(const QStringList& args)
{
    QProcess p;
    p.start("pactl", args);
    p.waitForFinished(5000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// The first percentage pactl shows for a volume.
int percent(const QString& volume)
{
    const QRegularExpressionMatch m = QRegularExpression("(\\d+)%").match(volume);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

bool waitFor(const std::function<bool()>& condition, int ms = 3000)
{
    QDeadlineTimer deadline(ms);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

mixer::MixerDevice::BackendFactory pulse()
{
    return [] { return std::make_unique<platform::PulseMixerBackend>(); };
}

class OnServer : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(mixer.Open(0)) << "no sound server (PULSE_SERVER)"; }
    void TearDown() override
    {
        testsupport::setDefaultSource("micsink.monitor");
        pactl({"set-sink-mute", "speaker", "0"});
        pactl({"set-sink-volume", "speaker", "100%"});
        for (const char* s : {"micsink.monitor", "speaker.monitor", "tonesink.monitor", "silence"})
            pactl({"set-source-volume", s, "100%"});
    }
    mixer::MixerDevice mixer{pulse()};
};

class View : public mixer::MixerPanelView {
public:
    void setControlsEnabled(bool e) override { enabled = e; }
    int waveInPos() const override { return waveIn; }
    void setWaveInPos(int pos) override
    {
        if (pos >= 0)
            waveIn = pos;
    }
    int speakPos() const override { return speak; }
    void setSpeakPos(int pos) override
    {
        if (pos >= 0)
            speak = pos;
    }
    bool muteDown() const override { return mute; }
    void setMuteDown(bool down) override { mute = down; }
    bool enabled = false;
    int waveIn = -1, speak = -1;
    bool mute = false;
};

class NoShell : public platform::Shell {
public:
    bool openFolder(const QString&) override { return false; }
    bool openDocument(const QString&) override { return false; }
    bool openUrl(const QString&) override { return false; }
    bool startProgram(const QString&, const QStringList&, const QString&) override { return false; }
};

} // namespace

TEST_F(OnServer, EachOperationRoundTripsAgainstPactl)
{
    QStringList devices;
    ASSERT_EQ(mixer.GetMixerList(devices), 1);
    // The server's own name: "pulseaudio", or "PulseAudio (on PipeWire 0.3.65)" from PipeWire.
    QString server;
    for (const QString& line : pactl({"info"}).split('\n'))
        if (line.startsWith("Server Name: "))
            server = line.mid(13);
    ASSERT_FALSE(server.isEmpty());
    EXPECT_TRUE(devices[0].startsWith(server)) << devices[0].toStdString();

    QStringList lines;
    ASSERT_EQ(mixer.GetWaveInList(lines), 4);
    const int tone = lines.indexOf("Monitor of ToneSink");
    const int mic = lines.indexOf("Monitor of MicSink");
    ASSERT_GE(tone, 0);
    ASSERT_GE(mic, 0);

    // The recording line: ours to pactl, and pactl's to ours.
    EXPECT_EQ(mixer.GetWaveInIndex(), mic);
    EXPECT_EQ(mixer.SetWaveInIndex(tone), 0);
    EXPECT_EQ(pactl({"get-default-source"}), "tonesink.monitor");
    // A change made by another client reaches this one a moment after pactl returns on
    // PipeWire (its server keeps a view of the graph for each client): wait for it to show.
    ASSERT_TRUE(testsupport::setDefaultSource("silence"));
    EXPECT_TRUE(waitFor([&] { return mixer.GetWaveInIndex() == lines.indexOf("Silence"); }))
        << mixer.GetWaveInIndex();
    EXPECT_EQ(mixer.SetWaveInIndex(-1), mixer::MixerDevice::ErrBadIndex);
    EXPECT_EQ(mixer.SetWaveInIndex(4), mixer::MixerDevice::ErrBadIndex);
    EXPECT_EQ(pactl({"get-default-source"}), "silence");

    struct Case {
        int raw;
        int percent;
    };
    // Ends at 0, so that the outside changes below read differently from what was there.
    for (const Case c : {Case{16384, 25}, Case{32768, 50}, Case{65535, 100}, Case{0, 0}}) {
        EXPECT_EQ(mixer.SetWaveInVolume(tone, c.raw), 0);
        EXPECT_EQ(percent(pactl({"get-source-volume", "tonesink.monitor"})), c.percent) << c.raw;
        EXPECT_NEAR(mixer.GetWaveInVolume(tone), c.raw, 1);
        EXPECT_EQ(mixer.SetSpeakerVolume(c.raw), 0);
        EXPECT_EQ(percent(pactl({"get-sink-volume", "speaker"})), c.percent) << c.raw;
        EXPECT_NEAR(mixer.GetSpeakerVolume(), c.raw, 1);
    }
    pactl({"set-source-volume", "tonesink.monitor", "75%"});
    EXPECT_TRUE(waitFor([&] { return std::abs(mixer.GetWaveInVolume(tone) - 49151) <= 2; }))
        << mixer.GetWaveInVolume(tone);
    pactl({"set-sink-volume", "speaker", "150%"});
    EXPECT_TRUE(waitFor([&] { return mixer.GetSpeakerVolume() == 65535; }))
        << mixer.GetSpeakerVolume();
    EXPECT_EQ(mixer.SetSpeakerVolume(mixer.GetSpeakerVolume()), 0);
    EXPECT_EQ(percent(pactl({"get-sink-volume", "speaker"})), 150); // the round trip kept it

    EXPECT_EQ(mixer.SetWaveOutMute(true), 0);
    EXPECT_EQ(pactl({"get-sink-mute", "speaker"}), "Mute: yes");
    EXPECT_TRUE(mixer.GetWaveOutMute());
    pactl({"set-sink-mute", "speaker", "0"});
    EXPECT_TRUE(waitFor([&] { return !mixer.GetWaveOutMute(); }));

    mixer.Close();
    EXPECT_EQ(mixer.GetSpeakerVolume(), -1);
    EXPECT_TRUE(mixer.GetWaveOutMute());
    EXPECT_TRUE(mixer.Open(0));
}

TEST_F(OnServer, ChangesMadeWithPactlReachThePanel)
{
    View view;
    NoShell shell;
    mixer::SoundPanels panels(shell, [](const QString&) { return QString(); });
    mixer::TSoundSourceForm form(pulse());
    mixer::MixerDevice windowMixer(pulse());
    mixer::MixerPanel panel(windowMixer, view, form, panels, false);
    int changes = 0;
    windowMixer.OnChange = [&](mixer::MixerDevice*) {
        ++changes;
        panel.refresh();
    };
    int mixerIndex = 0;
    panel.startUp(mixerIndex);
    ASSERT_TRUE(view.enabled);
    QStringList lines;
    windowMixer.GetWaveInList(lines);
    EXPECT_EQ(panel.RecordLineIndex(), lines.indexOf("Monitor of MicSink"));
    EXPECT_EQ(view.speak, 65535);

    pactl({"set-sink-volume", "speaker", "50%"});
    EXPECT_TRUE(waitFor([&] { return view.speak == 32768; })) << view.speak;
    pactl({"set-sink-mute", "speaker", "1"});
    EXPECT_TRUE(waitFor([&] { return view.mute; }));
    pactl({"set-source-volume", "tonesink.monitor", "25%"});
    pactl({"set-default-source", "tonesink.monitor"});
    EXPECT_TRUE(
        waitFor([&] { return panel.RecordLineIndex() == lines.indexOf("Monitor of ToneSink"); }));
    EXPECT_TRUE(waitFor([&] { return view.waveIn == 16384; })) << view.waveIn;
    EXPECT_GE(changes, 3);

    // Our own changes come back as notifications as well.
    const int before = changes;
    view.speak = 20000;
    panel.QLTProgressBarSpeakChange();
    EXPECT_TRUE(waitFor([&] { return changes > before; }));
    EXPECT_NEAR(percent(pactl({"get-sink-volume", "speaker"})), 31, 1);
}
