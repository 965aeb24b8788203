#pragma once
// A new, empty folder under /tmp for one test, named from the given start; the test removes it.

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

#include <gtest/gtest.h>

namespace shakemeter::testing {

// The folder's path, or an empty string when none could be made.
inline std::string MakeTempFolder(const std::string& start)
{
    std::string pattern = "/tmp/" + start + "-XXXXXX";
    return ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}

// A fixture whose every test gets a folder of its own in m_dir, removed after the test.
class TempFolderTest : public ::testing::Test {
protected:
    explicit TempFolderTest(std::string start) : m_start(std::move(start)) {}

    void SetUp() override
    {
        m_dir = MakeTempFolder(m_start);
        ASSERT_FALSE(m_dir.empty());
    }
    void TearDown() override
    {
        if (!m_dir.empty())
            std::filesystem::remove_all(m_dir);
    }

    std::string m_dir;

private:
    std::string m_start;
};

}  // namespace shakemeter::testing
