#include "analysis/widgets/CDataListModel.h"

#include "analysis/report/DataListColumns.h"

namespace shakemeter {

CDataListModel::CDataListModel(const Recording& document, const RecordingView& view, QObject* parent)
    : QAbstractTableModel(parent), m_cells(document, view)
{
}

void CDataListModel::Rebuild()
{
    beginResetModel();
    m_built = true;
    m_frequencyColumns = m_cells.FrequencyMode();
    m_rowCount = m_cells.RowCount();
    endResetModel();
}

void CDataListModel::Clear()
{
    beginResetModel();
    m_built = false;
    m_rowCount = 0;
    endResetModel();
}

int CDataListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int CDataListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_built ? 0 : DATA_LIST_COLUMNS;
}

QVariant CDataListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rowCount || index.column() >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(m_cells.CellText(index.row(), index.column()));
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    return {};
}

QVariant CDataListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    if (role == Qt::DisplayRole) {
        const std::string_view heading =
            DataListColumnsFor(m_frequencyColumns)[static_cast<std::size_t>(section)].heading;
        return QString::fromLatin1(heading.data(), static_cast<qsizetype>(heading.size()));
    }
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    return {};
}

Qt::ItemFlags CDataListModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

}  // namespace shakemeter
