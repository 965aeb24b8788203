#include <gtest/gtest.h>

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "recording/RecordingFile.h"
#include "PipeReader.h"
#include "TempFolder.h"

namespace shakemeter {
namespace {

const std::string kMagicBytes = "\x14Vibration Shakemeter";

RecordingHeader Header(std::uint32_t rows, std::uint16_t events, std::uint16_t interval, std::uint8_t mode)
{
    return RecordingHeader{rows, events, interval, mode, 2, 3, 18, 2026, 3, 14, 9, 41, 7, 20, 1};
}

// Three motion rows with ticks 0, 5, 6 and two free-fall events.
Recording MotionRecording()
{
    Recording r;
    r.m_header = Header(3, 2, 1 * 4 + 1, MODE_MOTION | MODE_FREEFALL);
    r.m_pSamples = {{0.01, -0.02, 1.0, 1.0}, {0.5, 0.25, -1.5, 1.6}, {-3.75, 0, 0.99, 3.87}};
    r.m_pSampleTicks = {0, 5, 6};
    r.m_pFreeFallEvents = {"14/03/26 09:41:12", "14/03/26 10:02:59"};
    return r;
}

Recording SpectrumRecording()
{
    Recording r;
    r.m_header = Header(256, 0, 0, 0);
    r.m_pSamples.resize(256);
    for (int k = 0; k < 256; ++k)
        r.m_pSamples[k] = {k * 0.01, -k * 0.01, 1.0, 2.0 + k};
    return r;
}

std::string Encode(const Recording& r, int shownCount = 1)
{
    std::string out;
    AppendRecordingBytes(out, r, shownCount);
    return out;
}

RecordingFileResult Read(const std::string& bytes)
{
    return ReadRecordingBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

double DoubleAt(const std::string& bytes, std::size_t offset)
{
    double d;
    std::memcpy(&d, bytes.data() + offset, 8);  // little-endian hosts, as everywhere we run
    return d;
}

void ExpectSameRecording(const Recording& a, const Recording& b)
{
    EXPECT_EQ(a.m_header, b.m_header);
    EXPECT_EQ(a.m_pSamples, b.m_pSamples);
    EXPECT_EQ(a.m_pSampleTicks, b.m_pSampleTicks);
    EXPECT_EQ(a.m_pFreeFallEvents, b.m_pFreeFallEvents);
    EXPECT_EQ(a.m_bRealTime, b.m_bRealTime);
}

TEST(RecordingFileLayout, MotionFileWithTwoEventsIs187Bytes)
{
    const std::string bytes = Encode(MotionRecording());
    ASSERT_EQ(bytes.size(), 187u);
    EXPECT_EQ(bytes.substr(0, 21), kMagicBytes);
    // Header: count 3, two events, interval 10 s code 5, mode 3, thresholds, 2026-03-14 09:41:07.
    EXPECT_EQ(bytes.substr(21, 21),
              std::string("\x03\x00\x00\x00\x02\x00\x05\x00\x03\x02\x03\x12\xEA\x07\x03\x0E\x09\x29\x07\x14\x01", 21));
    EXPECT_EQ(DoubleAt(bytes, 42), 0.01);
    EXPECT_EQ(DoubleAt(bytes, 58), 1.0);
    EXPECT_EQ(bytes.substr(74, 4), std::string("\x00\x00\x00\x00", 4));  // tick of row 0
    EXPECT_EQ(DoubleAt(bytes, 78), 0.5);
    EXPECT_EQ(bytes.substr(110, 4), std::string("\x05\x00\x00\x00", 4));
    EXPECT_EQ(DoubleAt(bytes, 114 + 24), 3.87);
    EXPECT_EQ(bytes.substr(146, 4), std::string("\x06\x00\x00\x00", 4));
    EXPECT_EQ(bytes[150], '\0');  // not real-time
    EXPECT_EQ(bytes.substr(151, 18),
              "\x11"
              "14/03/26 09:41:12");
    EXPECT_EQ(bytes.substr(169, 18),
              "\x11"
              "14/03/26 10:02:59");
}

TEST(RecordingFileLayout, SpectrumFileIs8235Bytes)
{
    const std::string bytes = Encode(SpectrumRecording());
    ASSERT_EQ(bytes.size(), 8235u);
    EXPECT_EQ(bytes.substr(0, 21), kMagicBytes);
    EXPECT_EQ(bytes.substr(21, 8), std::string("\x00\x01\x00\x00\x00\x00\x00\x00", 8));
    EXPECT_EQ(DoubleAt(bytes, 42 + 255 * 32), 255 * 0.01);
    EXPECT_EQ(DoubleAt(bytes, 42 + 255 * 32 + 8), -255 * 0.01);
    EXPECT_EQ(DoubleAt(bytes, 42 + 255 * 32 + 24), 257.0);
    EXPECT_EQ(bytes[8234], '\0');
}

TEST(RecordingFileLayout, HeaderCountsAgreeWithWhatIsWritten)
{
    // A real-time reading holds more rows than it received; only the received ones are data.
    Recording live;
    live.m_header = Header(4, 3, 1000, 0);
    live.m_pSamples.assign(10, SampleRow{0.1, 0.2, 0.3, 0.4});
    live.m_pFreeFallEvents = {"01/02/26 03:04:05"};
    live.m_bRealTime = 1;
    const std::string bytes = Encode(live);
    ASSERT_EQ(bytes.size(), 42u + 4 * 32 + 1 + 18);
    EXPECT_EQ(bytes.substr(21, 6), std::string("\x04\x00\x00\x00\x01\x00", 6));
    const RecordingFileResult back = Read(bytes);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.recording.m_pSamples.size(), 4u);
    EXPECT_EQ(back.recording.m_pFreeFallEvents.size(), 1u);
}

TEST(RecordingFileRoundTrip, EveryKindComesBackUnchanged)
{
    Recording logged;
    logged.m_header = Header(3, 0, 50 * 4, 0);
    logged.m_pSamples = {{0.01, 0.02, 0.98, 0.98}, {-0.5, 0.5, 1.0, 1.22}, {0, 0, 0, 0}};
    Recording realTime;
    realTime.m_header = Header(2, 0, 1000, 0);
    realTime.m_pSamples = {{1, 2, 3, 3.74}, {0, 0, 1, 1}};
    realTime.m_bRealTime = 1;

    for (const Recording& original : {logged, MotionRecording(), realTime, SpectrumRecording()}) {
        const RecordingFileResult back = Read(Encode(original));
        ASSERT_TRUE(back.ok());
        ExpectSameRecording(back.recording, original);
        EXPECT_EQ(back.recording.Kind(), original.Kind());
    }
    // The flag keeps a real-time interval in milliseconds rather than as an interval code.
    const RecordingFileResult back = Read(Encode(realTime));
    EXPECT_EQ(back.recording.m_bRealTime, 1);
    EXPECT_EQ(SecondsPerSample(back.recording.m_header, back.recording.m_bRealTime != 0), 1.0);
}

TEST(RecordingFileRefusal, MagicMustMatchExactly)
{
    const std::string good = Encode(MotionRecording());
    for (const std::string magic : {"\x14vibration shakemeter", "\x14VIBRATION SHAKEMETER", "\x13Vibration Shakemete",
                                    "\x15Vibration Shakemeter "}) {
        std::string bytes = magic + good.substr(21);
        EXPECT_EQ(Read(bytes).error, RecordingFileError::InvalidFormat) << magic;
    }
    // The same characters in wide form are the same magic.
    std::string wide = std::string("\xFF\xFE\xFF\x14", 4);
    for (char c : std::string("Vibration Shakemeter")) {
        wide.push_back(c);
        wide.push_back('\0');
    }
    EXPECT_TRUE(Read(wide + good.substr(21)).ok());
    EXPECT_STREQ(kInvalidFormatMessage, "Invalid Format!");
}

TEST(RecordingFileRefusal, EveryShortenedFileIsTruncated)
{
    for (const std::string& bytes : {Encode(MotionRecording()), Encode(SpectrumRecording())}) {
        for (std::size_t length = 0; length < bytes.size(); ++length) {
            const RecordingFileResult r = Read(bytes.substr(0, length));
            ASSERT_EQ(r.error, RecordingFileError::Truncated) << length;
            EXPECT_TRUE(r.recording.m_pSamples.empty());
            EXPECT_TRUE(r.recording.m_pFreeFallEvents.empty());
        }
    }
    EXPECT_EQ(ReadRecordingBytes(nullptr, 0).error, RecordingFileError::Truncated);
}

TEST(RecordingFileRefusal, ImpossibleCountsAreRefusedBeforeAllocating)
{
    const std::string small = Encode(SpectrumRecording()).substr(0, 42) + std::string(40, '\0');
    auto withCount = [&small](std::uint32_t rows, std::uint16_t events, std::uint8_t mode) {
        std::string b = small;
        for (int i = 0; i < 4; ++i)
            b[21 + i] = static_cast<char>((rows >> (8 * i)) & 0xFF);
        b[25] = static_cast<char>(events & 0xFF);
        b[26] = static_cast<char>(events >> 8);
        b[29] = static_cast<char>(mode);
        return b;
    };
    // 2^31 - 1 motion rows would need 77 GB: the check against the bytes present comes first.
    EXPECT_EQ(Read(withCount(0x7FFFFFFF, 0, MODE_MOTION)).error, RecordingFileError::Truncated);
    EXPECT_EQ(Read(withCount(0xFFFFFFFF, 0, 0)).error, RecordingFileError::TooLarge);
    EXPECT_EQ(Read(withCount(0, 65535, 0)).error, RecordingFileError::Truncated);
    EXPECT_TRUE(Read(withCount(1, 0, 0)).ok());

    // An event announcing 2 GB of text in a tiny file.
    std::string hugeEvent = withCount(0, 1, 0).substr(0, 43) + std::string("\xFF\xFF\xFF\x00\x00\x00\x80", 7);
    EXPECT_EQ(Read(hugeEvent).error, RecordingFileError::Truncated);
}

TEST(RecordingFileRefusal, NonFiniteValuesAreNotARecording)
{
    using Limits = std::numeric_limits<double>;
    // Either sign, quiet or signalling, and a NaN with the fewest payload bits, in any column.
    const double poisons[] = {Limits::quiet_NaN(),     -Limits::quiet_NaN(),
                              Limits::signaling_NaN(), std::bit_cast<double>(0x7FF0000000000001ull),
                              Limits::infinity(),      -Limits::infinity()};
    int column = 0;
    for (double poison : poisons) {
        Recording r = SpectrumRecording();
        r.m_pSamples[200][column++ % 4] = poison;
        EXPECT_EQ(Read(Encode(r)).error, RecordingFileError::InvalidFormat) << std::bit_cast<std::uint64_t>(poison);
    }
    Recording large = SpectrumRecording();
    large.m_pSamples[3] = {1e308, 1e308, 1e308, -1e308};  // finite, though the sum overflows
    // The finite values nearest to the non-finite ones, and the smallest ones.
    large.m_pSamples[4] = {Limits::max(), -Limits::max(), Limits::denorm_min(), -0.0};
    const RecordingFileResult back = Read(Encode(large));
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.recording.m_pSamples[4], large.m_pSamples[4]);
}

class RecordingFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = shakemeter::testing::MakeTempFolder("shakemeter-recfile");
        ASSERT_FALSE(m_dir.empty());
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }
    std::string m_dir;
};

