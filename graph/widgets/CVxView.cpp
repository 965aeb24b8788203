#include "graph/widgets/CVxView.h"

#include <QPainter>
#include <QPaintEvent>
#include <QResizeEvent>
#include <QTimer>
#include <algorithm>

#include "graph/widgets/GraphPainter.h"
#include "shell/widgets/controls/CInstrumentPanel.h"
#include "shell/widgets/controls/CSummaryBar.h"
#include "shell/widgets/controls/Pictures.h"

namespace shakemeter {

CVxView::CVxView(Recording& document, QWidget* parent) : QWidget(parent), m_document(document) {
    m_model.Attach(&m_document, &m_companions);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumWidth(10);
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
    if (outcome.startZoomOutTimer) {
        QTimer::singleShot(100, this, [this] { OnZoomOut(); });
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
