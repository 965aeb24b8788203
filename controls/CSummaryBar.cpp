#include "controls/CSummaryBar.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>

#include "controls/DialogUnits.h"

namespace shakemeter {

const std::array<int, CSummaryBar::kFieldCount> CSummaryBar::kFieldIds = {
    1014, 1080, 1015, 1081, 1086,  // start time, sampling rate, samples, unit, mode
    1090, 1091, 1092,              // thresholds X, Y, Z
    1076, 1077, 1079, 1096,        // maxima X, Y, Z, vector sum
    1083, 1084, 1085, 1097,        // minima
    1087, 1088, 1089, 1098,        // averages
};

namespace {

bool IsSwallowedKey(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) {
        return false;
    }
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

}  // namespace

CSummaryBar::CSummaryBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QString::number(kDialogId));
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(10);
    setFont(font);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, BackgroundColour());
    pal.setColor(QPalette::Base, BackgroundColour());
    pal.setColor(QPalette::Text, Qt::black);
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);

    // First row: five fields without border.
    AddLabel(QStringLiteral("Start Time"), 2, 3);
    m_fields[0] = AddField(1014, 41, 3, 71, false);
    AddLabel(QStringLiteral("Sampling rate"), 118, 3);
    m_fields[1] = AddField(1080, 168, 3, 33, false);
    AddLabel(QStringLiteral("Sec"), 203, 3);
    AddLabel(QStringLiteral("Samples"), 237, 3);
    m_fields[2] = AddField(1015, 269, 3, 59, false);
    AddLabel(QStringLiteral("Unit"), 350, 3);
    m_fields[3] = AddField(1081, 368, 3, 34, false);
    AddLabel(QStringLiteral("Mode"), 410, 3);
    m_fields[4] = AddField(1086, 432, 3, 65, false);

    // One row per axis and the vector sum: maximum, minimum, average and (X, Y, Z) threshold.
    const char* maxLabels[4] = {"X  Max", "Y Max", "Z  Max", "Vector Sum Max"};
    const char* thresholdLabels[3] = {"X Threshold", "Y Threshold", "Z Threshold"};
    const int tops[4] = {18, 32, 46, 60};
    for (int axis = 0; axis < 4; ++axis) {
        const int top = tops[axis];
        AddLabel(QString::fromLatin1(maxLabels[axis]), axis == 3 ? 2 : 35, top);
        m_fields[8 + axis] = AddField(kFieldIds[8 + axis], 74, top, 127, true);
        AddLabel(QStringLiteral("Min"), 205, top);
        m_fields[12 + axis] = AddField(kFieldIds[12 + axis], 220, top, 127, true);
        AddLabel(QStringLiteral("Avg"), 351, top);
        m_fields[16 + axis] = AddField(kFieldIds[16 + axis], 368, top, 34, true);
        if (axis < 3) {
            AddLabel(QString::fromLatin1(thresholdLabels[axis]), 407, top);
            m_fields[5 + axis] = AddField(kFieldIds[5 + axis], 451, top, 46, true);
        }
    }
    const DialogUnits units(font);
    resize(units.x(538), units.y(77));
}

void CSummaryBar::AddLabel(const QString& text, int x, int y)
{
    const DialogUnits units(font());
    auto* label = new QLabel(text, this);
    label->move(units.x(x), units.y(y) + units.y(2));
    label->adjustSize();
}

QLineEdit* CSummaryBar::AddField(int id, int x, int y, int w, bool bordered)
{
    const DialogUnits units(font());
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::number(id));
    edit->setReadOnly(true);
    edit->setFrame(bordered);
    edit->setGeometry(units.rect(x, y, w, 12));
    edit->setPalette(palette());
    edit->setAutoFillBackground(true);
    edit->installEventFilter(this);
    return edit;
}

QLineEdit* CSummaryBar::Field(int controlId) const
{
    for (std::size_t i = 0; i < kFieldIds.size(); ++i) {
        if (kFieldIds[i] == controlId) {
            return m_fields[i];
        }
    }
    return nullptr;
}

void CSummaryBar::SetTexts(const SummaryTexts& texts)
{
    m_texts = texts;
    const std::array<const std::string*, kFieldCount> values = {
        &texts.startTime,    &texts.samplingRate, &texts.samples,      &texts.unit,   &texts.mode,
        &texts.threshold[0], &texts.threshold[1], &texts.threshold[2], &texts.max[0], &texts.max[1],
        &texts.max[2],       &texts.max[3],       &texts.min[0],       &texts.min[1], &texts.min[2],
        &texts.min[3],       &texts.avg[0],       &texts.avg[1],       &texts.avg[2], &texts.avg[3]};
    for (std::size_t i = 0; i < values.size(); ++i) {
        m_fields[i]->setText(QString::fromStdString(*values[i]));
        m_fields[i]->setCursorPosition(0);
    }
}

// The panel must never close or trigger anything on Enter or Escape, wherever the focus is in it.
bool CSummaryBar::eventFilter(QObject* watched, QEvent* event)
{
    if (IsSwallowedKey(event)) {
        event->accept();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CSummaryBar::keyPressEvent(QKeyEvent* event)
{
    if (IsSwallowedKey(event)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace shakemeter
