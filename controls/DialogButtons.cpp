#include "controls/DialogButtons.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QVBoxLayout>

namespace shakemeter {

void SetFormAboveOkCancel(QDialog& dialog, QLayout* form)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

}  // namespace shakemeter
