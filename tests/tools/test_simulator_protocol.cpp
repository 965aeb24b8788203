// The simulated logger's answers to the program's commands, byte for byte.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "test_simulator_support.h"

namespace shakemeter {
namespace {

using simtest::B;
using simtest::Bytes;
using simtest::CountAt;
using simtest::Send;

Bytes readBlock(int n)
{
    return B({0x00, (n >> 8) & 0xFF, n & 0xFF});
}
Bytes spectrumBlock(int n)
{
    return B({0xF3, 0x00, n});
}

Bytes pattern(std::size_t size, int seed)
{
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>((i * 7 + static_cast<std::size_t>(seed)) & 0xFF);
    return bytes;
}

LoggerSimulator simulatorOf(std::size_t dataBytes, std::size_t events, SimulatorFaults faults = {})
{
    RecordingHeader header;
    header.wInterval = 200;
    return LoggerSimulator(LoggerMemory(header, pattern(dataBytes, 1), pattern(events * 6, 2)), ToneSignal{}, faults);
}

// Sizes of the answers to the header request followed by the given block requests.
std::vector<std::size_t> downloadSizes(LoggerSimulator& sim, std::vector<int> blocks)
{
    std::vector<std::size_t> sizes{Send(sim, readBlock(0)).size()};
    for (int n : blocks)
        sizes.push_back(Send(sim, readBlock(n)).size());
    return sizes;
}
using Sizes = std::vector<std::size_t>;

TEST(SimulatorDownload, HeaderThenDataBlocksThenEventBlocksNumberedFromOneAgain)
{
    auto sim = simulatorOf(505, 43);
    const Bytes header = Send(sim, readBlock(0));
    ASSERT_EQ(header.size(), 22u);
    EXPECT_EQ(Bytes(header.begin(), header.begin() + 8), B({0xF9, 0x01, 0x00, 0x00, 43, 0x00, 200, 0x00}));
    EXPECT_EQ(header[21], 0);

    Bytes samples, events;
    for (int n = 1; n <= 3; ++n) {
        const Bytes block = Send(sim, readBlock(n));
        samples.insert(samples.end(), block.begin(), block.end());
    }
    const Bytes first = Send(sim, readBlock(1)), second = Send(sim, readBlock(2));
    EXPECT_EQ(first.size(), 252u);
    EXPECT_EQ(second.size(), 6u);
    events.insert(events.end(), first.begin(), first.end());
    events.insert(events.end(), second.begin(), second.end());
    EXPECT_EQ(samples, pattern(505, 1));
    EXPECT_EQ(events, pattern(258, 2));

    // After the last event block a second download needs no new header request.
    EXPECT_EQ(Send(sim, readBlock(1)), pattern(252, 1));
}

TEST(SimulatorDownload, WholeBlocksEmptyStreamsAndBigEndianBlockNumbers)
{
    auto whole = simulatorOf(504, 0);
    EXPECT_EQ(downloadSizes(whole, {1, 2, 3}), (Sizes{22, 252, 252, 0}));
    auto eventsOnly = simulatorOf(0, 2);  // the header request goes straight to the events
    EXPECT_EQ(downloadSizes(eventsOnly, {1}), (Sizes{22, 12}));
    auto small = simulatorOf(12, 3);
    EXPECT_EQ(downloadSizes(small, {1, 1}), (Sizes{22, 12, 18}));
    auto empty = simulatorOf(0, 0);
    EXPECT_EQ(Send(empty, readBlock(0))[0], 0);
    EXPECT_TRUE(Send(empty, readBlock(1)).empty());

    auto large = simulatorOf(300 * 252, 0);
    Send(large, readBlock(0));
    const Bytes all = pattern(300 * 252, 1);
    EXPECT_EQ(Send(large, B({0x00, 0x01, 0x00})), Bytes(all.begin() + 255 * 252, all.begin() + 256 * 252));
}

TEST(SimulatorDownload, ABlockTheStreamLacksGetsNoAnswerAndKeepsThePosition)
{
    auto sim = simulatorOf(505, 3);
    std::vector<std::string> notes;
    sim.SetNoteSink([&notes](const std::string& line) { notes.push_back(line); });
    Send(sim, readBlock(0));
    EXPECT_TRUE(Send(sim, readBlock(4)).empty());
    EXPECT_EQ(notes.size(), 1u);
    EXPECT_EQ(Send(sim, readBlock(1)), pattern(252, 1));  // still at the samples
}

TEST(SimulatorCommands, CommandsArriveInPiecesTogetherOrGarbled)
{
    auto sim = simulatorOf(12, 0);
    EXPECT_TRUE(Send(sim, B({0x00, 0x00})).empty());
    EXPECT_EQ(Send(sim, B({0x00})).size(), 22u);
    EXPECT_EQ(Send(sim, B({0x00, 0x00, 0x00, 0x00, 0x00, 0x01})).size(), 22u + 12u);

    // An unknown command is skipped whole; the next one is still understood.
    std::vector<std::string> notes;
    sim.SetNoteSink([&notes](const std::string& line) { notes.push_back(line); });
    EXPECT_EQ(Send(sim, B({0x55, 0x01, 0x02, 0x00, 0x00, 0x00})).size(), 22u);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_NE(notes[0].find("55 01 02"), std::string::npos);

    // A new connection does not finish a command an earlier one left half-written.
    Send(sim, B({0xF1, 0xE8}));
    EXPECT_TRUE(sim.Connected());
    EXPECT_EQ(Send(sim, readBlock(0)).size(), 22u);
}

TEST(SimulatorSetup, KeepsTheBlockAndDescribesIt)
{
    auto sim = simulatorOf(12, 0);
    std::vector<std::string> lines;
    sim.SetSetupSink([&lines](const std::string& line) { lines.push_back(line); });
    const Bytes block = B({0, 0, 0, 0, 0, 0, 200, 0, 3, 2, 3, 18, 0xE8, 0x07, 5, 14, 9, 30, 5, 30, 1, 0});

    EXPECT_TRUE(Send(sim, B({0x01, 0x00, 0x16})).empty());
    EXPECT_TRUE(Send(sim, Bytes(block.begin(), block.begin() + 10)).empty());
    EXPECT_FALSE(sim.LastSetupBlock());
    EXPECT_TRUE(Send(sim, Bytes(block.begin() + 10, block.end())).empty());
    ASSERT_TRUE(sim.LastSetupBlock());
    EXPECT_EQ(Bytes(sim.LastSetupBlock()->begin(), sim.LastSetupBlock()->end()), block);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0],
              "setup: interval 200 (50 ms), mode 0x03 (motion detection, free-fall detection), thresholds X 2 g "
              "Y 3 g Z 18 g, time 2024-05-14 09:30:05, LED every 30 s, automatic start; bytes 00 00 00 00 00 00 "
              "C8 00 03 02 03 12 E8 07 05 0E 09 1E 05 1E 01 00");
    EXPECT_EQ(Send(sim, readBlock(0)).size(), 22u);  // the block was not taken for commands

