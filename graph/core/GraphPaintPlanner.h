#pragma once
// Works out the plan of one paint or print drawing of the graph from the model as
// GraphModel::PrepareFrame left it, without changing the model: the columns the traces mark are
// planned on a copy, which the plan hands back (GraphPaintPlan::marked, GraphModel::FinishFrame).

#include "graph/core/GraphModel.h"
#include "graph/core/GraphPaintPlan.h"

namespace shakemeter {

class GraphPaintPlanner {
public:
    explicit GraphPaintPlanner(const GraphModel& model) : m_model(model) {}

    // The screen (display modes 1 and 2) or the page (display mode 1 only) of the prepared
    // frame. While a print drawing runs (until EndPrinting), screen paints draw nothing.
    GraphPaintPlan Plan() const;

    // The read-out line as the model holds it now.
    static ReadoutLine Readout(const GraphModel& model);

private:
    void PlanAxes(GraphPaintPlan& plan, const std::vector<TimeStepMark>& steps) const;
    void PlanTimeAxis(GraphPaintPlan& plan, const std::vector<TimeStepMark>& steps) const;

    const GraphModel& m_model;
};

// One drawing's plan with the model's steps around it: PrepareFrame, Plan, FinishFrame.
GraphPaintPlan PlanFrame(GraphModel& model, const PaintRequest& request);

}  // namespace shakemeter
