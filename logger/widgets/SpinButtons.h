#pragma once
// The up-down arrows beside a number edit: each press asks the dialog for one step up or down;
// the dialog applies its own range and rules to the edit's text.

#include <QWidget>

namespace shakemeter {

class SpinButtons : public QWidget {
    Q_OBJECT
public:
    explicit SpinButtons(QWidget* parent = nullptr);

signals:
    void step(int delta);
};

}  // namespace shakemeter