TEST_F(RecordingFileOnDisk, WritesAndReadsBack)
{
    const std::string path = m_dir + "/motion.Vibration";
    ASSERT_TRUE(WriteRecordingFile(path, MotionRecording(), 3));
    EXPECT_EQ(std::filesystem::file_size(path), 187u);
    const RecordingFileResult back = ReadRecordingFile(path);
    ASSERT_TRUE(back.ok());
    ExpectSameRecording(back.recording, MotionRecording());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir), {}), 1);
}

TEST_F(RecordingFileOnDisk, EmptySaveFailsToOpenWithoutTheFormatMessage)
{
    std::string out = "prefix";
    AppendRecordingBytes(out, MotionRecording(), 0);
    EXPECT_EQ(out, "prefix");
    const std::string path = m_dir + "/empty.Vibration";
    ASSERT_TRUE(WriteRecordingFile(path, MotionRecording(), 0));
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
    EXPECT_EQ(ReadRecordingFile(path).error, RecordingFileError::Truncated);
}

TEST_F(RecordingFileOnDisk, FailedWriteKeepsTheOldFileAndFoldersAreNotFiles)
{
    const std::string path = m_dir + "/kept.Vibration";
    ASSERT_TRUE(WriteRecordingFile(path, SpectrumRecording(), 128));
    // A folder in the target's place cannot be replaced by a file.
    std::filesystem::create_directory(m_dir + "/occupied.Vibration");
    EXPECT_FALSE(WriteRecordingFile(m_dir + "/occupied.Vibration", MotionRecording(), 3));
    EXPECT_TRUE(std::filesystem::is_directory(m_dir + "/occupied.Vibration"));
    EXPECT_EQ(std::filesystem::file_size(path), 8235u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir), {}), 2);
    EXPECT_EQ(ReadRecordingFile(m_dir + "/none.Vibration").error, RecordingFileError::CannotOpen);
    EXPECT_EQ(ReadRecordingFile(m_dir).error, RecordingFileError::CannotOpen);
}

