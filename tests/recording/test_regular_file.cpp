#include "recording/RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace shakemeter {
namespace {

namespace fs = std::filesystem;

class RegularFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/regular-file-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_dir = pattern;
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }
    std::string At(const char* name) const { return (m_dir / name).string(); }

    fs::path m_dir;
};

TEST_F(RegularFileTest, ARegularFileOpensWithItsSizeAndReadsWaitingAsUsual)
{
    const std::string path = At("data");
    std::ofstream(path) << "twelve bytes";
    const RegularFileOpening opening = OpenRegularFile(path);
    ASSERT_TRUE(opening.file.isOpen());
    EXPECT_EQ(opening.error, 0);
    EXPECT_EQ(opening.size, 12u);
    EXPECT_EQ(::fcntl(opening.file.fd(), F_GETFL) & O_NONBLOCK, 0);
    char first = 0;
    EXPECT_EQ(::read(opening.file.fd(), &first, 1), 1);
    EXPECT_EQ(first, 't');
}

TEST_F(RegularFileTest, WhatIsNoRegularFileIsRefusedWithoutWaiting)
{
    // A pipe with no writer: opening it plainly would wait for one for ever.
    const std::string pipe = At("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    RegularFileOpening opening = OpenRegularFile(pipe);
    EXPECT_FALSE(opening.file.isOpen());
    EXPECT_EQ(opening.error, 0);

    opening = OpenRegularFile(m_dir.string());
    EXPECT_FALSE(opening.file.isOpen());
    EXPECT_EQ(opening.error, EISDIR);

    opening = OpenRegularFile(At("missing"));
    EXPECT_FALSE(opening.file.isOpen());
    EXPECT_EQ(opening.error, ENOENT);
}

TEST_F(RegularFileTest, TheDescriptorIsClosedOnceWhenItsOwnerGoes)
{
    const std::string path = At("data");
    std::ofstream(path) << "x";
    int fd = -1;
    {
        RegularFileOpening opening = OpenRegularFile(path);
        RegularFile moved = std::move(opening.file);
        fd = moved.fd();
        EXPECT_FALSE(opening.file.isOpen());
        ASSERT_GE(fd, 0);
        EXPECT_NE(::fcntl(fd, F_GETFD), -1);
    }
    EXPECT_EQ(::fcntl(fd, F_GETFD), -1);
}

}  // namespace
}  // namespace shakemeter
