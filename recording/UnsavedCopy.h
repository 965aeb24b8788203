#pragma once
// The temporary copy of the last recording read from the logger, and the mark beside it that says
// the copy holds a reading (real-time or spectrum) nobody saved or chose to discard. The mark is a
// small file "<copy>.unsaved", written after the copy itself: a copy is only ever marked once it
// is complete, so whatever the next start finds marked can be opened.

#include <string>
#include <string_view>

#include "recording/AtomicFile.h"

namespace shakemeter {

std::string UnsavedMarkPath(const std::string& copyPath);

// Replaces the copy with `bytes`, then sets the mark when the copy holds an unsaved reading and
// removes it otherwise. A copy that could not be written changes neither file; `error` says why.
// Safe to call from a thread other than the one that made the bytes.
bool WriteTemporaryCopy(const std::string& copyPath, std::string_view bytes, bool holdsUnsavedReading,
                        FileSystemCalls& calls = FileSystemCalls::System(), FileWriteError* error = nullptr);

// The reading in the copy was saved, or the user chose to let it go: the mark goes.
void ClearUnsavedMark(const std::string& copyPath);

// Whether the copy holds an unsaved reading: the mark is there and the copy beside it holds bytes.
bool CopyHoldsUnsavedReading(const std::string& copyPath);

}  // namespace shakemeter
