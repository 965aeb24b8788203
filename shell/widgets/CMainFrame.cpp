#include "shell/widgets/GraphPictureCommands.h"
#include "shell/widgets/CMainFrame.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>

#include "graph/widgets/CVxView.h"
#include "graph/widgets/GraphPainter.h"
#include "analysis/widgets/CDataListDlg.h"
#include "analysis/widgets/PsdWindow.h"
#include "analysis/widgets/ReportPrinter.h"
#include "logger/CLoggerLink.h"
#include "logger/DeviceLibrary.h"
#include "logger/widgets/CDownloadDlg.h"
#include "logger/widgets/CLoadingDlg.h"
#include "logger/widgets/CLoggerSetupDlg.h"
#include "logger/widgets/CRunDlg.h"
#include "recording/AtomicFile.h"
#include "recording/RecordingFile.h"
#include "recording/RecordingSaver.h"
#include "recording/TextReport.h"
#include "shell/CommandIds.h"
#include "shell/DesktopOpener.h"
#include "analysis/widgets/EventsDock.h"
#include "shell/widgets/AnalysisPanels.h"
#include "shell/widgets/CompareCommands.h"
#include "shell/widgets/CAboutDlg.h"
#include "shell/widgets/CInstrumentView.h"
#include "shell/widgets/CursorCommands.h"
#include "shell/widgets/DataExportCommands.h"
#include "shell/widgets/FrameLinkHost.h"
#include "shell/widgets/PsdWindowLink.h"
#include "shell/widgets/SessionCommands.h"
#include "session/SessionFile.h"
#include "controls/CPictureToolBar.h"
#include "controls/Pictures.h"
#include "controls/ProgramProfile.h"
#include "controls/Prompter.h"
#include "shell/widgets/TempCopyKeeper.h"

namespace shakemeter {

namespace {

const char* const kFrameTitle = "QZ810 Vibration Shakemeter";
const char* const kSaveQuestion = "Do you want to save the existing graph data before continuing?";
const char* const kCloseQuestion = "Do you want to save the data before closing?";
const char* const kTempCopyName = "PreMeasure.Vibration";

// Prompt (status bar) and tool tip of each command, as "prompt\ntip".
struct CommandText {
    int id;
    const char* text;
};
constexpr CommandText kCommandTexts[] = {
    {ID_RUN, "Read real-time data at a specific sampling rate.\nRead real-time data."},
    {ID_STOP_READING, "Stop Reading.\nStop Reading."},
    {ID_HELP_TOPICS, "Help\nHelp"},
    {ID_FILE_SAVE_BOTH,
     "Save as  record file for  Shakemeter software and  xls document for Windows Office Excel \nSave"},
    {ID_FILE_OPEN_RECORDING, "Open an existing document\nOpen"},
    {ID_IMPORT_LIST, "Import data to  list\nImport data to list"},
    {ID_DOWNLOAD, "Download data from your shakemeter\nData Download"},
    {ID_LOGGER_SETUP, "Shakemeter Setup\nShakemeter Setup"},
    {ID_RELOAD, "Reload Current File.\nReload Current File."},
    {ID_PRINT_GRAPH, "Print Graph\nPrint Graph"},
    {ID_PRINT_LIST, "Print List\nPrint List"},
    {ID_FREQUENCY_GRAPH, "\nFrequency-domain Graph"},
    {ID_TIME_GRAPH, "\nTime-domain Graph"},
    {ID_ANALYSIS_PSD, "Show the power spectral density and Grms of the recording or of a spectrum reading\nPSD"},
    {ID_FFT_READING, "Read real-time spectral data for FFT analysis.\nRead real-time spectral data for FFT analysis."},
    {ID_FILE_PRINT_SETUP, "Change the printer and printing options\nPrint Setup"},
    {ID_APP_EXIT, "\nExit"},
    {ID_EXPORT_VISIBLE_CSV,
     "Save the rows visible in the graph as a comma-separated table\nExport Visible Range as CSV"},
    {ID_EXPORT_HDF5, "Save the whole recording as an HDF5 file for Python, MATLAB and HDF5 tools\nExport HDF5 File"},
    {ID_SESSION_SAVE, "Save the shown recording's file with its cursors and zoom as a session\nSave Session"},
    {ID_SESSION_OPEN, "Open a session: its recording with the cursors and zoom it was saved with\nOpen Session"},
    {ID_ANALYSIS_TWO_CURSORS, "Place or remove cursors A and B to measure between two samples\nTwo Cursors"},
    {ID_EXPORT_CURSOR_RANGE_CSV,
     "Save the rows from cursor A to cursor B as a comma-separated table\nExport Range Between Cursors as CSV"},
};

// Failures the program names in its own words: the file and the reason.
QString OpenFailureText(const QString& path, const QString& reason)
{
    return QStringLiteral("Cannot open \"%1\": %2.").arg(QDir::toNativeSeparators(path), reason);
}

QString SaveFailureText(const FileWriteError& error)
{
    return QStringLiteral("Cannot save \"%1\": %2.")
        .arg(QDir::toNativeSeparators(QString::fromStdString(error.path)), QString::fromStdString(error.reason));
}

QString DefaultTempCopyPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    return QDir(folder).filePath(QString::fromLatin1(kTempCopyName));
}

// The view's keys of the settings file beside the view's fields that hold them, for reading the
// file into the view and writing the view back with one list. copy(fileField, viewField).
template <typename Copy>
void PairViewSettings(Settings& settings, GraphDisplayOptions& state, GraphColors& colors, Copy copy)
{
    copy(static_cast<GraphDisplayOptions&>(settings), state);
    copy(settings.m_nColorBg, colors.background);
    copy(settings.m_nColorX, colors.x);
    copy(settings.m_nColorY, colors.y);
    copy(settings.m_nColorZ, colors.z);
    copy(settings.m_nColorV, colors.vectorSum);
    copy(settings.m_nColorGrid, colors.grid);
}

}  // namespace

