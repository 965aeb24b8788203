// A real-time reading as the recording core keeps it: the first row, the rows that follow, the
// running statistics and their texts, the value range, and the view's window table.

#include <gtest/gtest.h>

#include <utility>

#include "test_summary_fixtures.h"

namespace shakemeter {
namespace {

constexpr std::uint16_t kHalfSecond = 500;  // real-time intervals are plain milliseconds

struct Reading {
    testing::ScopedTimeZone utc{"UTC0"};
    Recording document;
    RecordingView view;
    RecordingHeader header = testing::HeaderAt(2024, 6, 1, 12, 0, 0, kHalfSecond);

    bool Begin(const SampleRow& first, int requested)
    {
        header.dwSampleCount = 1;
        return BeginRealTimeRecording(document, view, header, CalendarTime::FromLocal(HeaderStart(header)), first,
                                      requested);
    }
};

TEST(RealTimeRecordingTest, FirstRowIsTheWholeRecordingWithItsTextsAndRange)
{
    Reading r;
    r.view.SetValueRange(-3.0, 3.0, false);  // a manual range of the previous recording
    EXPECT_TRUE(r.Begin({0.5, -0.25, 1.0, 1.2}, 10));

    EXPECT_EQ(r.document.m_pSamples.size(), 10u);
    EXPECT_EQ(r.document.m_bRealTime, 1);
    EXPECT_EQ(r.view.m_recHeader, r.document.m_header);
    EXPECT_EQ(r.view.m_nShownCount, 1);
    EXPECT_EQ(r.view.m_nRangeFirst, 1);
    EXPECT_EQ(r.view.m_nRangeLast, 1);
    EXPECT_DOUBLE_EQ(r.view.m_dInterval, 0.5);
    EXPECT_EQ(r.view.m_nDisplayMode, 1);
    EXPECT_TRUE(r.view.m_bListDirty);

    EXPECT_DOUBLE_EQ(r.view.m_dAutoMax, 1.2 + 0.1);
    EXPECT_DOUBLE_EQ(r.view.m_dAutoMin, -0.25 - 0.1);
    EXPECT_TRUE(r.view.m_bAutoScaleY);
    EXPECT_EQ(r.view.m_dYMax, r.view.m_dAutoMax);
    EXPECT_EQ(r.view.m_dYMin, r.view.m_dAutoMin);

    const SummaryTexts& t = r.view.m_summary;
    EXPECT_EQ(t.startTime, "01/06/24 12:00:00");
    EXPECT_EQ(t.samplingRate, "0.50");
    EXPECT_EQ(t.samples, "1");
    EXPECT_EQ(t.mode, "Normal");
    EXPECT_EQ(t.threshold[0], "NONE");
    EXPECT_EQ(t.max[1], "-0.25 @01/06/24 12:00:00");
    EXPECT_EQ(t.min[2], "1.00 @01/06/24 12:00:00");
    EXPECT_EQ(t.avg[3], "1.20");

    // The same first row again leaves the range as it is: nothing to repaint for it.
    EXPECT_FALSE(r.Begin({0.5, -0.25, 1.0, 1.2}, 10));
}

TEST(RealTimeRecordingTest, RowsUpdateRunningStatisticsTextsAndCounts)
{
    Reading r;
    r.Begin({0.0, 0.0, 1.0, 1.0}, 4);
    EXPECT_EQ(AppendRealTimeRow(r.document, r.view, {2.0, 0.0, 1.0, 2.2}), RowAppend::RangeGrown);
    EXPECT_DOUBLE_EQ(r.view.m_dAutoMax, 3.2);  // 1 g beyond the new maximum
    EXPECT_DOUBLE_EQ(r.view.m_dAutoMin, -1.0);
    EXPECT_EQ(r.view.m_dYMax, r.view.m_dAutoMax);
    // A new minimum of one column that stays above the lowest of all leaves the range alone.
    EXPECT_EQ(AppendRealTimeRow(r.document, r.view, {2.0, 0.0, 0.5, 1.1}), RowAppend::Added);
    EXPECT_DOUBLE_EQ(r.view.m_dAutoMin, -1.0);

    EXPECT_EQ(r.document.m_header.dwSampleCount, 3u);
    EXPECT_EQ(r.view.m_recHeader.dwSampleCount, 3u);
    EXPECT_EQ(r.document.m_pSamples[2], (SampleRow{2.0, 0.0, 0.5, 1.1}));
    EXPECT_EQ(r.view.m_nShownCount, 3);
    EXPECT_EQ(r.view.m_nRangeLast, 3);
    EXPECT_DOUBLE_EQ(r.view.m_dSum[0], 4.0);
    EXPECT_DOUBLE_EQ(r.view.m_dSum[2], 2.5);
    EXPECT_DOUBLE_EQ(r.view.m_dSum[3], 4.3);

    const SummaryTexts& t = r.view.m_summary;
    EXPECT_EQ(t.samples, "3");
    EXPECT_EQ(t.max[0], "2.00 @ 01/06/24 12:00:00 500ms");  // an equal value later names no later row
    EXPECT_EQ(t.min[2], "0.50 @ 01/06/24 12:00:01");
    EXPECT_EQ(t.max[2], "1.00 @01/06/24 12:00:00");  // still the first row's text
    EXPECT_EQ(t.avg[0], "1.33");
}

TEST(RealTimeRecordingTest, AManualValueRangeStaysWhileTheAutomaticOneGrows)
{
    Reading r;
    r.Begin(testing::FlatRows(1, 0.0)[0], 3);
    r.view.SetValueRange(-2.0, 2.0, false);
    EXPECT_EQ(AppendRealTimeRow(r.document, r.view, {5.0, 5.0, 5.0, 5.0}), RowAppend::Added);
    EXPECT_DOUBLE_EQ(r.view.m_dAutoMax, 6.0);
    EXPECT_EQ(r.view.m_dYMax, 2.0);
    EXPECT_EQ(r.view.m_dYMin, -2.0);
}

TEST(RealTimeRecordingTest, NoRowIsStoredBeyondTheRecordingsRoom)
{
    Reading r;
    r.Begin(testing::FlatRows(1, 0.0)[0], 2);
    EXPECT_NE(AppendRealTimeRow(r.document, r.view, {1.0, 1.0, 1.0, 1.0}), RowAppend::NoRoom);
    EXPECT_EQ(AppendRealTimeRow(r.document, r.view, {9.0, 9.0, 9.0, 9.0}), RowAppend::NoRoom);
    EXPECT_EQ(r.document.m_header.dwSampleCount, 2u);
    EXPECT_EQ(r.view.m_nShownCount, 2);
    EXPECT_EQ(r.view.m_summary.samples, "2");

    // A complete recording installed meanwhile is full: its rows are never overwritten.
    Recording loaded = testing::MakeRecording(r.header, testing::FlatRows(3, 0.25));
    InstallCompleteRecording(r.document, r.view, std::move(loaded));
    EXPECT_EQ(AppendRealTimeRow(r.document, r.view, {9.0, 9.0, 9.0, 9.0}), RowAppend::NoRoom);
    EXPECT_EQ(r.document.m_pSamples[2], testing::FlatRows(1, 0.25)[0]);
}

TEST(ViewStateTest, RealTimeWindowTableStartsOnceAndGrowsPastItsEnd)
{
    ViewState state;
    state.StartRtWindow(100);
    state.StartRtWindow(7);
    EXPECT_EQ(state.m_nRtWindow, (std::vector<int>{100}));
    state.SetRtWindowEntry(1, 150);
    state.SetRtWindowEntry(3, 400);
    EXPECT_EQ(state.m_nRtWindow, (std::vector<int>{100, 150, 0, 400}));
    state.SetRtWindowEntry(0, 90);
    EXPECT_EQ(state.m_nRtWindow, (std::vector<int>{90, 150, 0, 400}));
}

TEST(ViewStateTest, FirstRecordingGoesToTheGraphAndAChosenWindowStays)
{
    ViewState state;
    state.ShowFirstRecording();
    EXPECT_EQ(state.m_nDisplayMode, 1);
    state.SetDisplayMode(2);
    state.ShowFirstRecording();
    EXPECT_EQ(state.m_nDisplayMode, 2);
}

TEST(HeaderStartTest, StampAndReadBackTheStartFields)
{
    RecordingHeader header;
    StampHeaderStart(header, CalendarFields{2031, 12, 24, 23, 59, 58});
    EXPECT_EQ(header.wYear, 2031);
    EXPECT_EQ(header.byMonth, 12);
    EXPECT_EQ(header.bySecond, 58);
    const CalendarFields back = HeaderStart(header);
    EXPECT_EQ(back.year, 2031);
    EXPECT_EQ(back.day, 24);
    EXPECT_EQ(back.hour, 23);
    EXPECT_EQ(back.minute, 59);
    EXPECT_EQ(header.ToBytes()[14], 12);  // byMonth follows wYear in the stored bytes
}

}  // namespace
}  // namespace shakemeter
