// shakemeter-cli's file verbs as a script uses them: the summary, the report and the table of a
// recording file, and the exit status and message of every kind of failure.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include "CliTestFolder.h"
#include "TestRecordings.h"
#include "recording/RecordingFile.h"
#include "recording/RecordingView.h"
#include "recording/TextReport.h"
#include "tools/ProgramRunner.h"

namespace {

namespace fs = std::filesystem;
using namespace shakemeter;
using namespace shakemeter::testing;

const std::string kCli = SHAKEMETER_BINARY_DIR "/tools/shakemeter-cli";

class CliFiles : public CliTestFolder {
protected:
    CliFiles() : CliTestFolder("cli-files") {}

    // Three rows at 50 ms on 5 March 2023, 14:07:09, the maximum of X reached twice.
    std::string WriteLogged()
    {
        const Recording rec =
            MakeRecording(MarchHeader(), {{1.23, -0.5, 1.0, 1.68}, {0.5, 0.25, 0.98, 1.12}, {1.23, 0.0, 1.02, 1.6}});
        const std::string path = Path("run1.Vibration");
        EXPECT_TRUE(WriteRecordingFile(path, rec, 3));
        return path;
    }

    static std::string Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

TEST_F(CliFiles, InfoPrintsTheSummaryLinesOfTheReport)
{
    const Outcome outcome = RunProgram(kCli, {"info", WriteLogged()});
    EXPECT_EQ(outcome.code, 0);
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(outcome.out,
              ">>Start Time: 05/03/23 14:07:09\n"
              ">>Sampling rate: 0.050sec    Samplings: 3\n"
              ">>Unit: g   Mode: Normal\n"
              ">>X MAX: 1.23 @ 05/03/23 14:07:09 100ms  X MIN: 0.50 @ 05/03/23 14:07:09 50ms  X AVG: 0.99"
              "   X Threshold: NONE\n"
              ">>Y MAX: 0.25 @ 05/03/23 14:07:09 50ms  Y MIN: -0.50 @ 05/03/23 14:07:09  Y AVG: -0.08"
              "   Y Threshold: NONE\n"
              ">>Z MAX: 1.02 @ 05/03/23 14:07:09 100ms  Z MIN: 0.98 @ 05/03/23 14:07:09 50ms  Z AVG: 1.00"
              "   Z Threshold: NONE\n"
              ">>Vector Sum MAX: 1.68 @ 05/03/23 14:07:09  Vector Sum MIN: 1.12 @ 05/03/23 14:07:09 50ms"
              "  Vector Sum AVG: 1.47\n");
}

TEST_F(CliFiles, ExportWritesTheReportTheSaveCommandWrites)
{
    const std::string input = WriteLogged();
    const std::string out = Path("report.xls");
    const Outcome outcome = RunProgram(kCli, {"export", input, out});
    EXPECT_EQ(outcome.code, 0);
    EXPECT_EQ(outcome.out, "");

    Recording document;
    RecordingView view;
    InstallCompleteRecording(document, view, std::move(ReadRecordingFile(input).recording));
    EXPECT_EQ(Read(out), FormatTextReport(document, view));
    EXPECT_NE(Read(out).find("\r\n3\t1.23\t0.00\t1.02\t1.60\tg\t 05/03/23 14:07:09 100ms \t\r\n"), std::string::npos);
}

TEST_F(CliFiles, CsvHasAHeaderAndOneRowPerShownSample)
{
    const std::string out = Path("run1.csv");
    ASSERT_EQ(RunProgram(kCli, {"csv", WriteLogged(), out}).code, 0);
    EXPECT_EQ(Read(out),
              "No.,Time,X (g),Y (g),Z (g),Vector Sum (g)\n"
              "1,05/03/23 14:07:09,1.23,-0.50,1.00,1.68\n"
              "2,05/03/23 14:07:09 50ms,0.50,0.25,0.98,1.12\n"
              "3,05/03/23 14:07:09 100ms,1.23,0.00,1.02,1.60\n");
}

TEST_F(CliFiles, SpectrumInTheFrequencyDomainNamesItsPeak)
{
    const std::string sample = SHAKEMETER_SOURCE_DIR "/samples/spectrum.Vibration";
    const Outcome info = RunProgram(kCli, {"info", sample, "--frequency"});
    EXPECT_EQ(info.code, 0);
    EXPECT_NE(info.out.find(">>Sampling rate: 1/256 sec    Samplings: 256\n"), std::string::npos);
    EXPECT_NE(info.out.find("Vector Sum AVG: 0.00\n"), std::string::npos);
    EXPECT_TRUE(info.out.ends_with("The frequency of the max magnitude is 12.00 HZ\n"));

    const std::string csv = Path("spectrum.csv");
    ASSERT_EQ(RunProgram(kCli, {"csv", sample, csv, "--frequency"}).code, 0);
    const std::string table = Read(csv);
    EXPECT_EQ(table.rfind("No.,Frequency (Hz),X,Y,Z\n", 0), 0u);
    EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 257);
    EXPECT_NE(table.find("\n13,12.00,"), std::string::npos);
}

// A name starting with '-' is a file after "--", for the report and table verbs as for the others.
TEST_F(CliFiles, NamesStartingWithADashAreFilesAfterTheEndOfOptions)
{
    const std::string input = WriteLogged();
    const fs::path before = fs::current_path();
    fs::current_path(m_dir);
    fs::copy_file(input, "-run1.Vibration");
    const Outcome info = RunProgram(kCli, {"info", "--", "-run1.Vibration"});
    const Outcome csv = RunProgram(kCli, {"csv", "--frequency", "--", "-run1.Vibration", "-run1.csv"});
    const Outcome table = RunProgram(kCli, {"csv", "--", "-run1.Vibration", "-table.csv"});
    const Outcome report = RunProgram(kCli, {"export", "--", "-run1.Vibration", "-run1.xls"});
    fs::current_path(before);

    EXPECT_EQ(info.code, 0) << info.err;
    EXPECT_EQ(info.out, RunProgram(kCli, {"info", input}).out);
    // The flag still counts before the names: a logged recording has no spectrum.
    EXPECT_EQ(csv.code, 1);
    EXPECT_NE(csv.err.find("is not a spectrum recording"), std::string::npos) << csv.err;
    EXPECT_EQ(table.code, 0) << table.err;
    EXPECT_EQ(Read(Path("-table.csv")).substr(0, 4), "No.,");
    EXPECT_EQ(report.code, 0) << report.err;
    EXPECT_TRUE(fs::exists(Path("-run1.xls")));
}

// Names are bytes to the system: one that is no UTF-8 text is written as given by every verb.
TEST_F(CliFiles, OutputsWhoseNamesAreNotUtf8AreWrittenUnderThoseNames)
{
    const std::string input = WriteLogged();
    const std::string picture = Path("graph\xff.png");
    const std::string table = Path("table\xfe.csv");
    const Outcome render = RunProgram(kCli, {"render", input, picture, "--width", "400", "--height", "300"});
    const Outcome csv = RunProgram(kCli, {"csv", input, table});
    EXPECT_EQ(render.code, 0) << render.err;
    EXPECT_EQ(csv.code, 0) << csv.err;
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(m_dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"graph\xff.png", "run1.Vibration", "table\xfe.csv"}));
    EXPECT_EQ(Read(picture).substr(1, 3), "PNG");
}

