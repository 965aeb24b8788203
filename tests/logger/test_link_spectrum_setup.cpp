// Spectrum reading and the setup exchange over a fake logger.

#include <gtest/gtest.h>

#include "tests/logger/LinkTestSupport.h"

namespace shakemeter::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

// 256 spectrum samples: X a square wave of period 8 samples (±1 g), Y 0.5 g, Z -1 g.
Bytes Capture()
{
    Bytes s;
    for (int k = 0; k < 256; ++k) {
        const auto r = Record((k / 4) % 2 ? 250 : -250, 125, -250);
        s.insert(s.end(), r.begin(), r.end());
    }
    return s;
}

class Spectrum : public LinkTest {
protected:
    void QueueCapture(const Bytes& capture)
    {
        for (int n = 0; n < 7; ++n) {
            const auto from = capture.begin() + n * 252;
            const auto to = n < 6 ? from + 252 : capture.end();
            device.replies.emplace_back(from, to);
        }
    }
};

TEST_F(Spectrum, StartSendsBlockZeroAndStaysOpen)
{
    ASSERT_TRUE(link.StartSpectrum());
    EXPECT_EQ(device.Written(), (std::vector<Bytes>{{0xF3, 0x00, 0x00}}));
    EXPECT_EQ(device.exchanges[0].writeTimeout, 1000u);
    EXPECT_TRUE(device.ReadSizes().empty());
    EXPECT_TRUE(link.IsOpen());
    link.CloseDevice();
    device.failWriteAt = 1;
    EXPECT_FALSE(link.StartSpectrum());
    EXPECT_FALSE(link.IsOpen());
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(Spectrum, ReadFetchesSevenBlocksIntoA256RowSpectrumRecording)
{
    ASSERT_TRUE(link.StartSpectrum());
    link.SetSpectrumTime(CalendarTime::FromLocal(CalendarFields{2024, 6, 1, 8, 30, 15}));
    QueueCapture(Capture());
    ASSERT_TRUE(link.ReadSpectrum());
    std::vector<Bytes> expectedWrites = {{0xF3, 0, 0}};
    for (std::uint8_t n = 1; n <= 7; ++n)
        expectedWrites.push_back({0xF3, 0, n});
    EXPECT_EQ(device.Written(), expectedWrites);
    EXPECT_EQ(device.ReadSizes(), (std::vector<std::uint32_t>{252, 252, 252, 252, 252, 252, 24}));
    for (const auto& e : device.exchanges) {
        if (e.kind == FakeDeviceLibrary::Exchange::Read)
            EXPECT_EQ(e.readTimeout, 3000u);
        else
            EXPECT_EQ(e.writeTimeout, 1000u);
    }
    EXPECT_TRUE(link.IsOpen());
    EXPECT_EQ(device.readTimeout, 111u);

    const Recording& r = host.document;
    EXPECT_EQ(r.m_header.dwSampleCount, 256u);
    EXPECT_EQ(r.m_header.wInterval, 0);
    EXPECT_EQ(r.m_header.byMode, 0);
    EXPECT_EQ(r.m_header.wYear, 2024);
    EXPECT_EQ(r.m_header.byHour, 8);
    EXPECT_EQ(r.m_header.bySecond, 15);
    EXPECT_EQ(r.m_bRealTime, 0);
    EXPECT_TRUE(r.m_pSampleTicks.empty());
    EXPECT_TRUE(r.m_pFreeFallEvents.empty());
    ASSERT_EQ(r.m_pSamples.size(), 256u);
    EXPECT_EQ(r.m_pSamples[0], (SampleRow{-1.0, 0.5, -1.0, 1.5}));
    EXPECT_EQ(r.m_pSamples[4][0], 1.0);
    EXPECT_EQ(host.view.m_nSpectrumSize, 256);
    ASSERT_EQ(host.view.m_pSpectrum.size(), 256u);
    // The square wave of period 8 puts its energy at bin 32; the constant axes only at bin 0.
    EXPECT_GT(host.view.m_pSpectrum[32][0], host.view.m_pSpectrum[31][0]);
    EXPECT_GT(host.view.m_pSpectrum[0][1], host.view.m_pSpectrum[32][1]);
    EXPECT_EQ(host.tempCopies, 1);
    EXPECT_EQ(host.Installed(RecordingSource::Spectrum), 1);
    EXPECT_EQ(host.view.m_nShownCount, 128);  // time-domain view of a spectrum recording
}

TEST_F(Spectrum, ShortSeventhBlockIsAFailedReadThatKeepsTheLastRecording)
{
    ASSERT_TRUE(link.StartSpectrum());
    QueueCapture(Capture());
    device.replies.back().resize(12);  // two of the last four samples arrive
    EXPECT_FALSE(link.ReadSpectrum());
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Failed reading data from the shakemeter."}));
    ExpectPreviousRecording();
    ExpectClosedWithTimeoutsRestored();
    EXPECT_EQ(host.tempCopies, 0);
}

TEST_F(Spectrum, FailedBlockKeepsTheLastRecordingAndCloses)
{
    ASSERT_TRUE(link.StartSpectrum());
    QueueCapture(Capture());
    device.failReadAt = 2;
    EXPECT_FALSE(link.ReadSpectrum());
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Failed reading data from the shakemeter."}));
    EXPECT_EQ(device.Written().size(), 4u);
    ExpectPreviousRecording();
    ExpectClosedWithTimeoutsRestored();
}

TEST_F(Spectrum, LoggerGoneAtATickEndsTheReadingWithOneMessage)
{
    ASSERT_TRUE(link.StartSpectrum());
    device.bridges = 0;
    EXPECT_FALSE(link.ReadSpectrum());
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Failed reading data from the shakemeter."}));
    EXPECT_EQ(device.Written().size(), 1u);
    EXPECT_FALSE(link.IsOpen());
    ExpectPreviousRecording();
    link.CloseDevice();
    ExpectClosedWithTimeoutsRestored();

    // Without a reading going on there is nothing to tell.
    host.messages.clear();
    EXPECT_FALSE(link.ReadSpectrum());
    EXPECT_TRUE(host.messages.empty());
}

class Setup : public LinkTest {
protected:
    HeaderBlock Block(std::uint8_t startMode)
    {
        HeaderBlock b{};
        b[6] = 200;
        b[19] = 10;
        b[20] = startMode;
        return b;
    }
};

TEST_F(Setup, CommandThenBlockUnderTheWriteTimeoutAndTheStartModeMessage)
{
    const HeaderBlock block = Block(0);
    ASSERT_TRUE(link.WriteSetupAndReport(block));
    EXPECT_EQ(device.Written(), (std::vector<Bytes>{{0x01, 0x00, 0x16}, Bytes(block.begin(), block.end())}));
    for (const auto& e : device.exchanges)
        EXPECT_EQ(e.writeTimeout, 1000u);
    EXPECT_TRUE(device.ReadSizes().empty());
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].first, MessageKind::Information);
    EXPECT_EQ(host.messages[0].second, "To start logging,you must press and hold until green LED flash.");
    ExpectClosedWithTimeoutsRestored();

    host.messages.clear();
    ASSERT_TRUE(link.WriteSetupAndReport(Block(1)));
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"The DATA LOGGER is running... "}));
}

