// shakemeter-cli's analysis verbs as a script uses them: the JSON documents with their keys and
// known answers, the tables, the unit switch, pooled files, and every refusal with its status.

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "CliTestFolder.h"
#include "TestRecordings.h"
#include "recording/RecordingFile.h"
#include "tools/ProgramRunner.h"

namespace {

namespace fs = std::filesystem;
using namespace shakemeter;
using namespace shakemeter::testing;
using Json = nlohmann::json;

const std::string kCli = SHAKEMETER_BINARY_DIR "/tools/shakemeter-cli";

SampleRow Row(double x, double y, double z)
{
    return {x, y, z, std::trunc(std::sqrt(x * x + y * y + z * z) * 100) / 100};
}

class CliAnalysis : public CliTestFolder {
protected:
    CliAnalysis() : CliTestFolder("cli-analysis") {}

    std::string Write(const std::string& name, std::vector<SampleRow> rows, std::uint16_t interval = 200,
                      std::vector<std::int32_t> ticks = {}, std::vector<std::string> events = {})
    {
        Recording rec = shakemeter::testing::MakeRecording(shakemeter::testing::MarchHeader(interval), std::move(rows),
                                                           std::move(ticks));
        rec.m_header.wFreeFallCount = static_cast<std::uint16_t>(events.size());
        rec.m_pFreeFallEvents = std::move(events);
        const std::string path = Path(name);
        EXPECT_TRUE(WriteRecordingFile(path, rec, static_cast<int>(rec.m_pSamples.size())));
        return path;
    }

    // A drop: rest, nine rows of free fall at 50 ms, rest, the impact, rest.
    std::string WriteDrop()
    {
        std::vector<SampleRow> rows(5, Row(0, 0, 1));
        rows.insert(rows.end(), 9, Row(0.05, 0.1, 0.2));
        rows.insert(rows.end(), 3, Row(0, 0, 1));
        rows.push_back(Row(1.0, -2.5, -3.5));
        rows.insert(rows.end(), 5, Row(0, 0, 1));
        return Write("drop.Vibration", rows, 200, {}, {"05/03/23 14:07:09"});
    }

    // A 1.00 g sine at 32 Hz on Z over `rows` rows at 1/256 s intervals (logged at the capture's rate
    // would need a code of its own, so the spectrum kind with twice the rows is used).
    std::string WriteSine(const std::string& name, std::size_t rows)
    {
        std::vector<SampleRow> samples;
        for (std::size_t n = 0; n < 2 * rows; ++n)
            samples.push_back(
                Row(0.0, 0.0, std::trunc(std::sin(2 * std::numbers::pi * 32.0 * n / 256.0 + 0.3) * 100) / 100));
        return Write(name, samples, 0);
    }

