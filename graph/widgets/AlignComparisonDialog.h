#pragma once
// Analysis > "Align Comparison...": how the compared recording is placed on the shown one's time
// axis (by clock, by first sample, or by an event of each) and the fine offset on top. Aligning
// by event is offered only when both recordings have one.

#include <QDialog>
#include <vector>

#include "graph/core/OverlayAlignment.h"
#include "graph/core/OverlayEvents.h"

class QComboBox;
class QDoubleSpinBox;
class QRadioButton;

namespace shakemeter {

class AlignComparisonDialog : public QDialog {
    Q_OBJECT
public:
    // The offset box's reach and steps, in seconds.
    static constexpr double kLargestOffset = 1.0e7;
    static constexpr int kOffsetDecimals = 6;

    AlignComparisonDialog(const OverlayAlignment& start, std::vector<AlignmentEvent> shownEvents,
                          std::vector<AlignmentEvent> comparedEvents, const QString& shownName,
                          const QString& comparedName, QWidget* parent = nullptr);

    OverlayAlignment Alignment() const;

    QRadioButton* ByClock() const { return m_clock; }
    QRadioButton* ByFirstSample() const { return m_first; }
    QRadioButton* ByEvent() const { return m_event; }
    QComboBox* ShownEvents() const { return m_shownEvent; }
    QComboBox* ComparedEvents() const { return m_comparedEvent; }
    QDoubleSpinBox* Offset() const { return m_offset; }

private:
    std::vector<AlignmentEvent> m_shownEvents;
    std::vector<AlignmentEvent> m_comparedEvents;
    QRadioButton* m_clock = nullptr;
    QRadioButton* m_first = nullptr;
    QRadioButton* m_event = nullptr;
    QComboBox* m_shownEvent = nullptr;
    QComboBox* m_comparedEvent = nullptr;
    QDoubleSpinBox* m_offset = nullptr;
};

}  // namespace shakemeter
