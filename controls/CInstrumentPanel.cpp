#include "controls/CInstrumentPanel.h"

#include <QPushButton>

#include "shell/CommandIds.h"
#include "controls/DialogUnits.h"
#include "controls/Pictures.h"

namespace shakemeter {

namespace {

struct PanelButton {
    int controlId;
    const char* caption;
    int bitmapId;
    int commandId;
};

constexpr PanelButton kButtons[] = {
    {1045, "LOGGER SET", 255, ID_LOGGER_SETUP},
    {1174, "Download Data", 253, ID_DOWNLOAD},
    {1175, "RUN", 257, ID_RUN},
    {1046, "Open Existing Document", 256, ID_FILE_OPEN_RECORDING},
    {1048, "Help", 254, ID_HELP_TOPICS},
};

}  // namespace

CInstrumentPanel::CInstrumentPanel(QWidget* parent) : QWidget(parent)
{
    setObjectName(QString::number(kDialogId));
    // The panel's template font is the 8 x 16 system font; its units are fixed for that reason.
    const DialogUnits units(8, 16);
    int top = 0;
    for (const PanelButton& b : kButtons) {
        auto* button = new QPushButton(QString::fromLatin1(b.caption), this);
        button->setObjectName(QString::number(b.controlId));
        button->setGeometry(units.rect(0, top, 117, 38));
        button->setFlat(true);
        button->setFocusPolicy(Qt::TabFocus);
        button->setCursor(Qt::PointingHandCursor);
        button->setStyleSheet(
            QStringLiteral("QPushButton { border: none; background: black; padding: 0; }"
                           "QPushButton:pressed { padding-left: 2px; padding-top: 2px; }"));
        SetButtonFace(button, b.bitmapId);
        const int command = b.commandId;
        connect(button, &QPushButton::clicked, this, [this, command] { emit commandRequested(command); });
        top += 38;
    }
    resize(kWidth, kHeight);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
}

QPushButton* CInstrumentPanel::Button(int controlId) const
{
    return findChild<QPushButton*>(QString::number(controlId));
}

}  // namespace shakemeter
