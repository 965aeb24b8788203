#pragma once
// What the two measuring cursors A and B read off a recording: the time between them, the values of
// each axis and of the vector sum at both and their differences, and the statistics of the rows from
// one to the other. The statistics are those of the statistics window for the same rows.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "analysis/vibration/RangeStatistics.h"
#include "analysis/vibration/StatisticsTable.h"
#include "analysis/vibration/Units.h"
#include "recording/Recording.h"
#include "recording/RecordingFacts.h"

namespace shakemeter::vibration {

struct CursorReadings {
    std::size_t rowA = 0;  // 0-based
    std::size_t rowB = 0;
    // B's place on the time axis minus A's: ticks of a motion-detection recording, rows otherwise.
    // Negative when B stands before A.
    std::int64_t deltaTicks = 0;
    double deltaSeconds = 0.0;
    Unit unit = Unit::G;
    std::array<double, 4> atA{};         // X, Y, Z, vector sum, in unit
    std::array<double, 4> atB{};         //
    std::array<double, 4> difference{};  // B - A
    RangeStatistics statistics;          // rows min(A, B) .. max(A, B), in g
};

// The readings of cursors on rows rowA and rowB; nothing when either is not a time-domain row of
// the recording.
std::optional<CursorReadings> ReadCursors(const Recording& recording, std::size_t rowA, std::size_t rowB, Unit unit);

struct CursorReadingTexts {
    std::string rowA;  // 1-based row numbers, as the data list counts
    std::string rowB;
    std::string timeA;  // the rows' time labels, as the graph's read-out and the data list write them
    std::string timeB;
    std::string deltaT;  // "1.250 s"
    std::array<std::string, 4> atA;
    std::array<std::string, 4> atB;
    std::array<std::string, 4> difference;
    StatisticsTable statistics;  // in the readings' unit
    std::string firstRow;        // the 1-based ends of the statistics' rows
    std::string lastRow;
};

CursorReadingTexts CursorReadingTextsOf(const CursorReadings& readings, const Recording& recording,
                                        const RecordingFacts& facts);

// A time span in seconds: at least three decimals, more where the span needs them (a spectrum
// capture's 1/256 s needs eight), with its sign and " s".
std::string SecondsText(double seconds);

}  // namespace shakemeter::vibration
