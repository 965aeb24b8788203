#include "analysis/widgets/DockColumn.h"

#include <QDockWidget>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

namespace shakemeter {

QVBoxLayout* MakeDockColumn(QDockWidget& dock, const QString& name)
{
    dock.setObjectName(name);
    auto* body = new QWidget(&dock);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);
    dock.setWidget(body);
    return layout;
}

QLabel* MakeSelectableText(const QString& name, QWidget* parent, bool wrap)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setWordWrap(wrap);
    return label;
}

void KeepWrappedLines(QLabel& label, int narrowestWidth)
{
    label.setMinimumHeight(std::max(0, label.heightForWidth(narrowestWidth)));
}

}  // namespace shakemeter
