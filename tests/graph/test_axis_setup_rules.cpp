// The axis setup's rules: the texts its fields show while the user types, the two messages on OK,
// what OK stores and the real-time window it picks.

#include <gtest/gtest.h>

#include <vector>

#include "graph/core/AxisSetupRules.h"

namespace shakemeter {
namespace {

TEST(AxisFieldNormalisation, ValueAxisShowsTwoDecimalsWithinTwentyThousand)
{
    EXPECT_EQ(NormaliseValueAxisText("5"), "5.00");
    EXPECT_EQ(NormaliseValueAxisText("25000"), "20000.00");
    EXPECT_EQ(NormaliseValueAxisText("-30000"), "-20000.00");
    EXPECT_EQ(NormaliseValueAxisText("1e999"), "20000.00");  // pasted, far out of range
    EXPECT_EQ(NormaliseValueAxisText("-1e999"), "-20000.00");
    EXPECT_EQ(NormaliseValueAxisText("12.345"), "12.35");
    EXPECT_EQ(NormaliseValueAxisText("1.2.3"), "1.20");  // the number ends at the second point
    EXPECT_EQ(NormaliseValueAxisText("abc"), "0.00");
    EXPECT_EQ(NormaliseValueAxisText("."), "0.00");
    EXPECT_EQ(NormaliseValueAxisText("-5"), "-5.00");
}

TEST(AxisFieldNormalisation, SinglePrecisionDecidesTheRounding)
{
    // 0.045 lies above 0.045 in single precision but below it in double precision, 0.055 the
    // other way round.
    EXPECT_EQ(NormaliseValueAxisText("0.045"), "0.05");
    EXPECT_EQ(NormaliseValueAxisText("0.055"), "0.05");
    EXPECT_EQ(NormaliseValueAxisText("19999.999"), "20000.00");
    EXPECT_EQ(NormaliseValueAxisText("0.125"), "0.12");  // halfway cases round to even, as printf
}

TEST(AxisFieldNormalisation, EmptyTextAndLoneMinusAreLeftForTyping)
{
    EXPECT_EQ(NormaliseValueAxisText(""), "");
    EXPECT_EQ(NormaliseValueAxisText("-"), "-");
    EXPECT_EQ(NormaliseFirstRowText(""), "");
    EXPECT_EQ(NormaliseFirstRowText("-"), "-");
    EXPECT_EQ(NormaliseLastRowText("-", 50), "-");
    EXPECT_EQ(NormaliseLastRowText("", 50), "");
}

TEST(AxisFieldNormalisation, RowFieldsStayWithinTheShownRows)
{
    EXPECT_EQ(NormaliseFirstRowText("0"), "1");
    EXPECT_EQ(NormaliseFirstRowText("-7"), "1");
    EXPECT_EQ(NormaliseFirstRowText("12"), "12");
    EXPECT_EQ(NormaliseLastRowText("75", 50), "50");
    EXPECT_EQ(NormaliseLastRowText("49", 50), "49");
    EXPECT_EQ(NormaliseLastRowText("99999999999999", 50), "50");
    EXPECT_EQ(NormaliseFirstRowText("99999999999999"), "2147483647");
}

struct AxisOk : testing::Test {
    AxisSetupValues values;
    AxisSetupContext context;
    std::vector<int> table{100, 109, 118, 128, 139, 151};