TEST_F(RecordingFileOnDisk, PathsThatAreNoFileSayWhyAndAPipeIsNotWaitedFor)
{
    EXPECT_EQ(ReadRecordingFile(m_dir + "/none.Vibration").systemError, ENOENT);
    EXPECT_EQ(ReadRecordingFile(m_dir).systemError, EISDIR);

    // A pipe named like a recording has no writer: opening it must not wait for one.
    const std::string pipe = m_dir + "/pipe.Vibration";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::optional<RecordingFileResult> refused =
        testing::ReadPipeWithoutWriter(pipe, [](const std::string& path) { return ReadRecordingFile(path); });
    ASSERT_TRUE(refused) << "the reader waited for a writer of the pipe";
    EXPECT_EQ(refused->error, RecordingFileError::CannotOpen);
    EXPECT_EQ(refused->systemError, 0);
}

TEST_F(RecordingFileOnDisk, ReadsLargeFilesOfEveryKindPieceByPiece)
{
    // More rows than one piece of the loader, with a value that differs in every row.
    for (std::uint8_t mode : {std::uint8_t{0}, MODE_MOTION}) {
        Recording big;
        big.m_header = Header(10007, 1, 200, mode);
        for (int k = 0; k < 10007; ++k)
            big.m_pSamples.push_back({k * 0.01, -k * 0.01, 1.0, k * 0.5});
        if (mode == MODE_MOTION) {
            for (int k = 0; k < 10007; ++k)
                big.m_pSampleTicks.push_back(3 * k + 1);
        }
        big.m_pFreeFallEvents = {"31/12/26 23:59:59"};
        const std::string path = m_dir + "/big.Vibration";
        ASSERT_TRUE(WriteRecordingFile(path, big, 10007));
        const RecordingFileResult back = ReadRecordingFile(path);
        ASSERT_TRUE(back.ok());
        ExpectSameRecording(back.recording, big);
        // The same bytes decoded from memory, also a piece at a time.
        const RecordingFileResult fromBytes = Read(Encode(big));
        ASSERT_TRUE(fromBytes.ok());
        ExpectSameRecording(fromBytes.recording, big);

        // A bad value in the last, partly filled piece.
        big.m_pSamples[9000][1] = std::numeric_limits<double>::quiet_NaN();
        ASSERT_TRUE(WriteRecordingFile(path, big, 10007));
        EXPECT_EQ(ReadRecordingFile(path).error, RecordingFileError::InvalidFormat);
        EXPECT_EQ(Read(Encode(big)).error, RecordingFileError::InvalidFormat);
    }
}

