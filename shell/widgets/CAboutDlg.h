#pragma once
// The About box: the main icon, the program's name and version, and OK.

#include <QDialog>

namespace shakemeter {

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kDialogId = 100;
    explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace shakemeter
