#pragma once
// The "Vibration Data List" window: the shown recording (or, in frequency mode, its spectrum)
// row by row in a virtual table. The view owns the object for its whole life; the window exists
// only between Open and its closing (close box, Esc or Enter), and a closed window's list has
// neither columns nor rows, so a list printed after closing prints no rows.
//
// The list is rebuilt at the first paint after the view's m_bListDirty was set, and while a
// reading runs it keeps the newest row in sight.

#include <QDialog>
#include <functional>

#include "recording/Recording.h"
#include "recording/RecordingView.h"

class QTableView;

namespace shakemeter {

class CDataListModel;

class CDataListDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int IDD = 238;
    static constexpr int IDC_LIST = 1110;

    CDataListDlg(const Recording& document, RecordingView& view, QWidget* parent = nullptr);
    ~CDataListDlg() override;

    // Whether a reading is under way (the main window's m_bReading); none by default.
    void SetReadingQuery(std::function<bool()> isReading) { m_isReading = std::move(isReading); }

    // Creates the window: centred over its parent, shown, built at its first paint.
    void Open();
    bool IsOpen() const { return m_open; }
    void CloseWindow();

    // New data: repaint soon (the rebuild follows when the view marked the list dirty).
    void Invalidate();
    // The rebuild a paint does; true when the list was dirty.
    bool RebuildIfDirty();

    // The selected rows as tab-separated text with a heading line (Ctrl+C puts it on the
    // clipboard).
    QString SelectedRowsText() const;
    void CopySelectedRows();

    QTableView* List() const { return m_list; }
    CDataListModel* Model() const { return m_model; }

signals:
    // The window moved: the graph it uncovered needs a repaint.
    void moved();
    void closed();

public slots:
    void reject() override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void FollowNewestRow();
    // The "No." column's width for the rows listed now: the widest row number is never cut.
    int NumberColumnWidth() const;
    static bool IsClosingKey(const QEvent* event);

    RecordingView& m_view;
    std::function<bool()> m_isReading;
    CDataListModel* m_model = nullptr;
    QTableView* m_list = nullptr;
    bool m_open = false;
};

}  // namespace shakemeter
