// The HDF5 export read back through the HDF5 C library as Python's and MATLAB's readers see it:
// dataset values and types, root attributes, and a failed write that leaves nothing behind.

#include <cstdio>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>
#include <hdf5.h>
#include <sys/stat.h>

#include "ExportFixtures.h"
#include "ScopedTimeZone.h"
#include "TestRecordings.h"
#include "analysis/export/Hdf5Export.h"
#include "recording/RecordingView.h"

namespace {

using namespace shakemeter;
using namespace shakemeter::exports;
using namespace shakemeter::testing;

struct Installed {
    Recording recording;
    RecordingView view;
    explicit Installed(Recording fresh) { InstallCompleteRecording(recording, view, std::move(fresh)); }
};

class Hdf5Reader {
public:
    explicit Hdf5Reader(const std::string& path) : m_file(H5Fopen(path.c_str(), H5F_ACC_RDONLY, H5P_DEFAULT)) {}
    ~Hdf5Reader()
    {
        if (m_file >= 0)
            H5Fclose(m_file);
    }
    bool open() const { return m_file >= 0; }

    // The values and whether the stored type is the one named (F64LE or I32LE).
    template <typename T>
    std::vector<T> Dataset(const char* name, bool* typeMatches = nullptr) const
    {
        const hid_t set = H5Dopen2(m_file, name, H5P_DEFAULT);
        if (set < 0)
            return {};
        const hid_t space = H5Dget_space(set);
        const hssize_t n = H5Sget_simple_extent_npoints(space);
        std::vector<T> values(static_cast<std::size_t>(n));
        const bool isDouble = std::is_same_v<T, double>;
        const hid_t type = H5Dget_type(set);
        if (typeMatches != nullptr)
            *typeMatches = H5Tequal(type, isDouble ? H5T_IEEE_F64LE : H5T_STD_I32LE) > 0;
        H5Dread(set, isDouble ? H5T_NATIVE_DOUBLE : H5T_NATIVE_INT32, H5S_ALL, H5S_ALL, H5P_DEFAULT, values.data());
        H5Tclose(type);
        H5Sclose(space);
        H5Dclose(set);
        return values;
    }
    bool HasDataset(const char* name) const { return H5Lexists(m_file, name, H5P_DEFAULT) > 0; }

