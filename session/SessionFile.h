#pragma once
// The session file (".shakeproject"): UTF-8 JSON naming the shown recording and, when set, the
// compared recording with its alignment, the cursors and the zoom. Paths of files in or below the
// session file's folder are written relative to it, so a folder of recordings and its session
// can move together; other paths are written whole. Reading checks every value before anything
// is used and answers with a message naming the file and the fault; whether the rows lie within
// the recordings can only be told once they are read (SessionRowsFault).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "recording/AtomicFile.h"
#include "session/Session.h"

namespace shakemeter {

inline constexpr const char* kSessionFormat = "shakemeter-session";
inline constexpr int kSessionVersion = 1;
inline constexpr const char* kSessionExtension = "shakeproject";
// A session file is a few hundred bytes; anything much larger is not one and is not read.
inline constexpr std::size_t kMaxSessionFileBytes = 1u << 20;
// No recording holds more rows than this, and every row of one fits the graph's int rows.
inline constexpr std::size_t kMaxSessionRow = 2147483646u;
// Beyond about thirty years an offset is no nudge but a broken file.
inline constexpr double kMaxSessionOffsetSeconds = 1e9;

struct SessionReadResult {
    std::optional<Session> session;
    std::string error;  // without a session: the message, naming the file and the fault
};

// The message of a session that cannot be opened: "Cannot open the session "<path>": <reason>."
std::string SessionOpenFailure(const std::string& sessionPath, const std::string& reason);

// Whether the path names a session file by its extension (in any case).
bool IsSessionPath(const std::string& path);

// How a file's path is written in the session file at sessionPath, and how a written path is read
// back: relative to the session file's folder when the file lies in or below it.
std::string PathForSession(const std::string& file, const std::string& sessionPath);
std::string PathFromSession(const std::string& written, const std::string& sessionPath);

// The file's text; nothing (with the reason) when a path cannot be written as UTF-8 text.
std::optional<std::string> FormatSession(const Session& session, const std::string& sessionPath,
                                         std::string* reason = nullptr);
SessionReadResult ParseSession(std::string_view text, const std::string& sessionPath);

SessionReadResult ReadSessionFile(const std::string& path);
// Replaces the file whole or leaves it as it was; on failure error names the file and the reason.
bool WriteSessionFile(const std::string& path, const Session& session, FileWriteError* error = nullptr);

}  // namespace shakemeter
