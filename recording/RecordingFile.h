#pragma once
// Reading and writing ".Vibration" recording files: the magic string, the 21 header bytes, the
// rows (four little-endian doubles, plus a signed 32-bit tick each with MODE_MOTION), the
// real-time flag byte and the free-fall texts.
//
// The reader works on bytes and builds a new Recording; the caller's recording is only replaced
// once a file was read completely. Counts and lengths from the file are checked against the bytes
// that remain before anything is allocated.

#include <cstddef>
#include <cstdint>
#include <string>

#include "recording/Recording.h"

namespace shakemeter {

enum class RecordingFileError { None, InvalidFormat, Truncated, TooLarge, CannotOpen, CannotWrite };

struct RecordingFileResult {
    RecordingFileError error = RecordingFileError::None;
    Recording recording;
    // With CannotOpen: the system's error number (EISDIR for a folder), 0 for another kind of
    // file that is no recording's (a pipe, a device).
    int systemError = 0;
    bool ok() const { return error == RecordingFileError::None; }
};

// The one file message the user sees: a file that does not start with the magic string.
inline constexpr const char* kInvalidFormatMessage = "Invalid Format!";
inline constexpr const char* kRecordingMagic = "Vibration Shakemeter";

// Files larger than this are refused as TooLarge before they are read into memory.
inline constexpr std::uint64_t kMaxRecordingFileBytes = 4ull << 30;

RecordingFileResult ReadRecordingBytes(const std::uint8_t* data, std::size_t size);
// Reads the whole file in one go, then decodes it as ReadRecordingBytes does. The file is opened
// once, without waiting: a pipe or a device is refused instead of blocking the reader.
RecordingFileResult ReadRecordingFile(const std::string& path);

// Appends the file bytes of `rec`, or nothing when shownCount is 0 (nothing is shown, so nothing is
// stored). The rows written are the rows that hold data (Recording::RowCount()) and the stored
// header counts agree with what is written, so a file never contradicts itself.
void AppendRecordingBytes(std::string& out, const Recording& rec, int shownCount);

// Replaces `path` atomically with the bytes of AppendRecordingBytes (an empty file when shownCount
// is 0). On failure the old file is left untouched.
bool WriteRecordingFile(const std::string& path, const Recording& rec, int shownCount);

}  // namespace shakemeter