    static Json Document(const Outcome& outcome)
    {
        EXPECT_EQ(outcome.code, 0) << outcome.err;
        EXPECT_EQ(outcome.err, "");
        return Json::parse(outcome.out);
    }
};

TEST_F(CliAnalysis, StatsDocumentAndTable)
{
    const std::string file = Write("run.Vibration", {Row(1.0, 0.0, 1.0), Row(-1.0, 0.5, 1.0), Row(1.0, 0.0, 1.0)});
    const Json doc = Document(RunProgram(kCli, {"stats", file, "--json"}));
    EXPECT_EQ(doc["rows"], 3);
    EXPECT_EQ(doc["from"], 0);
    EXPECT_EQ(doc["to"], 2);
    EXPECT_EQ(doc["unit"], "g");
    const Json& x = doc["columns"]["x"];
    for (const char* key :
         {"max", "min", "max_row", "min_row", "mean", "rms", "ac_rms", "peak_to_peak", "crest_factor"})
        EXPECT_TRUE(x.contains(key)) << key;
    EXPECT_EQ(x.size(), 9u);
    EXPECT_EQ(x["max_row"], 2);  // ties to the later row
    EXPECT_EQ(x["min_row"], 1);
    EXPECT_EQ(x["rms"], 1.0);
    EXPECT_EQ(x["crest_factor"], 1.0);
    EXPECT_EQ(x["peak_to_peak"], 2.0);
    // Full precision: a third is written with all its digits.
    EXPECT_NEAR(x["mean"].get<double>(), 1.0 / 3.0, 1e-16);
    EXPECT_TRUE(doc["columns"].contains("sum"));

    // The last row alone, in m/s^2; a column at 0 has no crest factor.
    const Json last = Document(RunProgram(kCli, {"stats", file, "--from", "2", "--unit", "m/s2", "--json"}));
    EXPECT_EQ(last["rows"], 1);
    EXPECT_EQ(last["unit"], "m/s2");
    EXPECT_DOUBLE_EQ(last["columns"]["z"]["max"].get<double>(), 9.80665);
    EXPECT_TRUE(last["columns"]["y"]["crest_factor"].is_null());

    const Outcome table = RunProgram(kCli, {"stats", file, "--to", "1"});
    EXPECT_EQ(table.code, 0);
    EXPECT_NE(table.out.find("rows 0 to 1 (2 rows), values in g"), std::string::npos);
    EXPECT_NE(table.out.find("\nVector Sum "), std::string::npos);
}

TEST_F(CliAnalysis, PsdOfASinePooledOverFiles)
{
    const std::string a = WriteSine("a.Vibration", 128);
    const std::string b = WriteSine("b.Vibration", 256);
    const Json doc = Document(RunProgram(kCli, {"psd", a, b, "--segment", "64", "--json"}));
    EXPECT_EQ(doc["fs"], 256.0);
    EXPECT_EQ(doc["segment"], 64);
    EXPECT_EQ(doc["segments"], 3 + 7);
    EXPECT_EQ(doc["df"], 4.0);
    EXPECT_EQ(doc["unit"], "g");
    ASSERT_EQ(doc["frequency"].size(), 33u);
    EXPECT_NEAR(doc["z"]["grms"].get<double>(), 0.7071, 0.01);
    EXPECT_EQ(doc["z"]["psd"].size(), 33u);
    EXPECT_EQ(doc["z"]["max_hold"].size(), 33u);
    const auto& psd = doc["z"]["psd"];
    std::size_t peak = 0;
    for (std::size_t k = 0; k < psd.size(); ++k)
        if (psd[k].get<double>() > psd[peak].get<double>())
            peak = k;
    EXPECT_EQ(doc["frequency"][peak], 32.0);
    EXPECT_EQ(doc["x"]["grms"], 0.0);

    const Json si = Document(RunProgram(kCli, {"psd", a, b, "--segment", "64", "--unit", "m/s2", "--json"}));
    EXPECT_NEAR(si["z"]["grms"].get<double>(), doc["z"]["grms"].get<double>() * 9.80665, 1e-12);

    const Outcome table = RunProgram(kCli, {"psd", b, "--segment", "128"});
    EXPECT_EQ(table.code, 0);
    EXPECT_EQ(table.out.rfind("fs 256 Hz, segment 128 rows, 3 segments, df 2 Hz, density in g^2/Hz\n", 0), 0u);
}

TEST_F(CliAnalysis, EventsOfADrop)
{
    const Json doc = Document(RunProgram(kCli, {"events", WriteDrop(), "--json"}));
    EXPECT_EQ(doc["shock_level"], 2.0);
    EXPECT_EQ(doc["fall_level"], 0.35);
    ASSERT_EQ(doc["free_falls"].size(), 1u);
    const Json& fall = doc["free_falls"][0];
    EXPECT_EQ(fall.size(), 9u);
    EXPECT_EQ(fall["first_row"], 5);
    EXPECT_EQ(fall["last_row"], 13);
    EXPECT_EQ(fall["time"], "05/03/23 14:07:09 250ms");
    EXPECT_NEAR(fall["duration_s"].get<double>(), 0.45, 1e-12);
    EXPECT_NEAR(fall["height_m"].get<double>(), 0.993, 0.0005);
    EXPECT_NEAR(fall["impact_speed_m_s"].get<double>(), 4.41, 0.005);
    EXPECT_TRUE(fall.contains("height_min_m") && fall.contains("height_max_m"));
    EXPECT_EQ(fall["impact"], 0);
    ASSERT_EQ(doc["shocks"].size(), 1u);
    const Json& shock = doc["shocks"][0];
    EXPECT_EQ(shock.size(), 8u);
    EXPECT_EQ(shock["first_row"], 17);
    EXPECT_EQ(shock["peak"]["y"], -2.5);
    EXPECT_EQ(shock["face"], "-Z");
    EXPECT_EQ(doc["logger_events"], Json::array({"05/03/23 14:07:09"}));

    // Peaks in m/s^2; the levels and the heights stay as they were.
    const Json si = Document(RunProgram(kCli, {"events", WriteDrop(), "--unit", "m/s2", "--json"}));
    EXPECT_DOUBLE_EQ(si["shocks"][0]["peak"]["y"].get<double>(), -2.5 * 9.80665);
    EXPECT_EQ(si["shock_level"], 2.0);
    EXPECT_EQ(si["free_falls"][0]["height_m"], fall["height_m"]);

    // A stricter fall level finds no fall, and the shock then ends none.
    const Json strict = Document(RunProgram(kCli, {"events", WriteDrop(), "--fall", "0.1", "--json"}));
    EXPECT_TRUE(strict["free_falls"].empty());
    const Json longer = Document(RunProgram(kCli, {"events", WriteDrop(), "--min-fall-rows", "10", "--json"}));
    EXPECT_TRUE(longer["free_falls"].empty());

    const Outcome table = RunProgram(kCli, {"events", WriteDrop(), "--shock", "5"});
    EXPECT_EQ(table.code, 0);
    EXPECT_NE(table.out.find("Shocks (vector sum >= 5 g, peaks in g): 0\n"), std::string::npos);
    EXPECT_NE(table.out.find("Free falls (vector sum <= 0.35 g for 2 rows or more): 1\n"), std::string::npos);
    EXPECT_NE(table.out.find("05/03/23 14:07:09 250ms"), std::string::npos);
}

TEST_F(CliAnalysis, EventTextsThatAreNotUtf8StillGiveADocument)
{
    // The event texts come from the file as stored; a damaged byte must not end the program.
    const std::string file =
        Write("odd.Vibration", {Row(0, 0, 1), Row(0, 0, 1)}, 200, {}, {std::string("05/03/23 14:07:\xff\xfe")});
    const Json doc = Document(RunProgram(kCli, {"events", file, "--json"}));
    ASSERT_EQ(doc["logger_events"].size(), 1u);
    EXPECT_EQ(doc["logger_events"][0].get<std::string>().rfind("05/03/23 14:07:", 0), 0u);
}

TEST_F(CliAnalysis, RefusalsNameTheFileAndTheReason)
{
    const std::string drop = WriteDrop();
    const std::string motion =
        Write("motion.Vibration", std::vector<SampleRow>(300, Row(0, 0, 1)), 200, std::vector<std::int32_t>(300, 0));
    const std::string slow = Write("slow.Vibration", std::vector<SampleRow>(300, Row(0, 0, 1)), 9);
    const std::string fast = Write("fast.Vibration", std::vector<SampleRow>(300, Row(0, 0, 1)), 200);
    const std::string foreign = Path("foreign.Vibration");
    std::ofstream(foreign) << "\x14vibration shakemeter and more";
    const std::string cut = Path("cut.Vibration");
    {
        std::ifstream whole(drop, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(whole)), std::istreambuf_iterator<char>());
        std::ofstream(cut, std::ios::binary) << bytes.substr(0, bytes.size() - 40);
    }

    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Case> refused = {
        {{"stats", Path("missing.Vibration")}, "cannot read " + Path("missing.Vibration") + ": no such file"},
        {{"stats", foreign}, "cannot read " + foreign + ": not a recording file (Invalid Format!)"},
        {{"psd", cut}, "cannot read " + cut + ": the recording is cut short"},
        {{"events", m_dir.string()}, "cannot read " + m_dir.string() + ": is a folder, not a file"},
        {{"stats", drop, "--from", "23"}, drop + ": row 23 is past the last row, 22"},
        {{"stats", drop, "--from", "5", "--to", "4"}, drop + ": the first row, 5, is after the last, 4"},
        {{"psd", drop}, drop + ": rows 0 to 22 are fewer than one segment of L = 256 rows"},
        {{"psd", motion}, motion + ": a motion-detection recording is not evenly sampled"},
        {{"psd", fast, slow}, slow + ": sampled at 0.5 Hz, " + fast + " at 20 Hz"},
    };
    for (const Case& c : refused) {
        const Outcome outcome = RunProgram(kCli, c.args);
        EXPECT_EQ(outcome.code, 1) << c.message;
        EXPECT_EQ(outcome.out, "") << c.message;
        EXPECT_EQ(outcome.err.rfind("shakemeter-cli: " + c.message, 0), 0u) << outcome.err;
    }

