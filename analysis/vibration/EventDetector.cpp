#include "analysis/vibration/EventDetector.h"

#include <algorithm>
#include <cmath>

#include "recording/RecordingView.h"

namespace shakemeter::vibration {

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);
constexpr const char* kAxisNames[3] = {"X", "Y", "Z"};

Shock MakeShock(const TimeRows& rows, std::size_t first, std::size_t last)
{
    Shock shock;
    shock.firstRow = first;
    shock.lastRow = last;
    shock.durationS = static_cast<double>(rows.tick(last) - rows.tick(first) + 1) * rows.dt;
    shock.peakSum = rows.rows[first][3];
    shock.peakRow = first;
    std::array<double, 3> largest{};
    for (int c = 0; c < 3; ++c) {
        shock.peak[c] = rows.rows[first][c];
        largest[c] = std::fabs(shock.peak[c]);
    }
    for (std::size_t k = first; k <= last; ++k) {
        const SampleRow& row = rows.rows[k];
        if (row[3] >= shock.peakSum) {
            shock.peakSum = row[3];
            shock.peakRow = k;
        }
        for (int c = 0; c < 3; ++c) {
            if (std::fabs(row[c]) > largest[c]) {
                largest[c] = std::fabs(row[c]);
                shock.peak[c] = row[c];
            }
        }
    }
    int face = 0;
    for (int c = 1; c < 3; ++c)
        if (largest[c] > largest[face])
            face = c;
    shock.face = std::string(shock.peak[face] < 0 ? "-" : "+") + kAxisNames[face];
    return shock;
}

FreeFall MakeFall(const TimeRows& rows, std::size_t first, std::size_t last)
{
    FreeFall fall;
    fall.firstRow = first;
    fall.lastRow = last;
    const double n = static_cast<double>(rows.tick(last) - rows.tick(first) + 1);
    const double t = n * rows.dt;
    const double shorter = (n - 1) * rows.dt;
    const double longer = (n + 1) * rows.dt;
    fall.durationS = t;
    fall.heightM = kStandardGravity * t * t / 2;
    fall.heightMinM = kStandardGravity * shorter * shorter / 2;
    fall.heightMaxM = kStandardGravity * longer * longer / 2;
    fall.impactSpeedMS = kStandardGravity * t;
    return fall;
}

// Rows are looked at in blocks: a block that neither reaches the shock level nor the fall level,
// with no run open, is passed over after a branch-free scan of its vector sums.
constexpr std::size_t kBlock = 32;

bool BlockReaches(const SampleRow* rows, std::size_t first, std::size_t end, double shockLevel, double fallLevel)
{
    // Independent chains of comparisons, so that the scan is not held up by the latency of one;
    // a NaN sum reaches neither level and is passed over.
    double hi0 = -HUGE_VAL, hi1 = -HUGE_VAL, hi2 = -HUGE_VAL, hi3 = -HUGE_VAL;
    double lo0 = HUGE_VAL, lo1 = HUGE_VAL, lo2 = HUGE_VAL, lo3 = HUGE_VAL;
    std::size_t i = first;
    for (; i + 4 <= end; i += 4) {
        const double a = rows[i][3];
        const double b = rows[i + 1][3];
        const double c = rows[i + 2][3];
        const double d = rows[i + 3][3];
        hi0 = a > hi0 ? a : hi0;
        hi1 = b > hi1 ? b : hi1;
        hi2 = c > hi2 ? c : hi2;
        hi3 = d > hi3 ? d : hi3;
        lo0 = a < lo0 ? a : lo0;
        lo1 = b < lo1 ? b : lo1;
        lo2 = c < lo2 ? c : lo2;
        lo3 = d < lo3 ? d : lo3;
    }
    for (; i < end; ++i) {
        const double v = rows[i][3];
        hi0 = v > hi0 ? v : hi0;
        lo0 = v < lo0 ? v : lo0;
    }
    const double top = std::max(std::max(hi0, hi1), std::max(hi2, hi3));
    const double bottom = std::min(std::min(lo0, lo1), std::min(lo2, lo3));
    return top >= shockLevel || bottom <= fallLevel;
}

