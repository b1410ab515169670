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
        {"a device more", {"Speaker", "Microphone", "Speaker", "New"}, "mic", -1},
        {"a device less", {"Speaker", "Microphone"}, "mic", -1},
        {"other order", {"Microphone", "Speaker", "Speaker"}, "mic", -1},
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
    EXPECT_EQ(audio::findSourceByName(sources, {"Speaker", "Speaker", "Microphone"}, "mic"), -1);
}