// Printed results are the verbs' answers: when they cannot be written (standard output on a full
// disk) the command fails and says so, instead of leaving a script an empty table and success.
TEST_F(CliFiles, PrintedResultsThatCannotBeWrittenFailTheCommand)
{
    const std::string input = WriteLogged();
    const auto onFullDisk = [](const std::vector<std::string>& args) {
        const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
        int err[2];
        Outcome outcome;
        if (full < 0 || ::pipe2(err, O_CLOEXEC) != 0)
            return outcome;
        const pid_t pid = SpawnWithOutputs(kCli, args, full, err[1]);
        ::close(full);
        ::close(err[1]);
        std::string ignored;
        const int none = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        const bool ended = ReadUntilBothEnd(err[0], none, outcome.err, ignored, kPatienceMs);
        outcome.code = pid > 0 ? Reap(pid, ended) : -1;
        ::close(none);
        ::close(err[0]);
        return outcome;
    };
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"info", input}, {"stats", input, "--json"}, {"summary", input}}) {
        const Outcome outcome = onFullDisk(args);
        EXPECT_EQ(outcome.code, 1) << args[0];
        EXPECT_NE(outcome.err.find("cannot write the output: No space left on device"), std::string::npos)
            << args[0] << ": " << outcome.err;
    }
}

