#pragma once
// Where the measuring cursors may stand and where they are drawn: the sample rows the graph shows,
// the row nearest a pixel column (by the same picking as the read-out) and the column of a row, all
// as the last paint left the model.

#include <cstddef>
#include <optional>

#include "analysis/vibration/TimeRows.h"
#include "graph/core/CursorPair.h"
#include "graph/core/GraphModel.h"
#include "graph/core/VisibleRows.h"

namespace shakemeter {

// The sample rows (0-based, inclusive) of the shown range; nothing without a recording, without
// rows, or in frequency mode, where the plot's points are spectrum bins.
std::optional<vibration::RowRange> ShownSampleRows(const GraphModel& model);

// The shown row nearest pixel column x; a column beyond either end of the trace gives that end's
// row. Nothing when no sample row is shown.
std::optional<std::size_t> SnapColumnToRow(const GraphModel& model, int x);

// The pixel column sample row `row` is drawn at (it may lie off the plot when zoomed or scrolled).
double ColumnOfRow(const GraphModel& model, std::size_t row);

// Both rows moved into the shown rows; nothing when no sample row is shown.
std::optional<CursorPair> ClampToShownRows(const GraphModel& model, const CursorPair& cursors);

// Where the cursors start: A a third and B two thirds into the rows the graph shows (the shown
// rows before the first paint); a zoom that shows no row puts them on the rows nearest the plot's
// third and two thirds. Nothing when no sample row is shown.
std::optional<CursorPair> StartingCursors(const GraphModel& model);

// Row `row` moved by `samples` rows (negative: back), kept within the shown rows.
std::size_t StepRow(const GraphModel& model, std::size_t row, long long samples);

// The cursor ('A' or 'B') whose line passes within `reach` pixels of point (x, y) over the plot,
// the nearer one when both do (A on a tie); 0 for none.
char CursorNear(const GraphModel& model, int x, int y, int reach);

// The pair with the named cursor ('A' or 'B') on `row`.
CursorPair WithRow(CursorPair cursors, char name, std::size_t row);

}  // namespace shakemeter
