#pragma once
// The summary panel across the top of the graph view: twenty read-only fields with the facts of
// the shown recording (start time, rate, samples, unit, mode, thresholds, and for X, Y, Z and the
// vector sum the maximum and minimum with their times and the average). It only shows texts that
// the recording's summary computed; Enter and Escape inside it do nothing.

#include <QBrush>
#include <QWidget>
#include <array>

#include "recording/RecordingView.h"

class QLineEdit;

namespace shakemeter {

class CSummaryBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDialogId = 132;
    static constexpr int kFieldCount = 20;
    // Control ids of the twenty fields, in the order of SummaryTexts below.
    static const std::array<int, kFieldCount> kFieldIds;

    explicit CSummaryBar(QWidget* parent = nullptr);

    // Takes the texts and shows them (the panel's data exchange).
    void SetTexts(const SummaryTexts& texts);
    const SummaryTexts& Texts() const { return m_texts; }
    // The field with the given control id, or null.
    QLineEdit* Field(int controlId) const;

    static QColor BackgroundColour() { return QColor(220, 220, 220); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void AddLabel(const QString& text, int x, int y);
    QLineEdit* AddField(int id, int x, int y, int w, bool bordered);

    SummaryTexts m_texts;
    std::array<QLineEdit*, kFieldCount> m_fields{};
};

}  // namespace shakemeter
