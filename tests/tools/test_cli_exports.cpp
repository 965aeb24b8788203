// shakemeter-cli's exports as a script uses them: csv of a range and in a unit (and byte for byte
// the table of old without either), the HDF5 file, the event and PSD tables, and the summary of
// many recordings with a bad file among them.

#include <QCryptographicHash>
#include <QFile>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <fcntl.h>
#include <stdlib.h>

#include <gtest/gtest.h>

#include "TestRecordings.h"
#include "recording/RecordingFile.h"
#include "tools/ProgramRunner.h"

namespace {

namespace fs = std::filesystem;
using namespace shakemeter;
using namespace shakemeter::testing;

const std::string kCli = SHAKEMETER_BINARY_DIR "/tools/shakemeter-cli";
const std::string kSamples = SHAKEMETER_SOURCE_DIR "/samples/";

class CliExports : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("TZ", "UTC0", 1);
        m_dir = fs::temp_directory_path() / ("cli-exports-" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string Path(const std::string& name) const { return (m_dir / name).string(); }

    static std::string Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static std::vector<std::string> Lines(const std::string& text)
    {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    fs::path m_dir;
};

// The tables written before the range and the unit existed, as SHA-256 of the bytes (time zone
// UTC): a change of any byte of the old table shows here.
TEST_F(CliExports, CsvWithoutRangeOrUnitWritesTheTableOfOldByteForByte)
{
    const struct {
        const char* sample;
        bool frequency;
        const char* sha256;
    } tables[] = {
        {"logged-normal", false, "ccfffb1c74077369d25c0ecfabb715e7008c983ee16a376907d605327bdbac4c"},
        {"motion-events", false, "6f5aa95d20e129f9c5c2bdc227eb93c9fc1b3a95021b19c57664f8b65b84bca7"},
        {"realtime", false, "7cb3f1ae9c806728f35798822bce7a45ebe821aa39ac66b71a5cdd02f4fb1e2d"},
        {"spectrum", false, "c1decb6f2e80aa0336b2e2467ae870bfab9d1c0388ac70ea63f302ed9efc4f17"},
        {"spectrum", true, "f1d301466aa74fc9c784d383fceb17f2d4c1927c741822231fd7db7eed852a57"},
    };
    for (const auto& t : tables) {
        const std::string out = Path(std::string(t.sample) + ".csv");
        std::vector<std::string> args{"csv", kSamples + t.sample + ".Vibration", out};
        if (t.frequency)
            args.push_back("--frequency");
        ASSERT_EQ(RunProgram(kCli, args).code, 0) << t.sample;
        const std::string bytes = Read(out);
        const QByteArray digest =
            QCryptographicHash::hash(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())),
                                     QCryptographicHash::Sha256)
                .toHex();
        EXPECT_EQ(digest.toStdString(), t.sha256) << t.sample << (t.frequency ? " --frequency" : "");
    }
}

TEST_F(CliExports, CsvOfARangeInAUnitKeepsTheRowNumbersAndLabels)
{
    const std::string sample = kSamples + "logged-normal.Vibration";
    const std::string whole = Path("whole.csv");
    const std::string range = Path("range.csv");
    ASSERT_EQ(RunProgram(kCli, {"csv", sample, whole}).code, 0);
    ASSERT_EQ(RunProgram(kCli, {"csv", sample, range, "--from", "100", "--to", "109"}).code, 0);
    const std::vector<std::string> all = Lines(Read(whole));
    const std::vector<std::string> part = Lines(Read(range));
    ASSERT_EQ(part.size(), 11u);
    EXPECT_TRUE(std::equal(part.begin() + 1, part.end(), all.begin() + 101));

    const std::string metres = Path("metres.csv");
    ASSERT_EQ(RunProgram(kCli, {"csv", sample, metres, "--unit", "m/s2"}).code, 0);
    const std::vector<std::string> scaled = Lines(Read(metres));
    ASSERT_EQ(scaled.size(), all.size());
    EXPECT_EQ(scaled[0], "No.,Time,X (m/s2),Y (m/s2),Z (m/s2),Vector Sum (m/s2)");
    // The same row number and time label, the value times standard gravity.
    const auto field = [](const std::string& line, int n) {
        std::istringstream in(line);
        std::string f;
        for (int i = 0; i <= n; ++i)
            std::getline(in, f, ',');
        return f;
    };
    for (std::size_t k = 1; k < all.size(); k += 97) {
        EXPECT_EQ(field(scaled[k], 1), field(all[k], 1));
        EXPECT_NEAR(std::stod(field(scaled[k], 4)), std::stod(field(all[k], 4)) * 9.80665, 0.005);
    }

    EXPECT_EQ(RunProgram(kCli, {"csv", sample, Path("x.csv"), "--from", "5000"}).code, 1);
    EXPECT_EQ(RunProgram(kCli, {"csv", sample, Path("x.csv"), "--from", "9", "--to", "3"}).code, 1);
    EXPECT_EQ(RunProgram(kCli, {"csv", sample, Path("x.csv"), "--unit", "furlongs"}).code, 2);
    EXPECT_EQ(
        RunProgram(kCli, {"csv", kSamples + "spectrum.Vibration", Path("x.csv"), "--frequency", "--to", "3"}).code, 2);
    EXPECT_FALSE(fs::exists(Path("x.csv")));
}

