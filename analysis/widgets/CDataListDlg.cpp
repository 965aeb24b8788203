#include "analysis/widgets/CDataListDlg.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "analysis/report/DataListColumns.h"
#include "analysis/report/DataListCopy.h"
#include "analysis/widgets/CDataListModel.h"

namespace shakemeter {

namespace {

constexpr int kWidthUnits = 507;
constexpr int kHeightUnits = 266;

}  // namespace

CDataListDlg::CDataListDlg(const Recording& document, RecordingView& view, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                          Qt::WindowCloseButtonHint),
      m_view(view)
{
    setObjectName(QString::number(IDD));
    setWindowTitle(QStringLiteral("Vibration Data List"));
    setModal(false);
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(10);
    setFont(font);

    m_model = new CDataListModel(document, view, this);
    m_list = new QTableView(this);
    m_list->setObjectName(QString::number(IDC_LIST));
    m_list->setModel(m_model);
    m_list->setShowGrid(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setWordWrap(false);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 4);
    m_list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_list->horizontalHeader()->setMinimumSectionSize(0);
    m_list->horizontalHeader()->setStretchLastSection(false);
    m_list->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);

    // The window's size is given in dialog units of its font.
    const QFontMetrics metrics(font);
    resize(kWidthUnits * metrics.averageCharWidth() / 4, kHeightUnits * metrics.height() / 8);
}

CDataListDlg::~CDataListDlg() = default;

void CDataListDlg::Open()
{
    if (m_open)
        return;
    m_open = true;
    if (QWidget* owner = parentWidget()) {
        const QRect area = owner->window()->frameGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    show();
    raise();
    Invalidate();
}

void CDataListDlg::CloseWindow()
{
    if (!m_open)
        return;
    m_open = false;
    hide();
    // The window is gone with its list: nothing for a printout to read back.
    m_model->Clear();
    emit closed();
}

void CDataListDlg::Invalidate()
{
    update();
    m_list->viewport()->update();
}

bool CDataListDlg::RebuildIfDirty()
{
    if (!m_open || !m_view.m_bListDirty)
        return false;
    m_model->Rebuild();
    const auto& columns = DataListColumnsFor(m_model->FrequencyColumns());
    QHeaderView* header = m_list->horizontalHeader();
    for (int c = 0; c < DATA_LIST_COLUMNS; ++c) {
        // Display order equal to the column number, whatever the user dragged before.
        const int visual = header->visualIndex(c);
        if (visual != c)
            header->moveSection(visual, c);
        header->resizeSection(c, c == 0 ? NumberColumnWidth() : columns[static_cast<std::size_t>(c)].width);
    }
    // The scroll range follows the new item count now rather than after this paint.
    m_list->doItemsLayout();
    m_view.MarkListShown();
    return true;
}

int CDataListDlg::NumberColumnWidth() const
{
    const QFontMetrics metrics(m_list->font());
    int digit = 0;
    for (char c = '0'; c <= '9'; ++c)
        digit = std::max(digit, metrics.horizontalAdvance(QLatin1Char(c)));
    // The cell's text margins on both sides, the grid line and a pixel to spare.
    const int margin = m_list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_list) + 1;
    return DataListNumberWidth(m_model->rowCount(), digit, 2 * margin + 2);
}

void CDataListDlg::FollowNewestRow()
{
    const int rows = m_model->rowCount();
    if (!m_open || rows == 0 || !m_isReading || !m_isReading())
        return;
    m_list->scrollTo(m_model->index(rows - 1, 0), QAbstractItemView::EnsureVisible);
}

bool CDataListDlg::event(QEvent* event)
{
    // Sent to the window before it paints whatever is due, the list included.
    if (event->type() == QEvent::UpdateRequest) {
        RebuildIfDirty();
        FollowNewestRow();
    }
    return QDialog::event(event);
}

bool CDataListDlg::IsClosingKey(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter;
}

QString CDataListDlg::SelectedRowsText() const
{
    std::vector<int> rows;
    for (const QModelIndex& index : m_list->selectionModel()->selectedRows())
        rows.push_back(index.row());
    if (rows.empty())
        return {};
    return QString::fromStdString(DataListCopyText(m_model->Cells(), std::move(rows)));
}

void CDataListDlg::CopySelectedRows()
{
    const QString text = SelectedRowsText();
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

bool CDataListDlg::eventFilter(QObject* watched, QEvent* event)
{
    // The list would take Enter for itself; the window closes on it first.
    if (watched == m_list && IsClosingKey(event)) {
        CloseWindow();
        return true;
    }
    // The list's own copy takes only the current cell; the window copies whole rows.
    if (watched == m_list && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        CopySelectedRows();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CDataListDlg::keyPressEvent(QKeyEvent* event)
{
    if (IsClosingKey(event)) {
        CloseWindow();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CDataListDlg::reject()
{
    CloseWindow();
}

void CDataListDlg::closeEvent(QCloseEvent* event)
{
    CloseWindow();
    event->accept();
}

void CDataListDlg::moveEvent(QMoveEvent* event)
{
    QDialog::moveEvent(event);
    if (m_open)
        emit moved();
}

}  // namespace shakemeter