CMainFrame::CMainFrame(const Environment& environment, QWidget* parent) : QMainWindow(parent), m_env(environment)
{
    m_prompter = m_env.prompter != nullptr ? m_env.prompter : &DefaultPrompter();
    m_devices = m_env.devices != nullptr ? m_env.devices : &SystemDeviceLibrary();
    m_settingsPath = m_env.settingsPath.isEmpty() ? SettingsFilePath() : m_env.settingsPath;
    m_tempCopyPath = m_env.tempCopyPath.isEmpty() ? DefaultTempCopyPath() : m_env.tempCopyPath;
    m_copyKeeper = new TempCopyKeeper(
        m_tempCopyPath, [this] { return TempCopyBytes(); },
        [this](const FileWriteError& error) { m_prompter->Tell(this, SaveFailureText(error), PromptIcon::None); },
        this);
    m_dialogRunner = [](LoggerDialogBase& dialog) { return dialog.DoModal(); };
    m_urlOpener = [this](const QUrl& url) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
        // The desktop services answer success once xdg-open has started, also when it then finds
        // no browser; its exit status tells.
        const QPointer<CMainFrame> frame(this);
        if (StartDesktopOpener(url, [frame, url] {
                if (frame) {
                    frame->TellNoBrowser(url.toLocalFile());
                }
            })) {
            return true;
        }
#endif
        return QDesktopServices::openUrl(url);
    };

    // The settings file is read once; the frame takes its part before any pane exists.
    Settings settings = ReadAllSettings(m_settingsPath);
    m_lastSetup = settings.m_lastSetup;
    m_nRtRateIndex = settings.m_nRtRateIndex;
    m_strRtPoints = settings.m_strRtPoints;

    // The document title never reaches the window title.
    setWindowTitle(QString::fromLatin1(kFrameTitle));
    setWindowIcon(MainIcon());
    setObjectName(QStringLiteral("CMainFrame"));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(155, 155, 155));
    setPalette(pal);

    m_doc = new CVxDoc(this);

    // Client area: the instrument pane and the graph view in a splitter.
    m_wndSplitter = new QSplitter(Qt::Horizontal, this);
    m_wndSplitter->setObjectName(QStringLiteral("m_wndSplitter"));
    m_wndSplitter->setChildrenCollapsible(true);
    m_instrumentView = new CInstrumentView(m_wndSplitter);
    m_pView = new CVxView(m_doc->recording(), m_wndSplitter);
    m_wndSplitter->addWidget(m_instrumentView);
    m_wndSplitter->addWidget(m_pView);
    m_wndSplitter->setStretchFactor(0, 0);
    m_wndSplitter->setStretchFactor(1, 1);
    m_wndSplitter->setSizes({kInstrumentWidth, 200});
    setCentralWidget(m_wndSplitter);

    // The view's own keys of the settings file, and the colours the frame keeps for it.
    GraphDisplayOptions options = m_pView->Model().DisplayOptions();
    PairViewSettings(settings, options, m_pView->Colors(), [](const auto& file, auto& view) { view = file; });
    m_pView->Model().SetDisplayOptions(options);
    connect(m_pView, &CVxView::commandRequested, this, &CMainFrame::RunCommand);
    connect(m_pView, &CVxView::layoutToggleRequested, this, &CMainFrame::ToggleEnlargedGraph);
    m_pView->SetPrompter(m_prompter);

    // Links and dialogs of the logger; each link has a host of its own (its own timer 1).
    m_setupHost = std::make_unique<FrameLinkHost>(*this);
    m_downloadHost = std::make_unique<FrameLinkHost>(*this);
    m_runHost = std::make_unique<FrameLinkHost>(*this);
    m_spectrumHost = std::make_unique<FrameLinkHost>(*this);
    m_dlgSetup = new CLoggerSetupDlg(*m_devices, *m_setupHost, *this, this);
    m_dlgDownload = new CDownloadDlg(*m_devices, *m_downloadHost, *this, this);
    m_dlgRun = new CRunDlg(*m_devices, *m_runHost, *this, this);
    m_setupHost->Attach(&m_dlgSetup->Link());
    m_downloadHost->Attach(&m_dlgDownload->Link());
    m_runHost->Attach(&m_dlgRun->Link());
    m_linkSpectrum = std::make_unique<CLoggerLink>(*m_devices, *m_spectrumHost);
    m_spectrumHost->Attach(m_linkSpectrum.get());
    m_psdWindow = CreatePsdWindow(*this, *m_spectrumHost);
    m_dlgLoading = new CLoadingDlg(this);
    connect(m_dlgLoading, &CLoadingDlg::cancelRequested, this, [this] { m_dlgDownload->Link().RequestCancel(); });
    m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // The page's fixed offsets are printer pixels; a fixed resolution keeps the page's look.
    m_printer->setResolution(600);
    m_dlgDataList = new CDataListDlg(m_doc->recording(), m_pView->MutableCompanions(), this);
    m_dlgDataList->SetReadingQuery([this] { return m_bReading; });
    // Print List needs the window: its closing takes the list away.
    connect(m_dlgDataList, &CDataListDlg::closed, this, [this] {
        m_pView->Model().SetListShown(false);
        ApplyEnableTable();
    });
    // The window moved off part of the plot: that part is drawn again.
    connect(m_dlgDataList, &CDataListDlg::moved, this, [this] { m_pView->InvalidatePlot(); });

    m_dataExport = std::make_unique<DataExportCommands>(*this);
    m_sessions = new SessionCommands(*this);
    CreateActions();
    CreateMenus();
    m_pictures = new GraphPictureCommands(m_exportMenu, m_analysisMenu, *m_pView, *m_prompter, m_env.profilePath, this);
    CreateToolBar();
    CreateStatusBar();
    AddContextMenu();
    m_analysisPanels = new AnalysisPanels(*this, *m_doc, *m_pView, *m_analysisMenu, m_env.profilePath);
    connect(m_analysisPanels, &AnalysisPanels::eventOptionsChanged, m_pictures, &GraphPictureCommands::SetEventOptions);
    connect(m_analysisPanels->EventList(), &EventsDock::exportRequested, this,
            [this] { m_dataExport->ExportEvents(m_analysisPanels->ShownEvents(), m_analysisPanels->CurrentUnit()); });
    connect(m_analysisPanels, &AnalysisPanels::unitChanged, this, [this] {
        if (m_psdWindow->isVisible())
            m_psdWindow->Recompute();
    });
    m_cursors =
        new CursorCommands(*this, *m_pView, *Action(ID_ANALYSIS_TWO_CURSORS), *Action(ID_EXPORT_CURSOR_RANGE_CSV),
                           *m_analysisMenu, *m_exportMenu, m_analysisPanels->CurrentUnit());
    connect(m_analysisPanels, &AnalysisPanels::unitChanged, m_cursors,
            [this] { m_cursors->SetUnit(m_analysisPanels->CurrentUnit()); });
    // A density left from the recording before would pass for the new one's, in the window and in
    // its export. The visible range of a new recording is known only once the view is zoomed out
    // (ZoomOutToShownRecording).
    connect(m_pView, &CVxView::readoutCleared, this, [this] {
        if (m_psdWindow->isVisible())
            m_psdWindow->Recompute();
    });
    // While two recordings are compared, the PSD of the visible range follows the graph.
    connect(m_analysisPanels, &AnalysisPanels::comparedSpanChanged, this, [this] {
        if (PsdShowsVisibleRange())
            m_psdWindow->Recompute();
    });
    m_compare = new CompareCommands(*this, *m_doc, *m_pView, *m_prompter, m_analysisMenu, m_env.profilePath);

    m_timerSpectrum.setSingleShot(true);
    connect(&m_timerSpectrum, &QTimer::timeout, this, &CMainFrame::OnSpectrumTick);
    m_timerProgress.setInterval(kProgressPeriodMs);
    connect(&m_timerProgress, &QTimer::timeout, this, &CMainFrame::OnProgressTick);
    m_timerClose.setSingleShot(true);
    connect(&m_timerClose, &QTimer::timeout, this, [this] {
        m_bCloseApproved = true;
        close();
    });
    m_timerList.setSingleShot(true);
    connect(&m_timerList, &QTimer::timeout, this, [this] {
        if (!m_dlgDataList->IsOpen()) {
            m_dlgDataList->Open();
        }
    });
    m_timerZoomReset.setSingleShot(true);
    connect(&m_timerZoomReset, &QTimer::timeout, this, [this] {
        ZoomOutToShownRecording();
        m_sessions->RecordingShown();
    });

    // Without it the window would open at its layout's minimum whenever it is not maximised.
    resize(InitialNormalSize());

    // Whatever changed the state, menus and buttons follow it before the next input is handled.
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) {
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &CMainFrame::ApplyEnableTable);
    }
    ApplyEnableTable();
}

