#pragma once
// The up-down arrows beside a number edit: each press asks the dialog for one step up or down;
// the dialog applies its own range and rules to the edit's text.

#include <QWidget>
#include <utility>

namespace shakemeter {

class SpinButtons : public QWidget {
    Q_OBJECT
public:
    explicit SpinButtons(QWidget* parent = nullptr);

signals:
    void step(int delta);
};

class CNumericEdit;

// A number edit with its arrows beside it, made in this order and each named by its control id:
// the dialog filters the edit's keys (ArrowKeyStep) and takes the arrows' steps.
std::pair<CNumericEdit*, SpinButtons*> AddSpinnedEdit(QWidget* dialog, int editId, const QRect& editGeometry,
                                                      int spinId, const QRect& spinGeometry);

// The step the Up (1) or Down (-1) arrow key makes in the number edit beside the arrows, when
// event is the press of one of them; 0 for every other event.
int ArrowKeyStep(const QEvent* event);

}  // namespace shakemeter
