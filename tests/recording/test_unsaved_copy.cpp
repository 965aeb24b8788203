// The temporary copy and its mark: the mark follows a complete copy, never a failed one.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "FailingCalls.h"
#include "recording/UnsavedCopy.h"

namespace shakemeter {
namespace {

using test::FailingCalls;

class UnsavedCopyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/unsaved-copy-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_dir = pattern;
        m_copy = m_dir + "/PreMeasure.Vibration";
    }
    void TearDown() override { std::system(("rm -rf '" + m_dir + "'").c_str()); }

    std::string Read(const std::string& path) const
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::string m_dir;
    std::string m_copy;
};

TEST_F(UnsavedCopyTest, TheMarkFollowsWhatTheCopyHolds)
{
    EXPECT_FALSE(CopyHoldsUnsavedReading(m_copy));
    ASSERT_TRUE(WriteTemporaryCopy(m_copy, "reading 1", true));
    EXPECT_TRUE(CopyHoldsUnsavedReading(m_copy));
    ASSERT_TRUE(WriteTemporaryCopy(m_copy, "reading 2", true));
    EXPECT_TRUE(CopyHoldsUnsavedReading(m_copy));
    EXPECT_EQ(Read(m_copy), "reading 2");

    // A download (held by the logger anyway) replaces it: nothing to offer.
    ASSERT_TRUE(WriteTemporaryCopy(m_copy, "download", false));
    EXPECT_FALSE(CopyHoldsUnsavedReading(m_copy));

    ASSERT_TRUE(WriteTemporaryCopy(m_copy, "reading 3", true));
    ClearUnsavedMark(m_copy);
    EXPECT_FALSE(CopyHoldsUnsavedReading(m_copy));
    EXPECT_EQ(Read(m_copy), "reading 3") << "the copy stays for Reload";
}

TEST_F(UnsavedCopyTest, AnEmptyOrMissingCopyIsNothingToOffer)
{
    // A reading stopped before its first sample leaves an empty copy.
    ASSERT_TRUE(WriteTemporaryCopy(m_copy, "", true));
    EXPECT_FALSE(CopyHoldsUnsavedReading(m_copy));
    ASSERT_TRUE(WriteTemporaryCopy(m_copy, "rows", true));
    std::remove(m_copy.c_str());
    EXPECT_FALSE(CopyHoldsUnsavedReading(m_copy));
}

TEST_F(UnsavedCopyTest, AFailedWriteKeepsTheCopyAndItsMarkAsTheyWere)
{
    FailingCalls disk;  // a disk that fills at the first write once armed
    ASSERT_TRUE(WriteTemporaryCopy(m_copy, "saved download", false, disk));
    disk.fail = FailingCalls::Fail::Write;
    FileWriteError error;
    EXPECT_FALSE(WriteTemporaryCopy(m_copy, "new reading", true, disk, &error));
    EXPECT_EQ(error.path, m_copy);
    EXPECT_EQ(error.reason, "No space left on device");
    EXPECT_FALSE(CopyHoldsUnsavedReading(m_copy)) << "a mark beside the old copy would offer the wrong data";
    EXPECT_EQ(Read(m_copy), "saved download");

    disk.fail = FailingCalls::Fail::Nothing;
    ASSERT_TRUE(WriteTemporaryCopy(m_copy, "reading", true, disk));
    disk.fail = FailingCalls::Fail::Write;
    EXPECT_FALSE(WriteTemporaryCopy(m_copy, "download", false, disk));
    EXPECT_TRUE(CopyHoldsUnsavedReading(m_copy)) << "the reading is still the copy";
    EXPECT_EQ(Read(m_copy), "reading");
}

}  // namespace
}  // namespace shakemeter
