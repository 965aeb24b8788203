#include "analysis/widgets/PsdPlotWidget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "analysis/widgets/PlotPalette.h"

namespace shakemeter {

namespace {

// A density spanning more decades than this is rounding noise at the bottom.
constexpr int kMaxDensityDecades = 8;
constexpr int kMarginLeft = 64;
constexpr int kMarginRight = 16;
constexpr int kMarginTop = 12;
constexpr int kMarginBottom = 40;

}  // namespace

PsdPlotWidget::PsdPlotWidget(QWidget* parent, Scale scale) : QWidget(parent), m_scale(scale)
{
    setMouseTracking(true);
    setMinimumSize(320, 200);
    UseDarkPlotPalette(*this);
}

void PsdPlotWidget::SetCurves(std::vector<double> frequency, std::vector<PsdCurve> curves, const QString& densityTitle)
{
    m_frequency = std::move(frequency);
    m_curves = std::move(curves);
    m_densityTitle = densityTitle;
    m_densityMin = 0.0;
    m_densityMax = 0.0;
    m_largestRatio = 0.0;
    for (const PsdCurve& c : m_curves) {
        for (std::size_t k = 1; k < c.values.size(); ++k) {
            const double v = c.values[k];
            if (std::isfinite(v))
                m_largestRatio = std::max(m_largestRatio, std::fabs(v));
            if (v > 0.0) {
                m_densityMin = m_densityMin > 0.0 ? std::min(m_densityMin, v) : v;
                m_densityMax = std::max(m_densityMax, v);
            }
        }
    }
    update();
}

void PsdPlotWidget::Clear()
{
    SetCurves({}, {}, QString());
}

QRectF PsdPlotWidget::PlotArea() const
{
    return QRectF(kMarginLeft, kMarginTop, std::max(1, width() - kMarginLeft - kMarginRight),
                  std::max(1, height() - kMarginTop - kMarginBottom));
}

vibration::LogAxis PsdPlotWidget::FrequencyAxis() const
{
    const QRectF area = PlotArea();
    if (m_frequency.size() < 2)
        return vibration::LogAxis(1.0, 100.0, area.left(), area.right());
    // From the first bin's decade to the last bin: past it there is nothing to draw.
    const double low = std::pow(10.0, std::floor(std::log10(m_frequency[1]) + 1e-9));
    return vibration::LogAxis(low, std::max(m_frequency.back(), low * 10.0), area.left(), area.right());
}

vibration::LogAxis PsdPlotWidget::DensityAxis() const
{
    const QRectF area = PlotArea();
    return vibration::LogAxis::Spanning(m_densityMin, m_densityMax, kMaxDensityDecades, area.bottom(), area.top());
}

vibration::RatioAxis PsdPlotWidget::DbAxis() const
{
    const QRectF area = PlotArea();
    return vibration::RatioAxis(vibration::RatioAxis::LimitFor(m_largestRatio), area.bottom(), area.top());
}

void PsdPlotWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRectF area = PlotArea();
    const QColor grid(60, 60, 60);
    const QColor text = palette().color(QPalette::WindowText);
    painter.setPen(text);
    painter.drawRect(area);
    if (m_frequency.size() < 2 || m_curves.empty())
        return;

    const vibration::LogAxis fx = FrequencyAxis();
    const vibration::LogAxis dy = DensityAxis();
    const vibration::RatioAxis db = DbAxis();
    const auto drawn = [this](double v) { return m_scale == Scale::Density ? v > 0.0 : std::isfinite(v); };
    const auto toPixel = [&](double v) { return m_scale == Scale::Density ? dy.ToPixel(v) : db.ToPixel(v); };
    const QFontMetrics metrics = fontMetrics();
    for (const vibration::LogTick& t : fx.Ticks()) {
        painter.setPen(t.decade ? grid.lighter(160) : grid);
        painter.drawLine(QPointF(t.pixel, area.top()), QPointF(t.pixel, area.bottom()));
        if (t.decade) {
            painter.setPen(text);
            const QString label = QString::fromStdString(t.label);
            painter.drawText(
                QPointF(t.pixel - metrics.horizontalAdvance(label) / 2.0, area.bottom() + metrics.ascent() + 3), label);
        }
    }
    // The vertical ticks of either scale: a labelled one gets a brighter line.
    struct Level {
        double pixel;
        std::string label;
    };
    std::vector<Level> levels;
    if (m_scale == Scale::Density) {
        for (const vibration::LogTick& t : dy.Ticks())
            levels.push_back({t.pixel, t.label});
    } else {
        for (const vibration::RatioTick& t : db.Ticks())
            levels.push_back({t.pixel, t.label});
    }
    for (const Level& t : levels) {
        painter.setPen(t.label.empty() ? grid : grid.lighter(160));
        painter.drawLine(QPointF(area.left(), t.pixel), QPointF(area.right(), t.pixel));
        if (!t.label.empty()) {
            painter.setPen(text);
            const QString label = QString::fromStdString(t.label);
            painter.drawText(
                QPointF(area.left() - metrics.horizontalAdvance(label) - 4, t.pixel + metrics.ascent() / 2.0), label);
        }
    }
    if (m_scale == Scale::RatioDb) {
        // Where both recordings have the same density.
        painter.setPen(grid.lighter(240));
        painter.drawLine(QPointF(area.left(), db.ToPixel(0.0)), QPointF(area.right(), db.ToPixel(0.0)));
    }
    painter.setPen(text);
    const QString hz = QStringLiteral("Frequency (Hz)");
    painter.drawText(QPointF(area.center().x() - metrics.horizontalAdvance(hz) / 2.0, height() - 4), hz);
    painter.save();
    painter.translate(12, area.center().y() + metrics.horizontalAdvance(m_densityTitle) / 2.0);
    painter.rotate(-90);
    painter.drawText(QPointF(0, 0), m_densityTitle);
    painter.restore();

    painter.setClipRect(area);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const PsdCurve& c : m_curves) {
        QPainterPath path;
        bool open = false;
        const std::size_t n = std::min(c.values.size(), m_frequency.size());
        for (std::size_t k = 1; k < n; ++k) {
            // A zero density (a bin without a ratio) has no place on the axis: the curve breaks there.
            if (!drawn(c.values[k])) {
                open = false;
                continue;
            }
            const QPointF point(fx.ToPixel(m_frequency[k]), toPixel(c.values[k]));
            if (open) {
                path.lineTo(point);
            } else {
                path.moveTo(point);
                open = true;
            }
        }
        painter.setPen(QPen(c.colour, 1.2, c.style));
        painter.drawPath(path);
    }
    painter.setClipping(false);
    double x = area.right() - 8;
    for (auto c = m_curves.rbegin(); c != m_curves.rend(); ++c) {
        if (c->name.isEmpty())
            continue;
        x -= metrics.horizontalAdvance(c->name) + 12;
        painter.setPen(c->colour);
        painter.drawText(QPointF(x, area.top() + metrics.ascent() + 4), c->name);
    }
}

void PsdPlotWidget::mouseMoveEvent(QMouseEvent* event)
{
    const QRectF area = PlotArea();
    const QPointF at = event->position();
    if (m_frequency.size() < 2 || !area.contains(at)) {
        emit left();
        return;
    }
    emit hovered(FrequencyAxis().FromPixel(at.x()));
}

void PsdPlotWidget::leaveEvent(QEvent*)
{
    emit left();
}

}  // namespace shakemeter
