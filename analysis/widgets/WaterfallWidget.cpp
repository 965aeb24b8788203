#include "analysis/widgets/WaterfallWidget.h"

#include <QPainter>
#include <algorithm>

#include "analysis/widgets/PlotPalette.h"

namespace shakemeter {

namespace {

constexpr int kFirstCapacity = 64;
constexpr int kMarginLeft = 64;
constexpr int kMarginRight = 70;  // the colour bar and its labels
constexpr int kMarginTop = 8;
constexpr int kMarginBottom = 24;
constexpr int kBarWidth = 12;

}  // namespace

WaterfallWidget::WaterfallWidget(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(320, 120);
    UseDarkPlotPalette(*this);
}

void WaterfallWidget::Reset(std::size_t bins, const vibration::DbRange& range, double maxFrequency)
{
    m_bins = bins;
    m_lines = 0;
    m_range = range;
    m_maxFrequency = maxFrequency;
    m_image = bins > 0 ? QImage(static_cast<int>(bins), kFirstCapacity, QImage::Format_RGB32) : QImage();
    update();
}

void WaterfallWidget::AppendLine(const double* densities)
{
    if (m_bins == 0)
        return;
    if (static_cast<int>(m_lines) == m_image.height()) {
        // Doubling keeps the copy's cost, spread over the lines that filled the image, constant.
        QImage larger(m_image.width(), m_image.height() * 2, QImage::Format_RGB32);
        for (int y = 0; y < m_image.height(); ++y)
            std::copy_n(m_image.constScanLine(y), m_image.bytesPerLine(), larger.scanLine(y));
        m_image = std::move(larger);
    }
    auto* line = reinterpret_cast<QRgb*>(m_image.scanLine(static_cast<int>(m_lines)));
    for (std::size_t k = 0; k < m_bins; ++k)
        line[k] = 0xff000000u | vibration::DbColour(vibration::ToDb(densities[k]), m_range);
    ++m_lines;
    update();
}

QImage WaterfallWidget::Lines() const
{
    return m_image.copy(0, 0, static_cast<int>(m_bins), static_cast<int>(m_lines));
}

QRect WaterfallWidget::ImageArea() const
{
    return QRect(kMarginLeft, kMarginTop, std::max(1, width() - kMarginLeft - kMarginRight),
                 std::max(1, height() - kMarginTop - kMarginBottom));
}

void WaterfallWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = ImageArea();
    const QColor text = palette().color(QPalette::WindowText);
    const QFontMetrics metrics = fontMetrics();
    if (m_lines > 0)
        painter.drawImage(area, m_image, QRect(0, 0, static_cast<int>(m_bins), static_cast<int>(m_lines)));
    painter.setPen(text);
    painter.drawRect(area.adjusted(0, 0, -1, -1));

    painter.drawText(QPointF(area.left(), area.bottom() + metrics.ascent() + 4), QStringLiteral("0 Hz"));
    const QString top = QStringLiteral("%1 Hz").arg(m_maxFrequency, 0, 'g', 4);
    painter.drawText(QPointF(area.right() - metrics.horizontalAdvance(top), area.bottom() + metrics.ascent() + 4), top);
    painter.drawText(QPointF(4, area.top() + metrics.ascent()), QStringLiteral("first"));
    const QString count = QStringLiteral("%1").arg(m_lines);
    painter.drawText(QPointF(4, area.bottom()), count);

    // The colour bar, top of the range at the top.
    const QRect bar(area.right() + 10, area.top(), kBarWidth, area.height());
    for (int y = 0; y < bar.height(); ++y) {
        const double db = m_range.top - (m_range.top - m_range.bottom) * y / std::max(1, bar.height() - 1);
        painter.setPen(QColor::fromRgb(vibration::DbColour(db, m_range)));
        painter.drawLine(bar.left(), bar.top() + y, bar.right(), bar.top() + y);
    }
    painter.setPen(text);
    painter.drawText(QPointF(bar.right() + 4, bar.top() + metrics.ascent()), QStringLiteral("%1 dB").arg(m_range.top));
    painter.drawText(QPointF(bar.right() + 4, bar.bottom()), QString::number(m_range.bottom));
}

}  // namespace shakemeter
