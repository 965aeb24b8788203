#include "shell/widgets/controls/Prompter.h"

#include <QFileDialog>
#include <QMessageBox>

namespace shakemeter {

namespace {

QMessageBox::Icon ToIcon(PromptIcon icon) {
    switch (icon) {
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::Question:
        return QMessageBox::Question;
    case PromptIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

bool MessageBoxPrompter::AskYesNo(QWidget* parent, const QString& text, PromptIcon icon) {
    QMessageBox box(ToIcon(icon), QStringLiteral("Shakemeter"), text, QMessageBox::Yes | QMessageBox::No, parent);
    return box.exec() == QMessageBox::Yes;
}

void MessageBoxPrompter::Tell(QWidget* parent, const QString& text, PromptIcon icon) {
    QMessageBox box(ToIcon(icon), QStringLiteral("Shakemeter"), text, QMessageBox::Ok, parent);
    box.exec();
}

QString MessageBoxPrompter::ChooseOpenFile(QWidget* parent, const QString& filter, const QString& defaultSuffix) {
    QFileDialog dialog(parent, QString(), QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().first();
}

QString MessageBoxPrompter::ChooseSaveFile(QWidget* parent, const QString& filter, const QString& defaultSuffix,
                                           const QString& proposedName) {
    QFileDialog dialog(parent, QString(), proposedName, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().first();
}

Prompter& DefaultPrompter() {
    static MessageBoxPrompter prompter;
    return prompter;
}

}  // namespace shakemeter
