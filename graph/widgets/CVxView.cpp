#include "graph/widgets/CVxView.h"

#include <QAction>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QRubberBand>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>

#include "analysis/widgets/CAxisSetupDlg.h"
#include "analysis/widgets/CColorSetupDlg.h"
#include "analysis/widgets/CViewOptionsDlg.h"
#include "graph/core/Palette.h"
#include "graph/widgets/GraphPainter.h"
#include "shell/widgets/controls/CInstrumentPanel.h"
#include "shell/widgets/controls/CPictureToolBar.h"
#include "shell/widgets/controls/CSummaryBar.h"
#include "shell/widgets/controls/Pictures.h"
#include "shell/widgets/controls/Prompter.h"

namespace shakemeter {

namespace {

QRect ToQRect(const PlotRect& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }

ScrollCode ToScrollCode(int action) {
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        return ScrollCode::LineBack;
    case QAbstractSlider::SliderSingleStepAdd:
        return ScrollCode::LineForward;
    case QAbstractSlider::SliderPageStepSub:
        return ScrollCode::PageBack;
    case QAbstractSlider::SliderPageStepAdd:
        return ScrollCode::PageForward;
    case QAbstractSlider::SliderMove:
        return ScrollCode::ThumbTrack;
    default:
        return ScrollCode::Other;
    }
}

}  // namespace

CVxView::CVxView(Recording& document, QWidget* parent) : QWidget(parent), m_document(document) {
    m_model.Attach(&m_document, &m_companions);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumWidth(10);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    m_cursorTimer.setInterval(100);
    connect(&m_cursorTimer, &QTimer::timeout, this, [this] {
        const QPoint pointer = mapFromGlobal(QCursor::pos());
        const PlotRect& plot = m_model.plot();
        if (pointer.y() >= plot.bottom || pointer.y() <= plot.top) {
            HideCursorLine();
        }
        m_cursorTimer.stop();
    });
    m_bandTimer.setInterval(10);
    connect(&m_bandTimer, &QTimer::timeout, this, &CVxView::OnBandWatchdog);
}

CVxView::~CVxView() = default;

bool CVxView::ShowsSpectrumRecording() const {
    return m_companions.m_nShownCount > 0 && m_companions.m_dInterval == 1.0 / 256.0;
}

void CVxView::RefreshSummary() {
    m_companions.RefreshSummary(m_document);
    UpdateSummaryPanel();
}

void CVxView::UpdateSummaryPanel() {
    if (m_summaryBar != nullptr) {
        m_summaryBar->SetTexts(m_companions.m_summary);
    }
}

void CVxView::OnZoomOut() {
    m_model.OnZoomOut();
    SyncScrollBars();
    update();
}

void CVxView::SetSummaryHeight(int height) {
    m_model.state().m_nSummaryHeight = height;
    if (m_summaryBar != nullptr) {
        m_summaryBar->setGeometry(0, 0, width(), height);
        m_summaryBar->setVisible(height > 0);
    }
    update();
}

void CVxView::PlaceInstrumentPanel() {
    if (m_instrumentPanel != nullptr && height() > 600) {
        m_instrumentPanel->setGeometry(0, (height() - CInstrumentPanel::kHeight) / 2, CInstrumentPanel::kWidth,
                                       CInstrumentPanel::kHeight);
    }
}