TEST_F(CliFiles, FailuresSayWhyAndExitWithTheirStatus)
{
    const std::string foreign = Path("foreign.Vibration");
    std::ofstream(foreign) << "\x14vibration shakemeter and more";
    Outcome outcome = RunProgram(kCli, {"info", foreign});
    EXPECT_EQ(outcome.code, 1);
    EXPECT_EQ(outcome.err, "Invalid Format!\n");
    EXPECT_EQ(outcome.out, "");

    outcome = RunProgram(kCli, {"export", Path("missing.Vibration"), Path("x.xls")});
    EXPECT_EQ(outcome.code, 1);
    EXPECT_FALSE(fs::exists(Path("x.xls")));

    outcome = RunProgram(kCli, {"info", WriteLogged(), "--frequency"});
    EXPECT_EQ(outcome.code, 1);  // only a spectrum has a frequency domain

    EXPECT_EQ(RunProgram(kCli, {"csv", WriteLogged()}).code, 2);
    EXPECT_EQ(RunProgram(kCli, {"info", WriteLogged(), "--bogus"}).code, 2);
    EXPECT_EQ(RunProgram(kCli, {"frobnicate"}).code, 2);
    EXPECT_EQ(RunProgram(kCli, {}).code, 2);
}

TEST_F(CliFiles, ReadOnlyOutputsAreRefusedAndKept)
{
    for (const char* verb : {"csv", "export"}) {
        const std::string out = Path(std::string("kept.") + verb);
        std::ofstream(out) << "mine";
        fs::permissions(out, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        const Outcome outcome = RunProgram(kCli, {verb, WriteLogged(), out});
        EXPECT_EQ(outcome.code, 1) << verb;
        EXPECT_EQ(outcome.err, "shakemeter-cli: cannot write " + out + ": the file is read-only\n") << verb;
        EXPECT_EQ(Read(out), "mine") << verb;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), {}), 3) << "no temporary file is left";
}

TEST_F(CliFiles, OutputsThatCannotBeWrittenAreRefusedByNameAndLeaveNothing)
{
    const std::string input = WriteLogged();
    const std::string locked = Path("locked");
    fs::create_directories(locked);
    fs::create_directories(Path("taken.xls"));
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    const std::string overlong = Path(std::string(300, 'n') + ".csv");
    const std::vector<std::pair<std::string, std::string>> refused = {
        {locked + "/out.xls", "the folder is read-only"},
        {Path("taken.xls"), "Is a directory"},
        {overlong, "File name too long"},
        {Path("missing/out.xls"), "No such file or directory"},
    };
    for (const auto& [out, reason] : refused) {
        for (const char* verb : {"csv", "export"}) {
            const Outcome outcome = RunProgram(kCli, {verb, input, out});
            EXPECT_EQ(outcome.code, 1) << verb << " " << out;
            EXPECT_EQ(outcome.err, "shakemeter-cli: cannot write " + out + ": " + reason + "\n") << verb;
        }
    }
    fs::permissions(locked, fs::perms::owner_all);
    EXPECT_TRUE(fs::is_empty(locked));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), {}), 3) << "no temporary file is left";

    // A name outside Latin-1 is written under exactly that name.
    const std::string named = Path("Schwingung \xe6\x8c\xaf\xe5\x8b\x95 \xce\xa9.xls");
    ASSERT_EQ(RunProgram(kCli, {"export", input, named}).code, 0);
    ASSERT_EQ(RunProgram(kCli, {"export", input, Path("plain.xls")}).code, 0);
    EXPECT_FALSE(Read(named).empty());
    EXPECT_EQ(Read(named), Read(Path("plain.xls")));
}

}  // namespace
