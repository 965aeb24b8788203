#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <climits>
#include <sys/stat.h>

#include "FailingCalls.h"
#include "recording/AtomicFile.h"
#include "TempFolder.h"

namespace shakemeter {
namespace {

using test::FailingCalls;

class AtomicFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = shakemeter::testing::MakeTempFolder("shakemeter-atomic");
        ASSERT_FALSE(m_dir.empty());
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::string path(const std::string& name) const { return m_dir + "/" + name; }
    static std::string contents(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    long entries() const { return std::distance(std::filesystem::directory_iterator(m_dir), {}); }
    void put(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }

    std::string m_dir;
};

TEST_F(AtomicFileTest, CreatesAndReplacesLeavingNoTemporaries)
{
    ASSERT_TRUE(WriteFileAtomically(path("a.Vibration"), "first"));
    EXPECT_EQ(contents(path("a.Vibration")), "first");
    ::chmod(path("a.Vibration").c_str(), 0640);

    FailingCalls shortWrites;
    shortWrites.maxWrite = 3;
    const std::string big(10000, 'z');
    ASSERT_TRUE(WriteFileAtomically(path("a.Vibration"), big, shortWrites));
    EXPECT_EQ(contents(path("a.Vibration")), big);
    struct stat info {};
    ::stat(path("a.Vibration").c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(entries(), 1);

    ASSERT_TRUE(WriteFileAtomically(path("empty"), ""));
    EXPECT_EQ(std::filesystem::file_size(path("empty")), 0u);
}

TEST_F(AtomicFileTest, AnyFailingStepKeepsTheOldContent)
{
    put("a.Vibration", "old");
    for (auto step : {FailingCalls::Fail::Write, FailingCalls::Fail::Fsync, FailingCalls::Fail::Close,
                      FailingCalls::Fail::Rename}) {
        FailingCalls calls;
        calls.fail = step;
        calls.maxWrite = 100;
        calls.writesBeforeFailure = 2;  // fail in the middle of the bytes
        EXPECT_FALSE(WriteFileAtomically(path("a.Vibration"), std::string(1000, 'n'), calls));
        EXPECT_EQ(contents(path("a.Vibration")), "old");
        EXPECT_EQ(entries(), 1);
    }
    EXPECT_FALSE(WriteFileAtomically(path("no/such/folder"), "x"));
    EXPECT_FALSE(WriteFileAtomically("", "x"));
}

TEST_F(AtomicFileTest, SeveralFilesAreWrittenBeforeAnyIsReplaced)
{
    put("r.Vibration", "old recording");
    put("r.xls", "old report");
    FailingCalls calls;
    calls.fail = FailingCalls::Fail::Write;
    calls.writesBeforeFailure = 1;  // the recording is written, the report fails
    EXPECT_FALSE(WriteFilesAtomically({{path("r.Vibration"), "new recording"}, {path("r.xls"), "new report"}}, calls));
    EXPECT_EQ(contents(path("r.Vibration")), "old recording");
    EXPECT_EQ(contents(path("r.xls")), "old report");
    EXPECT_EQ(calls.renames, 0);
    EXPECT_EQ(entries(), 2);

    FailingCalls late;
    late.fail = FailingCalls::Fail::SecondRename;
    EXPECT_FALSE(WriteFilesAtomically({{path("r.Vibration"), "new recording"}, {path("r.xls"), "new report"}}, late));
    EXPECT_EQ(contents(path("r.xls")), "old report");
    EXPECT_EQ(contents(path("r.Vibration")), "old recording") << "the file already replaced is put back";
    EXPECT_EQ(entries(), 2);

    // A first file that did not exist before goes again.
    FailingCalls lateNew;
    lateNew.fail = FailingCalls::Fail::SecondRename;
    EXPECT_FALSE(
        WriteFilesAtomically({{path("n.Vibration"), "new recording"}, {path("r.xls"), "new report"}}, lateNew));
    EXPECT_FALSE(std::filesystem::exists(path("n.Vibration")));
    EXPECT_EQ(entries(), 2);

    ASSERT_TRUE(WriteFilesAtomically({{path("r.Vibration"), "new recording"}, {path("r.xls"), "new report"}}));
    EXPECT_EQ(contents(path("r.Vibration")), "new recording");
    EXPECT_EQ(contents(path("r.xls")), "new report");
}

TEST_F(AtomicFileTest, ALinkedTargetReplacesTheFileItPointsTo)
{
    std::filesystem::create_directory(path("real"));
    put("real/data.Vibration", "old");
    std::filesystem::create_symlink(path("real/data.Vibration"), path("link.Vibration"));
    ASSERT_TRUE(WriteFileAtomically(path("link.Vibration"), "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(path("link.Vibration")));
    EXPECT_EQ(contents(path("real/data.Vibration")), "new");
}

TEST_F(AtomicFileTest, ReadOnlyTargetsAndFoldersAreRefusedBeforeAnythingIsWritten)
{
    // A read-only recording beside a writable report: neither is replaced, whoever saves.
    put("r.Vibration", "protected");
    put("r.xls", "old report");
    ::chmod(path("r.Vibration").c_str(), 0444);
    FileWriteError error;
    FailingCalls calls;
    EXPECT_FALSE(WriteFilesAtomically({{path("r.xls"), "new report"}, {path("r.Vibration"), "new"}}, calls, &error));
    EXPECT_EQ(contents(path("r.Vibration")), "protected");
    EXPECT_EQ(contents(path("r.xls")), "old report");
    EXPECT_EQ(calls.renames, 0);
    EXPECT_EQ(error.path, path("r.Vibration"));
    EXPECT_EQ(error.reason, "the file is read-only");
    EXPECT_EQ(entries(), 2);

    // A folder named like the second file would have failed only after the first was replaced.
    std::filesystem::create_directory(path("d.Vibration"));
    put("d.xls", "old report");
    EXPECT_FALSE(WriteFilesAtomically({{path("d.xls"), "new report"}, {path("d.Vibration"), "new"}}, calls, &error));
    EXPECT_EQ(contents(path("d.xls")), "old report");
    EXPECT_EQ(error.path, path("d.Vibration"));
    EXPECT_EQ(error.reason, std::strerror(EISDIR));
    EXPECT_EQ(entries(), 4);
}

TEST_F(AtomicFileTest, AFailureNamesTheFileAndTheSystemsReason)
{
    FileWriteError error;
    FailingCalls calls;
    calls.fail = FailingCalls::Fail::Write;
    EXPECT_FALSE(WriteFilesAtomically({{path("r.xls"), "report"}, {path("r.Vibration"), "recording"}}, calls, &error));
    EXPECT_EQ(error.path, path("r.xls"));
    EXPECT_EQ(error.reason, std::strerror(ENOSPC));

    calls.fail = FailingCalls::Fail::Fsync;
    EXPECT_FALSE(WriteFileAtomically(path("a.Vibration"), "x", calls, &error));
    EXPECT_EQ(error.reason, std::strerror(EIO));

    EXPECT_FALSE(WriteFileAtomically(path("no/such/folder"), "x", FileSystemCalls::System(), &error));
    EXPECT_EQ(error.path, path("no/such/folder"));
    EXPECT_EQ(error.reason, std::strerror(ENOENT));
    EXPECT_EQ(entries(), 0);
}

TEST_F(AtomicFileTest, AReadOnlyFolderIsRefusedForEveryFileOfTheUnit)
{
    put("r.xls", "old report");
    const std::string folder = m_dir;
    ::chmod(folder.c_str(), 0555);
    FileWriteError error;
    EXPECT_FALSE(WriteFilesAtomically({{path("r.xls"), "report"}, {path("r.Vibration"), "recording"}},
                                      FileSystemCalls::System(), &error));
    EXPECT_EQ(error.path, path("r.xls"));
    EXPECT_EQ(error.reason, "the folder is read-only");
    ::chmod(folder.c_str(), 0755);
    EXPECT_EQ(contents(path("r.xls")), "old report");
    EXPECT_EQ(entries(), 1);
}

TEST_F(AtomicFileTest, LongNamesAreWrittenUpToWhatTheSystemAllows)
{
    // The longest name the system allows is written whole, though its temporary name is shorter.
    const std::string longest = path(std::string(NAME_MAX - 10, 'n') + ".Vibration");
    ASSERT_TRUE(WriteFileAtomically(longest, "bytes"));
    EXPECT_EQ(contents(longest), "bytes");
    EXPECT_EQ(entries(), 1);

    FileWriteError error;
    const std::string tooLong = path(std::string(NAME_MAX - 9, 'n') + ".Vibration");
    EXPECT_FALSE(WriteFileAtomically(tooLong, "bytes", FileSystemCalls::System(), &error));
    EXPECT_EQ(error.path, tooLong);
    EXPECT_EQ(error.reason, std::strerror(ENAMETOOLONG));

    std::string deep = m_dir;
    while (deep.size() < PATH_MAX)
        deep += "/folder";
    EXPECT_FALSE(WriteFileAtomically(deep + "/a.Vibration", "bytes", FileSystemCalls::System(), &error));
    EXPECT_EQ(error.reason, std::strerror(ENAMETOOLONG));
    EXPECT_EQ(entries(), 1);
}

TEST_F(AtomicFileTest, NamesOutsideLatin1AreWrittenAsGiven)
{
    // The name's UTF-8 bytes are the file's name: nothing is replaced by a question mark.
    const std::string name = path("\xe6\x8c\xaf\xe5\x8b\x95-\xce\xa9-\xf0\x9f\x93\x88.Vibration");
    ASSERT_TRUE(WriteFileAtomically(name, "bytes"));
    EXPECT_EQ(contents(name), "bytes");
    EXPECT_EQ(std::filesystem::directory_iterator(m_dir)->path().string(), name);
}

}  // namespace
}  // namespace shakemeter
