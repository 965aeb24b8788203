// Real-time reading over a fake logger: start, ticks, statistics texts, value range, endings.

#include <gtest/gtest.h>

#include "tests/logger/LinkTestSupport.h"
#include "ScopedCommaLocale.h"

namespace shakemeter::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A real-time sample: X, Z, Y on the wire, in counts of 4 mg.
Bytes LiveSample(int x, int y, int z)
{
    return Record(x, z, y);
}

class RealTime : public LinkTest {
protected:
    void Start(int points, std::uint16_t interval, std::initializer_list<Bytes> samples)
    {
        host.view.SetRtRequested(points);
        link.SetRealTimeInterval(interval);
        for (const Bytes& s : samples)
            device.replies.push_back(s);
    }
    const SummaryTexts& Texts() const { return host.view.m_summary; }
};

TEST_F(RealTime, StartSendsTheIntervalAndBuildsAOneRowRecording)
{
    Start(5, 500, {LiveSample(250, -125, 25)});  // 1.00, -0.50, 0.10 g
    ASSERT_TRUE(link.RunRealTime());
    EXPECT_EQ(device.Written(), (std::vector<Bytes>{{0xF1, 0xF4, 0x01}}));
    EXPECT_EQ(device.exchanges[0].writeTimeout, 5000u);
    EXPECT_EQ(device.exchanges[1].readTimeout, 5000u);
    EXPECT_EQ(device.exchanges[1].asked, 6u);
    EXPECT_TRUE(link.IsOpen());
    EXPECT_EQ(device.readTimeout, 111u);
    EXPECT_EQ(device.writeTimeout, 222u);
    EXPECT_EQ(host.timerPeriod, 500);
    EXPECT_TRUE(host.reading);
    EXPECT_EQ(link.RealTimeStatus(), RealTimeState::Reading);

    const Recording& r = host.document;
    EXPECT_EQ(r.m_pSamples.size(), 5u);  // room for every requested point
    EXPECT_EQ(r.m_header.dwSampleCount, 1u);
    EXPECT_EQ(r.m_header.wInterval, 500);
    EXPECT_EQ(r.m_header.wYear, 2023);
    EXPECT_EQ(r.m_header.bySecond, 9);
    EXPECT_EQ(r.m_header.wFreeFallCount, 0);
    EXPECT_TRUE(r.m_pFreeFallEvents.empty());
    EXPECT_EQ(r.m_bRealTime, 1);
    EXPECT_EQ(r.m_pSamples[0],
              (SampleRow{1.0, -0.5, 0.1, VectorSumToG(std::sqrt(1000.0 * 1000 + 500 * 500 + 100 * 100))}));
    EXPECT_EQ(host.view.m_recHeader, r.m_header);
    EXPECT_EQ(host.view.m_nShownCount, 1);
    EXPECT_EQ(host.view.m_nRangeFirst, 1);
    EXPECT_EQ(host.view.m_nRangeLast, 1);
    EXPECT_DOUBLE_EQ(host.view.m_dInterval, 0.5);
    EXPECT_EQ(host.view.m_nDisplayMode, 1);

    EXPECT_EQ(Texts().startTime, "05/03/23 14:07:09");
    EXPECT_EQ(Texts().samplingRate, "0.50");
    EXPECT_EQ(Texts().samples, "1");
    EXPECT_EQ(Texts().unit, "g");
    EXPECT_EQ(Texts().mode, "Normal");
    EXPECT_EQ(Texts().threshold[1], "NONE");
    EXPECT_EQ(Texts().max[0], "1.00 @05/03/23 14:07:09");
    EXPECT_EQ(Texts().min[1], "-0.50 @05/03/23 14:07:09");
    EXPECT_EQ(Texts().avg[2], "0.10");
    EXPECT_EQ(Texts().max[3], "1.12 @05/03/23 14:07:09");

    // The ±0.1 margin around the first sample.
    EXPECT_DOUBLE_EQ(host.view.m_dAutoMax, r.m_pSamples[0][3] + 0.1);
    EXPECT_DOUBLE_EQ(host.view.m_dAutoMin, -0.5 - 0.1);
    EXPECT_EQ(host.view.m_dYMax, host.view.m_dAutoMax);
    EXPECT_TRUE(host.view.m_bAutoScaleY);
}

