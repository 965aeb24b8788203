#pragma once
// Calls a reader on a named pipe that has no writer, on a thread of its own: a reader that waits
// for a writer is let go after a few seconds, so that the test ends and tells it.

#include <chrono>
#include <fcntl.h>
#include <future>
#include <optional>
#include <string>
#include <thread>
#include <unistd.h>

namespace shakemeter::testing {

// What read(pipe) returned, or nothing when it waited for a writer.
template <class Read>
auto ReadPipeWithoutWriter(const std::string& pipe, Read read) -> std::optional<decltype(read(pipe))>
{
    using Result = decltype(read(pipe));
    std::promise<Result> done;
    std::future<Result> result = done.get_future();
    std::thread reader([&] { done.set_value(read(pipe)); });
    const bool returned = result.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    if (!returned) {
        const int writer = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0)
            ::close(writer);
    }
    reader.join();
    if (!returned)
        return std::nullopt;
    return result.get();
}

}  // namespace shakemeter::testing
