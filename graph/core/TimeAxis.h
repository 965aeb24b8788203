#pragma once
// The steps of the time axis (every so many samples, at least an eighth of the plot apart), their
// labels, the axis of a recording with only its start, and the value labels.
// Part of GraphModel, which owns the state it reads and changes.

#include "graph/core/GraphModel.h"

namespace shakemeter {

class TimeAxis {
public:
    explicit TimeAxis(const GraphModel& model) : m_model(model) {}

    int TimeStep() const;
    std::vector<TimeStepMark> TimeSteps(const VisibleRange& range) const;
    bool StartOnlyAxis() const;
    TimeLabelLines StepLabel(const TimeStepMark& mark) const;
    std::vector<std::string> ValueLabels() const;

private:
    const GraphModel& m_model;
};

}  // namespace shakemeter
