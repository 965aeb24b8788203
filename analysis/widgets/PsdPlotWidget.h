#pragma once
// The PSD window's log-log plot: density against frequency for a few curves, decade ticks from
// LogAxis, and the frequency under the mouse for the read-out. The same plot on a linear dB axis
// (RatioAxis) draws the ratio of two densities under it, its frequencies lined up with the plot's.

#include <QColor>
#include <QString>
#include <QWidget>
#include <vector>

#include "analysis/vibration/LogAxis.h"
#include "analysis/vibration/RatioAxis.h"

namespace shakemeter {

struct PsdCurve {
    std::vector<double> values;  // one per frequency; a density not positive or a ratio not finite is not drawn
    QColor colour;
    Qt::PenStyle style = Qt::SolidLine;
    QString name;  // in the legend when not empty
};

class PsdPlotWidget : public QWidget {
    Q_OBJECT
public:
    enum class Scale { Density, RatioDb };

    explicit PsdPlotWidget(QWidget* parent = nullptr, Scale scale = Scale::Density);

    // Frequencies of the bins (bin 0, the constant part, is never drawn) and the curves over them.
    void SetCurves(std::vector<double> frequency, std::vector<PsdCurve> curves, const QString& densityTitle);
    void Clear();

    QRectF PlotArea() const;
    vibration::LogAxis FrequencyAxis() const;
    vibration::LogAxis DensityAxis() const;
    // The vertical axis of a ratio plot.
    vibration::RatioAxis DbAxis() const;
    QSize sizeHint() const override { return {640, 360}; }

signals:
    // The mouse is over the plot at this frequency; left() when it is not.
    void hovered(double frequency);
    void left();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    Scale m_scale;
    std::vector<double> m_frequency;
    std::vector<PsdCurve> m_curves;
    QString m_densityTitle;
    double m_densityMin = 0.0;  // of the positive values drawn
    double m_densityMax = 0.0;
    double m_largestRatio = 0.0;  // magnitude, of the finite ratios drawn
};

}  // namespace shakemeter
