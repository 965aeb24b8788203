#pragma once
// The main window: the instrument pane and the graph view side by side, the main toolbar, the
// status bar with the command prompts, every command of the menus, toolbar and instrument pane
// with its enable rule, the save questions, the reading for FFT analysis with its timers, the
// temporary copy of the last recording, the settings file and the closing sequence. It owns the
// document, the three logger dialogs (each with its link), the spectrum link and the progress
// window.

#include <QMainWindow>
#include <QMap>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <memory>
#include <string>

#include "analysis/widgets/ReportPrinter.h"
#include "logger/LoggerProtocol.h"
#include "logger/widgets/LoggerDialogOwner.h"
#include "shell/CommandState.h"
#include "settings/SettingsFile.h"
#include "shell/WorkflowFlags.h"
#include "shell/widgets/CVxDoc.h"

class QSplitter;
class QPrinter;
class QLabel;
class QMenu;

namespace shakemeter {

class CVxView;
class GraphPictureCommands;
class CInstrumentView;
class CPictureToolBar;
class CLoggerLink;
class CLoggerSetupDlg;
class CDownloadDlg;
class CRunDlg;
class CLoadingDlg;
class CDataListDlg;
class PsdWindow;
class LoggerDialogBase;
class FrameLinkHost;
class DeviceLibrary;
class Prompter;
class TempCopyKeeper;
class DataExportCommands;
class AnalysisPanels;
class SessionCommands;
class CursorCommands;
class CompareCommands;

// Where the main window finds its collaborators; empty members take the program's own.
struct FrameEnvironment {
    Prompter* prompter = nullptr;
    DeviceLibrary* devices = nullptr;
    QString settingsPath;
    QString tempCopyPath;
    QString helpPath;
    QString profilePath;  // the program's profile (window size); empty for the program's own
};

class CMainFrame : public QMainWindow, public LoggerDialogOwner {
    Q_OBJECT
public:
    static constexpr int kInstrumentWidth = 130;
    static constexpr int kProgressPeriodMs = 100;
    static constexpr int kCloseDelayMs = 10;
    static constexpr int kListDelayMs = 10;
    static constexpr int kZoomResetDelayMs = 50;

    using Environment = FrameEnvironment;

    explicit CMainFrame(const Environment& environment = Environment(), QWidget* parent = nullptr);
    ~CMainFrame() override;

    // ---- parts
    CVxDoc& Doc() { return *m_doc; }
    CVxView* GraphView() const { return m_pView; }
    DataExportCommands& DataExports() const { return *m_dataExport; }
    GraphPictureCommands* GraphPictures() const { return m_pictures; }
    CInstrumentView* InstrumentView() const { return m_instrumentView; }
    CPictureToolBar* ToolBar() const { return m_wndToolBar; }
    QSplitter* Splitter() const { return m_wndSplitter; }
    CLoggerSetupDlg* SetupDialog() const { return m_dlgSetup; }
    CDownloadDlg* DownloadDialog() const { return m_dlgDownload; }
    CRunDlg* RunDialog() const { return m_dlgRun; }
    CLoadingDlg* LoadingDialog() const { return m_dlgLoading; }
    // The data list window, or null in a program built without it.
    CDataListDlg* DataList() const { return m_dlgDataList; }
    PsdWindow* Psd() const { return m_psdWindow; }
    bool DataListOpen() const;
    // New data for the list: it refills at its next paint.
    void RefreshDataList();
    // The docks of the Analysis menu.
    AnalysisPanels* Analysis() const { return m_analysisPanels; }
    SessionCommands& Sessions() const { return *m_sessions; }
    CursorCommands* Cursors() const { return m_cursors; }
    // The comparison with a second recording (Analysis menu).
    CompareCommands* Comparison() const { return m_compare; }
    CLoggerLink& SpectrumLink() { return *m_linkSpectrum; }
    FrameLinkHost& RunLinkHost() { return *m_runHost; }