    HeaderBlock hours{};
    hours[6] = 51;
    const std::string line = LoggerSimulator::DescribeSetupBlock(hours);
    EXPECT_NE(line.find("interval 51 (12 h), mode 0x00 (normal)"), std::string::npos) << line;
    EXPECT_NE(line.find("LED off, manual start"), std::string::npos) << line;
}

TEST(SimulatorSetup, ABlockOfAnotherLengthIsReadButNotKept)
{
    auto sim = simulatorOf(12, 0);
    EXPECT_TRUE(Send(sim, B({0x01, 0x00, 0x05, 1, 2, 3, 4, 5})).empty());
    EXPECT_FALSE(sim.LastSetupBlock());
    EXPECT_EQ(Send(sim, readBlock(0)).size(), 22u);
}

TEST(SimulatorLive, SamplesComeInXZYOrderAtTheRequestedInterval)
{
    LoggerSimulator sim(LoggerMemory(), ToneSignal({Tone{0.25, 1.0, kToneAxisY}}));  // crest at 1 s
    const Bytes first = Send(sim, B({0xF1, 0xE8, 0x03}));                            // 1000 ms
    ASSERT_EQ(first.size(), 6u);
    EXPECT_EQ(CountAt(first, 0), 0);
    EXPECT_EQ(CountAt(first, 2), 250);  // Z: gravity
    EXPECT_EQ(CountAt(first, 4), 0);    // Y at t = 0
    EXPECT_EQ(CountAt(Send(sim, B({0xF2, 0x00, 0x00})), 4), 250);

    Send(sim, B({0xF1, 0xF4, 0x01}));                              // a new start at 500 ms begins again at t = 0
    EXPECT_EQ(CountAt(Send(sim, B({0xF2, 0x00, 0x00})), 4), 177);  // sin(45 degrees) g
}

