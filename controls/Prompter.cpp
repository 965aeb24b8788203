#include "controls/Prompter.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>

#include "controls/ProgramProfile.h"

namespace shakemeter {

namespace {

QMessageBox::Icon ToIcon(PromptIcon icon)
{
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

bool MessageBoxPrompter::AskYesNo(QWidget* parent, const QString& text, PromptIcon icon)
{
    QMessageBox box(ToIcon(icon), QStringLiteral("Shakemeter"), text, QMessageBox::Yes | QMessageBox::No, parent);
    return box.exec() == QMessageBox::Yes;
}

void MessageBoxPrompter::Tell(QWidget* parent, const QString& text, PromptIcon icon)
{
    QMessageBox box(ToIcon(icon), QStringLiteral("Shakemeter"), text, QMessageBox::Ok, parent);
    box.exec();
}

QString MessageBoxPrompter::ChooseOpenFile(QWidget* parent, const QString& filter, const QString& defaultSuffix)
{
    QFileDialog dialog(parent, QString(), StartFolder(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    RememberFolder(dialog.selectedFiles().first());
    return dialog.selectedFiles().first();
}

QString MessageBoxPrompter::ChooseSaveFile(QWidget* parent, const QString& filter, const QString& defaultSuffix,
                                           const QString& proposedName)
{
    QFileDialog dialog(parent, QString(), StartFolder(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    RememberFolder(dialog.selectedFiles().first());
    return dialog.selectedFiles().first();
}

QString MessageBoxPrompter::StartFolder() const
{
    // Not the working folder: a program started from a menu has the home or root folder there.
    const QString last = OpenProgramProfile(m_profilePath)->value(QLatin1String(kProfileLastFolderKey)).toString();
    if (!last.isEmpty() && QFileInfo(last).isDir()) {
        return last;
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir()) {
        return documents;
    }
    return QDir::homePath();
}

void MessageBoxPrompter::RememberFolder(const QString& chosenFile) const
{
    OpenProgramProfile(m_profilePath)
        ->setValue(QLatin1String(kProfileLastFolderKey), QFileInfo(chosenFile).absolutePath());
}

Prompter& DefaultPrompter()
{
    static MessageBoxPrompter prompter;
    return prompter;
}

}  // namespace shakemeter
