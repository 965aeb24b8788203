#pragma once
// Every question, message and file choice the main window and the logger dialogs put to the user
// goes through this interface, so tests answer them without a modal loop. The program's own
// prompter uses QMessageBox and QFileDialog.

#include <QString>

class QWidget;

namespace shakemeter {

enum class PromptIcon { None, Information, Question };

class Prompter {
public:
    virtual ~Prompter() = default;
    // A Yes/No question; true for Yes.
    virtual bool AskYesNo(QWidget* parent, const QString& text, PromptIcon icon) = 0;
    // A message with an OK button.
    virtual void Tell(QWidget* parent, const QString& text, PromptIcon icon) = 0;
    // A file to open or to save; an empty text when the user cancelled.
    virtual QString ChooseOpenFile(QWidget* parent, const QString& filter, const QString& defaultSuffix) = 0;
    virtual QString ChooseSaveFile(QWidget* parent, const QString& filter, const QString& defaultSuffix,
                                   const QString& proposedName) = 0;
};

// QMessageBox and QFileDialog, titled with the application's name.
class MessageBoxPrompter : public Prompter {
public:
    bool AskYesNo(QWidget* parent, const QString& text, PromptIcon icon) override;
    void Tell(QWidget* parent, const QString& text, PromptIcon icon) override;
    QString ChooseOpenFile(QWidget* parent, const QString& filter, const QString& defaultSuffix) override;
    QString ChooseSaveFile(QWidget* parent, const QString& filter, const QString& defaultSuffix,
                           const QString& proposedName) override;
};

Prompter& DefaultPrompter();

}  // namespace shakemeter
