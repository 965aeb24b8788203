#pragma once
// The small progress window of a download and of the wait before the first spectrum: a bar that
// fills the window. Modeless; its window exists from Create until End. A download's window also
// offers Cancel, in a row below the bar; the window then holds the program's input to itself, so
// the click can be handled while the transfer waits for the logger and nothing else can start.

#include <QDialog>

class QProgressBar;
class QPushButton;

namespace shakemeter {

class CLoadingDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kDialogId = 227;
    static constexpr int IDC_PROGRESS = 1153;
    static constexpr int IDCANCEL = 2;

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

    // The Cancel row of the next showing (a download's); End takes it away again.
    void OfferCancel();
    bool CancelOffered() const;
    QPushButton* CancelButton() const { return m_cancel; }

signals:
    // Cancel was pressed (once per showing).
    void cancelRequested();

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void SetCancelShown(bool shown);

    QProgressBar* m_progress = nullptr;
    QPushButton* m_cancel = nullptr;
};

}  // namespace shakemeter
