#pragma once
// The PSD window's log-log plot: density against frequency for a few curves, decade ticks from
// LogAxis, and the frequency under the mouse for the read-out.

#include <QColor>
#include <QString>
#include <QWidget>
#include <vector>

#include "analysis/vibration/LogAxis.h"

namespace shakemeter {

struct PsdCurve {
    std::vector<double> values;  // one per frequency
    QColor colour;
    Qt::PenStyle style = Qt::SolidLine;
    QString name;  // in the legend when not empty
};

class PsdPlotWidget : public QWidget {
    Q_OBJECT
public:
    explicit PsdPlotWidget(QWidget* parent = nullptr);

    // Frequencies of the bins (bin 0, the constant part, is never drawn) and the curves over them.
    void SetCurves(std::vector<double> frequency, std::vector<PsdCurve> curves, const QString& densityTitle);
    void Clear();

    QRectF PlotArea() const;
    vibration::LogAxis FrequencyAxis() const;
    vibration::LogAxis DensityAxis() const;
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
    std::vector<double> m_frequency;
    std::vector<PsdCurve> m_curves;
    QString m_densityTitle;
    double m_densityMin = 0.0;  // of the positive values drawn
    double m_densityMax = 0.0;
};

}  // namespace shakemeter
