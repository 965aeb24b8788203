// The setup block as the setup dialog builds it from the last block sent and the user's choices.

#include <gtest/gtest.h>

#include "logger/SetupBlock.h"

namespace shakemeter {
namespace {

HeaderBlock LastSetup(std::uint16_t interval, std::uint8_t mode = 0, std::uint8_t tx = 0, std::uint8_t ty = 0,
                      std::uint8_t tz = 0, std::uint8_t led = 10, std::uint8_t start = 0)
{
    RecordingHeader h;
    h.dwSampleCount = 999;  // a stored count must not leak into the block sent
    h.wFreeFallCount = 7;
    h.wInterval = interval;
    h.byMode = mode;
    h.byThresholdX = tx;
    h.byThresholdY = ty;
    h.byThresholdZ = tz;
    h.wYear = 2001;
    h.byLedCycle = led;
    h.byStartMode = start;
    return EncodeHeaderBlock(h);
}

CalendarFields Now()
{
    return CalendarFields{2024, 2, 29, 13, 45, 7};
}

TEST(SetupBlockEditing, StartsFromTheLastBlockWithCountsCleared)
{
    SetupBlockEditor editor(LastSetup(IntervalCode(10, RATE_UNIT_SECOND), MODE_MOTION, 2, 3, 4, 20, 1));
    EXPECT_EQ(editor.RateText(), "10");
    EXPECT_EQ(editor.RateUnit(), RATE_UNIT_SECOND);
    EXPECT_EQ(editor.ThresholdX(), 1);
    EXPECT_EQ(editor.ThresholdZ(), 3);
    EXPECT_TRUE(editor.ThresholdsEnabled());
    EXPECT_EQ(editor.CheckedLedRadio(), 20);

    HeaderBlock block{};
    ASSERT_EQ(editor.Finish(Now(), block), SetupOutcome::Ready);
    const HeaderBlock expected = {0, 0,    0,    0, 0,  0,  0x29, 0x00, MODE_MOTION, 2, 3,
                                  4, 0xE8, 0x07, 2, 29, 13, 45,   7,    20,          1, 0};
    EXPECT_EQ(block, expected);
}

TEST(SetupBlockEditing, RateTextIsClampedPerUnit)
{
    SetupBlockEditor editor(LastSetup(200));
    editor.SetRateText("1500");
    EXPECT_EQ(editor.RateText(), "999");
    editor.SetRateText("");
    EXPECT_EQ(editor.RateText(), "1");
    editor.SetRateText("-5");
    EXPECT_EQ(editor.RateText(), "1");
    editor.SetRateText("75abc");
    EXPECT_EQ(editor.RateText(), "75");
    EXPECT_EQ(editor.Setup().wInterval, IntervalCode(75, RATE_UNIT_MS));

    editor.SetRateText("59");
    editor.SetRateUnit(RATE_UNIT_HOUR);
    EXPECT_EQ(editor.RateText(), "12");
    EXPECT_EQ(editor.Setup().wInterval, 51);
    editor.SetRateUnit(RATE_UNIT_SECOND);
    editor.SetRateText("5");
    editor.SetRateUnit(RATE_UNIT_MS);
    EXPECT_EQ(editor.RateText(), "50");
    EXPECT_EQ(editor.Setup().wInterval, 200);
    editor.SetRateText("999");
    editor.SetRateUnit(RATE_UNIT_MINUTE);
    EXPECT_EQ(editor.RateText(), "59");
    EXPECT_EQ(editor.Setup().wInterval, IntervalCode(59, RATE_UNIT_MINUTE));
}

TEST(SetupBlockEditing, SpinStopsAtFiftyMilliseconds)
{
    SetupBlockEditor editor(LastSetup(IntervalCode(51, RATE_UNIT_MS)));
    editor.StepRate(-1);
    EXPECT_EQ(editor.RateText(), "50");
    editor.StepRate(-1);
    EXPECT_EQ(editor.RateText(), "50");
    editor.StepRate(+1);
    EXPECT_EQ(editor.RateText(), "51");
    editor.SetRateUnit(RATE_UNIT_SECOND);
    editor.SetRateText("1");
    editor.StepRate(-1);
    EXPECT_EQ(editor.RateText(), "1");
}

TEST(SetupBlockRefusal, MillisecondRateBelowFiftyIsRefusedAndFiftyAccepted)
{
    SetupBlockEditor editor(LastSetup(0));  // a saved count of 0 ms
    HeaderBlock block{};
    EXPECT_EQ(editor.Finish(Now(), block), SetupOutcome::RateTooSmall);
    EXPECT_EQ(block, HeaderBlock{});
    editor.SetRateText("49");
    EXPECT_EQ(editor.Finish(Now(), block), SetupOutcome::RateTooSmall);
    editor.SetRateText("50");
    EXPECT_EQ(editor.Finish(Now(), block), SetupOutcome::Ready);
    EXPECT_EQ(block[6], 200);
    EXPECT_STREQ(kRateTooSmallMessage, "The sampling rate must be larger than 50ms!");
    // Seconds are never refused, however small the count.
    SetupBlockEditor seconds(LastSetup(IntervalCode(1, RATE_UNIT_SECOND)));
    EXPECT_EQ(seconds.Finish(Now(), block), SetupOutcome::Ready);
}

TEST(SetupBlockThresholds, TakenOnlyWhenAllThreeAreChosen)
{
    SetupBlockEditor editor(LastSetup(200, 0, 5, 6, 7));
    editor.SetMotionMode();
    EXPECT_EQ(editor.ThresholdY(), 5);
    editor.SetThresholdSelections(0, THRESHOLD_NONE, 17);
    HeaderBlock block{};
    ASSERT_EQ(editor.Finish(Now(), block), SetupOutcome::Ready);
    EXPECT_EQ(block[8], MODE_MOTION);
    EXPECT_EQ(block[9], 5);  // one list empty: the saved thresholds go out
    EXPECT_EQ(block[10], 6);
    EXPECT_EQ(block[11], 7);

    editor.SetThresholdSelections(0, 8, 17);
    ASSERT_EQ(editor.Finish(Now(), block), SetupOutcome::Ready);
    EXPECT_EQ(block[9], 1);
    EXPECT_EQ(block[10], 9);
    EXPECT_EQ(block[11], 18);
}

TEST(SetupBlockThresholds, SavedThresholdsOfZeroShowEmptyLists)
{
    SetupBlockEditor editor(LastSetup(200));
    editor.SetMotionMode();
    EXPECT_EQ(editor.ThresholdX(), THRESHOLD_NONE);
    EXPECT_EQ(editor.ThresholdY(), THRESHOLD_NONE);
    editor.SetNormalMode();
    HeaderBlock block{};
    ASSERT_EQ(editor.Finish(Now(), block), SetupOutcome::Ready);
    EXPECT_EQ(block[8], 0);
}

TEST(SetupBlockLed, UnknownSavedCycleShowsTenButIsSentUnchanged)
{
    SetupBlockEditor editor(LastSetup(200, 0, 0, 0, 0, 15));
    EXPECT_EQ(editor.CheckedLedRadio(), 10);
    HeaderBlock block{};
    ASSERT_EQ(editor.Finish(Now(), block), SetupOutcome::Ready);
    EXPECT_EQ(block[19], 15);
    editor.SetLedCycle(0);
    ASSERT_EQ(editor.Finish(Now(), block), SetupOutcome::Ready);
    EXPECT_EQ(block[19], 0);
}

TEST(SetupBlockDefault, FiftyMsNormalLedTenManualAndPreviousThresholds)
{
    SetupBlockEditor editor(LastSetup(IntervalCode(3, RATE_UNIT_HOUR), MODE_MOTION | MODE_FREEFALL, 4, 5, 6, 30, 1));
    EXPECT_TRUE(editor.FreeFall());
    editor.Default();
    HeaderBlock block{};
    ASSERT_EQ(editor.Finish(Now(), block), SetupOutcome::Ready);
    EXPECT_EQ(block[6], 200);
    EXPECT_EQ(block[7], 0);
    EXPECT_EQ(block[8], 0);  // no motion, no free fall
    EXPECT_EQ(block[9], 4);
    EXPECT_EQ(block[10], 5);
    EXPECT_EQ(block[11], 6);
    EXPECT_EQ(block[19], 10);
    EXPECT_EQ(block[20], 0);
}

TEST(SetupBlockFreeFall, FlagPassesFromTheSavedBlock)
{
    SetupBlockEditor editor(LastSetup(200, MODE_FREEFALL));
    HeaderBlock block{};
    ASSERT_EQ(editor.Finish(Now(), block), SetupOutcome::Ready);
    EXPECT_EQ(block[8], MODE_FREEFALL);
}

}  // namespace
}  // namespace shakemeter
