#include "analysis/widgets/PsdWindow.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QLabel>
#include <QShortcut>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "analysis/vibration/PsdReadout.h"
#include "analysis/widgets/PsdPlotWidget.h"
#include "analysis/widgets/WaterfallWidget.h"

namespace shakemeter {

using vibration::PsdResult;

namespace {

const QColor kAxisColours[3] = {QColor(255, 80, 80), QColor(80, 220, 80), QColor(90, 150, 255)};
const char* const kAxisNames[3] = {"X", "Y", "Z"};

QString Number(double value)
{
    return QString::number(value, 'g', 4);
}

QString RowsAndEstimate(vibration::RowRange range, const PsdResult& psd)
{
    return QStringLiteral("rows %1 to %2, fs %3 Hz, %4 segments of %5 rows, df %6 Hz")
        .arg(range.from + 1)
        .arg(range.to + 1)
        .arg(Number(psd.fs))
        .arg(psd.segments)
        .arg(psd.segment)
        .arg(Number(psd.df));
}

QString GrmsLine(const QString& title, const PsdResult& psd)
{
    QString text = title;
    for (int axis = 0; axis < 3; ++axis)
        text += QStringLiteral("   %1 %2").arg(QLatin1String(kAxisNames[axis]), Number(psd.axes[axis].grms));
    return text + QLatin1Char(' ') + QString::fromLatin1(vibration::UnitName(psd.unit));
}

// A curve over the shown bins from values some bins lack: those are not drawn.
std::vector<double> Drawable(const std::vector<std::optional<double>>& values)
{
    std::vector<double> out;
    out.reserve(values.size());
    for (const std::optional<double>& v : values)
        out.push_back(v.value_or(std::numeric_limits<double>::quiet_NaN()));
    return out;
}

}  // namespace

PsdWindow::PsdWindow(Inputs inputs, QWidget* parent) : QWidget(parent, Qt::Window), m_inputs(std::move(inputs))
{
    setObjectName(QStringLiteral("PsdWindow"));
    setWindowTitle(QStringLiteral("PSD"));

    m_sourceBox = new QComboBox(this);
    m_sourceBox->addItems(
        {QStringLiteral("Whole recording"), QStringLiteral("Visible range"), QStringLiteral("Spectrum reading")});
    m_segmentBox = new QComboBox(this);
    for (std::size_t segment = 16; segment <= 65536; segment *= 2) {
        if (vibration::WelchPsd::IsValidSegment(segment))
            m_segmentBox->addItem(QString::number(segment), QVariant::fromValue<qulonglong>(segment));
    }
    m_segmentBox->setCurrentText(QString::number(vibration::kDefaultSegment));
    auto* sourceLabel = new QLabel(QStringLiteral("&Data:"), this);
    sourceLabel->setBuddy(m_sourceBox);
    auto* segmentLabel = new QLabel(QStringLiteral("&Segment (rows):"), this);
    segmentLabel->setBuddy(m_segmentBox);

    m_export = new QPushButton(QStringLiteral("&Export CSV..."), this);
    m_export->setToolTip(QStringLiteral("Save the density shown and its Grms as a comma-separated table"));
    m_export->setEnabled(false);

    m_status = new QLabel(this);
    m_grms = new QLabel(this);
    m_grms->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_readout = new QLabel(this);
    m_readout->setMinimumWidth(420);
    m_plot = new PsdPlotWidget(this);
    m_ratioPlot = new PsdPlotWidget(this, PsdPlotWidget::Scale::RatioDb);
    m_ratioPlot->setObjectName(QStringLiteral("PsdRatioPlot"));
    m_ratioPlot->setMinimumHeight(140);

    m_waterfallAxisBox = new QComboBox(this);
    m_waterfallAxisBox->addItems({QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("Z")});
    m_waterfallAxisBox->setCurrentIndex(m_waterfallAxis);
    m_waterfall = new WaterfallWidget(this);
    m_waterfallRow = new QWidget(this);
    auto* waterfallLayout = new QVBoxLayout(m_waterfallRow);
    waterfallLayout->setContentsMargins(0, 0, 0, 0);
    auto* waterfallHead = new QHBoxLayout;
    auto* axisLabel = new QLabel(QStringLiteral("&Waterfall of axis:"), m_waterfallRow);
    axisLabel->setBuddy(m_waterfallAxisBox);
    waterfallHead->addWidget(axisLabel);
    waterfallHead->addWidget(m_waterfallAxisBox);
    waterfallHead->addStretch();
    waterfallLayout->addLayout(waterfallHead);
    waterfallLayout->addWidget(m_waterfall, 1);

    auto* controls = new QHBoxLayout;
    controls->addWidget(sourceLabel);
    controls->addWidget(m_sourceBox);
    controls->addSpacing(16);
    controls->addWidget(segmentLabel);
    controls->addWidget(m_segmentBox);
    controls->addStretch();
    controls->addWidget(m_export);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(m_status);
    layout->addWidget(m_grms);
    layout->addWidget(m_plot, 3);
    layout->addWidget(m_ratioPlot, 1);
    m_ratioPlot->setVisible(false);
    layout->addWidget(m_readout);
    layout->addWidget(m_waterfallRow, 2);
    m_waterfallRow->setVisible(false);
    resize(760, 640);

    connect(m_export, &QPushButton::clicked, this, &PsdWindow::exportRequested);
    connect(m_sourceBox, &QComboBox::currentIndexChanged, this, [this] { Recompute(); });
    connect(m_segmentBox, &QComboBox::currentIndexChanged, this, [this] { Recompute(); });
    connect(m_waterfallAxisBox, &QComboBox::currentIndexChanged, this, [this](int axis) {
        m_waterfallAxis = axis;
        RebuildWaterfall();
    });
    // Esc closes it as it closes the program's other windows.
    new QShortcut(QKeySequence::Cancel, this, this, &QWidget::close);
    connect(m_plot, &PsdPlotWidget::hovered, this, &PsdWindow::ShowReadoutAt);
    connect(m_plot, &PsdPlotWidget::left, m_readout, &QLabel::clear);
    connect(m_ratioPlot, &PsdPlotWidget::hovered, this, &PsdWindow::ShowReadoutAt);
    connect(m_ratioPlot, &PsdPlotWidget::left, m_readout, &QLabel::clear);
}

PsdWindow::~PsdWindow() = default;

void PsdWindow::ShowAndRecompute()
{
    Recompute();
    show();
    raise();
    activateWindow();
}

void PsdWindow::SetSource(Source source)
{
    m_sourceBox->setCurrentIndex(static_cast<int>(source));
    Recompute();
}

PsdWindow::Source PsdWindow::source() const
{
    return static_cast<Source>(m_sourceBox->currentIndex());
}

void PsdWindow::SetSegment(std::size_t segment)
{
    const int index = m_segmentBox->findData(QVariant::fromValue<qulonglong>(segment));
    if (index >= 0)
        m_segmentBox->setCurrentIndex(index);
}

std::size_t PsdWindow::segment() const
{
    return static_cast<std::size_t>(m_segmentBox->currentData().toULongLong());
}

void PsdWindow::Recompute()
{
    const vibration::Unit unit = m_inputs.unit ? m_inputs.unit() : vibration::Unit::G;
    const bool unitChanged = unit != m_unit;
    m_unit = unit;
    const bool captures = source() == Source::SpectrumReading;
    m_segmentBox->setEnabled(!captures);
    m_waterfallRow->setVisible(captures);
    if (unitChanged)
        RebuildWaterfall();
    if (captures)
        ShowCaptures();
    else
        ComputeFromRecording();
}

void PsdWindow::Refuse(const QString& why)
{
    m_shown = PsdResult{};
    m_comparison.reset();
    m_ratioPlot->setVisible(false);
    m_export->setEnabled(!m_shown.frequency.empty());
    m_status->setText(why);
    m_grms->clear();
    m_readout->clear();
    m_plot->Clear();
}

void PsdWindow::ComputeFromRecording()
{
    const Recording* recording = m_inputs.recording ? m_inputs.recording() : nullptr;
    if (recording == nullptr) {
        Refuse(QStringLiteral("No recording is shown."));
        return;
    }
    const vibration::TimeRows rows = vibration::TimeRowsOf(*recording);
    if (rows.count == 0) {
        Refuse(QStringLiteral("No recording is shown."));
        return;
    }
    if (!rows.evenlySampled()) {
        Refuse(QStringLiteral("A motion-detection recording is not evenly sampled, so it has no spectral density."));
        return;
    }
    if (!rows.hasInterval()) {
        Refuse(
            QStringLiteral("The recording's interval counts no time, so it has no sampling rate and no spectral "
                           "density."));
        return;
    }
    vibration::RowRange range{0, rows.count - 1};
    const std::optional<vibration::RowRange> visible =
        source() == Source::VisibleRange && m_inputs.visibleRows ? m_inputs.visibleRows() : std::nullopt;
    if (visible) {
        // Never past the time rows, whatever the graph last painted.
        range.to = std::min(visible->to, rows.count - 1);
        range.from = std::min(visible->from, range.to);
    }
    const std::size_t length = segment();
    if (range.size() < length) {
        Refuse(QStringLiteral("Rows %1 to %2 are fewer than one segment of %3 rows; choose a shorter segment.")
                   .arg(range.from + 1)
                   .arg(range.to + 1)
                   .arg(length));
        return;
    }
    vibration::WelchPsd welch(length);
    welch.AddSegments(rows.rows, range);
    m_shown = welch.Result(1.0 / rows.dt).converted(m_unit);
    m_export->setEnabled(!m_shown.frequency.empty());
    QString status = RowsAndEstimate(range, m_shown);
    status[0] = status[0].toUpper();
    m_comparison.reset();
    std::optional<Compared> compared;
    if (visible && m_compared)
        compared = m_compared();
    if (compared) {
        status += QLatin1Char('\n') + CompareWith(*compared);
        if (m_comparison) {
            m_status->setText(status);
            ShowComparison();
            return;
        }
    }
    m_ratioPlot->setVisible(false);
    m_status->setText(status);
    std::vector<PsdCurve> curves;
    for (int axis = 0; axis < 3; ++axis)
        curves.push_back({m_shown.axes[axis].psd, kAxisColours[axis], Qt::SolidLine, QLatin1String(kAxisNames[axis])});
    m_plot->SetCurves(m_shown.frequency, std::move(curves), QString::fromStdString(vibration::DensityUnitName(m_unit)));
    m_grms->setText(GrmsText());
}

void PsdWindow::ShowCaptures()
{
    m_comparison.reset();
    m_ratioPlot->setVisible(false);
    if (m_history.empty()) {
        Refuse(QStringLiteral("No capture of a spectrum reading yet."));
        return;
    }
    m_shown = m_history.Average().converted(m_unit);
    m_export->setEnabled(!m_shown.frequency.empty());
    const PsdResult last = m_history.Last().converted(m_unit);
    m_status->setText(QStringLiteral("%1 captures of %2 rows, fs %3 Hz, df %4 Hz: mean (solid), max hold "
                                     "(dotted), last capture (dashed)")
                          .arg(m_history.size())
                          .arg(m_history.captureLength())
                          .arg(Number(m_shown.fs))
                          .arg(Number(m_shown.df)));
    std::vector<PsdCurve> curves;
    for (int axis = 0; axis < 3; ++axis) {
        curves.push_back({m_shown.axes[axis].maxHold, kAxisColours[axis].darker(150), Qt::DotLine, {}});
        curves.push_back({last.axes[axis].psd, kAxisColours[axis].darker(120), Qt::DashLine, {}});
        curves.push_back({m_shown.axes[axis].psd, kAxisColours[axis], Qt::SolidLine, QLatin1String(kAxisNames[axis])});
    }
    m_plot->SetCurves(m_shown.frequency, std::move(curves), QString::fromStdString(vibration::DensityUnitName(m_unit)));
    m_grms->setText(GrmsText());
}

QString PsdWindow::CompareWith(const Compared& compared)
{
    const QString title = QStringLiteral("Compared with %1: ").arg(compared.name);
    const vibration::TimeRows rows =
        compared.recording != nullptr ? vibration::TimeRowsOf(*compared.recording) : vibration::TimeRows{};
    if (!rows.evenlySampled())
        return title + QStringLiteral("not evenly sampled, so it has no spectral density.");
    if (!rows.hasInterval())
        return title + QStringLiteral("its interval counts no time, so it has no spectral density.");
    if (!compared.rows || rows.count == 0)
        return title + QStringLiteral("none of its rows fall in the time span shown.");
    vibration::RowRange range = *compared.rows;
    range.to = std::min(range.to, rows.count - 1);
    range.from = std::min(range.from, range.to);
    const std::size_t length = segment();
    if (range.size() < length) {
        return title + QStringLiteral("rows %1 to %2 are fewer than one segment of %3 rows.")
                           .arg(range.from + 1)
                           .arg(range.to + 1)
                           .arg(length);
    }
    vibration::WelchPsd welch(length);
    welch.AddSegments(rows.rows, range);
    m_comparison = vibration::ComparePsd(m_shown, welch.Result(1.0 / rows.dt).converted(m_unit));
    QString text = title + RowsAndEstimate(range, m_comparison->compared) + QStringLiteral(" (dashed)");
    if (m_comparison->compared.fs != m_shown.fs) {
        text += QStringLiteral("; its density is interpolated at the shown frequencies");
        if (m_comparison->comparedBins < m_shown.frequency.size())
            text += QStringLiteral(" up to its Nyquist frequency of %1 Hz").arg(Number(m_comparison->compared.fs / 2));
    }
    return text;
}

void PsdWindow::ShowComparison()
{
    const vibration::PsdComparison& c = *m_comparison;
    const QString densityTitle = QString::fromStdString(vibration::DensityUnitName(m_unit));
    std::vector<PsdCurve> curves;
    std::vector<PsdCurve> ratios;
    for (int axis = 0; axis < 3; ++axis) {
        const QLatin1String name(kAxisNames[axis]);
        curves.push_back({Drawable(c.comparedAtShown[axis]), kAxisColours[axis].lighter(115), Qt::DashLine, {}});
        curves.push_back({m_shown.axes[axis].psd, kAxisColours[axis], Qt::SolidLine, name});
        ratios.push_back({Drawable(c.ratioDb[axis]), kAxisColours[axis], Qt::SolidLine, name});
    }
    m_plot->SetCurves(m_shown.frequency, std::move(curves), densityTitle);
    m_ratioPlot->SetCurves(m_shown.frequency, std::move(ratios), QStringLiteral("Ratio (dB)"));
    m_ratioPlot->setVisible(true);
    m_grms->setText(GrmsText());
}

void PsdWindow::SetComparedInput(std::function<std::optional<Compared>()> compared)
{
    m_compared = std::move(compared);
}

QString PsdWindow::GrmsText() const
{
    if (m_shown.frequency.empty())
        return {};
    QString text = GrmsLine(QStringLiteral("Grms"), m_shown);
    if (m_comparison)
        text += QLatin1Char('\n') + GrmsLine(QStringLiteral("Grms compared"), m_comparison->compared);
    return text;
}

QString PsdWindow::StatusText() const
{
    return m_status->text();
}

QString PsdWindow::ReadoutText() const
{
    return m_readout->text();
}

void PsdWindow::ShowReadoutAt(double frequency)
{
    m_readout->setText(QString::fromStdString(m_comparison ? vibration::ComparisonReadoutText(*m_comparison, frequency)
                                                           : vibration::ReadoutText(m_shown, frequency)));
}

void PsdWindow::BeginReading()
{
    m_history.Clear();
    m_waterfall->Reset(0, {}, 0.0);
    if (source() == Source::SpectrumReading)
        Recompute();
}

std::vector<double> PsdWindow::WaterfallLine(std::size_t capture) const
{
    return vibration::DensitiesInUnit(m_history.Line(capture, m_waterfallAxis), m_history.bins(), m_unit);
}

void PsdWindow::RebuildWaterfall()
{
    if (m_history.empty()) {
        m_waterfall->Reset(0, {}, 0.0);
        return;
    }
    const std::vector<double> first = WaterfallLine(0);
    m_waterfall->Reset(m_history.bins(), vibration::DbRange::For(first.data(), first.size()), m_history.fs() / 2.0);
    for (std::size_t i = 0; i < m_history.size(); ++i)
        m_waterfall->AppendLine(WaterfallLine(i).data());
}

void PsdWindow::AddCapture(const Recording& capture)
{
    const double fs = 1.0 / SecondsPerSample(capture.m_header, capture.m_bRealTime != 0);
    const bool first = m_history.empty();
    if (!m_history.Append(capture.m_pSamples.data(), capture.RowCount(), fs))
        return;
    if (first) {
        // The first capture of a reading sets the waterfall's colours and brings the reading forward.
        RebuildWaterfall();
        if (source() != Source::SpectrumReading) {
            const QSignalBlocker quiet(m_sourceBox);
            m_sourceBox->setCurrentIndex(static_cast<int>(Source::SpectrumReading));
        }
        Recompute();
        return;
    }
    m_waterfall->AppendLine(WaterfallLine(m_history.size() - 1).data());
    if (source() == Source::SpectrumReading)
        ShowCaptures();
}

}  // namespace shakemeter
