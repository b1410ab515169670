// The record format's list mappings and the format dialog's logic: hand-over, activation,
// the coupling of sample rate and MP3 bit rate on user changes only, Default, read-back.
// ctest-label: unit
#include <gtest/gtest.h>

#include "codecs/WmaWriter.h"
#include "recording/FormatFormLogic.h"
#include "recording/Mp3Writer.h"
#include "recording/RecordFormat.h"
#include "recording/RecordWriterFactory.h"
#include "recording/WavWriter.h"
#include "support/RecordingMessageSink.h"
#include "support/record_formats.h"

namespace {

using testsupport::recordFormat;

TEST(RecordFormatMapping, ValueToIndexAndBack)
{
    struct Case {
        const char* list;
        int (*toIndex)(std::int32_t);
        std::int32_t (*toValue)(int);
        std::vector<std::int32_t> entries; // in list order
        std::int32_t unknownValue;
        int defaultIndex;
    };
    const Case cases[] = {
        {"frequency",
         recording::RecordFormat::frequencyIndex,
         recording::RecordFormat::frequencyForIndex,
         {48000, 44100, 22050, 11025, 8000},
         96000,
         1},
        {"mp3",
         recording::RecordFormat::mp3BitrateIndex,
         recording::RecordFormat::mp3BitrateForIndex,
         {320, 256, 192, 128, 96, 64, 32},
         160,
         3},
        {"wma",
         recording::RecordFormat::wmaBitrateIndex,
         recording::RecordFormat::wmaBitrateForIndex,
         {160, 128, 96, 80, 64, 48},
         32,
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list);
        const int count = int(c.entries.size());
        for (int i = 0; i < count; ++i) {
            EXPECT_EQ(c.toIndex(c.entries[std::size_t(i)]), i);
            EXPECT_EQ(c.toValue(i), c.entries[std::size_t(i)]);
        }
        EXPECT_EQ(c.toIndex(c.unknownValue), c.defaultIndex) << "a value not offered selects the default";
        EXPECT_EQ(c.toIndex(0), c.defaultIndex);
        EXPECT_EQ(c.toValue(count), c.entries.back()) << "any other index reads as the last entry";
        EXPECT_EQ(c.toValue(-1), c.entries.back()) << "no selection";
    }
}

TEST(RecordWriterFactory, MakesTheWriterOfTheFormatCode)
{
    testsupport::RecordingMessageSink sink;
    recording::RecordWriterFactory factory(sink);
    for (std::uint8_t code : {0, 1, 2, 3, 255}) {
        SCOPED_TRACE(int(code));
        const auto writer = factory.create(code);
        ASSERT_NE(writer, nullptr);
        EXPECT_EQ(dynamic_cast<recording::WavWriter*>(writer.get()) != nullptr, code == 0);
        EXPECT_EQ(dynamic_cast<recording::Mp3Writer*>(writer.get()) != nullptr, code == 1);
        EXPECT_EQ(dynamic_cast<codecs::WmaWriter*>(writer.get()) != nullptr, code >= 2)
            << "any other code is WMA";
        EXPECT_EQ(writer->chunkSize(), 0) << "nothing open yet";
    }
    EXPECT_TRUE(sink.messages().isEmpty());
}

TEST(RecordFormatExtension, FollowsTheCode)
{
    EXPECT_EQ(recording::RecordFormat::extensionFor(0), QStringLiteral(".wav"));
    EXPECT_EQ(recording::RecordFormat::extensionFor(1), QStringLiteral(".mp3"));
    EXPECT_EQ(recording::RecordFormat::extensionFor(2), QStringLiteral(".wma"));
    EXPECT_EQ(recording::RecordFormat::extensionFor(9), QStringLiteral(".wma"));
}

TEST(FormatFormLogic, ActivationChecksTheHandedInFormatAndChannels)
{
    const struct {
        std::uint8_t code;
        int channels;
        recording::FormatFormLogic::FormatRadio radio;
        bool stereo;
    } cases[] = {
        {0, 2, recording::FormatFormLogic::RadioWav, true},
        {1, 1, recording::FormatFormLogic::RadioMp3, false},
        {2, 2, recording::FormatFormLogic::RadioWma, true},
        {7, 1, recording::FormatFormLogic::RadioWma, false},
        {0, 0, recording::FormatFormLogic::RadioWav, true},
        {1, 5, recording::FormatFormLogic::RadioMp3, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.code) * 10 + c.channels);
        recording::FormatFormLogic logic;
        logic.handIn(recordFormat(c.code, c.channels, 44100, 128, 96));
        logic.userChecksFormat(
            recording::FormatFormLogic::RadioMp3); // overwritten by the next activation
        logic.activate();
        EXPECT_EQ(logic.state().format, c.radio);
        EXPECT_EQ(logic.state().stereo, c.stereo);
    }
}

