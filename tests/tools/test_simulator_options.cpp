// The simulator's command line: what it accepts and what it refuses before anything starts.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tools/sim/SimulatorOptions.h"

namespace shakemeter {
namespace {

SimulatorOptionsResult parse(std::vector<std::string> args)
{
    return ParseSimulatorOptions(args);
}

TEST(SimulatorOptions, DefaultsServeAGeneratedMemory)
{
    const auto result = parse({});
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_FALSE(result.options.memoryFile);
    EXPECT_FALSE(result.options.samples);
    EXPECT_FALSE(result.options.tones);
    EXPECT_FALSE(result.options.faults.unplugAfterBytes);
    EXPECT_TRUE(result.options.name.empty());
    EXPECT_FALSE(result.options.help);
}

TEST(SimulatorOptions, EveryOptionWithItsValue)
{
    const auto result = parse({"--samples", "250", "--motion", "--events=3", "--tone", "12:0.5,40:0.2:yz",
                               "--unplug-after", "1000", "--stall-after=2000", "--short-block", "2", "--name",
                               "bench", "--folder", "/tmp/x"});
    ASSERT_TRUE(result.ok()) << result.error;
    const SimulatorOptions& o = result.options;
    EXPECT_EQ(o.samples, 250u);
    EXPECT_TRUE(o.motion);
    EXPECT_EQ(o.events, 3);
    ASSERT_TRUE(o.tones);
    EXPECT_EQ(*o.tones, (std::vector<Tone>{Tone{12, 0.5, TONE_AXIS_X}, Tone{40, 0.2, TONE_AXIS_Y | TONE_AXIS_Z}}));
    EXPECT_EQ(o.faults.unplugAfterBytes, 1000u);
    EXPECT_EQ(o.faults.stallAfterBytes, 2000u);
    EXPECT_EQ(o.faults.shortDataBlock, 2u);
    EXPECT_EQ(o.name, "bench");
    EXPECT_EQ(o.folder, "/tmp/x");
}

TEST(SimulatorOptions, AFileMemoryMayGetGeneratedEvents)
{
    const auto result = parse({"--memory", "samples/logged-normal.Vibration", "--events", "2"});
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.options.memoryFile, "samples/logged-normal.Vibration");
    EXPECT_EQ(result.options.events, 2);
}

TEST(SimulatorOptions, HelpIsAnOption)
{
    EXPECT_TRUE(parse({"--help"}).options.help);
    EXPECT_NE(SimulatorUsage().find("--unplug-after BYTES"), std::string::npos);
}

TEST(SimulatorOptions, RefusesWhatCannotBeServed)
{
    const std::vector<std::vector<std::string>> refused = {
        {"--frobnicate"},
        {"extra"},
        {"--samples"},
        {"--samples", "abc"},
        {"--samples", "-1"},
        {"--samples", "+5"},
        {"--samples", "12x"},
        {"--samples", "99999999999"},
        {"--samples", "2752471"},              // beyond 65535 blocks of 6-byte records
        {"--motion", "--samples", "1834981"},  // beyond 65535 blocks of 9-byte records
        {"--events", "65536"},
        {"--short-block", "0"},
        {"--short-block", "65536"},
        {"--unplug-after", "lots"},
        {"--name", "a/b"},
        {"--name", ".."},
        {"--name", ""},
        {"--folder", ""},
        {"--memory", ""},
        {"--motion=yes"},
        {"--tone", "12"},
        {"--tone", "12:0.5:w"},
        {"--tone", "12:99"},
        {"--tone", "-3:1"},
        {"--tone", "12:0.5,"},
        {"--tone", "nan:1"},
        {"--empty", "--events", "2"},
        {"--empty", "--memory", "f"},
        {"--memory", "f", "--motion"},
        {"--memory", "f", "--samples", "10"},
    };
    for (const auto& args : refused) {
        const auto result = parse(args);
        std::string joined;
        for (const auto& a : args)
            joined += a + " ";
        EXPECT_FALSE(result.ok()) << joined;
    }
}

TEST(SimulatorOptions, LimitsThemselvesAreAccepted)
{
    EXPECT_TRUE(parse({"--samples", "2752470"}).ok());
    EXPECT_TRUE(parse({"--motion", "--samples", "1834980"}).ok());
    EXPECT_TRUE(parse({"--events", "65535"}).ok());
    EXPECT_TRUE(parse({"--samples", "0"}).ok());
    EXPECT_TRUE(parse({"--empty", "--events", "0"}).ok());
}

}  // namespace
}  // namespace shakemeter