TEST_F(Setup, ShortCommandWriteIsAFailedWrite)
{
    device.writeReportsShort = 2;
    EXPECT_FALSE(link.WriteSetupAndReport(Block(0)));
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Failed writing data to the shakemeter."}));
    EXPECT_EQ(device.Written().size(), 1u);  // the block is not sent
    ExpectClosedWithTimeoutsRestored();
}

TEST_F(Setup, BlockTakenOnlyInPartIsAFailedWrite)
{
    link.SetSetupBlock(Block(1));
    device.writeReportsShort = 3;  // the command goes whole, the block only in part
    EXPECT_FALSE(link.WriteSetup());
    EXPECT_EQ(device.Written().size(), 2u);
    ExpectClosedWithTimeoutsRestored();
}

TEST_F(Setup, FailedBlockWriteAndMissingLoggerAreOneMessageEach)
{
    link.SetSetupBlock(Block(0));
    device.failWriteAt = -1;
    device.writeReportsShort = 0;
    EXPECT_TRUE(link.WriteSetup());
    // A failing block write is a failure, and so is a missing logger; one message each time.
    device.failWriteAt = 3;
    EXPECT_FALSE(link.WriteSetupAndReport(Block(0)));
    device.bridges = 0;
    EXPECT_FALSE(link.WriteSetupAndReport(Block(0)));
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Failed writing data to the shakemeter.",
                                                        "Failed writing data to the shakemeter."}));
    ExpectClosedWithTimeoutsRestored();
}

}  // namespace
}  // namespace shakemeter::test
