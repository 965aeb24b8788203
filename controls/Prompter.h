#pragma once
// Every question, message and file choice the main window and the logger dialogs put to the user
// goes through this interface, so tests answer them without a modal loop. The program's own
// prompter uses QMessageBox and QFileDialog.

#include <QString>
#include <utility>

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

// QMessageBox and QFileDialog, titled with the application's name. Both file dialogs start in the
// folder of the file last chosen in either of them (kept in the program's profile), or else in the
// user's documents folder.
class MessageBoxPrompter : public Prompter {
public:
    // profilePath: where the last folder is kept; empty for the program's own profile.
    explicit MessageBoxPrompter(QString profilePath = QString()) : m_profilePath(std::move(profilePath)) {}

    bool AskYesNo(QWidget* parent, const QString& text, PromptIcon icon) override;
    void Tell(QWidget* parent, const QString& text, PromptIcon icon) override;
    QString ChooseOpenFile(QWidget* parent, const QString& filter, const QString& defaultSuffix) override;
    QString ChooseSaveFile(QWidget* parent, const QString& filter, const QString& defaultSuffix,
                           const QString& proposedName) override;

    // The folder the next file dialog opens in.
    QString StartFolder() const;

private:
    void RememberFolder(const QString& chosenFile) const;

    QString m_profilePath;
};

Prompter& DefaultPrompter();

}  // namespace shakemeter