TEST_F(RecordingFileOnDisk, ShortenedFilesAreTruncated)
{
    Recording logged = MotionRecording();
    logged.m_header.byMode = 0;
    const std::string path = m_dir + "/short.Vibration";
    for (const std::string& full : {Encode(MotionRecording()), Encode(logged)}) {
        for (std::size_t length = 1; length < full.size(); ++length) {
            std::ofstream(path, std::ios::binary | std::ios::trunc) << full.substr(0, length);
            ASSERT_EQ(ReadRecordingFile(path).error, RecordingFileError::Truncated) << length;
        }
    }
    const std::string bytes = Encode(MotionRecording());
    // A first string longer than the part read ahead is still judged on the whole file.
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        << std::string("\xFF\xFF\xFF\x70\x11\x01\x00", 7) << std::string(70000, 'V') << bytes.substr(21);
    EXPECT_EQ(ReadRecordingFile(path).error, RecordingFileError::InvalidFormat);
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        << std::string("\xFF\xFF\xFF\x00\x00\x02\x00", 7) << std::string(70000, 'V');
    EXPECT_EQ(ReadRecordingFile(path).error, RecordingFileError::Truncated);
}

TEST(RecordingFileSamples, RepositorySamplesLoadAsTheirKind)
{
    struct Sample {
        const char* name;
        RecordingKind kind;
        std::size_t rows;
        std::size_t events;
    };
    for (const Sample& s :
         {Sample{"logged-normal", RecordingKind::Logged, 2000, 0},
          Sample{"motion-events", RecordingKind::Logged, 147, 3},
          Sample{"motion-next-week", RecordingKind::Logged, 139, 3},
          Sample{"realtime", RecordingKind::RealTime, 120, 0}, Sample{"spectrum", RecordingKind::Spectrum, 256, 0}}) {
        const RecordingFileResult r =
            ReadRecordingFile(std::string(SHAKEMETER_SOURCE_DIR) + "/samples/" + s.name + ".Vibration");
        ASSERT_TRUE(r.ok()) << s.name;
        EXPECT_EQ(r.recording.Kind(), s.kind) << s.name;
        EXPECT_EQ(r.recording.RowCount(), s.rows) << s.name;
        EXPECT_EQ(r.recording.m_pFreeFallEvents.size(), s.events) << s.name;
        EXPECT_EQ(r.recording.m_header.wYear, 2026) << s.name;
        for (const SampleRow& row : r.recording.m_pSamples) {
            for (double v : row)
                ASSERT_EQ(std::round(v * 100) * 0.01, v) << s.name;  // hundredths of g, as the logger stores them
        }
    }
}

}  // namespace
}  // namespace shakemeter
