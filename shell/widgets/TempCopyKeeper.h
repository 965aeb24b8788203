#pragma once
// Keeps the temporary copy current while a reading goes on, so that a crash or a power cut loses
// at most one period of samples: every period the shown recording is turned into file bytes on the
// GUI thread (a copy in memory) and written to disk on a worker thread, where the flush to the
// disk cannot hold up the next sample. Every other write of the copy (a download, the end of a
// reading, closing) waits for that worker and then writes at once. It also keeps the mark that
// tells the next start that the copy holds a reading never saved, and makes the offer to open it.
//
// The bytes are made on the GUI thread on purpose. The link appends rows there, and a new row may
// move the whole sample array, so a worker may not read the rows; it would need a copy of them,
// and the file's rows are the rows' own memory image: that copy is the same work as the bytes.

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <future>
#include <optional>
#include <string>

#include "recording/AtomicFile.h"

class QWidget;

namespace shakemeter {

class Prompter;

inline constexpr const char* kUnsavedReadingQuestion = "A reading was not saved when the program ended. Open it?";

class TempCopyKeeper : public QObject {
    Q_OBJECT
public:
    static constexpr int kPeriodMs = 60000;
    // A shorter period for tests that cannot wait a minute (milliseconds, > 0).
    static constexpr const char* kPeriodVariable = "SHAKEMETER_TEMP_COPY_PERIOD_MS";

    using FailureTeller = std::function<void(const FileWriteError&)>;

    // `bytes` gives the file bytes of the shown recording, on the GUI thread. `tell` is told the
    // first failure to write the copy after a success: a reading goes on without its safety net,
    // and the user should know, but once, not every period.
    TempCopyKeeper(QString copyPath, std::function<std::string()> bytes, FailureTeller tell, QObject* parent = nullptr);
    ~TempCopyKeeper() override;

    void SetPeriodMs(int ms);
    int PeriodMs() const { return m_timer.interval(); }
    bool Periodic() const { return m_timer.isActive(); }

    // A reading began (what is shown from now on is a reading nobody saved yet) or ended.
    void ReadingChanged(bool reading);
    // The copy written now, after any periodic write still under way.
    void WriteNow();
    // The reading was saved, the user chose not to keep it, or the copy now holds something else
    // (a download): the next start has nothing to offer, until a reading still going on writes
    // rows again.
    void Settled();
    bool HoldsUnsavedReading() const { return m_unsavedReading; }

    // At start: when the copy holds a reading never saved, asks whether to open it. True for Yes
    // (the reading stays marked until it is saved or let go); No lets it go.
    bool OfferUnsavedReading(Prompter& prompter, QWidget* parent);

    // Waits for a periodic write under way; true when the last one succeeded.
    bool WaitForWriter();

private:
    void OnTick();
    // Tells a failure, when it is the first since the last success.
    void Report(const std::optional<FileWriteError>& failure);

    std::string m_copyPath;
    std::function<std::string()> m_bytes;
    FailureTeller m_tell;
    QTimer m_timer;
    std::future<std::optional<FileWriteError>> m_writer;  // the failure of the periodic write, if any
    bool m_failureTold = false;
    bool m_unsavedReading = false;
    bool m_finalWritePending = false;
};

}  // namespace shakemeter
