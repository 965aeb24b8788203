#include "shell/widgets/TempCopyKeeper.h"

#include <QDir>
#include <QFileInfo>
#include <cstdlib>

#include "controls/Prompter.h"
#include "recording/UnsavedCopy.h"

namespace shakemeter {

TempCopyKeeper::TempCopyKeeper(QString copyPath, std::function<std::string()> bytes, FailureTeller tell,
                               QObject* parent)
    : QObject(parent), m_copyPath(copyPath.toStdString()), m_bytes(std::move(bytes)), m_tell(std::move(tell))
{
    int period = kPeriodMs;
    if (const char* text = std::getenv(kPeriodVariable)) {
        const int wanted = std::atoi(text);
        if (wanted > 0)
            period = wanted;
    }
    m_timer.setInterval(period);
    connect(&m_timer, &QTimer::timeout, this, &TempCopyKeeper::OnTick);
}

TempCopyKeeper::~TempCopyKeeper()
{
    if (m_writer.valid())
        m_writer.wait();
}

void TempCopyKeeper::SetPeriodMs(int ms)
{
    m_timer.setInterval(ms);
}

void TempCopyKeeper::ReadingChanged(bool reading)
{
    if (reading) {
        m_unsavedReading = true;
        if (!m_timer.isActive())
            m_timer.start();
    } else if (m_timer.isActive()) {
        m_timer.stop();
        // Every end of a reading but a failed one writes the copy itself right after; a reading that
        // failed would otherwise leave the copy a period behind the samples it kept.
        m_finalWritePending = true;
        QTimer::singleShot(0, this, [this] {
            if (m_finalWritePending)
                WriteNow();
        });
    }
}

bool TempCopyKeeper::WaitForWriter()
{
    if (!m_writer.valid())
        return true;
    const std::optional<FileWriteError> failure = m_writer.get();
    Report(failure);
    return !failure;
}

void TempCopyKeeper::Report(const std::optional<FileWriteError>& failure)
{
    if (!failure) {
        m_failureTold = false;
    } else if (!m_failureTold) {
        m_failureTold = true;
        if (m_tell)
            m_tell(*failure);
    }
}

void TempCopyKeeper::OnTick()
{
    // A disk slower than the period: this tick is left out rather than queued behind it.
    if (m_writer.valid() && m_writer.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return;
    WaitForWriter();
    QDir().mkpath(QFileInfo(QString::fromStdString(m_copyPath)).absolutePath());
    m_writer = std::async(std::launch::async, [path = m_copyPath, bytes = m_bytes(), unsaved = m_unsavedReading] {
        FileWriteError error;
        return WriteTemporaryCopy(path, bytes, unsaved, FileSystemCalls::System(), &error)
                   ? std::nullopt
                   : std::optional<FileWriteError>(error);
    });
}

void TempCopyKeeper::WriteNow()
{
    m_finalWritePending = false;
    WaitForWriter();
    QDir().mkpath(QFileInfo(QString::fromStdString(m_copyPath)).absolutePath());
    FileWriteError error;
    if (WriteTemporaryCopy(m_copyPath, m_bytes(), m_unsavedReading, FileSystemCalls::System(), &error))
        Report(std::nullopt);
    else
        Report(error);
}

void TempCopyKeeper::Settled()
{
    WaitForWriter();
    // A reading that goes on after a save brings rows the saved file does not hold: the next
    // periodic write marks the copy again.
    m_unsavedReading = m_timer.isActive();
    ClearUnsavedMark(m_copyPath);
}

bool TempCopyKeeper::OfferUnsavedReading(Prompter& prompter, QWidget* parent)
{
    if (!CopyHoldsUnsavedReading(m_copyPath))
        return false;
    if (prompter.AskYesNo(parent, QString::fromLatin1(kUnsavedReadingQuestion), PromptIcon::Question)) {
        m_unsavedReading = true;
        return true;
    }
    Settled();
    return false;
}

}  // namespace shakemeter
