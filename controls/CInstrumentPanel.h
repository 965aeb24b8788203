#pragma once
// The start screen's column of five picture buttons: logger setup, download, real-time reading,
// open a file and help. A click asks for the main window's command directly, without its enable
// rule (the panel only exists while nothing is shown).

#include <QWidget>

class QPushButton;

namespace shakemeter {

class CInstrumentPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDialogId = 239;
    // 118 x 190 dialog units of the 8 x 16 system font: wide enough for the 234-pixel buttons.
    static constexpr int kWidth = 236;
    static constexpr int kHeight = 380;

    explicit CInstrumentPanel(QWidget* parent = nullptr);

    // The button with the given control id (1045, 1174, 1175, 1046, 1048), or null.
    QPushButton* Button(int controlId) const;

signals:
    void commandRequested(int commandId);
};

}  // namespace shakemeter
