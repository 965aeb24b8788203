#include "session/SessionFile.h"

#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <utility>

#include <unistd.h>

#include "recording/RegularFile.h"

namespace shakemeter {

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

constexpr std::array<std::pair<AlignBy, const char*>, 3> kAlignNames{{
    {AlignBy::Clock, "clock"},
    {AlignBy::FirstSample, "first-sample"},
    {AlignBy::Event, "event"},
}};

fs::path AbsoluteNormal(const std::string& path)
{
    std::error_code ignored;
    fs::path absolute = fs::absolute(fs::path(path), ignored);
    if (absolute.empty())
        absolute = fs::path(path);
    return absolute.lexically_normal();
}

fs::path FolderOf(const std::string& sessionPath)
{
    return AbsoluteNormal(sessionPath).parent_path();
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

// Reads the values of the file one by one; the first fault found is kept and every later read
// answers nothing, so the checks can be written as a plain sequence.
class SessionReader {
public:
    explicit SessionReader(std::string* fault) : m_fault(fault) {}

    bool Failed() const { return !m_fault->empty(); }

    const json* Member(const json& object, const char* key, const std::string& name, bool required)
    {
        if (Failed())
            return nullptr;
        const auto found = object.find(key);
        if (found == object.end()) {
            if (required)
                Fail(Quoted(name) + " is missing");
            return nullptr;
        }
        return &*found;
    }

    const json* Object(const json& object, const char* key, const std::string& name, bool required)
    {
        const json* value = Member(object, key, name, required);
        if (value != nullptr && !value->is_object()) {
            Fail(Quoted(name) + " is not an object");
            return nullptr;
        }
        return value;
    }

    std::optional<std::string> File(const json& object, const char* key, const std::string& name)
    {
        const json* value = Member(object, key, name, true);
        if (value == nullptr)
            return std::nullopt;
        // A name holding a NUL character would be cut there by the system and open another file.
        if (!value->is_string() || value->get_ref<const std::string&>().empty() ||
            value->get_ref<const std::string&>().find('\0') != std::string::npos) {
            Fail(Quoted(name) + " does not name a file");
            return std::nullopt;
        }
        return value->get<std::string>();
    }

    std::optional<std::size_t> Row(const json& object, const char* key, const std::string& name, bool required)
    {
        const json* value = Member(object, key, name, required);
        if (value == nullptr)
            return std::nullopt;
        if (value->is_number_unsigned() && value->get<std::uint64_t>() <= kMaxSessionRow)
            return static_cast<std::size_t>(value->get<std::uint64_t>());
        Fail(Quoted(name) + " is not a row number (a whole number from 0 to " + std::to_string(kMaxSessionRow) + ")");
        return std::nullopt;
    }

    std::optional<double> Seconds(const json& object, const char* key, const std::string& name)
    {
        const json* value = Member(object, key, name, false);
        if (value == nullptr)
            return std::nullopt;
        if (value->is_number() && std::isfinite(value->get<double>()) &&
            std::abs(value->get<double>()) <= kMaxSessionOffsetSeconds)
            return value->get<double>();
        Fail(Quoted(name) + " is not a number of seconds (at most 1e9 either way)");
        return std::nullopt;
    }

    std::optional<AlignBy> Align(const json& object, const char* key, const std::string& name)
    {
        const json* value = Member(object, key, name, true);
        if (value == nullptr)
            return std::nullopt;
        if (value->is_string())
            for (const auto& [align, text] : kAlignNames)
                if (value->get_ref<const std::string&>() == text)
                    return align;
        // A structured value is named by its kind: written out it could be nested deeper than
        // the writer's recursion can go, and a message would not show it anyway.
        const std::string given = value->is_structured() ? std::string("an ") + value->type_name()
                                                         : value->dump(-1, ' ', false, json::error_handler_t::replace);
        Fail(Quoted(name) + " is " + given + "; it must be \"clock\", \"first-sample\" or \"event\"");
        return std::nullopt;
    }

    void Fail(const std::string& fault)
    {
        if (!Failed())
            *m_fault = fault;
    }

private:
    std::string* m_fault;
};

std::optional<SessionComparison> ReadComparison(SessionReader& reader, const json& top, const std::string& sessionPath)
{
    const json* object = reader.Object(top, "comparison", "comparison", false);
    if (object == nullptr)
        return std::nullopt;
    SessionComparison comparison;
    const std::optional<std::string> file = reader.File(*object, "file", "comparison.file");
    const std::optional<AlignBy> align = reader.Align(*object, "align", "comparison.align");
    // The rows name the events only when the two are aligned on them; a file aligned otherwise
    // may still keep the last ones chosen.
    const bool byEvent = align == AlignBy::Event;
    const std::optional<std::size_t> shown = reader.Row(*object, "shownEventRow", "comparison.shownEventRow", byEvent);
    const std::optional<std::size_t> compared =
        reader.Row(*object, "comparedEventRow", "comparison.comparedEventRow", byEvent);
    const std::optional<double> offset = reader.Seconds(*object, "offsetSeconds", "comparison.offsetSeconds");
    if (reader.Failed())
        return std::nullopt;
    comparison.file = PathFromSession(*file, sessionPath);
    comparison.alignment.by = *align;
    comparison.alignment.mainEventRow = shown.value_or(0);
    comparison.alignment.overlayEventRow = compared.value_or(0);
    comparison.alignment.offsetSeconds = offset.value_or(0.0);
    return comparison;
}

// An object of two rows ("cursors": a and b, "zoom": firstRow and lastRow); nothing when it is left
// out or faulty.
std::optional<std::pair<std::size_t, std::size_t>> ReadRowPair(SessionReader& reader, const json& top,
                                                               const std::string& key, const std::string& first,
                                                               const std::string& second)
{
    const json* object = reader.Object(top, key.c_str(), key, false);
    if (object == nullptr)
        return std::nullopt;
    const std::optional<std::size_t> one = reader.Row(*object, first.c_str(), key + "." + first, true);
    const std::optional<std::size_t> other = reader.Row(*object, second.c_str(), key + "." + second, true);
    if (reader.Failed())
        return std::nullopt;
    return std::pair{*one, *other};
}

std::optional<CursorPair> ReadCursors(SessionReader& reader, const json& top)
{
    const auto rows = ReadRowPair(reader, top, "cursors", "a", "b");
    if (!rows)
        return std::nullopt;
    return CursorPair{rows->first, rows->second};
}

std::optional<SessionZoom> ReadZoom(SessionReader& reader, const json& top)
{
    const auto rows = ReadRowPair(reader, top, "zoom", "firstRow", "lastRow");
    if (!rows)
        return std::nullopt;
    const auto [first, last] = *rows;
    if (first >= last) {
        reader.Fail("the zoom's first row " + std::to_string(first) + " is not before its last row " +
                    std::to_string(last));
        return std::nullopt;
    }
    return SessionZoom{first, last};
}

// The format and the version come first: a later version's file is told as such, not by the
// first value this version does not know.
void CheckFormat(SessionReader& reader, const json& top)
{
    const json* format = reader.Member(top, "format", "format", false);
    if (format == nullptr || !format->is_string() || format->get_ref<const std::string&>() != kSessionFormat) {
        reader.Fail(std::string("it is not a session file (its \"format\" is not \"") + kSessionFormat + "\")");
        return;
    }
    const json* version = reader.Member(top, "version", "version", true);
    if (version == nullptr)
        return;
    if (!version->is_number_integer() || version->get<std::int64_t>() < 1) {
        reader.Fail("\"version\" is not a version number");
    } else if (version->get<std::int64_t>() > kSessionVersion) {
        reader.Fail("it was written by a later version of the program (session version " +
                    std::to_string(version->get<std::int64_t>()) + "; this one reads version " +
                    std::to_string(kSessionVersion) + ")");
    }
}

}  // namespace

std::string SessionOpenFailure(const std::string& sessionPath, const std::string& reason)
{
    return "Cannot open the session " + Quoted(sessionPath) + ": " + reason + ".";
}

bool IsSessionPath(const std::string& path)
{
    std::string extension = fs::path(path).extension().string();
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == std::string(".") + kSessionExtension;
}

std::string PathForSession(const std::string& file, const std::string& sessionPath)
{
    const fs::path absolute = AbsoluteNormal(file);
    const fs::path relative = absolute.lexically_relative(FolderOf(sessionPath));
    if (relative.empty() || *relative.begin() == "..")
        return absolute.generic_string();
    return relative.generic_string();
}

std::string PathFromSession(const std::string& written, const std::string& sessionPath)
{
    const fs::path path(written);
    if (path.is_absolute())
        return path.lexically_normal().string();
    return (FolderOf(sessionPath) / path).lexically_normal().string();
}

std::optional<std::string> FormatSession(const Session& session, const std::string& sessionPath, std::string* reason)
{
    // Written in the order a reader of the file looks for things, not sorted by name.
    json top = json::object();
    top["format"] = kSessionFormat;
    top["version"] = kSessionVersion;
    top["recording"] = PathForSession(session.recording, sessionPath);
    if (session.comparison) {
        const SessionComparison& c = *session.comparison;
        json comparison = json::object();
        comparison["file"] = PathForSession(c.file, sessionPath);
        for (const auto& [align, text] : kAlignNames)
            if (align == c.alignment.by)
                comparison["align"] = text;
        comparison["shownEventRow"] = c.alignment.mainEventRow;
        comparison["comparedEventRow"] = c.alignment.overlayEventRow;
        comparison["offsetSeconds"] = c.alignment.offsetSeconds;
        top["comparison"] = std::move(comparison);
    }
    if (session.cursors)
        top["cursors"] = json{{"a", session.cursors->rowA}, {"b", session.cursors->rowB}};
    if (session.zoom)
        top["zoom"] = json{{"firstRow", session.zoom->firstRow}, {"lastRow", session.zoom->lastRow}};
    try {
        return top.dump(2) + "\n";
    } catch (const json::type_error&) {
        // A file name that is no UTF-8 text: the session could not be read back by name.
        if (reason != nullptr)
            *reason = "a file's name is not UTF-8 text";
        return std::nullopt;
    }
}

SessionReadResult ParseSession(std::string_view text, const std::string& sessionPath)
{
    SessionReadResult result;
    json top;
    try {
        top = json::parse(text);
    } catch (const json::parse_error& error) {
        result.error =
            SessionOpenFailure(sessionPath, "it is not JSON text (a fault at byte " + std::to_string(error.byte) + ")");
        return result;
    } catch (const json::out_of_range&) {
        // The parser's other refusal: a number beyond what a double holds, such as 1e400.
        result.error = SessionOpenFailure(sessionPath, "it holds a number too large to be read");
        return result;
    }
    if (!top.is_object()) {
        result.error = SessionOpenFailure(sessionPath, "it is not a session file (not a JSON object)");
        return result;
    }
    std::string fault;
    SessionReader reader(&fault);
    CheckFormat(reader, top);
    Session session;
    if (const std::optional<std::string> recording = reader.File(top, "recording", "recording"))
        session.recording = PathFromSession(*recording, sessionPath);
    session.comparison = ReadComparison(reader, top, sessionPath);
    session.cursors = ReadCursors(reader, top);
    session.zoom = ReadZoom(reader, top);
    if (reader.Failed()) {
        result.error = SessionOpenFailure(sessionPath, fault);
        return result;
    }
    result.session = std::move(session);
    return result;
}

SessionReadResult ReadSessionFile(const std::string& path)
{
    SessionReadResult result;
    const auto refuse = [&](const std::string& reason) {
        result.error = SessionOpenFailure(path, reason);
        return result;
    };
    const RegularFileOpening opening = OpenRegularFile(path);
    // A pipe or a device would have the reader wait for a writer, or read without end.
    if (!opening.file.isOpen())
        return refuse(opening.error != 0 ? std::strerror(opening.error) : "it is not a file");
    const int fd = opening.file.fd();
    // One byte more than allowed tells a file that is too large without reading all of it.
    std::string text(kMaxSessionFileBytes + 1, '\0');
    std::size_t read = 0;
    int readError = 0;
    while (read < text.size()) {
        const ssize_t n = ::read(fd, text.data() + read, text.size() - read);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            readError = errno;
        if (n <= 0)
            break;
        read += static_cast<std::size_t>(n);
    }
    if (readError != 0)
        return refuse(std::strerror(readError));
    if (read > kMaxSessionFileBytes)
        return refuse("it is too large to be a session file");
    text.resize(read);
    return ParseSession(text, path);
}

bool WriteSessionFile(const std::string& path, const Session& session, FileWriteError* error)
{
    std::string reason;
    const std::optional<std::string> text = FormatSession(session, path, &reason);
    if (!text) {
        if (error != nullptr)
            *error = FileWriteError{path, reason};
        return false;
    }
    return WriteFileAtomically(path, *text, FileSystemCalls::System(), error);
}

}  // namespace shakemeter