// One pass over the vector sum; both kinds of run are followed at once, so that levels that
// overlap (a fall level above the shock level) still give both.
template <bool Ticks>
void FindRuns(const TimeRows& rows, const EventOptions& options, Events& events)
{
    std::size_t shockStart = kNone;
    std::size_t fallStart = kNone;
    const auto closeShock = [&](std::size_t last) {
        events.shocks.push_back(MakeShock(rows, shockStart, last));
        shockStart = kNone;
    };
    const auto closeFall = [&](std::size_t last) {
        if (last - fallStart + 1 >= options.minFallRows)
            events.freeFalls.push_back(MakeFall(rows, fallStart, last));
        fallStart = kNone;
    };
    for (std::size_t block = 0; block < rows.count; block += kBlock) {
        const std::size_t end = std::min(rows.count, block + kBlock);
        if (shockStart == kNone && fallStart == kNone &&
            !BlockReaches(rows.rows, block, end, options.shockLevel, options.fallLevel))
            continue;
        for (std::size_t k = block; k < end; ++k) {
            if constexpr (Ticks) {
                if (k > 0 && rows.ticks[k] != static_cast<std::int64_t>(rows.ticks[k - 1]) + 1) {
                    if (shockStart != kNone)
                        closeShock(k - 1);
                    if (fallStart != kNone)
                        closeFall(k - 1);
                }
            }
            const double v = rows.rows[k][3];
            if (v >= options.shockLevel) {
                if (shockStart == kNone)
                    shockStart = k;
            } else if (shockStart != kNone) {
                closeShock(k - 1);
            }
            if (v <= options.fallLevel) {
                if (fallStart == kNone)
                    fallStart = k;
            } else if (fallStart != kNone) {
                closeFall(k - 1);
            }
        }
    }
    if (shockStart != kNone)
        closeShock(rows.count - 1);
    if (fallStart != kNone)
        closeFall(rows.count - 1);
}

}  // namespace

Events DetectEvents(const TimeRows& rows, const EventOptions& options)
{
    Events events;
    if (rows.count == 0)
        return events;
    if (rows.evenlySampled())
        FindRuns<false>(rows, options, events);
    else
        FindRuns<true>(rows, options, events);

    // The impact of a fall: the first shock after it, when it starts soon enough.
    for (FreeFall& fall : events.freeFalls) {
        const auto after = std::upper_bound(events.shocks.begin(), events.shocks.end(), fall.lastRow,
                                            [](std::size_t row, const Shock& shock) { return row < shock.firstRow; });
        if (after == events.shocks.end())
            continue;
        const double gap = static_cast<double>(rows.tick(after->firstRow) - rows.tick(fall.lastRow)) * rows.dt;
        // A tolerance of a nanosecond keeps a shock exactly one second later from being lost to
        // the rounding of the interval.
        if (gap <= options.impactWithinSeconds + 1e-9)
            fall.impact = static_cast<std::size_t>(after - events.shocks.begin());
    }
    return events;
}

void LabelEvents(Events& events, const Recording& recording)
{
    // The view's own labels, with the start time and interval its summary derives.
    RecordingView view;
    view.AdoptHeader(recording.m_header);
    view.RefreshSummary(recording);
    const auto label = [&](std::size_t row) {
        std::string text = view.FormatSampleTime(recording, static_cast<int>(row));
        if (!text.empty() && text.front() == ' ')
            text.erase(0, 1);
        return text;
    };
    for (Shock& shock : events.shocks)
        shock.time = label(shock.firstRow);
    for (FreeFall& fall : events.freeFalls)
        fall.time = label(fall.firstRow);
}

Events Events::converted(Unit to) const
{
    return InUnit(*this, to, [](Events& out, double factor) {
        for (Shock& shock : out.shocks) {
            shock.peakSum *= factor;
            for (double& v : shock.peak)
                v *= factor;
        }
    });
}

}  // namespace shakemeter::vibration
