// A whole download of a 1 MiB logger memory from qz810-sim through the virtual bridge backend and
// the link, against a bare socket loop doing the same 3-byte requests and 252-byte replies with
// the same simulator in the same run. The ratio says what the link, the backend, the decoding and
// the installation of the recording cost on top of the exchanges themselves (target: <= 1.1x).

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "logger/CLoggerLink.h"
#include "logger/LoggerProtocol.h"
#include "logger/VirtualBridgeBackend.h"

extern char** environ;

namespace {

using namespace shakemeter;
namespace fs = std::filesystem;

constexpr std::uint32_t kSamples = 174762;  // 6-byte records: 1048572 bytes, just under 1 MiB
constexpr std::uint32_t kDataBytes = kSamples * 6;

std::string g_folder;
std::string g_socket;
double g_bareSeconds = 0.0;

// The program around the link, with nothing to show.
class QuietHost : public LoggerHost {
public:
    Recording& Document() override { return m_document; }
    RecordingView& View() override { return m_view; }
    void ShowMessage(MessageKind, const std::string& text) override { m_failed = text; }
    void ShowProgress(int) override {}
    void SetProgress(int) override {}
    void EndProgress() override {}
    void WriteTempCopy() override {}
    void StartTimer(int) override {}
    void KillTimer() override {}
    bool IsReading() const override { return false; }
    void SetReading(bool) override {}
    std::string m_failed;

private:
    Recording m_document;
    RecordingView m_view;
};

bool ReadExactly(int fd, std::uint8_t* buffer, std::size_t size)
{
    std::size_t got = 0;
    while (got < size) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 3000) <= 0)
            return false;
        const ssize_t n = ::read(fd, buffer + got, size - got);
        if (n <= 0)
            return false;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

bool WriteAll(int fd, const std::uint8_t* bytes, std::size_t size)
{
    return ::write(fd, bytes, size) == static_cast<ssize_t>(size);
}

// The same exchanges as a download, with nothing around them.
bool BareDownload()
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, g_socket.c_str(), sizeof address.sun_path - 1);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return false;
    }
    std::vector<std::uint8_t> memory(kDataBytes);
    HeaderBlock header{};
    Command command = ReadBlockCommand(0);
    bool ok = WriteAll(fd, command.data(), command.size()) && ReadExactly(fd, header.data(), header.size());
    const BlockPlan plan = PlanBlocks(kDataBytes);
    for (std::uint32_t n = 1; ok && n <= plan.count; ++n) {
        command = ReadBlockCommand(static_cast<std::uint16_t>(n));
        ok = WriteAll(fd, command.data(), command.size()) &&
             ReadExactly(fd, memory.data() + (n - 1) * LOGGER_BLOCK_SIZE, plan.sizeOf(n));
    }
    ::close(fd);
    return ok;
}

void BM_BareSocketExchanges(benchmark::State& state)
{
    double total = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!BareDownload()) {
            state.SkipWithError("bare exchange failed");
            return;
        }
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    g_bareSeconds = total / static_cast<double>(state.iterations());
}

void BM_LinkDownloadVirtualBridge(benchmark::State& state)
{
    VirtualBridgeBackend backend(g_folder);
    double total = 0.0;
    for (auto _ : state) {
        QuietHost host;
        CLoggerLink link(backend, host);
        const auto start = std::chrono::steady_clock::now();
        if (!link.Download()) {
            state.SkipWithError(("download failed: " + host.m_failed).c_str());
            return;
        }
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        benchmark::DoNotOptimize(host.Document().m_pSamples.data());
        if (host.Document().m_header.dwSampleCount != kSamples) {
            state.SkipWithError("wrong sample count");
            return;
        }
    }
    const double linkSeconds = total / static_cast<double>(state.iterations());
    if (g_bareSeconds > 0.0) {
        state.counters["ratio_to_bare_socket"] = linkSeconds / g_bareSeconds;
        std::printf("download over the link / bare socket exchanges: %.2fx (target <= 1.1x)\n",
                    linkSeconds / g_bareSeconds);
    }
}

BENCHMARK(BM_BareSocketExchanges)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_LinkDownloadVirtualBridge)->Unit(benchmark::kMillisecond)->Iterations(5);

// The simulator serving a 1 MiB memory in a private folder, for the whole run.
class Simulator {
public:
    Simulator()
    {
        char pattern[] = "/tmp/shakemeter-bench-XXXXXX";
        if (!::mkdtemp(pattern))
            return;
        m_root = pattern;
        g_folder = m_root + "/bridges";
        fs::create_directories(g_folder);
        int out[2];
        if (::pipe2(out, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        const std::string program = SHAKEMETER_BINARY_DIR "/tools/qz810-sim";
        const std::string samples = std::to_string(kSamples);
        std::vector<char*> argv{const_cast<char*>(program.c_str()), const_cast<char*>("--folder"),      g_folder.data(),
                                const_cast<char*>("--samples"),     const_cast<char*>(samples.c_str()), nullptr};
        if (::posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        m_out = out[0];
        // The simulator's first line is its socket path, written once it listens.
        std::string line;
        char c;
        for (;;) {
            pollfd p{m_out, POLLIN, 0};
            if (::poll(&p, 1, 10000) <= 0 || ::read(m_out, &c, 1) != 1 || c == '\n')
                break;
            line += c;
        }
        g_socket = line;
    }
    ~Simulator()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
        if (m_out >= 0)
            ::close(m_out);
        std::error_code ignored;
        if (!m_root.empty())
            fs::remove_all(m_root, ignored);
    }

private:
    std::string m_root;
    pid_t m_pid = -1;
    int m_out = -1;
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    Simulator simulator;
    if (g_socket.empty()) {
        std::fprintf(stderr, "download_virtual: qz810-sim did not start (build it first)\n");
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