TEST_F(RealTime, TicksAskWithTheSampleTimeoutsAndKeepStrictExtremes)
{
    Start(4, 500, {LiveSample(250, 0, 0), LiveSample(375, 0, 0), LiveSample(375, -50, 0), LiveSample(100, 0, 0)});
    ASSERT_TRUE(link.RunRealTime());
    link.OnTimer(1);
    EXPECT_EQ(device.Written()[1], (Bytes{0xF2, 0x00, 0x00}));
    EXPECT_EQ(device.exchanges[2].writeTimeout, 5000u);
    EXPECT_EQ(device.exchanges[3].readTimeout, 20000u);
    EXPECT_EQ(Texts().max[0], "1.50 @ 05/03/23 14:07:09 500ms");
    EXPECT_EQ(Texts().samples, "2");
    EXPECT_EQ(Texts().avg[0], "1.25");
    EXPECT_EQ(host.rowsAppended.size(), 1u);
    EXPECT_TRUE(host.reading);  // the host marks a row read while reading as unsaved

    link.OnTimer(1);  // equal X maximum: the text names the earlier sample
    EXPECT_EQ(Texts().max[0], "1.50 @ 05/03/23 14:07:09 500ms");
    EXPECT_EQ(Texts().min[1], "-0.20 @ 05/03/23 14:07:10");
    EXPECT_EQ(Texts().min[0], "1.00 @05/03/23 14:07:09");

    link.OnTimer(1);  // the fourth point completes the reading
    EXPECT_EQ(Texts().min[0], "0.40 @ 05/03/23 14:07:10 500ms");
    EXPECT_EQ(Texts().samples, "4");
    EXPECT_EQ(host.document.m_header.dwSampleCount, 4u);
    EXPECT_EQ(host.view.m_nShownCount, 4);
    EXPECT_EQ(host.view.m_nRangeLast, 4);
    EXPECT_FALSE(host.reading);
    EXPECT_EQ(host.timerPeriod, 0);
    EXPECT_EQ(host.tempCopies, 1);
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(link.RealTimeStatus(), RealTimeState::Completed);
    EXPECT_TRUE(host.messages.empty());

    link.OnTimer(1);  // a late tick asks nothing
    EXPECT_EQ(device.Written().size(), 4u);
}

TEST_F(RealTime, TextsKeepTheirPointUnderADecimalCommaLocale)
{
    testing::ScopedCommaLocale comma;
    if (!comma.active())
        GTEST_SKIP() << testing::ScopedCommaLocale::kMissing;
    Start(3, 500, {LiveSample(250, -125, 25), LiveSample(375, -150, 25)});
    ASSERT_TRUE(link.RunRealTime());
    EXPECT_EQ(Texts().samplingRate, "0.50");
    EXPECT_EQ(Texts().max[0], "1.00 @05/03/23 14:07:09");
    EXPECT_EQ(Texts().avg[1], "-0.50");
    link.OnTimer(1);
    EXPECT_EQ(Texts().max[0], "1.50 @ 05/03/23 14:07:09 500ms");
    EXPECT_EQ(Texts().min[1], "-0.60 @ 05/03/23 14:07:09 500ms");
    EXPECT_EQ(Texts().avg[0], "1.25");
    EXPECT_EQ(Texts().avg[2], "0.10");
}

TEST_F(RealTime, ValueRangeWidensToOneGOnceAndThenOnlyGrows)
{
    Start(10, 1000, {LiveSample(250, 0, 0), LiveSample(250, 0, 0), LiveSample(250, 0, 0), LiveSample(1000, 0, 0)});
    ASSERT_TRUE(link.RunRealTime());
    const int plotRepaints = host.RangeGrowths();
    link.OnTimer(1);
    EXPECT_DOUBLE_EQ(host.view.m_dAutoMax, 2.0);
    EXPECT_DOUBLE_EQ(host.view.m_dAutoMin, -1.0);
    EXPECT_DOUBLE_EQ(host.view.m_dYMax, 2.0);
    EXPECT_EQ(host.RangeGrowths(), plotRepaints + 1);
    link.OnTimer(1);
    EXPECT_EQ(host.RangeGrowths(), plotRepaints + 1);  // same values: no change
    link.OnTimer(1);
    EXPECT_DOUBLE_EQ(host.view.m_dAutoMax, 5.0);
    EXPECT_DOUBLE_EQ(host.view.m_dAutoMin, -1.0);
    EXPECT_EQ(host.RangeGrowths(), plotRepaints + 2);
}

TEST_F(RealTime, ManualValueAxisAndBandDragKeepThePlotAsItIs)
{
    Start(10, 1000, {LiveSample(250, 0, 0), LiveSample(250, 0, 0)});
    ASSERT_TRUE(link.RunRealTime());
    host.view.SetValueRange(host.view.m_dYMin, 7.0, false);
    const int plotRepaints = host.RangeGrowths();
    link.OnTimer(1);
    EXPECT_DOUBLE_EQ(host.view.m_dAutoMax, 2.0);
    EXPECT_DOUBLE_EQ(host.view.m_dYMax, 7.0);
    EXPECT_EQ(host.RangeGrowths(), plotRepaints);
}