TEST(SimulatorSpectrum, CapturesOfSixFullBlocksAndTwentyFourBytesANewOneAfterTheSeventh)
{
    // 16 Hz on X crests at sample 4 of 256 per second; 0.125 Hz on Y crests 2 s on, in the next capture.
    LoggerSimulator sim(LoggerMemory(), ToneSignal({Tone{16.0, 1.0, kToneAxisX}, Tone{0.125, 1.0, kToneAxisY}}));
    EXPECT_TRUE(Send(sim, spectrumBlock(0)).empty());
    Bytes capture;
    for (int n = 1; n <= 7; ++n) {
        const Bytes block = Send(sim, spectrumBlock(n));
        EXPECT_EQ(block.size(), n < 7 ? 252u : 24u) << n;
        capture.insert(capture.end(), block.begin(), block.end());
    }
    ASSERT_EQ(capture.size(), 1536u);
    EXPECT_EQ(CountAt(capture, 0), 0);
    EXPECT_EQ(CountAt(capture, 4 * 6), 250);
    EXPECT_EQ(CountAt(capture, 12 * 6), -250);
    EXPECT_EQ(CountAt(capture, 2), 0);              // Y
    EXPECT_EQ(CountAt(capture, 255 * 6 + 4), 250);  // Z
    EXPECT_TRUE(Send(sim, spectrumBlock(8)).empty());

    EXPECT_EQ(CountAt(Send(sim, spectrumBlock(1)), 2), 250);  // the next capture, 2 s later
}

TEST(SimulatorFaults, UnplugCutsTheReplyClosesAndRefusesLaterConnections)
{
    SimulatorFaults faults;
    faults.unplugAfterBytes = 40;
    auto sim = simulatorOf(505, 0, faults);
    EXPECT_EQ(Send(sim, readBlock(0)).size(), 22u);
    EXPECT_TRUE(sim.Connected());  // bytes count across connections
    const SimulatorReply block = sim.Receive(readBlock(1));
    EXPECT_EQ(block.bytes, pattern(18, 1));
    EXPECT_TRUE(block.closeConnection);
    EXPECT_FALSE(sim.Connected());
    const SimulatorReply later = sim.Receive(readBlock(0));
    EXPECT_TRUE(later.bytes.empty());
    EXPECT_TRUE(later.closeConnection);

    faults.unplugAfterBytes = 22;  // a reply that reaches the limit exactly goes out whole
    auto exact = simulatorOf(505, 0, faults);
    const SimulatorReply header = exact.Receive(readBlock(0));
    EXPECT_EQ(header.bytes.size(), 22u);
    EXPECT_TRUE(header.closeConnection);
}

TEST(SimulatorFaults, StallStopsAnsweringButKeepsTheConnection)
{
    SimulatorFaults faults;
    faults.stallAfterBytes = 22 + 252;
    auto sim = simulatorOf(1512, 0, faults);
    EXPECT_EQ(downloadSizes(sim, {1, 2, 3}), (Sizes{22, 252, 0, 0}));
    EXPECT_TRUE(sim.Connected());
    const SimulatorReply later = sim.Receive(readBlock(0));
    EXPECT_TRUE(later.bytes.empty());
    EXPECT_FALSE(later.closeConnection);
}

TEST(SimulatorFaults, AShortBlockIsHalfItsLengthALongOneWholeAndThenSome)
{
    SimulatorFaults faults;
    faults.shortDataBlock = 2;
    auto sim = simulatorOf(1512, 1, faults);
    EXPECT_EQ(downloadSizes(sim, {1, 2, 3, 4, 5, 6, 1}), (Sizes{22, 252, 126, 252, 252, 252, 252, 6}));
    Send(sim, readBlock(0));
    Send(sim, readBlock(1));
    const Bytes all = pattern(1512, 1);
    EXPECT_EQ(Send(sim, readBlock(2)), Bytes(all.begin() + 252, all.begin() + 252 + 126));

    // A long block: the data stream in order, with the surplus right after that block.
    SimulatorFaults longFault;
    longFault.longDataBlock = 6;
    auto longSim = simulatorOf(1512, 1, longFault);
    EXPECT_EQ(downloadSizes(longSim, {1, 2, 3, 4, 5, 6, 1}), (Sizes{22, 252, 252, 252, 252, 252, 255, 6}));
    Send(longSim, readBlock(0));
    Bytes served;
    for (std::uint16_t n = 1; n <= 6; ++n) {
        const Bytes block = Send(longSim, readBlock(n));
        served.insert(served.end(), block.begin(), block.end());
    }
    Bytes expected = all;
    expected.resize(expected.size() + LoggerSimulator::kLongBlockExtra, LoggerSimulator::kLongBlockFiller);
    EXPECT_EQ(served, expected);
}

}  // namespace
}  // namespace shakemeter