CMainFrame::~CMainFrame()
{
    // The links close their connections before the dialogs and hosts they use go away.
    m_timerSpectrum.stop();
    m_timerProgress.stop();
    if (m_linkSpectrum) {
        m_linkSpectrum->CloseDevice();
    }
    m_runHost->KillTimer();
    m_dlgRun->Link().CloseDevice();
    delete m_dlgSetup;
    delete m_dlgDownload;
    delete m_dlgRun;
    m_linkSpectrum.reset();
}

// ------------------------------------------------------------------------------------------------
// Commands, menus, toolbar

QAction* CMainFrame::MakeAction(int id, const QString& text)
{
    auto* action = new QAction(text, this);
    action->setData(id);
    for (const CommandText& t : kCommandTexts) {
        if (t.id == id) {
            const QString both = QString::fromLatin1(t.text);
            const int cut = both.indexOf(QLatin1Char('\n'));
            action->setStatusTip(both.left(cut));
            action->setToolTip(both.mid(cut + 1));
        }
    }
    connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    m_actions[id].append(action);
    return action;
}

QAction* CMainFrame::Action(int commandId) const
{
    const auto it = m_actions.find(commandId);
    return it == m_actions.end() || it->isEmpty() ? nullptr : it->first();
}

QList<QAction*> CMainFrame::Actions(int commandId) const
{
    return m_actions.value(commandId);
}

