#pragma once
// The data list as a virtual table: it keeps only the item count and the column set of its last
// rebuild, and formats each cell when the view asks for it, from the recording where it lives.
// Before the first rebuild, and after Clear, it has neither columns nor rows, like the list of a
// window that does not exist.

#include <QAbstractTableModel>

#include "analysis/report/DataListCells.h"

namespace shakemeter {

class CDataListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    CDataListModel(const Recording& document, const RecordingView& view, QObject* parent = nullptr);

    // The seven columns of the view's current mode and the view's shown count as item count.
    void Rebuild();
    void Clear();
    bool IsBuilt() const { return m_built; }
    // The mode the columns were built for.
    bool FrequencyColumns() const { return m_frequencyColumns; }
    const DataListCells& Cells() const { return m_cells; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    DataListCells m_cells;
    int m_rowCount = 0;
    bool m_built = false;
    bool m_frequencyColumns = false;
};

}  // namespace shakemeter