    // Usage errors: the grammar, before any file is read.
    const std::vector<std::vector<std::string>> usage = {
        {"stats"},
        {"stats", drop, "--unit", "furlongs"},
        {"stats", drop, "--from", "-1"},
        {"stats", drop, "--from", "two"},
        {"psd", drop, "--segment", "100"},
        {"psd", drop, "--segment", "8"},
        {"psd", drop, "--segment", "131072"},
        {"events", drop, "--shock", "-1"},
        {"events", drop, "--fall", "nan"},
        {"events", drop, "--min-fall-rows", "0"},
        {"events", drop, "--frequency"},
        {"events", drop, drop},
    };
    for (const auto& args : usage) {
        const Outcome outcome = RunProgram(kCli, args);
        EXPECT_EQ(outcome.code, 2) << args.back();
        EXPECT_EQ(outcome.out, "") << args.back();
        EXPECT_NE(outcome.err, "") << args.back();
    }
}

TEST_F(CliAnalysis, PsdOfARecordingWhoseIntervalCountsNoTimeIsRefused)
{
    // Interval codes 1 to 3 name a unit but a count of 0: the file gives no sampling rate, and a
    // density over it would be one of infinite frequencies.
    std::vector<SampleRow> rows;
    for (int n = 0; n < 512; ++n)
        rows.push_back(Row(0.0, 0.0, std::sin(n * 0.7)));
    const std::string good = Write("good.Vibration", rows, 200);
    for (const std::uint16_t code : {1, 2, 3}) {
        const std::string file = Write("zero-" + std::to_string(code) + ".Vibration", rows, code);
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"psd", file, "--json"}, {"psd", good, file, "--json"}}) {
            const Outcome outcome = RunProgram(kCli, args);
            EXPECT_EQ(outcome.code, 1) << code;
            EXPECT_EQ(outcome.out, "") << code;
            EXPECT_EQ(outcome.err, "shakemeter-cli: " + file +
                                       ": the recording's interval counts no time, so it has no sampling rate and "
                                       "no spectral density\n");
        }
    }
}

