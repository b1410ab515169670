// ctest-label: unit
// Finding a source by its server name among RtAudio's capture devices, which carry only
// descriptions (and PipeWire gives a monitor its sink's description). RtAudio 5.2 lists the
// default source first.
#include "audio/PulseSourceList.h"

#include <gtest/gtest.h>

TEST(FindSourceByName, MatchesByPositionOnlyWhenTheListsAgree)
{
    const std::vector<audio::PulseSource> sources{
        {"speaker.monitor", "Speaker"}, {"mic", "Microphone"}, {"tone.monitor", "Speaker"}};
    const std::vector<std::string> same{"Speaker", "Microphone", "Speaker"};
    struct Case {
        const char* what;
        std::vector<std::string> devices;
        std::string name;
        int expected;
    };
    const Case cases[] = {
        {"first of two equal descriptions", same, "speaker.monitor", 0},
        {"second of two equal descriptions", same, "tone.monitor", 2},
        {"unique", same, "mic", 1},
        {"unknown name", same, "nothing", -1},
        {"empty name", same, "", -1},
        // The lists disagree: only a description that one source alone has still decides.
        {"a device more, unique", {"Speaker", "Microphone", "Speaker", "New"}, "mic", 1},
        {"a device less, unique", {"Speaker", "Microphone"}, "mic", 1},
        {"other order, unique", {"Microphone", "Speaker", "Speaker"}, "mic", 0},
        {"a device more, shared", {"Speaker", "Microphone", "Speaker", "New"}, "tone.monitor", -1},
        {"a device less, shared", {"Speaker", "Microphone"}, "speaker.monitor", -1},
        {"other order, shared", {"Microphone", "Speaker", "Speaker"}, "tone.monitor", -1},
        {"unique here, twice there", {"Microphone", "Microphone", "Speaker"}, "mic", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(audio::findSourceByName(sources, c.devices, c.name), c.expected) << c.what;
}

TEST(FindSourceByName, TheDefaultSourceMayComeFirst)
{
    const std::vector<audio::PulseSource> sources{{"speaker.monitor", "Speaker", false},
                                                  {"mic", "Microphone", true},
                                                  {"tone.monitor", "Speaker", false}};
    const std::vector<std::string> defaultFirst{"Microphone", "Speaker", "Speaker"};
    struct Case {
        std::string name;
        int expected;
    };
    for (const Case& c : {Case{"mic", 0}, Case{"speaker.monitor", 1}, Case{"tone.monitor", 2}})
        EXPECT_EQ(audio::findSourceByName(sources, defaultFirst, c.name), c.expected) << c.name;
    // The server's own order still serves when that is what the list shows.
    EXPECT_EQ(audio::findSourceByName(sources, {"Speaker", "Microphone", "Speaker"}, "mic"), 1);
    EXPECT_EQ(audio::findSourceByName(sources, {"Speaker", "Speaker", "Microphone"}, "tone.monitor"), -1);
}

// PipeWire: a monitor's description is "Monitor of X" but its device.description, which RtAudio
// shows, is the sink's "X", and RtAudio lists the sink and its monitor as one device in the
// sinks' order, the default not first. Seen with the private test server's four sources.
TEST(FindSourceByName, PipeWireMonitorsGoByTheirSinksLabel)
{
    const std::vector<audio::PulseSource> sources{
        {"speaker.monitor", "Monitor of Speaker", false, "Speaker"},
        {"micsink.monitor", "Monitor of MicSink", true, "MicSink"},
        {"tonesink.monitor", "Monitor of ToneSink", false, "ToneSink"},
        {"silence", "Silence", false, "Silence"}};
    const std::vector<std::string> devices{"Speaker", "MicSink", "ToneSink", "Silence"};
    for (std::size_t i = 0; i < sources.size(); ++i)
        EXPECT_EQ(audio::findSourceByName(sources, devices, sources[i].name), int(i)) << sources[i].name;
    // Sinks listed in another order than their monitors' indexes: the labels still decide.
    const std::vector<std::string> sinksFirst{"ToneSink", "Speaker", "MicSink", "Silence"};
    EXPECT_EQ(audio::findSourceByName(sources, sinksFirst, "tonesink.monitor"), 0);
    EXPECT_EQ(audio::findSourceByName(sources, sinksFirst, "micsink.monitor"), 2);
    // PulseAudio shows the description itself, default first.
    const std::vector<std::string> pulse{"Monitor of MicSink", "Monitor of Speaker", "Monitor of ToneSink", "Silence"};
    EXPECT_EQ(audio::findSourceByName(sources, pulse, "micsink.monitor"), 0);
    EXPECT_EQ(audio::findSourceByName(sources, pulse, "tonesink.monitor"), 2);
}
