#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <stdexcept>
#include <thread>

#include "recording/TwoThreads.h"

namespace shakemeter {
namespace {

TEST(TwoThreads, BothHalvesAreDoneBeforeTheCallReturns)
{
    std::atomic<int> done{0};
    std::thread::id hereThread;
    RunOnTwoThreads(
        [&] {
            hereThread = std::this_thread::get_id();
            ++done;
        },
        [&] { ++done; });
    EXPECT_EQ(done.load(), 2);
    EXPECT_EQ(hereThread, std::this_thread::get_id());
}

// A failing half must neither end the program (a thread left running) nor cut the other half
// short; the failure reaches the caller.
TEST(TwoThreads, AFailingHalfIsThrownAfterTheOtherHalfIsDone)
{
    std::atomic<bool> otherDone{false};
    EXPECT_THROW(RunOnTwoThreads([] { throw std::bad_alloc(); }, [&] { otherDone = true; }), std::bad_alloc);
    EXPECT_TRUE(otherDone.load());

    otherDone = false;
    EXPECT_THROW(RunOnTwoThreads([&] { otherDone = true; }, [] { throw std::runtime_error("second half"); }),
                 std::runtime_error);
    EXPECT_TRUE(otherDone.load());

    // Both failing: the first half's failure is the one reported.
    EXPECT_THROW(RunOnTwoThreads([] { throw std::bad_alloc(); }, [] { throw std::runtime_error("second half"); }),
                 std::bad_alloc);
}

}  // namespace
}  // namespace shakemeter
