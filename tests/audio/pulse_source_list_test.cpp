// ctest-label: unit
// Finding a source by its server name among RtAudio's capture devices, which carry only
// descriptions (and PipeWire gives a monitor its sink's description).
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