void CVxView::SyncChildren() {
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

void CVxView::PaintStartScreen(QPainter& painter) {
    const QRect client = rect();
    painter.fillRect(client, Qt::black);
    const QImage picture = LoadBitmap(252);
    const int x = std::max(client.left() + (client.width() - 400) / 2, 260);
    const int y = client.top() + (client.height() - 372) / 2;
    painter.drawImage(x, y, picture);
    painter.drawImage(client.left(), client.top() + 10, LoadBitmap(270));
}

void CVxView::paintEvent(QPaintEvent*) {
    SyncChildren();
    QPainter painter(this);
    if (DisplayMode() == 0) {
        PaintStartScreen(painter);
        return;
    }
    const int summaryHeight = SummaryHeight();
    const QRect area(0, summaryHeight, width(), height() - summaryHeight);
    if (m_graphPainter) {
        m_graphPainter(painter, *this, area);
        return;
    }
    PaintParams params;
    params.client = PlotRect{0, 0, width(), height()};
    params.colors = m_colors;
    params.panelColor = palette().color(QPalette::Button);
    params.frameReading = m_bFrameReading;
    const PaintOutcome outcome = PaintGraph(painter, m_model, params);
    painter.end();
    if (outcome.drewGraph) {
        PlaceGraphChildren();
    }
    if (outcome.startZoomOutTimer) {
        QTimer::singleShot(100, this, [this] { OnZoomOut(); });
    }
}

void CVxView::PlaceGraphChildren() {
    const PlotRect client{0, 0, width(), height()};
    const PlotRect& plot = m_model.plot();
    if (m_hScroll == nullptr) {
        m_hScroll = new QScrollBar(Qt::Horizontal, this);
        m_hScroll->setObjectName(QStringLiteral("100"));
        connect(m_hScroll, &QAbstractSlider::actionTriggered, this, &CVxView::OnHorizontalAction);
        m_vScroll = new QScrollBar(Qt::Vertical, this);
        m_vScroll->setObjectName(QStringLiteral("102"));
        connect(m_vScroll, &QAbstractSlider::actionTriggered, this, &CVxView::OnVerticalAction);
    }
    if (m_wndGraphBar == nullptr) {
        m_wndGraphBar = new CPictureToolBar(this);
        m_wndGraphBar->setObjectName(QStringLiteral("m_wndGraphBar"));
        const std::pair<int, const char*> buttons[] = {
            {ID_GRAPH_ZOOM_OUT, "Undo Zoom"},  {ID_GRAPH_AUTO_SCALE, "Auto Scale"},
            {ID_GRAPH_FULL_SCALE, "Full Scale"}, {ID_GRAPH_AXIS_SETUP, "Axis Setup"},
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
        // The hot strip holds fewer pictures than buttons: the others keep their normal face.
        m_wndGraphBar->SetImageLists(99, 259, 258, 259);
    }
    if (plot.bottom > plot.top) {
        m_hScroll->setGeometry(plot.left, plot.bottom + 35, plot.right - plot.left, 20);
        m_hScroll->show();
    } else {
        m_hScroll->hide();
    }
    m_vScroll->setGeometry(client.left + 20, plot.top - 5, 20, plot.bottom - plot.top + 10);
    m_vScroll->show();
    m_wndGraphBar->setGeometry(ToQRect(m_model.GraphToolBarRect(client)));
    m_wndGraphBar->show();
    m_wndGraphBar->raise();
    SyncScrollBars();
}

void CVxView::SyncScrollBars() {
    if (m_hScroll == nullptr) {
        return;
    }
    const GraphState& s = m_model.state();
    m_bSyncingBars = true;
    const auto apply = [](QScrollBar* bar, const ScrollData& data) {
        const int page = std::max(1, data.page);
        bar->setRange(data.minimum, std::max(data.minimum, data.maximum - page + 1));
        bar->setPageStep(page);
        bar->setValue(data.position);
    };
    apply(m_hScroll, s.m_siHorz);
    apply(m_vScroll, s.m_siVert);
    m_hScroll->setEnabled(s.m_bScrollBarsEnabled);
    m_vScroll->setEnabled(s.m_bScrollBarsEnabled && !s.g_bFullView);
    m_bSyncingBars = false;
}

void CVxView::OnHorizontalAction(int action) {
    if (m_bSyncingBars) {
        return;
    }
    const int pointerX = mapFromGlobal(QCursor::pos()).x();
    m_model.OnHScroll(ToScrollCode(action), m_hScroll->sliderPosition(), pointerX);
    SyncScrollBars();
    // The bar shows the model's position, not the one the slider would take by itself.
    m_hScroll->setSliderPosition(m_model.state().m_siHorz.position);
    update();
}

void CVxView::OnVerticalAction(int action) {
    if (m_bSyncingBars) {
        return;
    }
    m_model.OnVScroll(ToScrollCode(action), m_vScroll->sliderPosition());
    SyncScrollBars();
    m_vScroll->setSliderPosition(m_model.state().m_siVert.position);
    update();
}

void CVxView::OnGraphCommand(int commandId) {
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
        if (RunAxisSetup(this, m_model.state(), m_companions, [this] { return m_bFrameReading; }, prompter)) {
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

QString CVxView::ReadoutText() const {
    const GraphState& s = m_model.state();
    return QString::fromStdString(s.g_strReadoutHead + " " + s.g_strReadoutX + " " + s.g_strReadoutY + " " +
                                  s.g_strReadoutZ + " " + s.g_strReadoutV);
}

void CVxView::HideCursorLine() {
    if (m_cursorLine != nullptr) {
        m_cursorLine->hide();
    }
    m_model.state().g_bCursorHidden = true;
}

void CVxView::mousePressEvent(QMouseEvent* event) {
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

void CVxView::mouseMoveEvent(QMouseEvent* event) {
    QWidget::mouseMoveEvent(event);
    if (!m_model.MouseEnabled() || !m_companions.m_bPlotReady) {
        return;
    }
    const QPoint p = event->position().toPoint();
    GraphState& s = m_model.state();
    if (s.g_bBandActive) {
        if (m_model.DragBand(PlotPoint{p.x(), p.y()}) && !s.g_bBandUnmoved) {
            if (m_band == nullptr) {
                m_band = new QRubberBand(QRubberBand::Rectangle, this);
            }
            m_band->setGeometry(QRect(QPoint(s.g_ptAnchor.x, s.g_ptAnchor.y), QPoint(s.g_ptBandEnd.x, s.g_ptBandEnd.y))
                                    .normalized());
            m_band->show();
        }
        return;
    }
    const PlotRect& plot = m_model.plot();
    const PlotPoint clamped = m_model.ClampToPlot(PlotPoint{p.x(), p.y()}, false);
    if (p.y() >= plot.top + 1 && p.y() <= plot.bottom) {
        m_cursorTimer.start();
        const int index = m_model.PickIndex(clamped.x);
        if (m_cursorLine == nullptr) {
            m_cursorLine = new QWidget(this);
            m_cursorLine->setAttribute(Qt::WA_TransparentForMouseEvents);
            m_cursorLine->setAutoFillBackground(true);
        }
        // The line shows in the complement of the background, so it stands out on any colour.
        const RgbColor line = ComplementColor(ColorFromIndex(m_colors.background));
        QPalette pal = m_cursorLine->palette();
        pal.setColor(QPalette::Window, QColor(line.red, line.green, line.blue));
        m_cursorLine->setPalette(pal);
        m_cursorLine->setGeometry(clamped.x, plot.top, 1, plot.bottom - plot.top);
        m_cursorLine->show();
        s.g_nCursorX = clamped.x;
        s.g_bCursorHidden = false;
        if (index >= 0 && index < m_companions.m_nShownCount) {
            m_model.UpdateReadout(index);
            s.g_nReadoutOffset = 100;
            update(QRect(0, plot.bottom + 70, width(), 33));
        }
    } else {
        HideCursorLine();
    }
}

void CVxView::mouseReleaseEvent(QMouseEvent* event) {
    QWidget::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton) {
        return;
    }
    if (m_band != nullptr) {
        m_band->hide();
    }
    const QPoint p = event->position().toPoint();
    const bool wasBand = m_model.state().g_bBandActive;
    m_model.ButtonUp(PlotPoint{p.x(), p.y()});
    if (wasBand || m_model.MouseEnabled()) {
        update();
    }
}

void CVxView::mouseDoubleClickEvent(QMouseEvent* event) {
    QWidget::mouseDoubleClickEvent(event);
    emit layoutToggleRequested();
}

void CVxView::OnBandWatchdog() {
    const QPoint pointer = mapFromGlobal(QCursor::pos());
    if (m_model.BandWatchdog(PlotPoint{pointer.x(), pointer.y()}, PlotRect{0, 0, width(), height()})) {
        if (m_band != nullptr) {
            m_band->hide();
        }
        m_bandTimer.stop();
        update();
    }
}

void CVxView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_summaryBar != nullptr) {
        m_summaryBar->setGeometry(0, 0, event->size().width(), SummaryHeight());
    }
    PlaceInstrumentPanel();
    update();
}

}  // namespace shakemeter
