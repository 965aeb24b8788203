#include "logger/widgets/SpinButtons.h"

#include <QKeyEvent>
#include <QToolButton>
#include <QVBoxLayout>

#include "controls/CNumericEdit.h"

namespace shakemeter {

SpinButtons::SpinButtons(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int delta : {+1, -1}) {
        auto* arrow = new QToolButton(this);
        arrow->setObjectName(delta > 0 ? QStringLiteral("up") : QStringLiteral("down"));
        arrow->setArrowType(delta > 0 ? Qt::UpArrow : Qt::DownArrow);
        arrow->setAutoRepeat(true);
        arrow->setFocusPolicy(Qt::NoFocus);
        arrow->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        connect(arrow, &QToolButton::clicked, this, [this, delta] { emit step(delta); });
        layout->addWidget(arrow);
    }
}

std::pair<CNumericEdit*, SpinButtons*> AddSpinnedEdit(QWidget* dialog, int editId, const QRect& editGeometry,
                                                      int spinId, const QRect& spinGeometry)
{
    auto* edit = new CNumericEdit(dialog);
    edit->setObjectName(QString::number(editId));
    edit->setGeometry(editGeometry);
    edit->installEventFilter(dialog);
    auto* spin = new SpinButtons(dialog);
    spin->setObjectName(QString::number(spinId));
    spin->setGeometry(spinGeometry);
    return {edit, spin};
}

int ArrowKeyStep(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return 0;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Up ? 1 : key == Qt::Key_Down ? -1 : 0;
}

}  // namespace shakemeter
