#include "graph/widgets/AlignComparisonDialog.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QRadioButton>
#include <algorithm>
#include <cmath>

#include "controls/DialogButtons.h"

namespace shakemeter {

namespace {

// The entry of the event at `row`, or the first when the row names none of them.
int IndexOfRow(const std::vector<AlignmentEvent>& events, std::size_t row)
{
    const auto it = std::find_if(events.begin(), events.end(), [row](const AlignmentEvent& e) { return e.row == row; });
    return it == events.end() ? 0 : static_cast<int>(it - events.begin());
}

QComboBox* EventBox(const std::vector<AlignmentEvent>& events, std::size_t row, QWidget* parent)
{
    auto* box = new QComboBox(parent);
    for (const AlignmentEvent& event : events)
        box->addItem(QString::fromStdString(event.text));
    box->setCurrentIndex(IndexOfRow(events, row));
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return box;
}

}  // namespace

AlignComparisonDialog::AlignComparisonDialog(const OverlayAlignment& start, std::vector<AlignmentEvent> shownEvents,
                                             std::vector<AlignmentEvent> comparedEvents, const QString& shownName,
                                             const QString& comparedName, QWidget* parent)
    : QDialog(parent), m_shownEvents(std::move(shownEvents)), m_comparedEvents(std::move(comparedEvents))
{
    setWindowTitle(QStringLiteral("Align Comparison"));
    m_clock = new QRadioButton(QStringLiteral("By &clock (both start times on one time axis)"), this);
    m_first = new QRadioButton(QStringLiteral("By &first sample (both start at 0)"), this);
    m_event = new QRadioButton(QStringLiteral("By &event (the chosen shock or fall of each at one instant)"), this);
    m_shownEvent = EventBox(m_shownEvents, start.mainEventRow, this);
    m_comparedEvent = EventBox(m_comparedEvents, start.overlayEventRow, this);
    const bool eventsOnBoth = !m_shownEvents.empty() && !m_comparedEvents.empty();
    m_event->setEnabled(eventsOnBoth);
    m_offset = new QDoubleSpinBox(this);
    m_offset->setRange(-kLargestOffset, kLargestOffset);
    m_offset->setDecimals(kOffsetDecimals);
    m_offset->setSingleStep(0.001);
    m_offset->setSuffix(QStringLiteral(" s"));
    m_offset->setValue(std::isfinite(start.offsetSeconds) ? start.offsetSeconds : 0.0);

    switch (start.by) {
    case AlignBy::Clock:
        m_clock->setChecked(true);
        break;
    case AlignBy::FirstSample:
        m_first->setChecked(true);
        break;
    case AlignBy::Event:
        (eventsOnBoth ? m_event : m_clock)->setChecked(true);
        break;
    }

    auto* form = new QFormLayout;
    form->addRow(m_clock);
    form->addRow(m_first);
    form->addRow(m_event);
    form->addRow(QStringLiteral("&Shown (%1):").arg(shownName), m_shownEvent);
    form->addRow(QStringLiteral("C&ompared (%1):").arg(comparedName), m_comparedEvent);
    if (!eventsOnBoth)
        form->addRow(new QLabel(QStringLiteral("No shock or free fall was found in %1 at the analysis's event levels.")
                                    .arg(m_shownEvents.empty() ? shownName : comparedName),
                                this));
    form->addRow(QStringLiteral("Fine &offset:"), m_offset);
    SetFormAboveOkCancel(*this, form);

    const auto follow = [this](bool byEvent) {
        m_shownEvent->setEnabled(byEvent);
        m_comparedEvent->setEnabled(byEvent);
    };
    connect(m_event, &QRadioButton::toggled, this, follow);
    follow(m_event->isChecked());
}

OverlayAlignment AlignComparisonDialog::Alignment() const
{
    OverlayAlignment alignment;
    alignment.by = m_event->isChecked() ? AlignBy::Event : m_first->isChecked() ? AlignBy::FirstSample : AlignBy::Clock;
    if (!m_shownEvents.empty())
        alignment.mainEventRow = m_shownEvents[static_cast<std::size_t>(std::max(0, m_shownEvent->currentIndex()))].row;
    if (!m_comparedEvents.empty())
        alignment.overlayEventRow =
            m_comparedEvents[static_cast<std::size_t>(std::max(0, m_comparedEvent->currentIndex()))].row;
    alignment.offsetSeconds = m_offset->value();
    return alignment;
}

}  // namespace shakemeter