void CMainFrame::CreateActions()
{
    MakeAction(ID_FILE_SAVE_BOTH, QStringLiteral("&Save..."));
    MakeAction(ID_FILE_OPEN_RECORDING, QStringLiteral("&Open..."));
    MakeAction(ID_FILE_PRINT_SETUP, QStringLiteral("&Print Setup..."));
    MakeAction(ID_PREVIEW_GRAPH, QStringLiteral("&Graph"));
    MakeAction(ID_PREVIEW_LIST, QStringLiteral("&List"));
    MakeAction(ID_PREVIEW_FREE_FALL, QStringLiteral("Free Fall Events"));
    MakeAction(ID_PRINT_GRAPH, QStringLiteral("&Graph"));
    MakeAction(ID_PRINT_LIST, QStringLiteral("&List"));
    MakeAction(ID_PRINT_FREE_FALL, QStringLiteral("Free Fall Events"));
    MakeAction(ID_APP_EXIT, QStringLiteral("&Exit"));
    MakeAction(ID_LOGGER_SETUP, QStringLiteral("Shakemeter Setup..."));
    MakeAction(ID_DOWNLOAD, QStringLiteral("&Download Data..."));
    MakeAction(ID_RUN, QStringLiteral("&Run..."));
    MakeAction(ID_STOP_READING, QStringLiteral("&Stop Reading..."));
    MakeAction(ID_FFT_READING, QStringLiteral("Reading for FFT Analysis..."));
    MakeAction(ID_RELOAD, QStringLiteral("Reload Current File"));
    MakeAction(ID_VIEW_INSTRUMENT, QStringLiteral("&Instrument"))->setCheckable(true);
    MakeAction(ID_VIEW_SUMMARY, QStringLiteral("&Data Summary"))->setCheckable(true);
    MakeAction(ID_APP_ABOUT, QStringLiteral("&About..."));
    MakeAction(ID_HELP_TOPICS, QStringLiteral("&Help topics..."));
    MakeAction(ID_FREQUENCY_GRAPH, QStringLiteral("Frequency-domain Graph"));
    MakeAction(ID_TIME_GRAPH, QStringLiteral("Time-domain Graph"));
    MakeAction(ID_IMPORT_LIST, QStringLiteral("Import data to list"));
    MakeAction(ID_ANALYSIS_PSD, QStringLiteral("&PSD..."));
    MakeAction(ID_EXPORT_VISIBLE_CSV, QStringLiteral("Visible &Range as CSV..."));
    MakeAction(ID_EXPORT_HDF5, QStringLiteral("&HDF5 File..."));
    MakeAction(ID_SESSION_SAVE, QStringLiteral("Save Sessio&n..."));
    MakeAction(ID_SESSION_OPEN, QStringLiteral("Open Sess&ion..."));
    MakeAction(ID_ANALYSIS_TWO_CURSORS, QStringLiteral("Two &Cursors"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    MakeAction(ID_EXPORT_CURSOR_RANGE_CSV, QStringLiteral("Range &Between Cursors as CSV..."));

    // Accelerators of the standard document commands and the pane switch.
    struct Accelerator {
        int id;
        QKeySequence keys;
    };
    for (const Accelerator& a : {Accelerator{ID_FILE_OPEN, QKeySequence(Qt::CTRL | Qt::Key_O)},
                                 Accelerator{ID_FILE_SAVE, QKeySequence(Qt::CTRL | Qt::Key_S)},
                                 Accelerator{ID_FILE_PRINT, QKeySequence(Qt::CTRL | Qt::Key_P)},
                                 Accelerator{ID_FILE_NEW, QKeySequence(Qt::CTRL | Qt::Key_N)},
                                 Accelerator{ID_NEXT_PANE, QKeySequence(Qt::Key_F6)},
                                 Accelerator{ID_PREV_PANE, QKeySequence(Qt::SHIFT | Qt::Key_F6)}}) {
        QAction* action = MakeAction(a.id, QString());
        action->setShortcut(a.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
}

void CMainFrame::CreateMenus()
{
    // The commands' actions in order; kSeparator stands for a separator.
    constexpr int kSeparator = 0;
    const auto add = [this](QMenu* menu, std::initializer_list<int> ids) {
        for (int id : ids) {
            if (id == kSeparator)
                menu->addSeparator();
            else
                menu->addAction(Action(id));
        }
    };
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu(QStringLiteral("&File(F)"));
    add(file, {ID_FILE_SAVE_BOTH, ID_FILE_OPEN_RECORDING, kSeparator, ID_FILE_PRINT_SETUP});
    add(file->addMenu(QStringLiteral("Print Pre&view")), {ID_PREVIEW_GRAPH, ID_PREVIEW_LIST, ID_PREVIEW_FREE_FALL});
    add(file->addMenu(QStringLiteral("&Print...")), {ID_PRINT_GRAPH, ID_PRINT_LIST, ID_PRINT_FREE_FALL});
    add(file, {kSeparator, ID_APP_EXIT, kSeparator});
    // Additions to the logger's own commands go after them, so the items above keep their places.
    m_exportMenu = file->addMenu(QStringLiteral("E&xport"));
    add(m_exportMenu, {ID_EXPORT_VISIBLE_CSV, ID_EXPORT_HDF5});
    add(file, {ID_SESSION_SAVE, ID_SESSION_OPEN});

    add(bar->addMenu(QStringLiteral("&Instrument(I)")),
        {ID_LOGGER_SETUP, kSeparator, ID_DOWNLOAD, kSeparator, ID_RUN, ID_STOP_READING, kSeparator, ID_FFT_READING,
         kSeparator, ID_RELOAD});
    add(bar->addMenu(QStringLiteral("&Window(W)")), {ID_VIEW_INSTRUMENT, ID_VIEW_SUMMARY});
    m_analysisMenu = bar->addMenu(QStringLiteral("&Analysis"));
    add(m_analysisMenu, {ID_ANALYSIS_PSD});
    add(bar->addMenu(QStringLiteral("&Help(H)")), {ID_APP_ABOUT, ID_HELP_TOPICS});
}

void CMainFrame::CreateToolBar()
{
    m_wndToolBar = new CPictureToolBar(this);
    m_wndToolBar->setObjectName(QStringLiteral("m_wndToolBar"));
    m_wndToolBar->setWindowTitle(QStringLiteral("Standard"));
    const int groups[][5] = {{ID_FILE_SAVE_BOTH, ID_FILE_OPEN_RECORDING, 0, 0, 0},
                             {ID_LOGGER_SETUP, ID_DOWNLOAD, ID_RUN, ID_STOP_READING, ID_FFT_READING},
                             {ID_TIME_GRAPH, ID_FREQUENCY_GRAPH, 0, 0, 0},
                             {ID_IMPORT_LIST, ID_PRINT_GRAPH, ID_PRINT_LIST, 0, 0},
                             {ID_HELP_TOPICS, 0, 0, 0, 0}};
    bool first = true;
    for (const auto& group : groups) {
        if (!first) {
            m_wndToolBar->addSeparator();
        }
        first = false;
        for (int id : group) {
            if (id != 0) {
                m_wndToolBar->AddPictureButton(Action(id));
            }
        }
    }
    // Missing pictures leave the buttons without faces but working.
    m_wndToolBar->SetImageLists(28, 264, 263, 264);
    addToolBar(Qt::TopToolBarArea, m_wndToolBar);
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    m_statusPane = new QLabel(bar);
    m_statusPane->setMinimumWidth(800);
    bar->addWidget(m_statusPane);
}

void CMainFrame::AddContextMenu()
{
    // The pane's menu has texts of its own but the commands (and so the rules) of the main menu.
    QList<QAction*> items;
    const std::pair<int, const char*> entries[] = {{ID_LOGGER_SETUP, "Shakemeter Setup"},
                                                   {ID_DOWNLOAD, "&Download Data"},
                                                   {ID_RUN, "&Run..."},
                                                   {ID_STOP_READING, "&Stop Running..."},
                                                   {ID_RELOAD, "&Reload Current File"}};
    bool first = true;
    for (const auto& [id, text] : entries) {
        if (!first) {
            items.append(nullptr);
        }
        first = false;
        QAction* action = MakeAction(id, QString::fromLatin1(text));
        items.append(action);
    }
    m_instrumentView->SetContextActions(items);
}

ShellState CMainFrame::CurrentState() const
{
    ShellState s;
    s.reading = m_bReading;
    s.progressOpen = ProgressOpen();
    s.shownCount = ShownCount();
    s.listShown = m_pView->State().m_bListShown;
    s.displayMode = m_pView->DisplayMode();
    s.spectrumRecording = m_pView->ShowsSpectrumRecording();
    s.summaryShown = m_bSummaryShown;
    s.instrumentShown = m_bInstrumentShown;
    s.frequencyMode = m_pView->Model().FrequencyMode();
    s.cursorsShown = m_pView->Model().Cursors().has_value();
    s.comparing = m_compare != nullptr && m_compare->Comparing();
    return s;
}

void CMainFrame::ApplyEnableTable()
{
    if (m_pictures != nullptr)
        m_pictures->FollowView();
    if (m_compare != nullptr)
        m_compare->FollowView();
    const ShellState state = CurrentState();
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it) {
        const CommandUi ui = CommandUiFor(it.key(), state);
        for (QAction* action : it.value()) {
            action->setEnabled(ui.enabled);
            if (ui.checkable) {
                action->setChecked(ui.checked);
            }
        }
    }
}

bool CMainFrame::ProgressOpen() const
{
    return m_dlgLoading != nullptr && m_dlgLoading->IsOpen();
}

int CMainFrame::ShownCount() const
{
    return m_pView->Companions().m_nShownCount;
}

void CMainFrame::SetReading(bool reading)
{
    m_bReading = reading;
    // A reading shows a recording of its own, even where it fills the old one's rows.
    if (reading && m_compare != nullptr)
        m_compare->Remove();
    m_copyKeeper->ReadingChanged(reading);
    m_pView->SetFrameReading(reading);
    ApplyEnableTable();
}

void CMainFrame::OnCommand(int commandId)
{
    // Menus and buttons are greyed, but a shortcut or a stale menu may still arrive.
    if (!CommandUiFor(commandId, CurrentState()).enabled) {
        ApplyEnableTable();
        return;
    }
    RunCommand(commandId);
}

void CMainFrame::RunCommand(int commandId)
{
    switch (commandId) {
    case ID_FILE_SAVE_BOTH:
        OnSave();
        break;
    case ID_FILE_OPEN_RECORDING:
        OnOpen();
        break;
    case ID_RELOAD:
        OnReload();
        break;
    case ID_APP_EXIT:
        close();
        break;
    case ID_EXPORT_VISIBLE_CSV:
        m_dataExport->ExportVisibleRange();
        break;
    case ID_EXPORT_HDF5:
        m_dataExport->ExportHdf5();
        break;
    case ID_SESSION_SAVE:
        m_sessions->OnSaveSession();
        break;
    case ID_SESSION_OPEN:
        m_sessions->OnOpenSession();
        break;
    case ID_ANALYSIS_TWO_CURSORS:
        m_cursors->Toggle();
        ApplyEnableTable();
        break;
    case ID_EXPORT_CURSOR_RANGE_CSV:
        if (const auto rows = m_cursors->Range())
            m_dataExport->ExportRows(*rows, m_cursors->Unit());
        break;
    case ID_LOGGER_SETUP:
        OnSetup();
        break;
    case ID_DOWNLOAD:
        OnDownload();
        break;
    case ID_RUN:
        OnRun();
        break;
    case ID_STOP_READING:
        OnStopReading();
        break;
    case ID_FFT_READING:
        OnFftReading();
        break;
    case ID_ANALYSIS_PSD:
        m_psdWindow->ShowAndRecompute();
        break;
    case ID_VIEW_INSTRUMENT:
        OnViewInstrument();
        break;
    case ID_VIEW_SUMMARY:
        OnViewSummary();
        break;
    case ID_APP_ABOUT:
        OnAbout();
        break;
    case ID_HELP_TOPICS:
        OnHelp();
        break;
    case ID_FREQUENCY_GRAPH:
        OnFrequencyGraph();
        break;
    case ID_TIME_GRAPH:
        OnTimeGraph();
        break;
    case ID_IMPORT_LIST:
        OnImportList();
        break;
    case ID_FILE_OPEN:
        OnStandardOpen();
        break;
    case ID_FILE_SAVE:
        OnStandardSave();
        break;
    case ID_FILE_NEW:
        OnStandardNew();
        break;
    case ID_NEXT_PANE:
        OnSwitchPane(true);
        break;
    case ID_PREV_PANE:
        OnSwitchPane(false);
        break;
    case ID_FILE_PRINT_SETUP:
    case ID_PREVIEW_GRAPH:
    case ID_PREVIEW_LIST:
    case ID_PRINT_GRAPH:
    case ID_PRINT_LIST:
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_PREVIEW:
        OnPrintCommand(commandId);
        break;
    default:
        break;
    }
    ApplyEnableTable();
}

// ------------------------------------------------------------------------------------------------
// Files

bool CMainFrame::AskSaveQuestion(SaveQuestion question)
{
    if (!m_flags.ShouldAsk(question, ShownCount())) {
        return true;
    }
    const PromptIcon icon = WorkflowFlags::StyleOf(question).questionIcon ? PromptIcon::Question : PromptIcon::None;
    const bool keep = m_prompter->AskYesNo(this, QString::fromLatin1(kSaveQuestion), icon);
    if (keep && !SaveFlow()) {
        // The user wanted the data kept but it was not saved (file dialog cancelled, or the save
        // failed): the command would discard it, so it stops and the question stays armed.
        return false;
    }
    if (!keep) {
        m_copyKeeper->Settled();
    }
    // Whatever the answer; a question not asked changes nothing.
    m_flags.AfterQuestion(question);
    return true;
}

bool CMainFrame::SaveFlow()
{
    // The proposed name carries its extension, so the dots of its time are not taken for one.
    const QString proposed = QString::fromStdString(DefaultSaveFileName(CalendarTime::Now()));
    const QString chosen = m_prompter->ChooseSaveFile(this, QStringLiteral("Shakemeter Files (*.Vibration *.xls)"),
                                                      QStringLiteral("Vibration"), proposed);
    if (chosen.isEmpty()) {
        return false;
    }
    return SaveBothFiles(chosen);
}

bool CMainFrame::SaveBothFiles(const QString& chosen)
{
    const SaveFileNamePair names = SaveFileNames(chosen.toStdString());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // Both files appear together or neither changes.
    FileWriteError error;
    const bool ok = SaveRecordingAndReport(chosen.toStdString(), m_doc->recording(), m_pView->Companions(), &error);
    QApplication::restoreOverrideCursor();
    if (ok) {
        m_flags.OnSaved();
        m_copyKeeper->Settled();
        m_doc->SetPathName(QString::fromStdString(names.recordingPath));
    } else {
        m_prompter->Tell(this, SaveFailureText(error), PromptIcon::None);
    }
    ApplyEnableTable();
    return ok;
}

void CMainFrame::OnSave()
{
    SaveFlow();
}

LoadStatus CMainFrame::OpenPath(const QString& path)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const LoadStatus status = m_doc->Load(path, m_pView->MutableCompanions());
    QApplication::restoreOverrideCursor();
    if (status == LoadStatus::InvalidFormat) {
        m_prompter->Tell(this, QString::fromLatin1(kInvalidFormatMessage), PromptIcon::None);
    } else if (status == LoadStatus::Loaded) {
        AfterLoad();
    } else {
        // The old recording stays on screen; without a word it would pass for the new one.
        m_prompter->Tell(this, OpenFailureText(path, m_doc->LoadError()), PromptIcon::None);
    }
    ApplyEnableTable();
    return status;
}

bool CMainFrame::DataListOpen() const
{
    return m_dlgDataList->IsOpen();
}

void CMainFrame::RefreshDataList()
{
    if (m_dlgDataList->IsOpen()) {
        m_pView->MutableCompanions().MarkListDirty();
        m_dlgDataList->Invalidate();
    }
}

void CMainFrame::RestoreSummaryAfterFrequencyMode()
{
    RecordingView& companions = m_pView->MutableCompanions();
    if (!companions.m_bLeftFrequencyMode) {
        return;
    }
    companions.ClearLeftFrequencyMode();
    // As Time-domain Graph does; the enlarged graph keeps its panel hidden until it is left.
    m_pView->SetSummaryFullHeight(kSummaryPanelHeight);
    if (m_bSummaryShown && m_pView->State().g_bNormalLayout) {
        m_pView->SetSummaryHeight(kSummaryPanelHeight);
    }
}

void CMainFrame::ZoomOutToShownRecording()
{
    m_pView->OnZoomOut();
    if (PsdShowsVisibleRange()) {
        // The visible rows are those of the plot as last drawn: the whole view is drawn first.
        m_pView->repaint();
        m_psdWindow->Recompute();
    }
}

bool CMainFrame::PsdShowsVisibleRange() const
{
    return m_psdWindow->isVisible() && m_psdWindow->source() == PsdWindow::Source::VisibleRange;
}

void CMainFrame::AfterLoad()
{
    if (m_compare != nullptr)
        m_compare->Remove();
    RestoreSummaryAfterFrequencyMode();
    RefreshDataList();
    m_pView->ClearReadout();
    m_pView->UpdateSummaryPanel();
    m_pView->SyncChildren();
    m_pView->update();
    m_timerZoomReset.start(kZoomResetDelayMs);
}

void CMainFrame::OnOpen()
{
    if (!AskSaveQuestion(SaveQuestion::Open)) {
        return;
    }
    const QString path =
        m_prompter->ChooseOpenFile(this, QStringLiteral("Shakemeter Files (*.Vibration)"), QStringLiteral("Vibration"));
    // A cancelled dialog opens nothing and says nothing.
    if (!path.isEmpty() && OpenPath(path) == LoadStatus::Loaded) {
        m_doc->SetPathName(path);
    }
}

void CMainFrame::OnReload()
{
    // The copy of a download that brought no samples is empty: there is nothing to bring back.
    const QFileInfo copy(m_tempCopyPath);
    if (copy.isFile() && copy.size() == 0) {
        m_prompter->Tell(this,
                         QStringLiteral("Cannot reload \"%1\": the last data read from the logger held no samples.")
                             .arg(QDir::toNativeSeparators(m_tempCopyPath)),
                         PromptIcon::None);
        return;
    }
    if (OpenPath(m_tempCopyPath) == LoadStatus::Loaded) {
        // The temporary copy is not the user's file: the standard save asks for a name.
        m_doc->LeaveFile();
    }
}

void CMainFrame::OpenFromCommandLine(const QString& path)
{
    if (IsSessionPath(path.toStdString())) {
        m_sessions->OpenSession(path);
        return;
    }
    if (OpenPath(path) == LoadStatus::Loaded) {
        m_doc->SetPathName(path);
    }
}

void CMainFrame::OnStandardOpen()
{
    const QString path = m_prompter->ChooseOpenFile(
        this, QStringLiteral("Shakemeter Files (*.Vibration);;All Files (*)"), QStringLiteral("Vibration"));
    if (!path.isEmpty() && OpenPath(path) == LoadStatus::Loaded) {
        m_doc->SetPathName(path);
    }
}

void CMainFrame::OnStandardSave()
{
    QString path = m_doc->PathName();
    if (path.isEmpty()) {
        path = m_prompter->ChooseSaveFile(this, QStringLiteral("Shakemeter Files (*.Vibration)"),
                                          QStringLiteral("Vibration"), QString());
        if (path.isEmpty()) {
            return;
        }
    }
    // The report beside the recording describes the same data, so both are replaced together.
    SaveBothFiles(path);
}

void CMainFrame::OnStandardNew()
{
    // The document keeps its recording (it has no clearing step) but belongs to no file any more;
    // the view lays itself out again and keeps its zoom.
    m_doc->LeaveFile();
    m_pView->SyncChildren();
    m_pView->update();
}

void CMainFrame::OnSwitchPane(bool forward)
{
    QWidget* next = forward == (m_instrumentView->hasFocus() || !m_pView->hasFocus()) ? static_cast<QWidget*>(m_pView)
                                                                                      : m_instrumentView;
    if (next == m_instrumentView && !m_bInstrumentShown) {
        next = m_pView;
    }
    next->setFocus(Qt::OtherFocusReason);
}

void CMainFrame::WriteTempCopy()
{
    m_copyKeeper->WriteNow();
}

std::string CMainFrame::TempCopyBytes() const
{
    std::string bytes;
    try {
        AppendRecordingBytes(bytes, m_doc->recording(), ShownCount());
    } catch (const std::bad_alloc&) {
        bytes.clear();
    }
    return bytes;
}

void CMainFrame::OfferUnsavedReading()
{
    if (!m_copyKeeper->OfferUnsavedReading(*m_prompter, this)) {
        return;
    }
    if (OpenPath(m_tempCopyPath) == LoadStatus::Loaded) {
        // Not the user's file: saving asks for a name, and closing asks whether to save it.
        SetDataUnsaved();
    } else {
        // Told with its reason; offering a copy that cannot be read at every start would not help.
        m_copyKeeper->Settled();
    }
}

void CMainFrame::WriteSettings()
{
    Settings settings;
    settings.m_lastSetup = m_lastSetup;
    GraphDisplayOptions options = m_pView->Model().DisplayOptions();
    PairViewSettings(settings, options, m_pView->Colors(), [](auto& file, const auto& view) { file = view; });
    settings.m_nRtRateIndex = m_nRtRateIndex;
    settings.m_strRtPoints = m_strRtPoints;
    QDir().mkpath(QFileInfo(m_settingsPath).absolutePath());
    WriteAllSettings(settings, m_settingsPath);
}

void CMainFrame::WriteWindowProfile()
{
    // A maximised window keeps the size it comes back to.
    const QRect normal = normalGeometry();
    OpenProgramProfile(m_env.profilePath)
        ->setValue(QLatin1String(kProfileNormalSizeKey), normal.isValid() ? normal.size() : size());
}

QSize CMainFrame::InitialNormalSize() const
{
    QSize wanted = OpenProgramProfile(m_env.profilePath)->value(QLatin1String(kProfileNormalSizeKey)).toSize();
    if (!wanted.isValid() || wanted.width() < kInstrumentWidth * 2 || wanted.height() < kSummaryPanelHeight * 2) {
        wanted = QSize(kDefaultWidth, kDefaultHeight);
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        wanted = wanted.boundedTo(screen->availableGeometry().size());
    }
    return wanted;
}

// ------------------------------------------------------------------------------------------------
// Logger commands

void CMainFrame::OnSetup()
{
    m_dialogRunner(*m_dlgSetup);
}

void CMainFrame::OnDownload()
{
    if (AskSaveQuestion(SaveQuestion::Download)) {
        m_dialogRunner(*m_dlgDownload);
    }
}

void CMainFrame::OnRun()
{
    if (AskSaveQuestion(SaveQuestion::Run)) {
        m_dialogRunner(*m_dlgRun);
    }
}

void CMainFrame::OnStopReading()
{
    SetReading(false);
    // A spectrum reading in progress ends at its next tick; it must not read again even when
    // another reading has raised the flag by then.
    m_bSpectrumActive = false;
    if (m_dlgRun->Link().RealTimeStatus() != RealTimeState::Idle) {
        m_dlgRun->Link().StopRealTime();
    } else {
        m_pView->update();
        WriteTempCopy();
    }
    ApplyEnableTable();
}

void CMainFrame::OnFftReading()
{
    if (!AskSaveQuestion(SaveQuestion::FftReading)) {
        return;
    }
    if (!m_linkSpectrum->ProbeDevice()) {
        m_prompter->Tell(this, QString::fromLatin1(kConnectFailedMessage), PromptIcon::None);
        return;
    }
    if (!m_linkSpectrum->StartSpectrum()) {
        m_linkSpectrum->CloseDevice();
        return;
    }
    m_linkSpectrum->StampSpectrumTime();
    m_psdWindow->BeginReading();
    m_dlgLoading->SetRange(20);
    m_dlgLoading->SetPos(0);
    m_dlgLoading->ShowCentred();
    m_timerSpectrum.start(kSpectrumPeriodMs);
    m_timerProgress.start();
    m_bSpectrumActive = true;
    SetReading(true);
}

void CMainFrame::OnProgressTick()
{
    if (ProgressOpen()) {
        m_dlgLoading->SetPos(m_nProgressCounter);
    }
    ++m_nProgressCounter;
}

void CMainFrame::OnSpectrumTick()
{
    if (ProgressOpen()) {
        m_timerProgress.stop();
        m_dlgLoading->End();
        m_nProgressCounter = 0;
    }
    if (m_bReading && m_bSpectrumActive) {
        m_timerSpectrum.stop();
        if (m_linkSpectrum->ReadSpectrum()) {
            SetDataUnsaved();
            // The panel shows the texts of the capture just read, not those of the recording before.
            m_pView->UpdateSummaryPanel();
            m_pView->SyncChildren();
            m_timerSpectrum.start(kSpectrumPeriodMs);
        } else {
            m_linkSpectrum->CloseDevice();
            SetReading(false);
            m_bSpectrumActive = false;
        }
        m_linkSpectrum->StampSpectrumTime();
        m_pView->update();
    } else {
        m_linkSpectrum->CloseDevice();
        m_timerSpectrum.stop();
        m_bSpectrumActive = false;
    }
    ApplyEnableTable();
}

void CMainFrame::ShowDownloadProgress(int rangeMax)
{
    m_dlgLoading->SetRange(rangeMax);
    m_dlgLoading->SetPos(0);
    // Centred on the view horizontally, four of its own heights below the view's top; measured
    // before the Cancel row is added, so the bar stands where it always did.
    const QPoint viewTopLeft = m_pView->mapToGlobal(QPoint(0, 0));
    const int left = viewTopLeft.x() + m_pView->width() / 2 - m_dlgLoading->frameGeometry().width() / 2;
    const int top = viewTopLeft.y() + 4 * m_dlgLoading->frameGeometry().height();
    m_dlgLoading->OfferCancel();
    m_dlgLoading->ShowAt(QPoint(left, top));
    ApplyEnableTable();
}

// ------------------------------------------------------------------------------------------------
// Graph and window commands

void CMainFrame::OnFrequencyGraph()
{
    m_pView->MutableCompanions().SetFrequencyMode(true);
    m_pView->RefreshSummary();
    m_pView->ClearReadout();
    RefreshDataList();
    m_pView->SetSummaryFullHeight(0);
    m_pView->SetSummaryHeight(0);
    m_pView->OnZoomOut();
}

void CMainFrame::OnTimeGraph()
{
    m_pView->MutableCompanions().SetFrequencyMode(false);
    m_pView->RefreshSummary();
    m_pView->ClearReadout();
    RefreshDataList();
    m_pView->SetSummaryFullHeight(kSummaryPanelHeight);
    if (m_bSummaryShown) {
        m_pView->SetSummaryHeight(kSummaryPanelHeight);
    }
    m_pView->OnZoomOut();
}

void CMainFrame::OnViewSummary()
{
    if (m_bSummaryShown) {
        m_pView->SetSummaryHeight(0);
        m_bSummaryShown = false;
    } else {
        m_bSummaryShown = true;
        m_pView->SetSummaryHeight(m_pView->SummaryFullHeight());
    }
}

void CMainFrame::OnViewInstrument()
{
    const int total = m_wndSplitter->width();
    if (m_bInstrumentShown) {
        m_wndSplitter->setSizes({0, std::max(total, 200)});
    } else {
        m_wndSplitter->setSizes({kInstrumentWidth, std::max(total - kInstrumentWidth, 200)});
    }
    m_bInstrumentShown = !m_bInstrumentShown;
}

void CMainFrame::ToggleEnlargedGraph()
{
    const int total = m_wndSplitter->width();
    if (m_pView->State().g_bNormalLayout) {
        m_wndSplitter->setSizes({0, std::max(total, 200)});
        m_pView->SetSummaryHeight(0);
        m_pView->Model().SetNormalLayout(false);
    } else {
        const int tree = m_bInstrumentShown ? kInstrumentWidth : 0;
        m_wndSplitter->setSizes({tree, std::max(total - tree, 200)});
        m_pView->SetSummaryHeight(m_bSummaryShown ? m_pView->SummaryFullHeight() : 0);
        m_pView->Model().SetNormalLayout(true);
    }
    m_pView->update();
}

void CMainFrame::OnImportList()
{
    m_pView->setFocus(Qt::OtherFocusReason);
    if (DataListOpen()) {
        return;
    }
    m_pView->MutableCompanions().MarkListDirty();
    m_pView->Model().SetListShown(true);
    m_timerList.start(kListDelayMs);
}

void CMainFrame::OnHelp()
{
    QStringList candidates;
    if (!m_env.helpPath.isEmpty()) {
        candidates << m_env.helpPath;
    }
    const QString dir = QCoreApplication::applicationDirPath();
    candidates << dir + QStringLiteral("/help.html") << dir + QStringLiteral("/../share/doc/shakemeter/help.html")
               << dir + QStringLiteral("/../share/shakemeter/help/help.html") << dir + QStringLiteral("/docs/help.html")
               << QStringLiteral(SHAKEMETER_SOURCE_DOCS "/help.html");
    for (const QString& candidate : candidates) {
        if (QFileInfo::exists(candidate)) {
            const QString page = QFileInfo(candidate).absoluteFilePath();
            if (!m_urlOpener(QUrl::fromLocalFile(page))) {
                TellNoBrowser(page);
            }
            return;
        }
    }
    m_prompter->Tell(this, QStringLiteral("The help page help.html is not installed."), PromptIcon::Information);
}

void CMainFrame::TellNoBrowser(const QString& page)
{
    // Without a program for web pages the command would otherwise do nothing at all.
    m_prompter->Tell(this,
                     QStringLiteral("No web browser is set up to show the help page. Open it in a browser: %1")
                         .arg(QDir::toNativeSeparators(page)),
                     PromptIcon::Information);
}

void CMainFrame::OnAbout()
{
    CAboutDlg about(this);
    about.exec();
}

// ------------------------------------------------------------------------------------------------
// Printing

void CMainFrame::OnPrintCommand(int commandId)
{
    if (commandId == ID_FILE_PRINT_SETUP) {
        QPageSetupDialog setup(m_printer.get(), this);
        setup.exec();
        return;
    }
    RecordingView& companions = m_pView->MutableCompanions();
    if (commandId == ID_PREVIEW_GRAPH || commandId == ID_PRINT_GRAPH) {
        companions.SetDisplayMode(1);
    } else if (commandId == ID_PREVIEW_LIST || commandId == ID_PRINT_LIST) {
        companions.SetDisplayMode(2);
    }
    const int mode = companions.m_nDisplayMode;
    const bool preview =
        commandId == ID_PREVIEW_GRAPH || commandId == ID_PREVIEW_LIST || commandId == ID_FILE_PRINT_PREVIEW;
    const ReportPrinter report = Report();
    if (preview) {
        report.RunPreview(this, *m_printer, mode);
    } else if (!report.RunPrintDialog(this, *m_printer, mode)) {
        const QString target = m_printer->outputFormat() == QPrinter::PdfFormat
                                   ? QDir::toNativeSeparators(m_printer->outputFileName())
                                   : m_printer->printerName();
        m_prompter->Tell(this, QStringLiteral("Cannot print on \"%1\": the printer took no pages.").arg(target),
                         PromptIcon::None);
    }
    m_pView->update();
}

ReportPrinter CMainFrame::Report()
{
    ReportPrintSources sources;
    sources.view = &m_pView->Companions();
    sources.summaryHeight = m_pView->SummaryHeight();
    sources.listWindow = m_dlgDataList;
    sources.drawGraph = [this](QPainter& painter, const QRect& page) {
        PaintParams params;
        params.client = PlotRect{page.left(), page.top(), page.right() + 1, page.bottom() + 1};
        params.printer = true;
        params.colors = m_pView->Colors();
        params.frameReading = m_bReading;
        m_pictures->ApplyPrintTheme(params);
        PaintGraphFrame(painter, m_pView->Model(), params);
    };
    sources.printOptionTabs = [this] { return QList<QWidget*>{m_pictures->MakePrintOptionsTab()}; };
    // The screen graph stays as it was until the job or the preview is over.
    sources.endPrinting = [this] { EndPrinting(m_pView->Model()); };
    return ReportPrinter(std::move(sources));
}

bool CMainFrame::PrintTo(QPrinter& printer, int displayMode)
{
    return Report().PrintDocument(printer, displayMode);
}

// ------------------------------------------------------------------------------------------------
// Dialog owner

void CMainFrame::OnSetupWritten()
{
    m_flags.OnSetupWritten();
}

void CMainFrame::SetRtChoice(int rateIndex, const std::string& points)
{
    m_nRtRateIndex = rateIndex;
    m_strRtPoints = points;
}

void CMainFrame::OnRealTimeStarted()
{
    // The reading's first sample already left the file behind (FrameLinkHost::StartRealTimeView).
    m_flags.OnRealTimeStarted();
    ApplyEnableTable();
}

void CMainFrame::SetDataUnsaved()
{
    m_flags.OnLoggerDataArrived();
    m_doc->LeaveFile();
    ApplyEnableTable();
}

RecordingView& CMainFrame::View()
{
    return m_pView->MutableCompanions();
}

// ------------------------------------------------------------------------------------------------
// Closing

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (m_bCloseApproved) {
        event->accept();
        return;
    }
    event->ignore();
    if (m_bClosePending) {
        return;
    }
    m_bClosePending = true;
    WriteSettings();
    WriteWindowProfile();
    bool ask = true;
    if (m_bReading) {
        if (ShownCount() >= 1) {
            WriteTempCopy();
        } else {
            ask = false;
        }
    }
    if (ask && m_flags.ShouldAskOnClose(ShownCount())) {
        if (m_prompter->AskYesNo(this, QString::fromLatin1(kCloseQuestion), PromptIcon::Question)) {
            if (!SaveFlow()) {
                // The user wanted the data kept and it was not saved: the window stays open.
                m_bClosePending = false;
                return;
            }
            m_flags.AfterCloseSaved();
        }
    }
    // Saved, or the user chose not to: the next start does not offer the copy.
    m_copyKeeper->Settled();
    // Closing completes a moment later.
    m_timerClose.start(kCloseDelayMs);
}

}  // namespace shakemeter
