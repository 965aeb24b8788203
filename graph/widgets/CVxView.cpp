#include "graph/widgets/CVxView.h"

#include <QAction>
#include <QChildEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <array>
#include <utility>

#include "analysis/widgets/CAxisSetupDlg.h"
#include "analysis/widgets/CColorSetupDlg.h"
#include "analysis/widgets/CViewOptionsDlg.h"
#include "graph/core/CursorMarks.h"
#include "graph/core/GraphLayout.h"
#include "graph/core/Palette.h"
#include "controls/CInstrumentPanel.h"
#include "controls/CPictureToolBar.h"
#include "controls/CSummaryBar.h"
#include "controls/Pictures.h"
#include "controls/Prompter.h"
#include "graph/widgets/CursorPainter.h"

namespace shakemeter {

namespace {

// Bitmaps of the resources: the start screen's picture and logo, the graph toolbar's strips.
constexpr int kStartScreenBitmap = 252;
constexpr int kStartScreenWidth = 400;
constexpr int kStartScreenHeight = 372;
constexpr int kStartScreenMinimumLeft = 260;
constexpr int kLogoBitmap = 270;
constexpr int kLogoTop = 10;
constexpr int kGraphBarButtonWidth = 99;
constexpr int kGraphBarImages = 259;
constexpr int kGraphBarHotImages = 258;
// The view's timers: the cursor line's (1), the repaint after a resize (2), the band's watchdog
// (3) and the zoom-out after the first graph paint (4).
constexpr int kCursorTimerMs = 100;
constexpr int kResizeTimerMs = 50;
constexpr int kBandTimerMs = 10;
constexpr int kZoomOutTimerMs = 100;
// The instrument panel is placed only in a pane taller than this.
constexpr int kInstrumentPanelLeastPaneHeight = 600;
// The read-out strip reaches to the white frame's inner edges.
constexpr int kReadoutStripInset = 12;

QRect ToQRect(const PlotRect& r)
{
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

// The scroll bars' actions as the model's scroll codes.
constexpr std::array<std::pair<int, ScrollCode>, 7> kScrollCodes{{
    {QAbstractSlider::SliderSingleStepSub, ScrollCode::LineBack},
    {QAbstractSlider::SliderSingleStepAdd, ScrollCode::LineForward},
    {QAbstractSlider::SliderPageStepSub, ScrollCode::PageBack},
    {QAbstractSlider::SliderPageStepAdd, ScrollCode::PageForward},
    {QAbstractSlider::SliderMove, ScrollCode::ThumbTrack},
    {QAbstractSlider::SliderToMinimum, ScrollCode::Start},
    {QAbstractSlider::SliderToMaximum, ScrollCode::End},
}};

ScrollCode ToScrollCode(int action)
{
    for (const auto& [sliderAction, code] : kScrollCodes) {
        if (sliderAction == action)
            return code;
    }
    return ScrollCode::Other;
}

// The keys that scroll, and the action each runs on its bar.
struct ScrollKey {
    int key;
    bool horizontal;
    int action;
};
constexpr std::array<ScrollKey, 8> kScrollKeys{{
    {Qt::Key_Left, true, QAbstractSlider::SliderSingleStepSub},
    {Qt::Key_Right, true, QAbstractSlider::SliderSingleStepAdd},
    {Qt::Key_PageUp, true, QAbstractSlider::SliderPageStepSub},
    {Qt::Key_PageDown, true, QAbstractSlider::SliderPageStepAdd},
    {Qt::Key_Home, true, QAbstractSlider::SliderToMinimum},
    {Qt::Key_End, true, QAbstractSlider::SliderToMaximum},
    {Qt::Key_Up, false, QAbstractSlider::SliderSingleStepSub},
    {Qt::Key_Down, false, QAbstractSlider::SliderSingleStepAdd},
}};

}  // namespace

CVxView::CVxView(Recording& document, QWidget* parent) : QWidget(parent), m_document(document)
{
    m_model.Attach(&m_document, &m_companions);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumWidth(10);
    setMouseTracking(true);
    // A graph is driven by keys as well as by the mouse: click and Tab both give it the focus.
    setFocusPolicy(Qt::StrongFocus);
    m_cursorTimer.setInterval(kCursorTimerMs);
    connect(&m_cursorTimer, &QTimer::timeout, this, &CVxView::OnCursorTimer);
    m_resizeTimer.setInterval(kResizeTimerMs);
    connect(&m_resizeTimer, &QTimer::timeout, this, [this] {
        InvalidatePlot();
        m_resizeTimer.stop();
    });
    m_bandTimer.setInterval(kBandTimerMs);
    connect(&m_bandTimer, &QTimer::timeout, this, &CVxView::OnBandWatchdog);
    m_zoomOutTimer.setInterval(kZoomOutTimerMs);
    connect(&m_zoomOutTimer, &QTimer::timeout, this, [this] {
        m_zoomOutTimer.stop();
        OnZoomOut();
    });
}

CVxView::~CVxView() = default;

bool CVxView::ShowsSpectrumRecording() const
{
    return m_companions.m_nShownCount > 0 && m_companions.m_dInterval == 1.0 / 256.0;
}

void CVxView::RefreshSummary()
{
    m_companions.RefreshSummary(m_document);
    UpdateSummaryPanel();
}

void CVxView::UpdateSummaryPanel()
{
    if (m_summaryBar != nullptr) {
        m_summaryBar->SetTexts(m_companions.m_summary);
    }
}

void CVxView::OnZoomOut()
{
    m_model.OnZoomOut();
    SyncScrollBars();
    InvalidatePlot();
}

bool CVxView::ZoomOntoRows(int firstRow, int lastRow)
{
    if (!m_model.ZoomOntoRows(firstRow, lastRow, m_bFrameReading))
        return false;
    SyncScrollBars();
    InvalidatePlot();
    return true;
}

const QTimer* CVxView::ViewTimer(int id) const
{
    switch (id) {
    case 1:
        return &m_cursorTimer;
    case 2:
        return &m_resizeTimer;
    case 3:
        return &m_bandTimer;
    case 4:
        return &m_zoomOutTimer;
    default:
        return nullptr;
    }
}

void CVxView::SetSummaryHeight(int height)
{
    m_model.state().m_nSummaryHeight = height;
    if (m_summaryBar != nullptr) {
        m_summaryBar->setGeometry(0, 0, width(), height);
        m_summaryBar->setVisible(height > 0);
    }
    update();
}

void CVxView::PlaceInstrumentPanel()
{
    if (m_instrumentPanel != nullptr && height() > kInstrumentPanelLeastPaneHeight) {
        m_instrumentPanel->setGeometry(0, (height() - CInstrumentPanel::kHeight) / 2, CInstrumentPanel::kWidth,
                                       CInstrumentPanel::kHeight);
    }
}

void CVxView::SyncChildren()
{
    if (DisplayMode() == 0) {
        if (m_instrumentPanel == nullptr) {
            m_instrumentPanel = new CInstrumentPanel(this);
            connect(m_instrumentPanel, &CInstrumentPanel::commandRequested, this, &CVxView::commandRequested);
            m_instrumentPanel->move(0, 0);
            PlaceInstrumentPanel();
            m_instrumentPanel->show();
        }
        return;
    }
    if (m_instrumentPanel != nullptr) {
        // A click on the panel may be what replaced the start screen: let the click finish first.
        m_instrumentPanel->hide();
        m_instrumentPanel->deleteLater();
        m_instrumentPanel = nullptr;
    }
    const int summaryHeight = SummaryHeight();
    if (m_summaryBar == nullptr) {
        m_summaryBar = new CSummaryBar(this);
        m_summaryBar->SetTexts(m_companions.m_summary);
    }
    m_summaryBar->setGeometry(0, 0, width(), summaryHeight);
    m_summaryBar->setVisible(summaryHeight > 0);
    m_summaryBar->raise();
}

void CVxView::PaintStartScreen(QPainter& painter)
{
    const QRect client = rect();
    painter.fillRect(client, Qt::black);
    const QImage picture = LoadBitmap(kStartScreenBitmap);
    const int x = std::max(client.left() + (client.width() - kStartScreenWidth) / 2, kStartScreenMinimumLeft);
    const int y = client.top() + (client.height() - kStartScreenHeight) / 2;
    painter.drawImage(x, y, picture);
    painter.drawImage(client.left(), client.top() + kLogoTop, LoadBitmap(kLogoBitmap));
}

void CVxView::paintEvent(QPaintEvent* event)
{
    SyncChildren();
    if (DisplayMode() == 0) {
        m_bComposedValid = false;
        m_overlayRegion = QRegion();
        QPainter painter(this);
        PaintStartScreen(painter);
        return;
    }
    if (m_graphPainter) {
        m_bComposedValid = false;
        m_overlayRegion = QRegion();
        QPainter painter(this);
        const int summaryHeight = SummaryHeight();
        m_graphPainter(painter, *this, QRect(0, summaryHeight, width(), height() - summaryHeight));
        return;
    }
    // A repaint this view asked for to show what the picture already holds copies it, and so
    // does one under the child windows (a toolbar button that lights up); anything else (a
    // resize, an uncovered window, an update from outside) composes it again.
    QRegion held = m_overlayRegion;
    for (const QWidget* child : {static_cast<QWidget*>(m_wndGraphBar), static_cast<QWidget*>(m_hScroll),
                                 static_cast<QWidget*>(m_vScroll), static_cast<QWidget*>(m_summaryBar)}) {
        if (child != nullptr && child->isVisible()) {
            held += child->geometry();
        }
    }
    const bool holds = m_bComposedValid && m_composed.size() == size() && (event->region() - held).isEmpty();
    m_overlayRegion = QRegion();
    if (!holds) {
        Compose();
    }
    QPainter painter(this);
    for (const QRect& r : event->region()) {
        painter.drawImage(r.topLeft(), m_composed, r);
    }
    DrawOverlays(painter);
}

void CVxView::Compose()
{
    if (m_composed.size() != size()) {
        m_composed = QImage(size(), QImage::Format_RGB32);
        m_composed.fill(Qt::black);
    }
    PaintParams params;
    params.client = PlotRect{0, 0, width(), height()};
    params.colors = m_colors;
    params.panelColor = palette().color(QPalette::Button);
    params.frameReading = m_bFrameReading;
    params.extras = m_extrasSource ? m_extrasSource() : nullptr;
    params.cursorsOverlaid = true;
    PaintOutcome outcome;
    {
        QPainter painter(&m_composed);
        outcome = PaintGraphFrame(painter, m_model, params);
    }
    if (m_model.state().g_bPrinting) {
        // A print drawing owns the graph's state meanwhile: the old picture stays.
        return;
    }
    m_lastParams = params;
    m_bComposedValid = true;
    ++m_nCompositions;
    // The new picture covers the cursor line and the band; the next move draws them afresh.
    m_model.state().g_bCursorHidden = true;
    m_bandDrawn = QRegion();
    if (outcome.drewGraph) {
        PlaceGraphChildren();
    }
    if (outcome.startZoomOutTimer) {
        m_zoomOutTimer.start();
    }
}

void CVxView::UpdateOverlay(const QRegion& region)
{
    m_overlayRegion += region;
    update(region);
}

void CVxView::InvalidatePlot()
{
    m_bComposedValid = false;
    const PlotRect& panel = m_model.state().m_rcGraphPanel;
    QRegion region(QRect(panel.left, panel.top, panel.right - panel.left, panel.bottom - panel.top));
    if (region.isEmpty()) {
        update();
        return;
    }
    for (const QScrollBar* bar : {m_hScroll, m_vScroll}) {
        if (bar != nullptr && bar->isVisible()) {
            region -= bar->geometry();
        }
    }
    update(region);
}

void CVxView::SetCursors(std::optional<CursorPair> cursors)
{
    const PlotRect& plot = m_model.plot();
    const QRegion before = CursorMarksRegion(PlanCursorMarks(m_model, plot, kCursorLabelSize), plot);
    m_model.SetCursors(cursors);
    if (!m_bComposedValid) {
        InvalidatePlot();
        return;
    }
    UpdateOverlay(before + CursorMarksRegion(PlanCursorMarks(m_model, plot, kCursorLabelSize), plot));
}

void CVxView::UpdateRealTimePlot()
{
    switch (m_model.UpdateRealTimePlot(m_bFrameReading)) {
    case RealTimeAction::Nothing:
        return;
    case RealTimeAction::InvalidatePlot:
        SyncScrollBars();
        InvalidatePlot();
        return;
    case RealTimeAction::RepaintPanelErase:
    case RealTimeAction::RepaintPanel:
        InvalidatePlot();
        return;
    case RealTimeAction::DrawNewestSegment:
        break;
    }
    if (!m_bComposedValid || m_composed.size() != size() || m_model.state().g_bPrinting) {
        InvalidatePlot();
        return;
    }
    QRect touched;
    {
        QPainter painter(&m_composed);
        touched = DrawNewestSegment(painter, m_model, m_colors);
    }
    ++m_nSegmentDraws;
    if (!touched.isEmpty()) {
        UpdateOverlay(touched);
    }
}

// Pixels of the composed picture in their complement, so the line and the band show on any
// background and over any trace.
namespace {

void DrawInvertedPoint(QPainter& painter, const QImage& picture, int x, int y)
{
    if (!picture.rect().contains(x, y)) {
        return;
    }
    painter.setPen(QColor::fromRgb(~picture.pixel(x, y) | 0xFF000000u));
    painter.drawPoint(x, y);
}

}  // namespace

void CVxView::DrawOverlays(QPainter& painter) const
{
    const GraphState& s = m_model.state();
    const PlotRect& plot = m_model.plot();
    painter.save();
    if (m_bComposedValid)
        DrawCursorMarks(painter, PlanCursorMarks(m_model, plot, kCursorLabelSize), plot, m_lastParams);
    if (!s.g_bCursorHidden) {
        // Dotted: every other pixel.
        for (int y = plot.top; y <= plot.bottom; y += 2) {
            DrawInvertedPoint(painter, m_composed, s.g_nCursorX, y);
        }
    }
    if (s.g_bBandActive && !s.g_bBandUnmoved) {
        const QRect band =
            QRect(QPoint(s.g_ptAnchor.x, s.g_ptAnchor.y), QPoint(s.g_ptBandEnd.x, s.g_ptBandEnd.y)).normalized();
        for (int x = band.left(); x <= band.right(); ++x) {
            if ((x - band.left()) % 2 == 0) {
                DrawInvertedPoint(painter, m_composed, x, band.top());
                DrawInvertedPoint(painter, m_composed, x, band.bottom());
            }
        }
        for (int y = band.top(); y <= band.bottom(); ++y) {
            if ((y - band.top()) % 2 == 0) {
                DrawInvertedPoint(painter, m_composed, band.left(), y);
                DrawInvertedPoint(painter, m_composed, band.right(), y);
            }
        }
    }
    painter.restore();
}

QRect CVxView::CursorColumn(int x) const
{
    const PlotRect& plot = m_model.plot();
    return QRect(x, plot.top, 1, plot.bottom - plot.top + 1);
}

QRegion CVxView::BandOutline() const
{
    const GraphState& s = m_model.state();
    if (!s.g_bBandActive || s.g_bBandUnmoved) {
        return QRegion();
    }
    const QRect band =
        QRect(QPoint(s.g_ptAnchor.x, s.g_ptAnchor.y), QPoint(s.g_ptBandEnd.x, s.g_ptBandEnd.y)).normalized();
    QRegion outline;
    outline += QRect(band.left(), band.top(), band.width(), 1);
    outline += QRect(band.left(), band.bottom(), band.width(), 1);
    outline += QRect(band.left(), band.top(), 1, band.height());
    outline += QRect(band.right(), band.top(), 1, band.height());
    return outline;
}

QRect CVxView::ReadoutStrip() const
{
    // Inside the white frame, which stays as composed.
    return QRect(kReadoutStripInset, m_model.plot().bottom + GraphLayout::kReadoutBelowPlot,
                 std::max(0, width() - 2 * kReadoutStripInset), GraphLayout::kReadoutHeight);
}

void CVxView::RedrawReadout()
{
    if (!m_bComposedValid || m_composed.size() != size()) {
        InvalidatePlot();
        return;
    }
    {
        QPainter painter(&m_composed);
        // The header starts left of the plot, where a longer text of the last move may stand.
        painter.fillRect(ReadoutStrip(), Qt::black);
        DrawReadout(painter, m_model, m_lastParams);
    }
    UpdateOverlay(ReadoutStrip());
}

void CVxView::PlaceGraphChildren()
{
    const PlotRect client{0, 0, width(), height()};
    const PlotRect& plot = m_model.plot();
    if (m_hScroll == nullptr) {
        m_hScroll = new QScrollBar(Qt::Horizontal, this);
        m_hScroll->setObjectName(QStringLiteral("100"));
        connect(m_hScroll, &QAbstractSlider::actionTriggered, this, &CVxView::OnHorizontalAction);
        connect(m_hScroll, &QAbstractSlider::valueChanged, this, &CVxView::OnHorizontalValue);
        m_vScroll = new QScrollBar(Qt::Vertical, this);
        m_vScroll->setObjectName(QStringLiteral("102"));
        // The view takes the keys and drives the bars itself.
        m_hScroll->setFocusPolicy(Qt::NoFocus);
        m_vScroll->setFocusPolicy(Qt::NoFocus);
        connect(m_vScroll, &QAbstractSlider::actionTriggered, this, &CVxView::OnVerticalAction);
        connect(m_vScroll, &QAbstractSlider::valueChanged, this, &CVxView::OnVerticalValue);
    }
    if (m_wndGraphBar == nullptr) {
        m_wndGraphBar = new CPictureToolBar(this);
        m_wndGraphBar->setObjectName(QStringLiteral("m_wndGraphBar"));
        const std::pair<int, const char*> buttons[] = {
            {ID_GRAPH_ZOOM_OUT, "Undo Zoom"},      {ID_GRAPH_AUTO_SCALE, "Auto Scale"},
            {ID_GRAPH_FULL_SCALE, "Full Scale"},   {ID_GRAPH_AXIS_SETUP, "Axis Setup"},
            {ID_GRAPH_COLOR_SETUP, "Color Setup"}, {ID_GRAPH_VIEW_OPTIONS, "View"}};
        bool first = true;
        for (const auto& [id, text] : buttons) {
            if (!first) {
                m_wndGraphBar->addSeparator();
            }
            first = false;
            auto* action = new QAction(QString::fromLatin1(text), m_wndGraphBar);
            action->setData(id);
            if (id == ID_GRAPH_ZOOM_OUT) {
                action->setToolTip(QStringLiteral("ZoomOut"));
            }
            const int command = id;
            connect(action, &QAction::triggered, this, [this, command] { OnGraphCommand(command); });
            m_wndGraphBar->AddPictureButton(action);
        }
        // Not flat: the buttons keep their raised face and their normal picture under the mouse,
        // so the hot strip (which holds fewer pictures than buttons) is never shown.
        m_wndGraphBar->SetFlat(false);
        m_wndGraphBar->SetImageLists(kGraphBarButtonWidth, kGraphBarImages, kGraphBarHotImages, kGraphBarImages);
    }
    // A pane too small for a plot shows no bars rather than bars of negative size.
    if (plot.bottom > plot.top && plot.right > plot.left) {
        m_hScroll->setGeometry(ToQRect(m_model.HScrollBarRect()));
        m_hScroll->show();
        m_vScroll->setGeometry(ToQRect(m_model.VScrollBarRect(client)));
        m_vScroll->show();
    } else {
        m_hScroll->hide();
        m_vScroll->hide();
    }
    m_wndGraphBar->setGeometry(ToQRect(m_model.GraphToolBarRect(client)));
    m_wndGraphBar->show();
    m_wndGraphBar->raise();
    SyncScrollBars();
}

void CVxView::SyncScrollBars()
{
    if (m_hScroll == nullptr) {
        return;
    }
    const GraphState& s = m_model.state();
    m_bSyncingBars = true;
    const auto apply = [](QScrollBar* bar, const ScrollData& data, bool enabled) {
        bar->setEnabled(enabled);
        if (!enabled) {
            // The whole recording is shown: a thumb left where the last zoom had it would claim
            // a part of it. A bar without travel shows nothing to scroll; the zoomed view's
            // range and position come back with the next zoom.
            bar->setRange(0, 0);
            return;
        }
        const int page = std::max(1, data.page);
        bar->setRange(data.minimum, std::max(data.minimum, data.maximum - page + 1));
        bar->setPageStep(page);
        bar->setValue(data.position);
    };
    apply(m_hScroll, s.m_siHorz, s.m_bScrollBarsEnabled);
    apply(m_vScroll, s.m_siVert, s.m_bScrollBarsEnabled && !s.g_bFullView);
    m_bSyncingBars = false;
}

void CVxView::OnHorizontalAction(int action)
{
    if (m_bSyncingBars) {
        return;
    }
    ScrollCode code = ToScrollCode(action);
    // The bar moves its slider for the wheel as it does for a drag; only a drag is the thumb
    // under the pointer.
    if (code == ScrollCode::ThumbTrack && !m_hScroll->isSliderDown()) {
        code = ScrollCode::ThumbPosition;
    }
    const int pointerX = mapFromGlobal(QCursor::pos()).x();
    m_model.OnHScroll(code, m_hScroll->sliderPosition(), pointerX);
    SyncScrollBars();
    // The bar shows the model's position, not the one the slider would take by itself.
    m_hScroll->setSliderPosition(m_model.state().m_siHorz.position);
    InvalidatePlot();
}

void CVxView::OnHorizontalValue(int value)
{
    // Every action of the bar has been turned into the model's position already; a value that
    // differs from it was set without an action, as the bar's "Scroll here" does.
    if (m_bSyncingBars || value == m_model.state().m_siHorz.position) {
        return;
    }
    m_model.OnHScroll(ScrollCode::ThumbPosition, value, 0);
    SyncScrollBars();
    InvalidatePlot();
}

void CVxView::OnVerticalAction(int action)
{
    if (m_bSyncingBars) {
        return;
    }
    m_model.OnVScroll(ToScrollCode(action), m_vScroll->sliderPosition());
    SyncScrollBars();
    m_vScroll->setSliderPosition(m_model.state().m_siVert.position);
    InvalidatePlot();
}

void CVxView::OnVerticalValue(int value)
{
    // As for the horizontal bar: "Scroll here" sets the value without an action.
    if (m_bSyncingBars || value == m_model.state().m_siVert.position) {
        return;
    }
    m_model.OnVScroll(ScrollCode::ThumbPosition, value);
    SyncScrollBars();
    InvalidatePlot();
}

void CVxView::OnGraphCommand(int commandId)
{
    Prompter& prompter = m_prompter != nullptr ? *m_prompter : DefaultPrompter();
    switch (commandId) {
    case ID_GRAPH_ZOOM_OUT:
        OnZoomOut();
        break;
    case ID_GRAPH_AUTO_SCALE:
        if (m_model.OnAutoScale()) {
            update();
        }
        break;
    case ID_GRAPH_FULL_SCALE:
        if (m_model.OnFullScale()) {
            update();
        }
        break;
    case ID_GRAPH_AXIS_SETUP:
        if (RunAxisSetup(
                this, m_model.state(), m_companions, [this] { return m_bFrameReading; }, prompter)) {
            OnZoomOut();
        }
        break;
    case ID_GRAPH_COLOR_SETUP:
        if (m_colorSetupDlg == nullptr) {
            m_colorSetupDlg = new CColorSetupDlg(this);
        }
        if (m_colorSetupDlg->DoModal(m_colors)) {
            update();
        }
        break;
    case ID_GRAPH_VIEW_OPTIONS:
        if (RunViewOptions(this, m_model.state())) {
            update();
        }
        break;
    default:
        break;
    }
}

QString CVxView::ReadoutText() const
{
    const GraphState& s = m_model.state();
    return QString::fromStdString(s.g_strReadoutHead + " " + s.g_strReadoutX + " " + s.g_strReadoutY + " " +
                                  s.g_strReadoutZ + " " + s.g_strReadoutV);
}

void CVxView::ClearReadout()
{
    GraphState& s = m_model.state();
    s.g_strReadoutHead.clear();
    s.g_strReadoutX.clear();
    s.g_strReadoutY.clear();
    s.g_strReadoutZ.clear();
    s.g_strReadoutV.clear();
    // The composed picture holds the old line.
    InvalidatePlot();
    emit readoutCleared();
}

void CVxView::HideCursorLine()
{
    GraphState& s = m_model.state();
    if (!s.g_bCursorHidden) {
        s.g_bCursorHidden = true;
        UpdateOverlay(CursorColumn(s.g_nCursorX));
    }
}

void CVxView::OnCursorTimer()
{
    const QPoint pointer = mapFromGlobal(QCursor::pos());
    const PlotRect& plot = m_model.plot();
    if (pointer.y() >= plot.bottom || pointer.y() <= plot.top) {
        HideCursorLine();
    }
    m_cursorTimer.stop();
}

void CVxView::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    HideCursorLine();
}

void CVxView::childEvent(QChildEvent* event)
{
    QWidget::childEvent(event);
    if (event->added() && event->child()->isWidgetType()) {
        event->child()->installEventFilter(this);
    }
}

bool CVxView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Enter) {
        HideCursorLine();
    }
    return QWidget::eventFilter(watched, event);
}