// A stored 8000 Hz with 320 kbit/s MP3 is shown as it is: program selections do not couple.
TEST(FormatFormLogic, HandInSelectsWithoutCoupling)
{
    recording::FormatFormLogic logic;
    logic.handIn(recordFormat(1, 2, 8000, 320, 48));
    logic.activate();
    EXPECT_EQ(logic.state().frequencyIndex, 4);
    EXPECT_EQ(logic.state().mp3Index, 0);
    EXPECT_EQ(logic.state().wmaIndex, 5);
    const recording::RecordFormat back = logic.readBack(recordFormat(1, 2, 8000, 320, 48));
    EXPECT_EQ(back.sampleRate, 8000);
    EXPECT_EQ(back.mp3Bitrate, 320);
}

TEST(FormatFormLogic, CouplingOnUserChanges)
{
    struct Step {
        enum Kind { Rate, Mp3, Wma } kind;
        int index;
        int expectRateIndex;
        int expectMp3Index;
    };
    struct Case {
        const char* name;
        recording::RecordFormat start;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"8000 Hz pulls 128 down to 64, then 192 pulls the rate up to 22050",
         recordFormat(1, 2, 44100, 128, 96),
         {{Step::Rate, 4, 4, 5}, {Step::Mp3, 2, 2, 2}}},
        {"11025 Hz with 64 kbit/s changes nothing else",
         recordFormat(1, 2, 44100, 64, 96),
         {{Step::Rate, 3, 3, 5}}},
        {"11025 Hz with 32 kbit/s keeps 32",
         recordFormat(1, 2, 44100, 32, 96),
         {{Step::Rate, 3, 3, 6}}},
        {"11025 Hz with 96 kbit/s pulls it to 64",
         recordFormat(1, 2, 44100, 96, 96),
         {{Step::Rate, 3, 3, 5}}},
        {"22050 Hz keeps 320", recordFormat(1, 2, 44100, 320, 96), {{Step::Rate, 2, 2, 0}}},
        {"48000 Hz keeps 320", recordFormat(1, 2, 44100, 320, 96), {{Step::Rate, 0, 0, 0}}},
        {"64 kbit/s at 8000 Hz keeps the rate",
         recordFormat(1, 2, 8000, 32, 96),
         {{Step::Mp3, 5, 4, 5}}},
        {"96 kbit/s at 8000 Hz pulls the rate to 22050",
         recordFormat(1, 2, 8000, 32, 96),
         {{Step::Mp3, 4, 2, 4}}},
        {"320 kbit/s at 44100 Hz keeps the rate",
         recordFormat(1, 2, 44100, 128, 96),
         {{Step::Mp3, 0, 1, 0}}},
        {"WMA has no coupling", recordFormat(2, 2, 8000, 64, 96), {{Step::Wma, 0, 4, 5}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        recording::FormatFormLogic logic;
        logic.handIn(c.start);
        logic.activate();
        for (const Step& s : c.steps) {
            switch (s.kind) {
            case Step::Rate: logic.userSelectsFrequency(s.index); break;
            case Step::Mp3: logic.userSelectsMp3Bitrate(s.index); break;
            case Step::Wma: logic.userSelectsWmaBitrate(s.index); break;
            }
            EXPECT_EQ(logic.state().frequencyIndex, s.expectRateIndex);
            EXPECT_EQ(logic.state().mp3Index, s.expectMp3Index);
        }
    }
}

TEST(FormatFormLogic, DefaultAndReadBack)
{
    recording::FormatFormLogic logic;
    logic.handIn(recordFormat(0, 1, 8000, 32, 48));
    logic.activate();
    logic.setDefaults();
    EXPECT_EQ(logic.readBack(recordFormat(0, 1, 8000, 32, 48)), recordFormat(1, 2, 44100, 128, 96));

    logic.userChecksFormat(recording::FormatFormLogic::RadioWma);
    logic.userChecksStereo(false);
    logic.userSelectsFrequency(0);
    logic.userSelectsMp3Bitrate(6);
    logic.userSelectsWmaBitrate(3);
    EXPECT_EQ(logic.readBack(recordFormat(0, 1, 8000, 32, 48)), recordFormat(2, 1, 48000, 32, 80));
}

} // namespace