TEST_F(CliExports, Hdf5WritesAFileTheHdf5ToolsRead)
{
    const std::string out = Path("motion.h5");
    const Outcome outcome = RunProgram(kCli, {"hdf5", kSamples + "motion-events.Vibration", out});
    ASSERT_EQ(outcome.code, 0) << outcome.err;
    EXPECT_EQ(Read(out).substr(0, 8), "\x89HDF\r\n\x1a\n");

    const Outcome refused = RunProgram(kCli, {"hdf5", kSamples + "motion-events.Vibration", Path("no/such/x.h5")});
    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(refused.err.find("cannot write " + Path("no/such/x.h5")), std::string::npos) << refused.err;
}

TEST_F(CliExports, EventAndPsdTablesGoToTheFileNamed)
{
    const std::string events = Path("events.csv");
    const Outcome e = RunProgram(kCli, {"events", kSamples + "motion-events.Vibration", "--csv", events});
    ASSERT_EQ(e.code, 0) << e.err;
    EXPECT_EQ(e.out, "");
    const std::vector<std::string> rows = Lines(Read(events));
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ(rows[0].rfind("Type,First row,Last row,Time,", 0), 0u);
    // Twelve shocks and the three falls the logger itself recorded.
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [](const auto& r) { return r.rfind("shock,", 0) == 0; }), 12);
    EXPECT_EQ(
        std::count_if(rows.begin(), rows.end(), [](const auto& r) { return r.rfind("logged free fall,", 0) == 0; }), 3);

    const std::string psd = Path("psd.csv");
    const Outcome p = RunProgram(kCli, {"psd", kSamples + "logged-normal.Vibration", "--segment", "64", "--csv", psd});
    ASSERT_EQ(p.code, 0) << p.err;
    const std::vector<std::string> lines = Lines(Read(psd));
    ASSERT_EQ(lines.size(), 1u + 33u + 1u);
    EXPECT_EQ(lines[0], "Frequency (Hz),X (g^2/Hz),Y (g^2/Hz),Z (g^2/Hz)");
    EXPECT_EQ(lines.back().rfind("Grms (g),", 0), 0u);

    // One output at a time: a table and a document together are a usage error.
    EXPECT_EQ(RunProgram(kCli, {"events", kSamples + "motion-events.Vibration", "--json", "--csv", Path("x.csv")}).code,
              2);
    EXPECT_FALSE(fs::exists(Path("x.csv")));
}

TEST_F(CliExports, SummaryListsEveryFileInOrderAndNamesTheUnreadableOne)
{
    std::vector<std::string> files;
    for (const char* name : {"logged-normal", "motion-events"})
        files.push_back(kSamples + name + ".Vibration");
    files.push_back(Path("missing.Vibration"));
    for (const char* name : {"realtime", "spectrum"})
        files.push_back(kSamples + name + ".Vibration");

    std::vector<std::string> one{"summary"};
    one.insert(one.end(), files.begin(), files.end());
    std::vector<std::string> two = one;
    one.insert(one.end(), {"--jobs", "1", "--csv", Path("one.csv")});
    two.insert(two.end(), {"--jobs", "2", "--csv", Path("two.csv")});
    const Outcome first = RunProgram(kCli, one);
    const Outcome second = RunProgram(kCli, two);
    EXPECT_EQ(first.code, 1);
    EXPECT_EQ(first.err, "shakemeter-cli: cannot read " + Path("missing.Vibration") + ": no such file\n");
    EXPECT_EQ(first.out, second.out);
    EXPECT_EQ(Read(Path("one.csv")), Read(Path("two.csv")));

    const std::vector<std::string> lines = Lines(first.out);
    ASSERT_EQ(lines.size(), 6u);
    for (std::size_t i = 0; i < files.size(); ++i)
        EXPECT_EQ(lines[i + 1].rfind(files[i], 0), 0u) << lines[i + 1];
    EXPECT_NE(lines[2].find("2026-05-06T08:30:00+00:00"), std::string::npos) << lines[2];
    EXPECT_NE(lines[3].find("cannot read: no such file"), std::string::npos);
    EXPECT_EQ(Lines(Read(Path("one.csv"))).size(), 6u);

    EXPECT_EQ(RunProgram(kCli, {"summary", files[0], "--jobs", "0"}).code, 2);
}

TEST_F(CliExports, SummaryCountsTheFilesDoneOnATerminalOnly)
{
    const std::vector<std::string> args{"summary", kSamples + "realtime.Vibration", kSamples + "spectrum.Vibration"};
    // Standard error on a pipe: nothing but failures.
    EXPECT_EQ(RunProgram(kCli, args).err, "");

    // Standard error on a terminal: a line that counts the files and is cleared at the end.
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const int terminal = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    const pid_t pid = SpawnWithOutputs(kCli, args, out[1], terminal);
    ASSERT_GT(pid, 0);
    ::close(out[1]);
    ::close(terminal);
    std::string stdoutText, terminalText;
    ReadUntilBothEnd(out[0], master, stdoutText, terminalText, kPatienceMs);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(out[0]);
    ::close(master);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_NE(terminalText.find("\rsummary: 1 of 2 files"), std::string::npos) << terminalText;
    EXPECT_NE(terminalText.find("\rsummary: 2 of 2 files"), std::string::npos) << terminalText;
    EXPECT_TRUE(terminalText.ends_with("\r\033[K")) << terminalText;
    EXPECT_EQ(Lines(stdoutText).size(), 3u);
}

}  // namespace
