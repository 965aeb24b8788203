#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "recording/CsvExport.h"
#include "recording/RecordingView.h"
#include "tests/TestRecordings.h"

namespace shakemeter {
namespace {

// Values of any size are written whole as "%.2f" (a file may hold values the logger never makes).
TEST(CsvExport, HugeValuesAreWrittenWholeAsFixedTwoDecimals)
{
    Recording document;
    RecordingView view;
    InstallCompleteRecording(document, view,
                             testing::MakeRecording(testing::MarchHeader(), {SampleRow{1e100, -2.5e300, 0.125, 1.0}}));
    const std::string csv = BuildCsv(document, view);

    char expected[1024];
    std::snprintf(expected, sizeof expected, "%.2f,%.2f,0.12,1.00\n", 1e100, -2.5e300);
    const std::string row = csv.substr(csv.find('\n') + 1);
    ASSERT_GT(row.size(), std::string(expected).size());
    EXPECT_EQ(row.substr(row.size() - std::string(expected).size()), expected);
    EXPECT_EQ(row.rfind("1,", 0), 0u);
}

}  // namespace
}  // namespace shakemeter