void CVxView::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton || !m_model.MouseEnabled()) {
        return;
    }
    HideCursorLine();
    const QPoint p = event->position().toPoint();
    m_model.ButtonDown(PlotPoint{p.x(), p.y()});
    m_bandTimer.start();
}

void CVxView::mouseMoveEvent(QMouseEvent* event)
{
    QWidget::mouseMoveEvent(event);
    if (!m_model.MouseEnabled() || !m_companions.m_bPlotReady) {
        return;
    }
    const QPoint p = event->position().toPoint();
    GraphState& s = m_model.state();
    if (s.g_bBandActive) {
        const QRegion before = BandOutline();
        if (m_model.DragBand(PlotPoint{p.x(), p.y()})) {
            UpdateOverlay(before + BandOutline());
        }
        return;
    }
    const PlotRect& plot = m_model.plot();
    const PlotPoint clamped = m_model.ClampToPlot(PlotPoint{p.x(), p.y()}, false);
    if (p.y() >= plot.top + 1 && p.y() <= plot.bottom) {
        m_cursorTimer.start();
        const int index = m_model.PickIndex(clamped.x);
        QRegion changed = CursorColumn(clamped.x);
        if (!s.g_bCursorHidden) {
            changed += CursorColumn(s.g_nCursorX);
        }
        s.g_nCursorX = clamped.x;
        s.g_bCursorHidden = false;
        UpdateOverlay(changed);
        if (index >= 0 && index < m_companions.m_nShownCount) {
            m_model.UpdateReadout(index);
            s.g_nReadoutOffset = 100;
            RedrawReadout();
        }
    } else {
        HideCursorLine();
    }
}

