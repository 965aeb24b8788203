#include "shell/widgets/StartupHooks.h"

#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <deque>

#include "controls/Prompter.h"
#include "logger/CLoggerLink.h"
#include "logger/widgets/CRunDlg.h"
#include "shell/widgets/CMainFrame.h"

namespace shakemeter {

namespace {

QString Variable(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? QString::fromLocal8Bit(value) : QString();
}

// Answers from the list and says on standard error what it was asked, one line each.
class ConsolePrompter : public Prompter {
public:
    ConsolePrompter(const QStringList& answers, QString savePath) : m_savePath(std::move(savePath))
    {
        for (const QString& answer : answers) {
            m_answers.push_back(answer.trimmed().compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0);
        }
    }

    bool AskYesNo(QWidget*, const QString& text, PromptIcon) override
    {
        const bool answer = !m_answers.empty() && m_answers.front();
        if (!m_answers.empty()) {
            m_answers.pop_front();
        }
        Say("question", text + (answer ? QStringLiteral(" -> yes") : QStringLiteral(" -> no")));
        return answer;
    }
    void Tell(QWidget*, const QString& text, PromptIcon) override { Say("message", text); }
    QString ChooseOpenFile(QWidget*, const QString&, const QString&) override { return QString(); }
    QString ChooseSaveFile(QWidget*, const QString&, const QString&, const QString&) override
    {
        Say("save dialog", m_savePath);
        return m_savePath;
    }

private:
    static void Say(const char* kind, const QString& text)
    {
        std::fprintf(stderr, "%s: %s\n", kind, text.toUtf8().constData());
        std::fflush(stderr);
    }

    std::deque<bool> m_answers;
    QString m_savePath;
};

}  // namespace

Prompter* StartupHookPrompter()
{
    if (std::getenv("SHAKEMETER_TEST_ANSWERS") == nullptr && std::getenv("SHAKEMETER_TEST_SAVE_PATH") == nullptr) {
        return nullptr;
    }
    static ConsolePrompter prompter(Variable("SHAKEMETER_TEST_ANSWERS").split(QLatin1Char(','), Qt::SkipEmptyParts),
                                    Variable("SHAKEMETER_TEST_SAVE_PATH"));
    return &prompter;
}

void RunStartupHooks(CMainFrame& frame)
{
    const QStringList reading = Variable("SHAKEMETER_TEST_READING").split(QLatin1Char(':'));
    if (reading.size() == 2) {
        const int rate = reading.at(0).toInt();
        const int points = reading.at(1).toInt();
        CLoggerLink& link = frame.RunDialog()->Link();
        if (rate >= 0 && rate < static_cast<int>(kRealTimeIntervals.size())) {
            link.SetRealTimeInterval(kRealTimeIntervals[static_cast<std::size_t>(rate)]);
            frame.View().SetRtRequested(points);
            if (link.RunRealTime()) {
                frame.OnRealTimeStarted();
            } else {
                link.CloseDevice();
            }
        }
    }
    if (Variable("SHAKEMETER_TEST_CLOSE") == QLatin1String("1")) {
        QTimer::singleShot(0, &frame, [&frame] { frame.close(); });
    }
}

}  // namespace shakemeter
