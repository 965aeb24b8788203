// The session file: what it writes and reads back, how it names the files, and every fault a
// file may hold told by name before anything of it is used.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <sys/stat.h>

#include "PipeReader.h"
#include "session/SessionFile.h"

namespace shakemeter {
namespace {

namespace fs = std::filesystem;

class SessionFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("session-file-" + std::to_string(::getpid()) + "-" +
                                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder / "data");
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string In(const std::string& name) const { return (folder / name).string(); }

    static std::string Text(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static void Put(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

    fs::path folder;
};

Session FullSession(const fs::path& folder)
{
    Session session;
    session.recording = (folder / "week1.Vibration").string();
    session.comparison = SessionComparison{(folder / "data" / "week2.Vibration").string(),
                                           OverlayAlignment{AlignBy::Event, 1234, 987, 0.125}};
    session.cursors = CursorPair{100, 250};
    session.zoom = SessionZoom{0, 5000};
    return session;
}

TEST_F(SessionFileTest, RoundTripsThroughTheDisk)
{
    const std::string path = In("trip.shakeproject");
    for (AlignBy align : {AlignBy::Clock, AlignBy::FirstSample, AlignBy::Event}) {
        Session session = FullSession(folder);
        session.comparison->alignment.by = align;
        session.comparison->alignment.offsetSeconds = -0.1;  // not exactly binary: must come back to the bit
        ASSERT_TRUE(WriteSessionFile(path, session));
        const SessionReadResult read = ReadSessionFile(path);
        ASSERT_TRUE(read.session) << read.error;
        EXPECT_EQ(*read.session, session);
    }

    // What is not set is left out of the file, and comes back unset.
    Session plain;
    plain.recording = In("week1.Vibration");
    ASSERT_TRUE(WriteSessionFile(path, plain));
    const nlohmann::json written = nlohmann::json::parse(Text(path));
    EXPECT_EQ(written,
              (nlohmann::json{{"format", "shakemeter-session"}, {"version", 1}, {"recording", "week1.Vibration"}}));
    const SessionReadResult read = ReadSessionFile(path);
    ASSERT_TRUE(read.session) << read.error;
    EXPECT_EQ(*read.session, plain);
}

TEST_F(SessionFileTest, WritesTheDocumentedNames)
{
    const std::optional<std::string> text = FormatSession(FullSession(folder), In("s.shakeproject"));
    ASSERT_TRUE(text);
    const nlohmann::json expected = nlohmann::json::parse(R"({
        "format": "shakemeter-session", "version": 1,
        "recording": "week1.Vibration",
        "comparison": {"file": "data/week2.Vibration", "align": "event",
                       "shownEventRow": 1234, "comparedEventRow": 987, "offsetSeconds": 0.125},
        "cursors": {"a": 100, "b": 250},
        "zoom": {"firstRow": 0, "lastRow": 5000}})");
    EXPECT_EQ(nlohmann::json::parse(*text), expected);
    // The reader finds things in the order they are written: the format first.
    EXPECT_LT(text->find("\"format\""), text->find("\"recording\""));
}

TEST_F(SessionFileTest, PathsRelativeWithinTheFolderAbsoluteOutside)
{
    const std::string session = In("s.shakeproject");
    EXPECT_EQ(PathForSession(In("week1.Vibration"), session), "week1.Vibration");
    EXPECT_EQ(PathForSession(In("data/../data/./week2.Vibration"), session), "data/week2.Vibration");
    const std::string outside = (folder.parent_path() / "elsewhere" / "week3.Vibration").string();
    EXPECT_EQ(PathForSession(outside, session), outside);
    EXPECT_EQ(PathForSession(outside, In("data/s.shakeproject")), outside);
    // A sibling folder whose name starts like the session's folder is outside it too.
    const std::string sibling = folder.string() + "-other/week4.Vibration";
    EXPECT_EQ(PathForSession(sibling, session), sibling);

    // Read back against the folder the session file is in now: a moved folder keeps its session.
    EXPECT_EQ(PathFromSession("data/week2.Vibration", "/moved/s.shakeproject"), "/moved/data/week2.Vibration");
    EXPECT_EQ(PathFromSession("../up.Vibration", "/moved/deeper/s.shakeproject"), "/moved/up.Vibration");
    EXPECT_EQ(PathFromSession(outside, "/moved/s.shakeproject"), outside);

    // A session named relative to the working folder resolves against where it lies.
    const fs::path before = fs::current_path();
    fs::current_path(folder);
    EXPECT_EQ(PathForSession(In("data/week2.Vibration"), "data/s.shakeproject"), "week2.Vibration");
    EXPECT_EQ(PathFromSession("week2.Vibration", "data/s.shakeproject"), In("data/week2.Vibration"));
    fs::current_path(before);

    EXPECT_TRUE(IsSessionPath("/a/b.shakeproject"));
    EXPECT_TRUE(IsSessionPath("B.ShakeProject"));
    EXPECT_FALSE(IsSessionPath("/a/b.Vibration"));
    EXPECT_FALSE(IsSessionPath("/a/shakeproject"));
}

// Every fault is told with the file's name and what is wrong, and nothing of the file is given.
TEST_F(SessionFileTest, RefusesEachKindOfBadInput)
{
    const std::string head = R"("format": "shakemeter-session", "version": 1, "recording": "a.Vibration")";
    const auto with = [&](const std::string& rest) { return "{" + head + ", " + rest + "}"; };
    const struct {
        std::string text;
        std::string fault;
    } cases[] = {
        {"", "not JSON"},
        {"{\"format\": ", "not JSON"},
        {"format = shakemeter-session", "not JSON"},
        {"{\"recording\": \"\xff\xfe.Vibration\"}", "not JSON"},
        {"[1, 2]", "not a session file"},
        {R"({"version": 1, "recording": "a.Vibration"})", "not a session file"},
        {R"({"format": "other", "version": 1, "recording": "a.Vibration"})", "not a session file"},
        {R"({"format": "shakemeter-session", "recording": "a.Vibration"})", "\"version\" is missing"},
        {R"({"format": "shakemeter-session", "version": "1", "recording": "a.Vibration"})", "not a version number"},
        {R"({"format": "shakemeter-session", "version": 0, "recording": "a.Vibration"})", "not a version number"},
        {R"({"format": "shakemeter-session", "version": 1.5, "recording": "a.Vibration"})", "not a version number"},
        {R"({"format": "shakemeter-session", "version": 1})", "\"recording\" is missing"},
        {R"({"format": "shakemeter-session", "version": 1, "recording": 7})", "\"recording\" does not name a file"},
        {R"({"format": "shakemeter-session", "version": 1, "recording": ""})", "\"recording\" does not name a file"},
        {R"({"format": "shakemeter-session", "version": 1, "recording": "a.Vibration\u0000.txt"})",
         "\"recording\" does not name a file"},
        {with(R"("comparison": {"file": "\u0000b.Vibration", "align": "clock"})"),
         "\"comparison.file\" does not name a file"},
        {with(R"("comparison": "b.Vibration")"), "\"comparison\" is not an object"},
        {with(R"("comparison": {"align": "clock"})"), "\"comparison.file\" is missing"},
        {with(R"("comparison": {"file": "b.Vibration"})"), "\"comparison.align\" is missing"},
        {with(R"("comparison": {"file": "b.Vibration", "align": "diagonal"})"),
         "\"comparison.align\" is \"diagonal\"; it must be"},
        {with(R"("comparison": {"file": "b.Vibration", "align": 2})"), "\"comparison.align\" is 2"},
        // A value nested too deeply to be written out again is named by its kind.
        {with(R"("comparison": {"file": "b.Vibration", "align": )" + std::string(100000, '[') +
              std::string(100000, ']') + "}"),
         "\"comparison.align\" is an array; it must be"},
        {with(R"("comparison": {"file": "b.Vibration", "align": {"by": "clock"}})"),
         "\"comparison.align\" is an object; it must be"},
        {with(R"("comparison": {"file": "b.Vibration", "align": "event", "shownEventRow": 4})"),
         "\"comparison.comparedEventRow\" is missing"},
        {with(R"("comparison": {"file": "b.Vibration", "align": "event", "shownEventRow": -4, "comparedEventRow": 1})"),
         "\"comparison.shownEventRow\" is not a row number"},
        {with(R"("comparison": {"file": "b.Vibration", "align": "clock", "offsetSeconds": "0.5"})"),
         "\"comparison.offsetSeconds\" is not a number of seconds"},
        {with(R"("comparison": {"file": "b.Vibration", "align": "clock", "offsetSeconds": 1e300})"),
         "\"comparison.offsetSeconds\" is not a number of seconds"},
        // Beyond any double: the parser refuses it in a way of its own.
        {with(R"("comparison": {"file": "b.Vibration", "align": "clock", "offsetSeconds": 1e400})"),
         "a number too large to be read"},
        {with(R"("cursors": {"a": -1e999, "b": 2})"), "a number too large to be read"},
        {with(R"("cursors": [1, 2])"), "\"cursors\" is not an object"},
        {with(R"("cursors": {"a": 1})"), "\"cursors.b\" is missing"},
        {with(R"("cursors": {"a": -1, "b": 2})"), "\"cursors.a\" is not a row number"},
        {with(R"("cursors": {"a": 1.5, "b": 2})"), "\"cursors.a\" is not a row number"},
        {with(R"("cursors": {"a": "1", "b": 2})"), "\"cursors.a\" is not a row number"},
        {with(R"("cursors": {"a": 1, "b": 2147483647})"), "\"cursors.b\" is not a row number"},
        {with(R"("cursors": {"a": 1, "b": 18446744073709551616})"), "\"cursors.b\" is not a row number"},
        {with(R"("zoom": {"firstRow": 10})"), "\"zoom.lastRow\" is missing"},
        {with(R"("zoom": {"firstRow": 10, "lastRow": 10})"), "first row 10 is not before its last row 10"},
        {with(R"("zoom": {"firstRow": 10, "lastRow": 4})"), "first row 10 is not before its last row 4"},
        {with(R"("zoom": {"firstRow": 0, "lastRow": 9999999999})"), "\"zoom.lastRow\" is not a row number"},
    };
    const std::string path = "/folder/bad.shakeproject";
    for (const auto& c : cases) {
        const SessionReadResult read = ParseSession(c.text, path);
        EXPECT_FALSE(read.session) << c.text;
        EXPECT_EQ(read.error.rfind("Cannot open the session \"/folder/bad.shakeproject\": ", 0), 0u) << read.error;
        EXPECT_NE(read.error.find(c.fault), std::string::npos) << c.text << "\n" << read.error;
    }

    // The largest row and values this version does not know are accepted.
    const SessionReadResult largest = ParseSession(
        with(
            R"("cursors": {"a": 0, "b": 2147483646}, "note": "kept by a later tool", "zoom": {"firstRow": 1, "lastRow": 2})"),
        path);
    ASSERT_TRUE(largest.session) << largest.error;
    EXPECT_EQ(largest.session->cursors->rowB, 2147483646u);
}

TEST_F(SessionFileTest, LaterVersionIsToldAsSuch)
{
    // A later version may change anything else; the version is what the user needs to hear.
    const SessionReadResult read = ParseSession(
        R"({"format": "shakemeter-session", "version": 2, "recording": {"files": ["a", "b"]}})", "/f/s.shakeproject");
    EXPECT_FALSE(read.session);
    EXPECT_NE(
        read.error.find("written by a later version of the program (session version 2; this one reads version 1)"),
        std::string::npos)
        << read.error;
}

TEST_F(SessionFileTest, FilesThatCannotBeReadAreNamed)
{
    const std::string missing = In("none.shakeproject");
    SessionReadResult read = ReadSessionFile(missing);
    EXPECT_FALSE(read.session);
    EXPECT_EQ(read.error, "Cannot open the session \"" + missing + "\": No such file or directory.");

    read = ReadSessionFile(In("data"));
    EXPECT_FALSE(read.session);
    EXPECT_NE(read.error.find("Is a directory"), std::string::npos) << read.error;

    // A pipe named like a session has no writer: it is refused without waiting for one.
    const std::string pipe = In("pipe.shakeproject");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::optional<SessionReadResult> fromPipe =
        testing::ReadPipeWithoutWriter(pipe, [](const std::string& path) { return ReadSessionFile(path); });
    ASSERT_TRUE(fromPipe) << "the reader waited for a writer of the pipe";
    EXPECT_FALSE(fromPipe->session);
    EXPECT_EQ(fromPipe->error, "Cannot open the session \"" + pipe + "\": it is not a file.");

    // A file too large to be a session is not read whole.
    const std::string large = In("large.shakeproject");
    Put(large, "{\"format\": \"shakemeter-session\", \"x\": \"" + std::string(kMaxSessionFileBytes, 'x') + "\"}");
    read = ReadSessionFile(large);
    EXPECT_FALSE(read.session);
    EXPECT_NE(read.error.find("too large"), std::string::npos) << read.error;

    // Deeply nested text is refused without exhausting the stack.
    const std::string deep = In("deep.shakeproject");
    Put(deep, std::string(kMaxSessionFileBytes / 2, '[') + std::string(kMaxSessionFileBytes / 2, ']'));
    read = ReadSessionFile(deep);
    EXPECT_FALSE(read.session);
    EXPECT_NE(read.error.find("not a session file"), std::string::npos) << read.error;
}

TEST_F(SessionFileTest, UnwritableSessionLeavesTheOldFile)
{
    const std::string path = In("kept.shakeproject");
    Put(path, "old");
    Session session = FullSession(folder);
    session.recording = In("bad-\xff-name.Vibration");
    FileWriteError error;
    EXPECT_FALSE(WriteSessionFile(path, session, &error));
    EXPECT_EQ(error.path, path);
    EXPECT_NE(error.reason.find("UTF-8"), std::string::npos);
    EXPECT_EQ(Text(path), "old");

    EXPECT_FALSE(WriteSessionFile(In("missing/s.shakeproject"), FullSession(folder), &error));
    EXPECT_EQ(error.path, In("missing/s.shakeproject"));
    EXPECT_FALSE(error.reason.empty());
}

// The sample session beside the sample recordings names them relative to its folder.
TEST_F(SessionFileTest, SampleSessionNamesTheSampleRecordings)
{
    const std::string samples = SHAKEMETER_SOURCE_DIR "/samples";
    const SessionReadResult read = ReadSessionFile(samples + "/compare.shakeproject");
    ASSERT_TRUE(read.session) << read.error;
    EXPECT_EQ(read.session->recording, (fs::path(samples) / "motion-events.Vibration").lexically_normal().string());
    EXPECT_TRUE(fs::exists(read.session->recording));
    ASSERT_TRUE(read.session->comparison);
    EXPECT_EQ(read.session->comparison->file,
              (fs::path(samples) / "motion-next-week.Vibration").lexically_normal().string());
    EXPECT_TRUE(fs::exists(read.session->comparison->file));
}

}  // namespace
}  // namespace shakemeter
