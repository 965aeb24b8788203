// The program killed in the middle of a real-time reading against the simulator loses at most one
// period of samples: the next start offers the reading, opens it as an unsaved recording and saves
// it under a name; after that normal end the start after it offers nothing.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "TempFolder.h"
#include "tools/ProgramRunner.h"
#include "tools/SimulatorProgram.h"
#include "recording/RecordingFile.h"
#include "recording/UnsavedCopy.h"

namespace shakemeter {
namespace {

namespace fs = std::filesystem;
using testing::RunProgram;

// Environment variables set for the test and put back afterwards.
class ScopedVariables {
public:
    void Set(const char* name, const std::string& value)
    {
        const char* old = std::getenv(name);
        m_saved.push_back({name, old != nullptr ? std::optional<std::string>(old) : std::nullopt});
        ::setenv(name, value.c_str(), 1);
    }
    void Unset(const char* name)
    {
        const char* old = std::getenv(name);
        m_saved.push_back({name, old != nullptr ? std::optional<std::string>(old) : std::nullopt});
        ::unsetenv(name);
    }
    ~ScopedVariables()
    {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            if (it->second)
                ::setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                ::unsetenv(it->first.c_str());
        }
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

class CrashCopyTest : public shakemeter::testing::TempFolderTest {
protected:
    CrashCopyTest() : TempFolderTest("crash-copy") {}
    void SetUp() override
    {
        TempFolderTest::SetUp();
        if (HasFatalFailure())
            return;
        fs::create_directories(m_dir + "/run");
        fs::permissions(m_dir + "/run", fs::perms::owner_all);
        m_env.Set("XDG_RUNTIME_DIR", m_dir + "/run");
        m_env.Set("HOME", m_dir + "/home");
        m_env.Set("XDG_CONFIG_HOME", m_dir + "/config");
        m_env.Set("XDG_DATA_HOME", m_dir + "/data");
        m_env.Set("QT_QPA_PLATFORM", "offscreen");
        for (const char* hook : {"SHAKEMETER_TEST_ANSWERS", "SHAKEMETER_TEST_SAVE_PATH", "SHAKEMETER_TEST_READING",
                                 "SHAKEMETER_TEST_CLOSE", "SHAKEMETER_TEMP_COPY_PERIOD_MS"})
            m_env.Unset(hook);
    }
    // The program's temporary copy, wherever its data folder puts it under the test's home.
    std::string CopyPath() const
    {
        std::error_code ec;
        for (const auto& entry : fs::recursive_directory_iterator(m_dir + "/data", ec))
            if (entry.path().filename() == "PreMeasure.Vibration")
                return entry.path().string();
        return {};
    }

    ScopedVariables m_env;
    const std::string m_program = SHAKEMETER_PROGRAM;
};

TEST_F(CrashCopyTest, AReadingKilledMidwayIsOfferedOpenedAndSavedAtTheNextStart)
{
    testing::Simulator sim("", {"--name", "crash"});
    ASSERT_FALSE(sim.socket().empty()) << "the simulator announces its socket";

    // A reading of up to 1000 points at the fastest rate (2 a second), copied every second.
    std::string copy;
    {
        ScopedVariables hooks;
        hooks.Set("SHAKEMETER_TEST_READING", "0:1000");
        hooks.Set("SHAKEMETER_TEMP_COPY_PERIOD_MS", "1000");
        testing::StartedProgram program(m_program, {});
        ASSERT_GT(program.pid(), 0);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(40);
        std::size_t rows = 0;
        while (std::chrono::steady_clock::now() < deadline && rows < 4) {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            copy = CopyPath();
            if (!copy.empty() && CopyHoldsUnsavedReading(copy)) {
                const RecordingFileResult read = ReadRecordingFile(copy);
                rows = read.ok() ? read.recording.m_pSamples.size() : 0;
            }
        }
        ASSERT_GE(rows, 4u) << "no periodic copy of the reading appeared";
        program.Stop(SIGKILL);
    }
    ASSERT_TRUE(CopyHoldsUnsavedReading(copy));
    const RecordingFileResult killed = ReadRecordingFile(copy);
    ASSERT_TRUE(killed.ok());
    EXPECT_EQ(killed.recording.m_bRealTime, 1);
    for (const auto& entry : fs::directory_iterator(fs::path(copy).parent_path()))
        EXPECT_EQ(entry.path().string().find(".tmp-"), std::string::npos) << entry.path();

    // Next start: Yes to the offer, then File > Exit; closing asks to save, and the name is given.
    const std::string kept = m_dir + "/kept.Vibration";
    {
        ScopedVariables hooks;
        hooks.Set("SHAKEMETER_TEST_ANSWERS", "yes,yes");
        hooks.Set("SHAKEMETER_TEST_SAVE_PATH", kept);
        hooks.Set("SHAKEMETER_TEST_CLOSE", "1");
        const testing::Outcome run = RunProgram(m_program, {}, 30000);
        EXPECT_EQ(run.code, 0) << run.err;
        EXPECT_NE(run.err.find("question: A reading was not saved when the program ended. Open it? -> yes\n"
                               "question: Do you want to save the data before closing? -> yes\n"
                               "save dialog: " +
                               kept + "\n"),
                  std::string::npos)
            << run.err;
    }
    const RecordingFileResult saved = ReadRecordingFile(kept);
    ASSERT_TRUE(saved.ok());
    EXPECT_EQ(saved.recording.m_pSamples, killed.recording.m_pSamples);
    EXPECT_EQ(saved.recording.m_header.dwSampleCount, killed.recording.m_header.dwSampleCount);
    EXPECT_TRUE(fs::exists(m_dir + "/kept.xls"));
    EXPECT_FALSE(CopyHoldsUnsavedReading(copy));

    // Saved and ended normally: nothing to offer.
    {
        ScopedVariables hooks;
        hooks.Set("SHAKEMETER_TEST_ANSWERS", "yes");
        hooks.Set("SHAKEMETER_TEST_CLOSE", "1");
        const testing::Outcome run = RunProgram(m_program, {}, 30000);
        EXPECT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(run.err.find("question:"), std::string::npos) << run.err;
    }
}

}  // namespace
}  // namespace shakemeter
