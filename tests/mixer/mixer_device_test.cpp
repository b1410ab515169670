// ctest-label: unit
// The mixer component over a scripted backend: results and failure values of the twelve
// operations, a machine without a mixer, line k meaning line k of the list everywhere, lists
// that append, and change notifications.
#include "ScriptedMixerBackend.h"

#include "mixer/MixerDevice.h"
#include "platform/NullMixerBackend.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct Fixture : ::testing::Test {
    std::shared_ptr<ScriptedMixerBackend::State> state =
        std::make_shared<ScriptedMixerBackend::State>();
    int made = 0;
    mixer::MixerDevice mixer{scriptedMixers(state, &made)};
};

} // namespace

TEST_F(Fixture, ListsAppendAndCount)
{
    QStringList list{"kept"};
    EXPECT_EQ(mixer.GetMixerList(list), 1);
    EXPECT_EQ(mixer.GetMixerList(list), 1);
    EXPECT_EQ(list, QStringList({"kept", "Server one", "Server one"}));

    QStringList lines;
    EXPECT_EQ(mixer.GetWaveInList(lines), 0); // not open yet
    EXPECT_TRUE(lines.isEmpty());
    ASSERT_TRUE(mixer.Open(0));
    EXPECT_EQ(mixer.GetWaveInList(lines), 3);
    EXPECT_EQ(mixer.GetWaveInList(lines), 3);
    EXPECT_EQ(lines.size(), 6);
    EXPECT_EQ(lines.mid(0, 3), state->lines);
    EXPECT_EQ(made, 1); // one connection for all of it
}

TEST_F(Fixture, LineKIsLineKOfTheListEverywhere)
{
    ASSERT_TRUE(mixer.Open(0));
    EXPECT_EQ(mixer.GetWaveInIndex(), 1);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(mixer.SetWaveInIndex(k), 0);
        EXPECT_EQ(state->selected, k);
        EXPECT_EQ(mixer.GetWaveInIndex(), k);
        EXPECT_EQ(mixer.GetWaveInVolume(k), state->lineVolumes[k]);
        EXPECT_EQ(mixer.SetWaveInVolume(k, 100 + k), 0);
        EXPECT_EQ(state->lineVolumes[k], 100 + k);
    }
}

TEST_F(Fixture, AnIndexOutsideTheLinesIsRefusedAndNeverWritten)
{
    ASSERT_TRUE(mixer.Open(0));
    for (int bad : {-1, 3, 4, -100, 1000}) {
        EXPECT_EQ(mixer.SetWaveInIndex(bad), mixer::MixerDevice::ErrBadIndex) << bad;
        EXPECT_EQ(mixer.GetWaveInVolume(bad), -1) << bad;
        EXPECT_NE(mixer.SetWaveInVolume(bad, 5), 0) << bad;
    }
    EXPECT_EQ(state->selected, 1);
    EXPECT_EQ(state->calls.filter("select").size(), 0);
    EXPECT_EQ(state->lineVolumes, QList<int>({1000, 2000, 3000}));
}

TEST_F(Fixture, VolumesOutsideTheRawRangeAreRefused)
{
    ASSERT_TRUE(mixer.Open(0));
    struct Case {
        int volume;
        int result;
    };
    for (const Case c :
         {Case{-1, mixer::MixerDevice::ErrBadValue}, Case{65536, mixer::MixerDevice::ErrBadValue},
          Case{0, 0}, Case{65535, 0}}) {
        EXPECT_EQ(mixer.SetSpeakerVolume(c.volume), c.result) << c.volume;
        EXPECT_EQ(mixer.SetWaveInVolume(0, c.volume), c.result) << c.volume;
    }
    EXPECT_EQ(state->speakerVolume, 65535);
    EXPECT_EQ(state->calls.filter("speaker").size(), 2);
}

TEST_F(Fixture, SpeakerVolumeAndMute)
{
    ASSERT_TRUE(mixer.Open(0));
    EXPECT_EQ(mixer.GetSpeakerVolume(), 40000);
    EXPECT_EQ(mixer.SetSpeakerVolume(123), 0);
    EXPECT_EQ(mixer.GetSpeakerVolume(), 123);
    EXPECT_FALSE(mixer.GetWaveOutMute());
    EXPECT_EQ(mixer.SetWaveOutMute(true), 0);
    EXPECT_TRUE(mixer.GetWaveOutMute());
    EXPECT_EQ(mixer.SetWaveOutMute(false), 0);
    EXPECT_FALSE(mixer.GetWaveOutMute());
}

