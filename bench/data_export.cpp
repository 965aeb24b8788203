// The exports over the largest recording a logger holds (2.75 million rows) and the summary of
// many recordings:
// - HDF5 export against writing the same bytes (the five float64 columns x, y, z, sum and time)
//   with plain write calls into a file, both flushed to the disk; target ratio <= 1.5 (wall time).
// - summary of 100 recordings with one job against two; target speed-up >= 1.6 on two cores.

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "analysis/export/Hdf5Export.h"
#include "analysis/export/RecordingSummary.h"
#include "recording/RecordingFile.h"
#include "recording/RecordingView.h"
#include "tests/TestRecordings.h"

namespace shakemeter {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kRows = 2750000;
constexpr std::size_t kRecordings = 100;
constexpr std::size_t kSummaryRows = 40000;

// Random logger counts at 50 ms (the rows the tests use).
Recording CountRecording(std::size_t rows, std::uint64_t seed)
{
    return testing::MakeRecording(testing::MarchHeader(), testing::RandomCountRows(rows, seed));
}

double NowNs()
{
    return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

fs::path Scratch(const char* name)
{
    const fs::path folder = fs::temp_directory_path() / (std::string(name) + "-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    return folder;
}

// The same bytes as the export's datasets, gathered column by column into a buffer of the same
// size and written with write(2), then flushed.
void PlainWrites(const std::string& path, const Recording& recording, double dt)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    std::vector<double> buffer(32768);
    for (int column = 0; column < 5; ++column) {
        for (std::size_t first = 0; first < kRows; first += buffer.size()) {
            const std::size_t n = std::min(buffer.size(), kRows - first);
            for (std::size_t k = 0; k < n; ++k)
                buffer[k] = column < 4 ? recording.m_pSamples[first + k][column] : static_cast<double>(first + k) * dt;
            const char* at = reinterpret_cast<const char*>(buffer.data());
            std::size_t left = n * sizeof(double);
            while (left > 0) {
                const ssize_t written = ::write(fd, at, left);
                if (written <= 0)
                    break;
                at += written;
                left -= static_cast<std::size_t>(written);
            }
        }
    }
    ::fsync(fd);
    ::close(fd);
}

// Runs first and then second in each iteration and reports both wall times (ms) and second / first.
template <typename First, typename Second>
void TimePair(benchmark::State& state, const char* firstName, const char* secondName, const char* ratioName,
              First first, Second second)
{
    double firstNs = 0.0;
    double secondNs = 0.0;
    for (auto _ : state) {
        const double t0 = NowNs();
        first();
        const double t1 = NowNs();
        second();
        const double t2 = NowNs();
        firstNs += t1 - t0;
        secondNs += t2 - t1;
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters[firstName] = firstNs / runs / 1e6;
    state.counters[secondName] = secondNs / runs / 1e6;
    state.counters[ratioName] = secondNs / firstNs;
}

void BM_Hdf5Export(benchmark::State& state)
{
    static Recording recording;
    static RecordingView view;
    if (recording.m_pSamples.empty())
        InstallCompleteRecording(recording, view, CountRecording(kRows, 11));
    const fs::path folder = Scratch("bench-hdf5");
    const std::string plain = (folder / "plain.bin").string();
    const std::string h5 = (folder / "export.h5").string();
    bool ok = true;
    TimePair(
        state, "plain_ms", "hdf5_ms", "ratio_to_plain_writes", [&] { PlainWrites(plain, recording, view.m_dInterval); },
        [&] { ok = exports::WriteHdf5File(h5, recording, view) && ok; });
    if (!ok)
        state.SkipWithError("the HDF5 export failed");
    state.counters["bytes"] = static_cast<double>(fs::file_size(h5));
    fs::remove_all(folder);
}
BENCHMARK(BM_Hdf5Export)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_SummaryJobs(benchmark::State& state)
{
    const fs::path folder = Scratch("bench-summary");
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < kRecordings; ++i) {
        const Recording r = CountRecording(kSummaryRows, i);
        paths.push_back((folder / ("run" + std::to_string(i) + ".Vibration")).string());
        WriteRecordingFile(paths.back(), r, static_cast<int>(kSummaryRows));
    }
    // The ratio is two jobs' time over one job's: its inverse is the speed-up (target >= 1.6).
    TimePair(
        state, "one_job_ms", "two_jobs_ms", "two_jobs_time_ratio",
        [&] { benchmark::DoNotOptimize(exports::SummarizeRecordings(paths, 1)); },
        [&] { benchmark::DoNotOptimize(exports::SummarizeRecordings(paths, 2)); });
    state.counters["speedup_two_jobs"] = state.counters["one_job_ms"] / state.counters["two_jobs_ms"];
    fs::remove_all(folder);
}
BENCHMARK(BM_SummaryJobs)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
}  // namespace shakemeter

BENCHMARK_MAIN();
