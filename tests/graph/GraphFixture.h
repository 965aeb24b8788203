#pragma once
// A recording, its view companions and a graph model over them, with a plot rectangle set the way
// a paint sets it.

#include <cstdlib>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ScopedTimeZone.h"
#include "TestRecordings.h"
#include "analysis/vibration/TimeRows.h"
#include "graph/core/GraphModel.h"

namespace shakemeter::testing {

// A recording of rows samples at 1 s, shown whole between -10 and 10 g; value(row) gives X, Y, Z
// and the vector sum. Ticks make a motion recording.
inline void LoadRows(Recording& doc, RecordingView& view, int rows, const std::function<SampleRow(int)>& value,
                     std::vector<std::int32_t> ticks = {})
{
    doc.m_header.dwSampleCount = static_cast<std::uint32_t>(rows);
    doc.m_header.wInterval = 1 * 4 + RATE_UNIT_SECOND;
    doc.m_pSamples.resize(static_cast<std::size_t>(rows));
    for (int i = 0; i < rows; ++i)
        doc.m_pSamples[static_cast<std::size_t>(i)] = value(i);
    if (!ticks.empty()) {
        doc.m_header.byMode = MODE_MOTION;
        doc.m_pSampleTicks = std::move(ticks);
    }
    ShowInGraph(view, doc, rows, 1.0, 10.0);
}

struct GraphFixture {
    Recording doc;
    RecordingView view;
    GraphModel model;

    GraphFixture() { model.Attach(&doc, &view); }

    void Load(int rows, const std::function<SampleRow(int)>& value, std::vector<std::int32_t> ticks = {})
    {
        LoadRows(doc, view, rows, value, std::move(ticks));
    }

    void Plot(int left, int top, int right, int bottom) { model.state().m_rcPlot = {left, top, right, bottom}; }

    // The computations of one screen paint.
    VisibleRange Paint(bool reading = false)
    {
        const VisibleRange range = model.PrepareDrawing(reading, false);
        model.FinishDrawing();
        return range;
    }

    // A screen paint into a pane whose plot rectangle is the given one.
    VisibleRange PaintIn(int left, int top, int right, int bottom)
    {
        Plot(left, top, right, bottom);
        return Paint();
    }

    // The shown value range, bottom to top.
    void ShowValues(double low, double high)
    {
        view.m_dYMin = low;
        view.m_dYMax = high;
    }

    // The shown range of rows, counted from 1.
    void ShowRows(int first, int last)
    {
        view.m_nRangeFirst = first;
        view.m_nRangeLast = last;
    }

    // A zoom band drawn with the mouse from one corner to the other; true when it zoomed.
    bool DrawBand(PlotPoint from, PlotPoint to)
    {
        model.ButtonDown(from);
        model.DragBand(to);
        return model.ButtonUp(to);
    }

    double X(int row, int level) const { return model.Position(row, 0, level).x; }
};

// 1001 rows in an 800-pixel plot, row r at 100 + 0.8 r in the full view; or a row a tick.
struct ThousandRowFixture : GraphFixture {
    explicit ThousandRowFixture(std::vector<std::int32_t> ticks = {})
    {
        const int rows = ticks.empty() ? 1001 : static_cast<int>(ticks.size());
        Load(
            rows,
            [](int i) {
                return SampleRow{(i % 7) * 0.1, 0, 0, 0};
            },
            std::move(ticks));
        PaintIn(100, 200, 900, 600);
    }
};

// A motion-detection logger's ticks: ten rows a second apart from 0, then nothing until ten more
// from 900.
inline std::vector<std::int32_t> TicksAroundAStillStretch()
{
    std::vector<std::int32_t> ticks;
    for (int i = 0; i < 10; ++i)
        ticks.push_back(i);
    for (int i = 0; i < 10; ++i)
        ticks.push_back(900 + i);
    return ticks;
}

// The same, zoomed with a band as the mouse draws it.
struct ZoomableFixture : ThousandRowFixture {
    using ThousandRowFixture::ThousandRowFixture;

    // A zoom band and the paint after it; true when it zoomed.
    bool Band(PlotPoint from, PlotPoint to)
    {
        const bool zoomed = DrawBand(from, to);
        Paint();
        return zoomed;
    }
};

// Draws `compared` over the model's recording, under the given file names.
inline void Compare(GraphModel& model, Recording compared, OverlayAlignment alignment = {AlignBy::FirstSample},
                    std::string comparedName = "other.Vibration", std::string shownName = "")
{
    GraphOverlay overlay;
    overlay.recording = std::make_shared<const Recording>(std::move(compared));
    overlay.shownName = std::move(shownName);
    overlay.comparedName = std::move(comparedName);
    overlay.alignment = alignment;
    model.SetOverlay(std::move(overlay));
}

inline SampleRow Flat(int)
{
    return {0.0, 0.0, 0.0, 0.0};
}

// Rows named by the graph as (from, to); (1, 0) when there are none.
using RowSpan = std::pair<std::size_t, std::size_t>;
inline RowSpan SpanOfRows(const std::optional<vibration::RowRange>& rows)
{
    return rows ? RowSpan{rows->from, rows->to} : RowSpan{1, 0};
}

}  // namespace shakemeter::testing
