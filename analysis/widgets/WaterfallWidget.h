#pragma once
// The waterfall of a spectrum reading: one image line per capture (frequency across, time down,
// colour = density in dB), each drawn once when its capture arrives. The image grows by doubling,
// so a reading of any length costs the same per capture; a paint scales the lines drawn so far
// into the widget, whose size does not change with the reading's length.

#include <QImage>
#include <QWidget>
#include <cstddef>

#include "analysis/vibration/SpectrogramColours.h"

namespace shakemeter {

class WaterfallWidget : public QWidget {
    Q_OBJECT
public:
    explicit WaterfallWidget(QWidget* parent = nullptr);

    // Forgets every line; lines of `bins` densities follow, coloured over `range`.
    void Reset(std::size_t bins, const vibration::DbRange& range, double maxFrequency);
    // Draws one more line (bins() densities in the unit the range is in).
    void AppendLine(const double* densities);

    std::size_t lines() const { return m_lines; }
    std::size_t bins() const { return m_bins; }
    const vibration::DbRange& range() const { return m_range; }
    // The lines drawn so far, line i being capture i.
    QImage Lines() const;
    QSize sizeHint() const override { return {640, 240}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect ImageArea() const;

    QImage m_image;  // m_bins wide, room for at least m_lines lines
    std::size_t m_bins = 0;
    std::size_t m_lines = 0;
    vibration::DbRange m_range;
    double m_maxFrequency = 0.0;
};

}  // namespace shakemeter
