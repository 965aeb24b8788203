#pragma once
// The one formula of a zoom: the band the mouse drew in a plot becomes the whole plot. Columns
// are stretched about the band's left edge; the zoomed value axis starts at the value under the
// band's bottom edge and steps by the values of one tenth of the band's height. The button-up
// that accepts a zoom and the paint that applies it both map through here.

#include <array>

#include "graph/core/PlotRect.h"

namespace shakemeter {

class ZoomMapping {
public:
    // The band's edges in the plot's pixels (left < right, top < bottom), and the value ticks
    // of the picture it was drawn in.
    ZoomMapping(const PlotRect& plot, double bandLeft, double bandRight, double bandTop, double bandBottom,
                const std::array<double, 11>& ticks)
        : m_plot(plot),
          m_bandLeft(bandLeft),
          m_bandWidth(bandRight - bandLeft),
          m_bandTop(bandTop),
          m_bandBottom(bandBottom),
          m_lowestTick(ticks[0]),
          m_highestTick(ticks[10])
    {
    }

    // How far column x lies left of the band's left edge (negative right of it).
    double DistanceLeftOfBand(double x) const { return m_bandLeft - x; }
    // Where a column lying `distanceLeftOfBand` pixels left of the band's left edge lands in the
    // zoomed plot.
    double ZoomedX(double distanceLeftOfBand) const
    {
        return m_plot.left - distanceLeftOfBand * m_plot.width() / m_bandWidth;
    }
    // The value under the band's bottom edge: the zoomed axis's first tick.
    double BottomValue() const
    {
        return m_lowestTick + (m_plot.bottom - m_bandBottom) * (m_highestTick - m_lowestTick) / m_plot.height();
    }
    // The value one tenth of the band's height above it: the zoomed axis's second tick.
    double NextTickValue() const
    {
        const double tenthOfBand = 0.1 * (m_bandBottom - m_bandTop);
        return m_lowestTick +
               (m_plot.bottom - m_bandBottom + tenthOfBand) * (m_highestTick - m_lowestTick) / m_plot.height();
    }

private:
    PlotRect m_plot;
    double m_bandLeft;
    double m_bandWidth;
    double m_bandTop;
    double m_bandBottom;
    double m_lowestTick;
    double m_highestTick;
};

}  // namespace shakemeter