    std::vector<std::string> Strings(const char* object, const char* name) const
    {
        const hid_t attribute = H5Aopen_by_name(m_file, object, name, H5P_DEFAULT, H5P_DEFAULT);
        if (attribute < 0)
            return {"<missing>"};
        const hid_t space = H5Aget_space(attribute);
        const std::size_t n = static_cast<std::size_t>(H5Sget_simple_extent_npoints(space));
        const hid_t type = H5Tcopy(H5T_C_S1);
        H5Tset_size(type, H5T_VARIABLE);
        H5Tset_cset(type, H5T_CSET_UTF8);
        std::vector<char*> texts(std::max<std::size_t>(n, 1), nullptr);
        std::vector<std::string> out;
        if (H5Aread(attribute, type, texts.data()) >= 0) {
            for (std::size_t i = 0; i < n; ++i)
                out.emplace_back(texts[i] != nullptr ? texts[i] : "");
            H5Dvlen_reclaim(type, space, H5P_DEFAULT, texts.data());
        }
        H5Tclose(type);
        H5Sclose(space);
        H5Aclose(attribute);
        return out;
    }
    template <typename T>
    std::vector<T> Numbers(const char* name) const
    {
        const hid_t attribute = H5Aopen_by_name(m_file, "/", name, H5P_DEFAULT, H5P_DEFAULT);
        if (attribute < 0)
            return {};
        const hid_t space = H5Aget_space(attribute);
        std::vector<T> values(static_cast<std::size_t>(H5Sget_simple_extent_npoints(space)));
        H5Aread(attribute, std::is_same_v<T, double> ? H5T_NATIVE_DOUBLE : H5T_NATIVE_INT32, values.data());
        H5Sclose(space);
        H5Aclose(attribute);
        return values;
    }

private:
    hid_t m_file;
};

TEST(Hdf5Export, LoggedRecordingReadsBackWithEveryValueTypeAndAttribute)
{
    const ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    const ScratchFolder folder("hdf5-logged");
    RecordingHeader header = MarchHeader(200);
    header.byThresholdX = 3;
    header.byThresholdY = 4;
    header.byThresholdZ = 18;
    Recording fresh = MakeRecording(header, RandomCountRows(70000, 5));
    fresh.m_pFreeFallEvents = {"05/03/23 14:08:00", "05/03/23 14:09:30"};
    const Installed in(std::move(fresh));
    const std::string path = folder / "run.h5";
    FileWriteError error;
    ASSERT_TRUE(WriteHdf5File(path, in.recording, in.view, &error)) << error.reason;

    const Hdf5Reader file(path);
    ASSERT_TRUE(file.open());
    const char* columns[4] = {"x", "y", "z", "sum"};
    for (int c = 0; c < 4; ++c) {
        bool float64 = false;
        const std::vector<double> values = file.Dataset<double>(columns[c], &float64);
        EXPECT_TRUE(float64) << columns[c];
        ASSERT_EQ(values.size(), 70000u);
        for (std::size_t k = 0; k < values.size(); ++k)
            ASSERT_EQ(values[k], in.recording.m_pSamples[k][c]) << columns[c] << " row " << k;
        EXPECT_EQ(file.Strings(columns[c], "unit"), std::vector<std::string>{"g"});
    }
    const std::vector<double> time = file.Dataset<double>("time");
    ASSERT_EQ(time.size(), 70000u);
    EXPECT_EQ(time[0], 0.0);
    EXPECT_DOUBLE_EQ(time[69999], 69999 * 0.05);
    EXPECT_FALSE(file.HasDataset("tick"));

    EXPECT_EQ(file.Strings("/", "start_time"), std::vector<std::string>{"2023-03-05T14:07:09+01:00"});
    EXPECT_EQ(file.Numbers<double>("interval_s"), std::vector<double>{0.05});
    EXPECT_EQ(file.Strings("/", "kind"), std::vector<std::string>{"logged"});
    EXPECT_EQ(file.Strings("/", "mode"), std::vector<std::string>{"Normal"});
    EXPECT_EQ(file.Numbers<std::int32_t>("thresholds"), (std::vector<std::int32_t>{3, 4, 18}));
    EXPECT_EQ(file.Strings("/", "free_fall_events"),
              (std::vector<std::string>{"05/03/23 14:08:00", "05/03/23 14:09:30"}));
    EXPECT_EQ(file.Strings("/", "source"), std::vector<std::string>{"shakemeter"});
}

TEST(Hdf5Export, MotionDetectionTimesComeFromTheTicks)
{
    const ScratchFolder folder("hdf5-motion");
    const Installed in(MakeRecording(MarchHeader(5), FlatRows(4, 1.0), {0, 3, 4, 40}));  // 1 s ticks
    const std::string path = folder / "motion.h5";
    ASSERT_TRUE(WriteHdf5File(path, in.recording, in.view));
    const Hdf5Reader file(path);
    bool int32 = false;
    EXPECT_EQ(file.Dataset<std::int32_t>("tick", &int32), (std::vector<std::int32_t>{0, 3, 4, 40}));
    EXPECT_TRUE(int32);
    EXPECT_EQ(file.Dataset<double>("time"), (std::vector<double>{0, 3, 4, 40}));
    EXPECT_EQ(file.Strings("/", "mode"), std::vector<std::string>{"Motion Detection"});
    EXPECT_EQ(file.Strings("/", "free_fall_events"), std::vector<std::string>{});

    // A recording without rows still gives every dataset, empty.
    const Installed none(MakeRecording(MarchHeader(5), {}, {}));
    ASSERT_TRUE(WriteHdf5File(folder / "none.h5", none.recording, none.view));
    const Hdf5Reader empty(folder / "none.h5");
    EXPECT_TRUE(empty.HasDataset("x"));
    EXPECT_TRUE(empty.Dataset<double>("time").empty());
}

TEST(Hdf5Export, AFailedWriteLeavesTheTargetAsItWasAndNoTemporaryFile)
{
    const ScratchFolder folder("hdf5-fail");
    const Installed in(MakeRecording(MarchHeader(), FlatRows(10, 1.0)));
    FileWriteError error;

    // A folder in the way: refused, named, and the folder stays.
    ASSERT_TRUE(std::filesystem::create_directory(folder / "taken.h5"));
    EXPECT_FALSE(WriteHdf5File(folder / "taken.h5", in.recording, in.view, &error));
    EXPECT_EQ(error.path, folder / "taken.h5");
    EXPECT_EQ(error.reason, "Is a directory");

    // A read-only file the user protected keeps its bytes.
    const std::string locked = folder / "locked.h5";
    std::ofstream(locked) << "keep";
    ::chmod(locked.c_str(), 0444);
    EXPECT_FALSE(WriteHdf5File(locked, in.recording, in.view, &error));
    EXPECT_EQ(error.reason, "the file is read-only");
    std::ifstream kept(locked);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "keep");

