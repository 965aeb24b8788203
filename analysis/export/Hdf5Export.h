#pragma once
// A recording as an HDF5 file for Python, MATLAB and the HDF5 tools: one-dimensional datasets
// "x", "y", "z" and "sum" (float64, attribute "unit" = "g"), "time" (float64 seconds from the
// start, from the ticks with motion detection; attribute "unit" = "s") and, with motion detection
// only, "tick" (int32); root attributes "start_time" (ISO 8601 with the local UTC offset),
// "interval_s", "kind", "mode", "thresholds" (three int32), "free_fall_events" (strings) and
// "source" = "shakemeter". The rows are the recording's time-domain rows.
//
// The file is written under a temporary name in the target's folder and renamed over the target
// only when complete, so a failure leaves the target as it was and no partial file behind.

#include <cstdint>
#include <string>

#include "recording/AtomicFile.h"
#include "recording/Recording.h"
#include "recording/RecordingFacts.h"

namespace shakemeter::exports {

// What the export needs room for: the bytes of the datasets alone (the file adds a few kilobytes).
std::uint64_t Hdf5PayloadBytes(const Recording& recording);

// Writes the file; on failure returns false with the file and the reason in error. facts must
// have been refreshed from recording (start time and mode text).
bool WriteHdf5File(const std::string& path, const Recording& recording, const RecordingFacts& facts,
                   FileWriteError* error = nullptr);

}  // namespace shakemeter::exports
