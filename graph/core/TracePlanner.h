#pragma once
// The trace spans of a drawing, in the order they are drawn: segment by segment between
// neighbouring points, or, when five or more samples share a pixel column, three spans per group
// through the group's extremes. Spans that miss the plot are left out. Marking is decided here
// too, since which ends get a mark depends on the columns marked before (GraphState's last
// marked columns), and so is the spectrum's peak label.

#include <vector>

#include "graph/core/GraphModel.h"
#include "graph/core/GraphPaintPlan.h"

namespace shakemeter {

class TracePlanner {
public:
    // Marks are decided on `marked` (the model's own columns, or a plan's copy of them).
    TracePlanner(const GraphModel& model, MarkedColumns& marked)
        : m_model(model), m_marked(marked), m_peak(model.Peak())
    {
    }

    // Every visible trace over the visible range of a paint (after PrepareDrawing).
    TracePlan Plan(const VisibleRange& range);
    // Trace t from relative point p to p + 1; firstVisible is the drawing's first visible point.
    TracePlan Segment(int p, int trace, int firstVisible);
    // Trace t from relative point pA straight to pB.
    TracePlan Span(int pA, int pB, int trace);

    // The newest segment of a growing recording for every visible trace, and the ends of each
    // (drawn or not), which bound the pixels the drawing may touch.
    struct Newest {
        TracePlan traces;
        std::vector<SegmentEnds> ends;
    };
    Newest NewestSegment();

    // Takes the spans of a plan that is done with, whose storage the next Plan fills: the spans
    // of a 4K paint take megabytes, whose fresh pages each drawing would fault in again when
    // two plans are alive at once (a kept picture's and the new one).
    static void Recycle(std::vector<TraceSpan>&& spans);

private:
    static std::vector<TraceSpan>& SpareSpans();

    TracePlan Empty() const;
    void AddSegment(TracePlan& plan, int p, int trace, int firstVisible);
    void AddSpan(TracePlan& plan, const SegmentEnds& ends, int trace);
    void MarkPeak(TraceSpan& span) const;

    const GraphModel& m_model;
    MarkedColumns& m_marked;
    // Asked once: a decimated 4K plan checks it for each of some 50,000 spans.
    const SpectrumPeak m_peak;
};

}  // namespace shakemeter
