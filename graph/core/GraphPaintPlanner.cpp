#include "graph/core/GraphPaintPlanner.h"

#include "graph/core/CursorMarks.h"
#include "graph/core/GraphLayout.h"
#include "graph/core/OverlayLegend.h"
#include "graph/core/OverlayTraces.h"
#include "graph/core/TracePlanner.h"

namespace shakemeter {

namespace {

int Length(const std::string& text)
{
    return static_cast<int>(text.size());
}

// The screen's labels are placed by their number of characters: value labels end at a fixed
// column, time labels are centred on their step at five pixels a character.
constexpr int kScreenLabelCharWidth = 5;
constexpr int kScreenValueLabelChars = 18;
constexpr int kScreenTimeLineTop = 5;  // below the plot
constexpr int kScreenDateLineTop = 17;
constexpr int kScreenStartLabelLeft = 23;  // left of the plot
constexpr int kScreenFrequencyTitleTop = 19;
constexpr int kScreenFrequencyTitleHalfWidth = 33;
// The page's value labels end at a fixed column at 14 device pixels a character, its time
// labels end 13 pixels a character left of the step, its dates start 110 pixels left of it.
constexpr int kPageLabelCharWidth = 14;
constexpr int kPageValueLabelChars = 9;
constexpr int kPageTimeCharWidth = 13;
constexpr int kPageDateLeftOfStep = 110;
// A value label stands 8 pixels above its grid row.
constexpr int kValueLabelAboveRow = 8;

}  // namespace

ReadoutLine GraphPaintPlanner::Readout(const GraphModel& model)
{
    const GraphState& s = model.state();
    ReadoutLine line;
    line.plot = s.m_rcPlot;
    line.panelRight = s.m_rcGraphPanel.right;
    line.offset = s.g_nReadoutOffset;
    line.count = model.FrequencyMode() ? READOUT_TEXTS - 1 : READOUT_TEXTS;
    line.texts = {s.g_strReadoutHead, s.g_strReadoutX, s.g_strReadoutY, s.g_strReadoutZ, s.g_strReadoutV};
    return line;
}

GraphPaintPlan GraphPaintPlanner::Plan() const
{
    GraphPaintPlan plan;
    const GraphState& s = m_model.state();
    const FrameStart& frame = m_model.Frame();
    const PaintRequest& request = frame.request;
    plan.printer = request.printer;
    plan.marked = s;
    if (frame.drawsNothing)
        return plan;
    plan.drawsNothing = false;
    plan.startZoomOutTimer = frame.startZoomOutTimer;
    plan.client = request.client;
    plan.unit = frame.unit;
    plan.plot = s.m_rcPlot;
    plan.panel = s.m_rcGraphPanel;
    plan.summaryHeight = request.printer ? 0 : s.m_nSummaryHeight;
    plan.pageHeaderHeight = s.m_nSummaryHeight;
    if (!frame.drawsGraph) {
        plan.fillsBlack = m_model.DisplayMode() != 0 && !request.printer;
        return plan;
    }
    plan.drawsGraph = true;

    const VisibleRange range = frame.range;
    plan.scalesUsable = m_model.ScalesUsable();
    plan.frequency = m_model.FrequencyMode();
    const PlotRect& plot = plan.plot;
    const int height = plot.height();
    for (int i = 0; i <= 10; ++i)
        plan.gridRows.push_back(plot.top + static_cast<int>(i * height * 0.1));
    plan.horizontalGrid = s.m_bHorzGrid && plan.scalesUsable;
    std::vector<TimeStepMark> steps;
    if (s.m_bVertGrid && plan.scalesUsable) {
        steps = m_model.TimeSteps(range);
        for (const TimeStepMark& step : steps)
            plan.gridColumns.push_back(step.x);
    }
    if (plan.scalesUsable) {
        plan.traces = TracePlanner(m_model, plan.marked).Plan(range);
        plan.overlay = PlanOverlayTraces(m_model);
    }
    plan.overlayLegend = PlanOverlayLegend(plan, m_model);
    PlanAxes(plan, steps);
    if (!request.printer)
        plan.readout = Readout(m_model);
    PlanCursors(plan, m_model);
    return plan;
}

GraphPaintPlan PlanFrame(GraphModel& model, const PaintRequest& request)
{
    model.PrepareFrame(request);
    GraphPaintPlan plan = GraphPaintPlanner(model).Plan();
    model.FinishFrame(plan.marked);
    return plan;
}

void GraphPaintPlanner::PlanAxes(GraphPaintPlan& plan, const std::vector<TimeStepMark>& steps) const
{
    const GraphState& s = m_model.state();
    const PlotRect& plot = plan.plot;
    for (int i = 0; i <= 10; ++i) {
        const std::string& label = s.m_strAxisLabel[static_cast<std::size_t>(i)];
        PlannedText& text = plan.valueLabels[static_cast<std::size_t>(i)];
        text.y = plot.bottom - (i * plot.height()) / 10 - kValueLabelAboveRow;
        text.x = plan.printer ? kPageLabelCharWidth * (kPageValueLabelChars - Length(label))
                              : plan.panel.left + kScreenLabelCharWidth * (kScreenValueLabelChars - Length(label));
        text.text = label;
    }
    PlanTimeAxis(plan, steps);
}

void GraphPaintPlanner::PlanTimeAxis(GraphPaintPlan& plan, const std::vector<TimeStepMark>& steps) const
{
    const PlotRect& plot = plan.plot;
    const int bottom = plot.bottom;
    const int unit = plan.unit;
    const int firstLine = plan.printer ? bottom + unit / 2 : bottom + kScreenTimeLineTop;
    const int secondLine = plan.printer ? bottom + static_cast<int>(1.5 * unit) : bottom + kScreenDateLineTop;
    if (m_model.StartOnlyAxis()) {
        const TimeLabelLines start = m_model.StartLabels();
        const int x = plan.printer ? GraphLayout::kPageStartLabelX : plot.left - kScreenStartLabelLeft;
        plan.startLabels = {{x, firstLine, start.time}, {x, secondLine, start.date}};
        return;
    }
    // The vertical grid's steps are the axis's: without the grid the axis has no steps.
    for (const TimeStepMark& mark : steps) {
        TimeAxisStep& step = plan.timeSteps.emplace_back();
        step.x = mark.x;
        const TimeLabelLines label = m_model.StepLabel(mark);
        const int timeLength = Length(label.time);
        if (plan.frequency) {
            step.labels.push_back(
                {mark.x - kScreenLabelCharWidth * timeLength / 2, bottom + kScreenTimeLineTop, label.time});
        } else if (plan.printer) {
            step.labels.push_back({mark.x - kPageTimeCharWidth * timeLength, firstLine, label.time});
            step.labels.push_back({mark.x - kPageDateLeftOfStep, secondLine, label.date});
        } else {
            step.labels.push_back({mark.x - kScreenLabelCharWidth * timeLength / 2, firstLine, label.time});
            step.labels.push_back({mark.x - kScreenLabelCharWidth * Length(label.date) / 2, secondLine, label.date});
        }
    }
    if (plan.frequency && !steps.empty()) {
        const std::string title = "Frequency(HZ)";
        if (plan.printer)
            plan.axisTitle.push_back({plot.width() / 2 + GraphLayout::kPageFrequencyTitleX, secondLine, title});
        else
            plan.axisTitle.push_back({plot.left + plot.width() / 2 - kScreenFrequencyTitleHalfWidth,
                                      bottom + kScreenFrequencyTitleTop, title});
    }
}

}  // namespace shakemeter
