// The simulator's command line: what it accepts and what it refuses before anything starts.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tools/sim/SimulatorOptions.h"

namespace shakemeter {
namespace {

TEST(SimulatorOptions, EveryOptionWithItsValue)
{
    const auto result = ParseSimulatorOptions(
        {"--samples", "250", "--motion", "--events=3", "--tone", "12:0.5,40:0.2:yz", "--unplug-after", "1000",
         "--stall-after=2000", "--short-block", "2", "--long-block=4", "--name", "bench", "--folder", "/tmp/x"});
    ASSERT_TRUE(result.Ok()) << result.error;
    const SimulatorOptions& o = result.options;
    EXPECT_EQ(o.samples, 250u);
    EXPECT_TRUE(o.motion);
    EXPECT_EQ(o.events, 3);
    EXPECT_EQ(o.tones, (std::vector<Tone>{Tone{12, 0.5, kToneAxisX}, Tone{40, 0.2, kToneAxisY | kToneAxisZ}}));
    EXPECT_EQ(o.faults.unplugAfterBytes, 1000u);
    EXPECT_EQ(o.faults.stallAfterBytes, 2000u);
    EXPECT_EQ(o.faults.shortDataBlock, 2u);
    EXPECT_EQ(o.faults.longDataBlock, 4u);
    EXPECT_EQ(o.name, "bench");
    EXPECT_EQ(o.folder, "/tmp/x");

    // A file memory may still get generated events.
    EXPECT_TRUE(ParseSimulatorOptions({"--memory", "logged.Vibration", "--events", "2"}).Ok());
}

TEST(SimulatorOptions, LimitsAreWhatADownloadCanAddress)
{
    EXPECT_TRUE(ParseSimulatorOptions({"--samples", "2752470"}).Ok());  // 65535 blocks of 6-byte records
    EXPECT_FALSE(ParseSimulatorOptions({"--samples", "2752471"}).Ok());
    EXPECT_TRUE(ParseSimulatorOptions({"--motion", "--samples", "1834980"}).Ok());  // of 9-byte records
    EXPECT_FALSE(ParseSimulatorOptions({"--motion", "--samples", "1834981"}).Ok());
    EXPECT_TRUE(ParseSimulatorOptions({"--events", "65535"}).Ok());
    EXPECT_FALSE(ParseSimulatorOptions({"--events", "65536"}).Ok());
}

TEST(SimulatorOptions, RefusesWhatCannotBeServed)
{
    const std::vector<std::vector<std::string>> refused = {
        {"--frobnicate"},
        {"extra"},
        {"--samples"},
        {"--samples", "-1"},
        {"--samples", "12x"},
        {"--short-block", "0"},
        {"--long-block", "65536"},
        {"--name", "a/b"},
        {"--name", ".."},
        {"--motion=yes"},
        {"--tone", "12"},
        {"--tone", "12:0.5:w"},
        {"--tone", "12:99"},
        {"--tone", "12:0.5,"},
        {"--tone", "nan:1"},
        {"--empty", "--events", "2"},
        {"--memory", "f", "--motion"},
        {"--memory", "f", "--samples", "10"},
    };
    for (const auto& args : refused)
        EXPECT_FALSE(ParseSimulatorOptions(args).Ok()) << args[0] << " " << (args.size() > 1 ? args[1] : "");
}

}  // namespace
}  // namespace shakemeter
