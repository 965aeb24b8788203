#pragma once
// What a test of shakemeter-cli sets up before running it as a script would: local times in UTC
// (the child inherits the zone, so its local times are the ones a test writes) and a folder of the
// test's own for the files it writes and reads, removed afterwards.

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

#include <unistd.h>

#include <gtest/gtest.h>

namespace shakemeter::testing {

class CliTestFolder : public ::testing::Test {
protected:
    // `kind` names the folder, so that test programs running at once keep apart.
    explicit CliTestFolder(std::string kind) : m_kind(std::move(kind)) {}

    void SetUp() override
    {
        setenv("TZ", "UTC0", 1);
        m_dir = std::filesystem::temp_directory_path() / (m_kind + "-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::string Path(const std::string& name) const { return (m_dir / name).string(); }

    std::filesystem::path m_dir;

private:
    std::string m_kind;
};

}  // namespace shakemeter::testing