TEST_F(RealTime, OnePointEndsAtTheFirstSampleWithoutATimer)
{
    Start(1, 500, {LiveSample(250, 0, 0)});
    EXPECT_FALSE(link.RunRealTime());
    EXPECT_EQ(link.RealTimeStatus(), RealTimeState::Completed);
    EXPECT_EQ(host.timerStarts, 0);
    EXPECT_FALSE(host.reading);
    EXPECT_EQ(host.tempCopies, 1);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(host.document.m_pSamples.size(), 1u);
    EXPECT_EQ(host.document.m_header.dwSampleCount, 1u);
    ExpectClosedWithTimeoutsRestored();
}

TEST_F(RealTime, FailedStartKeepsThePreviousRecording)
{
    Start(5, 500, {});
    device.failReadAt = 0;
    EXPECT_FALSE(link.RunRealTime());
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Failed reading data from the shakemeter."}));
    ExpectPreviousRecording();
    ExpectClosedWithTimeoutsRestored();
    EXPECT_FALSE(host.reading);
}

TEST_F(RealTime, FailedTickEndsTheReadingAndKeepsTheSamples)
{
    Start(5, 2000, {LiveSample(250, 0, 0), LiveSample(300, 0, 0)});
    ASSERT_TRUE(link.RunRealTime());
    link.OnTimer(1);
    device.failWriteAt = 2;
    link.OnTimer(1);
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Failed reading data from the shakemeter."}));
    EXPECT_FALSE(host.reading);
    EXPECT_EQ(host.timerPeriod, 0);
    EXPECT_EQ(link.RealTimeStatus(), RealTimeState::Failed);
    EXPECT_EQ(host.document.m_header.dwSampleCount, 2u);
    EXPECT_EQ(host.document.m_pSamples[1][0], MilliGToG(1200));
    ExpectClosedWithTimeoutsRestored();
    link.OnTimer(1);
    EXPECT_EQ(host.messages.size(), 1u);
}

TEST_F(RealTime, StopReadingClosesWithoutAWordToTheLogger)
{
    Start(5, 500, {LiveSample(250, 0, 0), LiveSample(250, 0, 0)});
    ASSERT_TRUE(link.RunRealTime());
    link.StopRealTime();
    EXPECT_FALSE(host.reading);
    EXPECT_EQ(host.timerPeriod, 0);
    EXPECT_EQ(host.tempCopies, 1);
    EXPECT_EQ(link.RealTimeStatus(), RealTimeState::Stopped);
    ExpectClosedWithTimeoutsRestored();
    link.OnTimer(1);
    EXPECT_EQ(device.Written().size(), 1u);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(RealTime, ReadingClearedBetweenTicksEndsAtTheNextSample)
{
    Start(5, 500, {LiveSample(250, 0, 0), LiveSample(250, 0, 0)});
    ASSERT_TRUE(link.RunRealTime());
    host.reading = false;  // the frame stopped reading but the link's tick was already due
    link.OnTimer(1);
    EXPECT_EQ(host.document.m_header.dwSampleCount, 2u);
    EXPECT_EQ(host.tempCopies, 1);
    EXPECT_EQ(link.RealTimeStatus(), RealTimeState::Stopped);
    EXPECT_FALSE(link.IsOpen());
}

TEST_F(RealTime, ZeroPointsOrNoRateIsRefusedBeforeAnythingIsSent)
{
    Start(0, 500, {LiveSample(250, 0, 0)});
    EXPECT_FALSE(link.RunRealTime());
    host.view.SetRtRequested(100001);
    EXPECT_FALSE(link.RunRealTime());
    host.view.SetRtRequested(5);
    link.SetRealTimeInterval(0);
    EXPECT_FALSE(link.RunRealTime());
    link.SetRealTimeInterval(750);
    EXPECT_FALSE(link.RunRealTime());
    EXPECT_TRUE(device.exchanges.empty());
    EXPECT_TRUE(device.opened.empty());
    ExpectPreviousRecording();
}

TEST_F(RealTime, StartLeavesTheWindowTableToTheHost)
{
    // The window table depends on the plot's width: the host lays it out when the recording is
    // installed, and the link has no part in it.
    host.view.SetRtWindow({7, 8});
    Start(100000, 500, {LiveSample(250, 0, 0)});
    ASSERT_TRUE(link.RunRealTime());
    EXPECT_EQ(host.view.m_nRtWindow, (std::vector<int>{7, 8}));
    ASSERT_EQ(host.installed.size(), 1u);
    EXPECT_EQ(host.installed[0].source, RecordingSource::RealTime);
}

}  // namespace
}  // namespace shakemeter::test
