#pragma once
// The PSD window: the Welch density and Grms of the shown recording or of its visible rows, per
// axis on log-log axes, with a read-out under the mouse; and during a spectrum reading the mean,
// max hold and last capture over every capture so far, with their waterfall. The numbers come
// from the analysis core (WelchPsd, CaptureHistory); the window only chooses and draws them.
// While another recording is laid over the graph, the visible range is shown beside that
// recording's rows in the same time span, with the ratio of the two densities in a pane under them.

#include <QWidget>
#include <functional>
#include <optional>

#include "analysis/vibration/CaptureHistory.h"
#include "analysis/vibration/PsdComparison.h"
#include "analysis/vibration/TimeRows.h"
#include "analysis/vibration/Units.h"
#include "analysis/vibration/WelchPsd.h"
#include "recording/Recording.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace shakemeter {

class PsdPlotWidget;
class WaterfallWidget;

class PsdWindow : public QWidget {
    Q_OBJECT
public:
    enum class Source { WholeRecording, VisibleRange, SpectrumReading };

    struct Inputs {
        std::function<const Recording*()> recording;                      // the recording shown
        std::function<std::optional<vibration::RowRange>()> visibleRows;  // what the graph shows of it
        std::function<vibration::Unit()> unit;                            // the analysis unit
    };

    // The recording laid over the graph and its rows in the time span the graph shows.
    struct Compared {
        const Recording* recording = nullptr;
        std::optional<vibration::RowRange> rows;  // none when none of its rows fall there
        QString name;                             // its file name for the status line
    };

    PsdWindow(Inputs inputs, QWidget* parent = nullptr);
    ~PsdWindow() override;

    // Shows the window on top, with the density of what its source names now.
    void ShowAndRecompute();
    void Recompute();

    void SetSource(Source source);
    Source source() const;
    // A segment length WelchPsd accepts.
    void SetSegment(std::size_t segment);
    std::size_t segment() const;

    // A spectrum reading starts: the captures of the one before are forgotten.
    void BeginReading();
    // A capture of the running spectrum reading (its 256 samples at 256 per second).
    void AddCapture(const Recording& capture);

    // What the graph compares the shown recording with, nothing without a comparison; asked on
    // every computation of the visible range.
    void SetComparedInput(std::function<std::optional<Compared>()> compared);
    // The two densities of the visible range and their ratio, in the analysis unit, while both
    // have one; Shown() is then the shown recording's density.
    const std::optional<vibration::PsdComparison>& Comparison() const { return m_comparison; }
    PsdPlotWidget* RatioPlot() const { return m_ratioPlot; }

    // What the plot shows, in the analysis unit (no bins when there is nothing to show).
    const vibration::PsdResult& Shown() const { return m_shown; }
    const vibration::CaptureHistory& History() const { return m_history; }
    WaterfallWidget* Waterfall() const { return m_waterfall; }
    PsdPlotWidget* Plot() const { return m_plot; }
    QString GrmsText() const;
    QPushButton* ExportButton() const { return m_export; }
    QString StatusText() const;
    QString ReadoutText() const;
    // The read-out as the mouse at this frequency would set it.
    void ShowReadoutAt(double frequency);

signals:
    // The user asked to save what the plot shows as a table.
    void exportRequested();

private:
    void ComputeFromRecording();
    // The compared recording's density of its rows beside the shown density; why not when it has none.
    QString CompareWith(const Compared& compared);
    void ShowComparison();
    void ShowCaptures();
    void RebuildWaterfall();
    void Refuse(const QString& why);
    // The chosen axis's density of one capture in the analysis unit.
    std::vector<double> WaterfallLine(std::size_t capture) const;

    Inputs m_inputs;
    vibration::Unit m_unit = vibration::Unit::G;
    vibration::CaptureHistory m_history;
    vibration::PsdResult m_shown;
    std::function<std::optional<Compared>()> m_compared;
    std::optional<vibration::PsdComparison> m_comparison;
    int m_waterfallAxis = 0;
    QComboBox* m_sourceBox = nullptr;
    QComboBox* m_segmentBox = nullptr;
    QComboBox* m_waterfallAxisBox = nullptr;
    QPushButton* m_export = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_grms = nullptr;
    QLabel* m_readout = nullptr;
    PsdPlotWidget* m_plot = nullptr;
    PsdPlotWidget* m_ratioPlot = nullptr;
    WaterfallWidget* m_waterfall = nullptr;
    QWidget* m_waterfallRow = nullptr;
};

}  // namespace shakemeter
