#pragma once
// The small progress window of a download and of the wait before the first spectrum: a bar that
// fills the window. Modeless; its window exists from Create until End.

#include <QDialog>

class QProgressBar;

namespace shakemeter {

class CLoadingDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kDialogId = 227;
    static constexpr int IDC_PROGRESS = 1153;

    explicit CLoadingDlg(QWidget* parent = nullptr);

    bool IsOpen() const { return isVisible(); }
    void SetRange(int maximum);
    void SetPos(int position);
    int Pos() const;
    int Maximum() const;
    // Shows the window centred on its parent (or at the given top-left corner).
    void ShowCentred();
    void ShowAt(const QPoint& topLeft);
    // Ends and hides the window: the only way it goes away. Escape and the window's close request
    // are ignored, since the readings that show it end it themselves.
    void End();

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    QProgressBar* m_progress = nullptr;
};

}  // namespace shakemeter