    // The menu or toolbar action of a command (the first one made), and all of them.
    QAction* Action(int commandId) const;
    QList<QAction*> Actions(int commandId) const;

    // ---- state
    WorkflowFlags& Flags() { return m_flags; }
    bool m_bSummaryShown = true;
    bool m_bInstrumentShown = true;
    bool IsReading() const { return m_bReading; }
    void SetReading(bool reading);
    bool ProgressOpen() const;
    int ShownCount() const;
    ShellState CurrentState() const;
    void ApplyEnableTable();
    const std::array<std::uint8_t, 22>& LastSetupBytes() const { return m_lastSetup; }
    int ProgressCounter() const { return m_nProgressCounter; }

    // ---- commands
    // A command from the menu, the toolbar, an accelerator or the instrument pane's menu: run when
    // its enable rule allows it.
    void OnCommand(int commandId);
    // A command from the start screen's panel: run without the enable rule.
    void RunCommand(int commandId);

    // Saves both files after asking for a name; true when both were written. A failure is told.
    bool SaveFlow();
    // The save question of the command; false when the command must not go on.
    bool AskSaveQuestion(SaveQuestion question);
    // Opens a recording file as the Open command does after its question (no file dialog).
    LoadStatus OpenPath(const QString& path);
    // The summary panel back at its time-domain height when the recording just installed made the
    // view leave frequency mode.
    void RestoreSummaryAfterFrequencyMode();
    // The whole of the recording just shown, and an open PSD window of the visible range following it.
    void ZoomOutToShownRecording();
    // The file named on the command line, opened before the window is shown: a recording, or a
    // session file by its extension.
    void OpenFromCommandLine(const QString& path);
    // The shown recording into the temporary copy; a failure is told once until a write succeeds.
    void WriteTempCopy();
    QString TempCopyPath() const { return m_tempCopyPath; }
    TempCopyKeeper& CopyKeeper() { return *m_copyKeeper; }
    // At start: the reading a crash left unsaved in the temporary copy, opened when the user wants.
    void OfferUnsavedReading();
    QString SettingsPath() const { return m_settingsPath; }
    // The program profile's file; empty for the program's own.
    QString ProfilePath() const { return m_env.profilePath; }
    // All keys of the settings file from the window's and the view's state.
    void WriteSettings();
    // The window's normal (not maximised) size into the program's profile, for the next start.
    void WriteWindowProfile();
    // The normal size a new window gets: the last one kept, else one that shows the start screen
    // whole; never larger than the screen.
    QSize InitialNormalSize() const;
    static constexpr int kDefaultWidth = 1024;
    static constexpr int kDefaultHeight = 768;

    // Timer 1 and timer 4 of the reading for FFT analysis.
    void OnSpectrumTick();
    void OnProgressTick();
    bool SpectrumTimerActive() const { return m_timerSpectrum.isActive(); }

    // Tests replace how modal dialogs and external documents are run.
    void SetDialogRunner(std::function<int(LoggerDialogBase&)> runner) { m_dialogRunner = std::move(runner); }
    // The opener answers false when nothing on the system can show the page.
    void SetUrlOpener(std::function<bool(const QUrl&)> opener) { m_urlOpener = std::move(opener); }
    // The printout of the graph (mode 1) or the data list (mode 2) on the printer, for the pages
    // the printer's range names (all when none). False when nothing could be drawn.
    bool PrintTo(QPrinter& printer, int displayMode);
    // The test report of the shown recording: what every print and preview command prints.
    ReportPrinter Report();
    QPrinter& Printer() { return *m_printer; }

    // ---- LoggerDialogOwner
    HeaderBlock& LastSetup() override { return m_lastSetup; }
    void OnSetupWritten() override;
    int RtRateIndex() const override { return m_nRtRateIndex; }
    std::string RtPoints() const override { return m_strRtPoints; }
    void SetRtChoice(int rateIndex, const std::string& points) override;
    void OnRealTimeStarted() override;
    void SetDataUnsaved() override;
    RecordingView& View() override;
    Prompter& UserPrompter() override { return *m_prompter; }

