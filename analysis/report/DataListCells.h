#pragma once
// The cell texts of the data list, made on request from the recording and the view where they
// live; nothing is stored, so a list of a million rows costs only the rows on the screen.
// Holds references: the recording and the view must outlive it.
//
// Row r is row r of the recording in time mode and bin r of the spectrum in frequency mode (the
// mode is read at every request). A row the list still counts but the data no longer holds (a
// smaller recording installed before the list caught up) gives empty texts, never a read past
// the end of the arrays.

#include <string>

#include "recording/Recording.h"
#include "recording/RecordingView.h"

namespace shakemeter {

class DataListCells {
public:
    DataListCells(const Recording& document, const RecordingView& view) : m_document(document), m_view(view) {}

    // The item count the list takes at a rebuild: the view's shown count (never negative).
    int RowCount() const;
    bool FrequencyMode() const { return m_view.m_bFrequencyMode; }

    // Text of row r in column (sub-item) c, 0-based; empty outside the table.
    std::string CellText(int row, int column) const;
    void AppendCellText(std::string& out, int row, int column) const;

private:
    const Recording& m_document;
    const RecordingView& m_view;
};

}  // namespace shakemeter