    // A folder that does not exist: nothing can be created.
    EXPECT_FALSE(WriteHdf5File(folder / "missing/run.h5", in.recording, in.view, &error));
    EXPECT_EQ(error.path, folder / "missing/run.h5");
    EXPECT_EQ(error.reason, "No such file or directory");

    std::vector<std::string> names = folder.Names();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"locked.h5", "taken.h5"}));
}

TEST(Hdf5Export, ReplacingAFileKeepsItsPermissions)
{
    const ScratchFolder folder("hdf5-replace");
    const Installed in(MakeRecording(MarchHeader(), FlatRows(10, 1.0)));
    const std::string path = folder / "run.h5";
    std::ofstream(path) << "old";
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(WriteHdf5File(path, in.recording, in.view));
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_TRUE(Hdf5Reader(path).open());
}

// The temporary file beside the target cannot add its suffix to a name the system allows only
// just: it takes a shortened name, and the target is written under its own.
TEST(Hdf5Export, NamesUpToWhatTheSystemAllowsAreWritten)
{
    const ScratchFolder folder("hdf5-long");
    const Installed in(MakeRecording(MarchHeader(), FlatRows(10, 1.0)));
    const std::string name = std::string(NAME_MAX - 3, 'n') + ".h5";
    FileWriteError error;
    ASSERT_TRUE(WriteHdf5File(folder / name, in.recording, in.view, &error)) << error.reason;
    EXPECT_EQ(Hdf5Reader(folder / name).Dataset<double>("x").size(), 10u);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{name});
}

TEST(Hdf5Export, TheCommandLineToolListsTheDatasets)
{
    if (std::system("command -v h5dump >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "h5dump is not installed";
    const ScratchFolder folder("hdf5-dump");
    const Installed in(MakeRecording(MarchHeader(5), FlatRows(4, 1.0), {0, 1, 2, 3}));
    const std::string path = folder / "run.h5";
    ASSERT_TRUE(WriteHdf5File(path, in.recording, in.view));
    const std::string listing = folder / "listing.txt";
    ASSERT_EQ(std::system(("h5dump -H " + path + " > " + listing).c_str()), 0);
    std::ifstream text(listing);
    const std::string header((std::istreambuf_iterator<char>(text)), {});
    for (const char* name : {"\"x\"", "\"y\"", "\"z\"", "\"sum\"", "\"time\"", "\"tick\"", "\"start_time\"",
                             "\"free_fall_events\"", "\"source\""})
        EXPECT_NE(header.find(name), std::string::npos) << name << "\n" << header;
    EXPECT_NE(header.find("H5T_IEEE_F64LE"), std::string::npos);
    EXPECT_NE(header.find("H5T_STD_I32LE"), std::string::npos);
}

}  // namespace