TEST_F(Fixture, FailuresGiveTheirFailureValues)
{
    ASSERT_TRUE(mixer.Open(0));
    state->failCode = 17;
    EXPECT_EQ(mixer.SetWaveInIndex(0), 17);
    EXPECT_EQ(mixer.SetWaveInVolume(0, 5), 17);
    EXPECT_EQ(mixer.SetSpeakerVolume(5), 17);
    EXPECT_EQ(mixer.SetWaveOutMute(true), 17);
    state->failCode = 0;
    state->failReads = true;
    QStringList list;
    EXPECT_EQ(mixer.GetMixerList(list), 0);
    EXPECT_EQ(mixer.GetWaveInList(list), 0);
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(mixer.GetWaveInIndex(), -1);
    EXPECT_EQ(mixer.GetWaveInVolume(0), -1);
    EXPECT_EQ(mixer.GetSpeakerVolume(), -1);
    EXPECT_TRUE(mixer.GetWaveOutMute());
}

TEST_F(Fixture, AFailedOpenLeavesEveryQueryFailing)
{
    EXPECT_FALSE(mixer.Open(-1));
    EXPECT_FALSE(mixer.Open(5));
    EXPECT_EQ(mixer.GetWaveInIndex(), -1);
    EXPECT_EQ(mixer.GetSpeakerVolume(), -1);
    EXPECT_TRUE(mixer.GetWaveOutMute());
    EXPECT_NE(mixer.SetWaveOutMute(false), 0);
    EXPECT_TRUE(mixer.Open(0));
    mixer.Close();
    EXPECT_EQ(state->closeCount, 1);
    EXPECT_EQ(mixer.GetSpeakerVolume(), -1);
}

TEST(QLTMixerWithoutDevice, EveryOperationFails)
{
    for (bool factoryGivesNothing : {false, true}) {
        mixer::MixerDevice mixer(factoryGivesNothing
                                     ? mixer::MixerDevice::BackendFactory(
                                           [] { return std::unique_ptr<platform::MixerBackend>(); })
                                     : mixer::MixerDevice::BackendFactory([] {
                                           return std::make_unique<platform::NullMixerBackend>();
                                       }));
        QStringList list;
        EXPECT_EQ(mixer.GetMixerList(list), 0);
        EXPECT_TRUE(list.isEmpty());
        EXPECT_FALSE(mixer.Open(-1));
        EXPECT_FALSE(mixer.Open(0));
        EXPECT_EQ(mixer.GetWaveInList(list), 0);
        EXPECT_EQ(mixer.GetWaveInIndex(), -1);
        EXPECT_NE(mixer.SetWaveInIndex(0), 0);
        EXPECT_EQ(mixer.GetWaveInVolume(0), -1);
        EXPECT_NE(mixer.SetWaveInVolume(0, 1), 0);
        EXPECT_EQ(mixer.GetSpeakerVolume(), -1);
        EXPECT_NE(mixer.SetSpeakerVolume(1), 0);
        EXPECT_TRUE(mixer.GetWaveOutMute());
        EXPECT_NE(mixer.SetWaveOutMute(false), 0);
        mixer.Close();
    }
}

TEST_F(Fixture, ChangesArriveAsOneOnChangePerBurst)
{
    int changes = 0;
    mixer::MixerDevice* sender = nullptr;
    mixer.OnChange = [&](mixer::MixerDevice* s) {
        ++changes;
        sender = s;
    };
    ASSERT_TRUE(mixer.Open(0));
    // Our own change comes back as a notification too.
    mixer.SetSpeakerVolume(1);
    mixer.SetWaveOutMute(true);
    EXPECT_EQ(changes, 0); // not from inside the call
    QCoreApplication::processEvents();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(sender, &mixer);
    mixer.SetSpeakerVolume(2);
    QCoreApplication::processEvents();
    EXPECT_EQ(changes, 2);
}
