// A session file as the program finds it: any bytes at all. Reading either refuses them with a
// message that names the file, or gives a session that writes back into text which reads again as
// the same session.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "session/SessionFile.h"

namespace {

using namespace shakemeter;

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

constexpr const char* kSessionPath = "/recordings/fuzz.shakeproject";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const SessionReadResult read = ParseSession(text, kSessionPath);
    if (!read.session) {
        Require(read.error.rfind("Cannot open the session \"/recordings/fuzz.shakeproject\": ", 0) == 0);
        return 0;
    }
    Require(read.error.empty());

    // Paths read are whole; written again they read back as themselves, as does everything else.
    std::string reason;
    const std::optional<std::string> written = FormatSession(*read.session, kSessionPath, &reason);
    Require(written.has_value());
    const SessionReadResult again = ParseSession(*written, kSessionPath);
    Require(again.session.has_value());
    Require(*again.session == *read.session);
    Require(FormatSession(*again.session, kSessionPath) == written);
    return 0;
}