    AxisOk()
    {
        values.m_nRangeFirst = 1;
        values.m_nRangeLast = 200;
        values.m_nRtWindowIdx = 4;
        context.m_nShownCount = 200;
    }
    AxisSetupOutcome Press(const AxisSetupTexts& texts) { return ApplyAxisSetup(texts, context, values); }
};

TEST_F(AxisOk, StoresTheRangeAsPresetAndCurrent)
{
    const AxisSetupOutcome outcome = Press({"-2.50", "4.00", "3", "150"});
    EXPECT_TRUE(outcome.Accepted());
    EXPECT_EQ(values.m_dPresetYMin, -2.5);
    EXPECT_EQ(values.m_dYMin, -2.5);
    EXPECT_EQ(values.m_dPresetYMax, 4.0);
    EXPECT_EQ(values.m_dYMax, 4.0);
    EXPECT_EQ(values.m_nRangeFirst, 3);
    EXPECT_EQ(values.m_nRangeLast, 150);
    EXPECT_EQ(values.m_nRtWindowIdx, 4);  // no reading was requested: the window stays
}

TEST_F(AxisOk, EqualBoundsShowTheYMessageAndStoreNothing)
{
    const AxisSetupValues before = values;
    const AxisSetupOutcome outcome = Press({"10.00", "10.00", "1", "200"});
    EXPECT_TRUE(outcome.m_bYOrderMessage);
    EXPECT_FALSE(outcome.m_bXOrderMessage);
    EXPECT_FALSE(outcome.Accepted());
    EXPECT_EQ(values, before);
}

TEST_F(AxisOk, ClearedOrHalfTypedFieldsReadAsZero)
{
    EXPECT_TRUE(Press({"-", "", "1", "200"}).m_bYOrderMessage);
    EXPECT_TRUE(Press({"", "3.00", "1", "200"}).Accepted());
    EXPECT_EQ(values.m_dYMin, 0.0);
}

TEST_F(AxisOk, DuringAReadingTheLastRowIsTheNewest)
{
    context.m_bReading = true;
    context.m_nShownCount = 60;
    // The field still holds the last row of an earlier, shorter state.
    EXPECT_TRUE(Press({"-1.00", "1.00", "1", "1"}).Accepted());
    EXPECT_EQ(values.m_nRangeLast, 60);
}

TEST_F(AxisOk, WithOneRowShownOnlyTheValueRangeIsChecked)
{
    context.m_nShownCount = 1;
    values.m_nRangeLast = 1;
    EXPECT_TRUE(Press({"-1.00", "1.00", "1", "1"}).Accepted());
    EXPECT_EQ(values.m_dPresetYMax, 1.0);
    EXPECT_EQ(values.m_nRangeFirst, 1);
    EXPECT_EQ(values.m_nRangeLast, 1);

    context.m_bReading = true;  // the first sample of a reading
    EXPECT_TRUE(Press({"-2.00", "2.00", "1", "1"}).Accepted());
    EXPECT_TRUE(Press({"2.00", "2.00", "1", "1"}).m_bYOrderMessage);
}

TEST_F(AxisOk, PicksTheFirstRealTimeWindowThatHoldsTheShownRows)
{
    context.m_nRtRequested = 1000;
    context.m_nRtWindow = table;
    context.m_nShownCount = 120;
    const AxisSetupOutcome outcome = Press({"-1.00", "1.00", "1", "120"});
    ASSERT_TRUE(outcome.Accepted());
    EXPECT_EQ(outcome.m_nFoundRtWindowIdx, 3);
    EXPECT_EQ(values.m_nRtWindowIdx, 3);  // 128 is the first of at least 120 - 1 + 1

    ASSERT_TRUE(Press({"-1.00", "1.00", "12", "120"}).Accepted());
    EXPECT_EQ(values.m_nRtWindowIdx, 1);  // 109 >= 120 - 12 + 1
}

TEST_F(AxisOk, RealTimeWindowSearchStaysInsideTheTableAndTheRequest)
{
    context.m_nRtWindow = table;
    context.m_nShownCount = 500;  // larger than every entry
    context.m_nRtRequested = 100000;
    const AxisSetupOutcome outcome = Press({"-1.00", "1.00", "1", "500"});
    ASSERT_TRUE(outcome.Accepted());
    EXPECT_EQ(outcome.m_nFoundRtWindowIdx, -1);
    EXPECT_EQ(values.m_nRtWindowIdx, 4);  // nothing fits: the window in force stays

    context.m_nShownCount = 130;
    context.m_nRtRequested = 3;  // only the first three entries count
    ASSERT_TRUE(Press({"-1.00", "1.00", "1", "130"}).Accepted());
    EXPECT_EQ(values.m_nRtWindowIdx, 4);

    context.m_nRtWindow = {};  // no reading since the program started
    context.m_nRtRequested = 10;
    ASSERT_TRUE(Press({"-1.00", "1.00", "1", "130"}).Accepted());
    EXPECT_EQ(values.m_nRtWindowIdx, 4);
}

TEST(AxisNumberTexts, LeadingNumbersAsTheFieldsAreRead)
{
    EXPECT_EQ(ParseLeadingDecimal("  -2.5e1x"), -25.0);
    EXPECT_EQ(ParseLeadingDecimal("+.5"), 0.5);
    EXPECT_EQ(ParseLeadingDecimal("3e"), 3.0);  // an exponent without digits is not part of it
    EXPECT_EQ(ParseLeadingDecimal("0.0000000000000000000000001e-999"), 0.0);  // too small is 0, not infinite
    EXPECT_EQ(ParseLeadingInt(" 42abc"), 42);
    EXPECT_EQ(ParseLeadingInt("-99999999999"), -2147483647 - 1);
}

}  // namespace
}  // namespace shakemeter