    // The double-click on the graph: enlarged graph without the tree and the summary, or back.
    void ToggleEnlargedGraph();
    // Places and shows the progress window of a download.
    void ShowDownloadProgress(int rangeMax);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    QAction* MakeAction(int id, const QString& text);
    void AddContextMenu();

    bool SaveBothFiles(const QString& chosen);
    void OnSave();
    void OnOpen();
    void OnReload();
    void OnStopReading();
    void OnFftReading();
    void OnFrequencyGraph();
    void OnTimeGraph();
    void OnViewSummary();
    void OnViewInstrument();
    void OnImportList();
    void OnHelp();
    // The help page exists but nothing on this desktop shows web pages.
    void TellNoBrowser(const QString& page);
    void OnAbout();
    void OnSetup();
    void OnDownload();
    void OnRun();
    void OnStandardOpen();
    void OnStandardSave();
    void OnStandardNew();
    void OnSwitchPane(bool forward);
    void OnPrintCommand(int commandId);
    void AfterLoad();
    // The PSD window is open and computes from the rows the graph shows.
    bool PsdShowsVisibleRange() const;
    std::string TempCopyBytes() const;

    Environment m_env;
    Prompter* m_prompter = nullptr;
    DeviceLibrary* m_devices = nullptr;
    QString m_settingsPath;
    QString m_tempCopyPath;
    TempCopyKeeper* m_copyKeeper = nullptr;

    // Workflow state.
    WorkflowFlags m_flags;
    bool m_bReading = false;
    bool m_bSpectrumActive = false;  // the FFT command's reading, until Stop Reading or failure
    int m_nRtRateIndex = 2;
    std::string m_strRtPoints = "10000";
    HeaderBlock m_lastSetup{};
    int m_nProgressCounter = 0;
    bool m_bClosePending = false;
    bool m_bCloseApproved = false;

    CVxDoc* m_doc = nullptr;
    QSplitter* m_wndSplitter = nullptr;
    CInstrumentView* m_instrumentView = nullptr;
    CVxView* m_pView = nullptr;
    CPictureToolBar* m_wndToolBar = nullptr;
    QLabel* m_statusPane = nullptr;
    // Menus of the commands beyond the logger's own: File > Export and Analysis.
    QMenu* m_exportMenu = nullptr;
    QMenu* m_analysisMenu = nullptr;
    PsdWindow* m_psdWindow = nullptr;
    std::unique_ptr<DataExportCommands> m_dataExport;
    GraphPictureCommands* m_pictures = nullptr;
    SessionCommands* m_sessions = nullptr;

    std::unique_ptr<FrameLinkHost> m_setupHost;
    std::unique_ptr<FrameLinkHost> m_downloadHost;
    std::unique_ptr<FrameLinkHost> m_runHost;
    std::unique_ptr<FrameLinkHost> m_spectrumHost;
    CLoggerSetupDlg* m_dlgSetup = nullptr;
    CDownloadDlg* m_dlgDownload = nullptr;
    CRunDlg* m_dlgRun = nullptr;
    std::unique_ptr<CLoggerLink> m_linkSpectrum;
    CLoadingDlg* m_dlgLoading = nullptr;
    CDataListDlg* m_dlgDataList = nullptr;
    AnalysisPanels* m_analysisPanels = nullptr;
    CursorCommands* m_cursors = nullptr;
    CompareCommands* m_compare = nullptr;
    std::unique_ptr<QPrinter> m_printer;

    QMap<int, QList<QAction*>> m_actions;
    QTimer m_timerSpectrum;   // 1
    QTimer m_timerClose;      // 2
    QTimer m_timerList;       // 3
    QTimer m_timerProgress;   // 4
    QTimer m_timerZoomReset;  // 8

    std::function<int(LoggerDialogBase&)> m_dialogRunner;
    std::function<bool(const QUrl&)> m_urlOpener;
};

}  // namespace shakemeter
