// The save command's pair of files under a disk that fills part way through: neither file changes
// and nothing half-written is left, whichever file the disk fills in.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "FailingCalls.h"
#include "TestRecordings.h"
#include "recording/RecordingFile.h"
#include "recording/RecordingSaver.h"
#include "recording/RecordingView.h"
#include "recording/TextReport.h"

namespace shakemeter {
namespace {

namespace fs = std::filesystem;
using test::FailingCalls;
using testing::MakeRecording;
using testing::MarchHeader;

std::string Contents(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(RecordingSaver, ADiskFullPartWayChangesNeitherFileAndLeavesNothingBehind)
{
    char pattern[] = "/tmp/shakemeter-saver-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    std::ofstream(dir + "/run.xls") << "previous report";
    std::ofstream(dir + "/run.Vibration") << "previous recording";

    Recording document;
    RecordingView view;
    InstallCompleteRecording(document, view,
                             MakeRecording(MarchHeader(), std::vector<SampleRow>(5000, {0.5, 0.25, 1.0, 1.2})));
    std::string bytes;
    AppendRecordingBytes(bytes, document, view.m_nShownCount);

    // Writes of 512 bytes: the disk fills in the report (first, middle, last write) or in the
    // recording after it.
    const int reportWrites = static_cast<int>((FormatTextReport(document, view).size() + 511) / 512);
    const int recordingWrites = static_cast<int>((bytes.size() + 511) / 512);
    for (const int writes : {0, reportWrites / 2, reportWrites - 1, reportWrites, reportWrites + recordingWrites / 2,
                             reportWrites + recordingWrites - 1}) {
        FailingCalls disk;
        disk.FillAfter(writes, 512);
        FileWriteError error;
        EXPECT_FALSE(SaveRecordingAndReport(dir + "/run.Vibration", document, view, &error, disk)) << writes;
        EXPECT_EQ(error.reason, std::strerror(ENOSPC));
        EXPECT_EQ(error.path, writes < reportWrites ? dir + "/run.xls" : dir + "/run.Vibration") << writes;
        EXPECT_EQ(Contents(dir + "/run.xls"), "previous report");
        EXPECT_EQ(Contents(dir + "/run.Vibration"), "previous recording");
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 2) << "a temporary file was left";
    }

    FileWriteError error;
    ASSERT_TRUE(SaveRecordingAndReport(dir + "/run.Vibration", document, view, &error));
    EXPECT_EQ(Contents(dir + "/run.Vibration"), bytes);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace shakemeter
