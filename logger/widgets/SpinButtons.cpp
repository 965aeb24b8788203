#include "logger/widgets/SpinButtons.h"

#include <QToolButton>
#include <QVBoxLayout>

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

}  // namespace shakemeter
