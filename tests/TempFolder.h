#pragma once
// A new, empty folder under /tmp for one test, named from the given start; the test removes it.

#include <cstdlib>
#include <string>

namespace shakemeter::testing {

// The folder's path, or an empty string when none could be made.
inline std::string MakeTempFolder(const std::string& start)
{
    std::string pattern = "/tmp/" + start + "-XXXXXX";
    return ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}

}  // namespace shakemeter::testing
