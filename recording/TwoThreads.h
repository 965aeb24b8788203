#pragma once
// Work split in two independent halves, done on both cores: the second half on a thread of its
// own while this thread does the first. Both are done before the call returns; when no thread is
// to be had, this thread does both, one after the other.

#include <system_error>
#include <thread>

namespace shakemeter {

template <typename Here, typename There>
void RunOnTwoThreads(Here&& here, There&& there)
{
    std::thread other;
    try {
        other = std::thread(there);
    } catch (const std::system_error&) {
    }
    here();
    if (other.joinable())
        other.join();
    else
        there();
}

}  // namespace shakemeter
