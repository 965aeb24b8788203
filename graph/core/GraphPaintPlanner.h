#pragma once
// Works out the plan of one paint or print drawing of the graph. Everything a drawing changes in
// the model happens here, once, before the first pixel: the geometry of the screen or the page,
// the computations of the drawing (GraphModel::PrepareDrawing), the marks, and the end of the
// drawing (GraphModel::FinishDrawing).

#include "graph/core/GraphModel.h"
#include "graph/core/GraphPaintPlan.h"

namespace shakemeter {

class GraphPaintPlanner {
public:
    explicit GraphPaintPlanner(GraphModel& model) : m_model(model) {}

    // The screen (display modes 1 and 2) or the page (display mode 1 only). While a print
    // drawing runs (until GraphModel::EndPrinting), screen paints draw nothing.
    GraphPaintPlan Plan(const PaintRequest& request);

    // The read-out line as the model holds it now.
    static ReadoutLine Readout(const GraphModel& model);

private:
    void PlanAxes(GraphPaintPlan& plan, const std::vector<TimeStepMark>& steps) const;
    void PlanTimeAxis(GraphPaintPlan& plan, const std::vector<TimeStepMark>& steps) const;

    GraphModel& m_model;
};

}  // namespace shakemeter
