#pragma once
// Work split in two independent halves, done on both cores: the second half on a thread of its
// own while this thread does the first. Both are done before the call returns; when no thread is
// to be had, this thread does both, one after the other. A half that throws (memory running out
// in the middle of a paint) does not take the program down with a running thread: the other half
// is waited for, and the first failure is thrown on here.

#include <exception>
#include <system_error>
#include <thread>

namespace shakemeter {

template <typename Here, typename There>
void RunOnTwoThreads(Here&& here, There&& there)
{
    std::exception_ptr thereFailure;
    auto runThere = [&there, &thereFailure] {
        try {
            there();
        } catch (...) {
            thereFailure = std::current_exception();
        }
    };
    std::thread other;
    try {
        other = std::thread(runThere);
    } catch (const std::system_error&) {
    }
    std::exception_ptr hereFailure;
    try {
        here();
    } catch (...) {
        hereFailure = std::current_exception();
    }
    if (other.joinable())
        other.join();
    else if (!hereFailure)
        runThere();
    if (hereFailure)
        std::rethrow_exception(hereFailure);
    if (thereFailure)
        std::rethrow_exception(thereFailure);
}

}  // namespace shakemeter