void CVxView::mouseReleaseEvent(QMouseEvent* event)
{
    QWidget::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const QRegion band = BandOutline();
    const QPoint p = event->position().toPoint();
    const bool wasBand = m_model.state().g_bBandActive;
    m_model.ButtonUp(PlotPoint{p.x(), p.y()});
    UpdateOverlay(band);
    if (wasBand || m_model.MouseEnabled()) {
        InvalidatePlot();
    }
}

void CVxView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) {
        emit layoutToggleRequested();
    }
}

void CVxView::keyPressEvent(QKeyEvent* event)
{
    if (!m_model.MouseEnabled()) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (event->key() == Qt::Key_Backspace || event->matches(QKeySequence::Undo)) {
        OnZoomOut();
        event->accept();
        return;
    }
    // The keys run the bars' own actions, so they scroll exactly as a click on the bar would
    // and do nothing while the bar is disabled (the whole recording is shown).
    const auto found = std::find_if(kScrollKeys.begin(), kScrollKeys.end(),
                                    [key = event->key()](const ScrollKey& k) { return k.key == key; });
    if (found == kScrollKeys.end()) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (found->horizontal && m_hScroll != nullptr && m_hScroll->isEnabled()) {
        OnHorizontalAction(found->action);
    } else if (!found->horizontal && m_vScroll != nullptr && m_vScroll->isEnabled()) {
        OnVerticalAction(found->action);
    }
    event->accept();
}

void CVxView::OnBandWatchdog()
{
    const QPoint pointer = mapFromGlobal(QCursor::pos());
    const QRegion band = BandOutline();
    if (m_model.BandWatchdog(PlotPoint{pointer.x(), pointer.y()}, PlotRect{0, 0, width(), height()})) {
        m_bandTimer.stop();
        UpdateOverlay(band);
        InvalidatePlot();
    }
}

void CVxView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_summaryBar != nullptr) {
        m_summaryBar->setGeometry(0, 0, event->size().width(), SummaryHeight());
    }
    PlaceInstrumentPanel();
    m_resizeTimer.start();
    update();
}

}  // namespace shakemeter