TEST_F(CliAnalysis, EveryVerbHasItsHelpAndItsChecks)
{
    for (const char* verb :
         {"info", "export", "csv", "stats", "psd", "events", "devices", "download", "setup", "live", "spectrum"}) {
        const Outcome outcome = RunProgram(kCli, {verb, "--help"});
        EXPECT_EQ(outcome.code, 0) << verb;
        EXPECT_NE(outcome.out.find(std::string("Usage: shakemeter-cli ") + verb), std::string::npos) << outcome.out;
    }
    // The logger verbs get what was given, an empty value too, and refuse it with their own words
    // before any logger is looked for.
    const Outcome rate = RunProgram(kCli, {"setup", "--rate", ""});
    EXPECT_EQ(rate.code, 2);
    EXPECT_EQ(rate.err, "shakemeter-cli: --rate is 50ms..999ms, 1s..59s, 1min..59min or 1h..12h\n");
    EXPECT_EQ(RunProgram(kCli, {"live", "--rate", "1s", "--points", "", Path("x")}).code, 2);
    EXPECT_EQ(RunProgram(kCli, {"spectrum", "--captures", "", Path("x")}).code, 2);
    EXPECT_EQ(RunProgram(kCli, {"setup", "--led", "15"}).code, 2);
    EXPECT_EQ(RunProgram(kCli, {"devices", "extra"}).code, 2);

    const Outcome all = RunProgram(kCli, {"--help"});
    EXPECT_EQ(all.code, 0);
    EXPECT_NE(all.out.find("  psd FILE... [--segment L]"), std::string::npos);
}

}  // namespace
