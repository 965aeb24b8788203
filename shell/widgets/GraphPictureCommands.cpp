#include "shell/widgets/GraphPictureCommands.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QSettings>
#include <QVBoxLayout>
#include <QWidget>

#include "controls/ProgramProfile.h"
#include "controls/Prompter.h"
#include "graph/widgets/CVxView.h"
#include "graph/widgets/GraphEventRows.h"
#include "graph/widgets/GraphPainter.h"
#include "graph/widgets/GraphPicture.h"
#include "recording/CalendarTime.h"

namespace shakemeter {

namespace {

QAction* MakeCommand(QObject* owner, const QString& text, const QString& prompt, const QString& tip)
{
    auto* action = new QAction(text, owner);
    action->setStatusTip(prompt);
    action->setToolTip(tip);
    return action;
}

}  // namespace

GraphPictureCommands::GraphPictureCommands(QMenu* exportMenu, QMenu* analysisMenu, CVxView& view, Prompter& prompter,
                                           QString profilePath, QWidget* parent)
    : QObject(parent),
      m_view(view),
      m_prompter(prompter),
      m_profilePath(std::move(profilePath)),
      m_parent(parent),
      m_eventOptions(AnalysisEventOptions(m_profilePath))
{
    m_export = MakeCommand(this, QStringLiteral("Graph as &Picture..."),
                           QStringLiteral("Save the graph as it is shown as a PNG, SVG or PDF file"),
                           QStringLiteral("Graph as picture"));
    m_legend = MakeCommand(this, QStringLiteral("Trace &Legend"),
                           QStringLiteral("Show the names of the trace colours in a corner of the graph"),
                           QStringLiteral("Trace legend"));
    m_marks = MakeCommand(this, QStringLiteral("Event &Marks"),
                          QStringLiteral("Mark shocks, free falls and the logger's free-fall events on the time axis"),
                          QStringLiteral("Event marks"));
    m_legend->setCheckable(true);
    m_marks->setCheckable(true);
    m_legend->setChecked(Option(kProfileGraphLegendKey));
    m_marks->setChecked(Option(kProfileGraphEventMarksKey));
    exportMenu->addAction(m_export);
    analysisMenu->addAction(m_legend);
    analysisMenu->addAction(m_marks);
    FollowView();
    connect(m_export, &QAction::triggered, this, &GraphPictureCommands::OnExportPicture);
    for (auto [action, key] : {std::pair{m_legend, kProfileGraphLegendKey}, {m_marks, kProfileGraphEventMarksKey}}) {
        connect(action, &QAction::toggled, this, [this, key = key](bool on) {
            SetOption(key, on);
            m_view.InvalidatePlot();
        });
    }
    m_view.SetExtrasSource([this] { return ScreenExtras(); });
}

void GraphPictureCommands::FollowView()
{
    // A picture needs a graph: nothing is exported from the start screen.
    m_export->setEnabled(m_view.DisplayMode() != 0);
}

bool GraphPictureCommands::Option(const char* key) const
{
    return OpenProgramProfile(m_profilePath)->value(QLatin1String(key), false).toBool();
}

void GraphPictureCommands::SetOption(const char* key, bool on)
{
    OpenProgramProfile(m_profilePath)->setValue(QLatin1String(key), on);
}

GraphPictureCommands::RowsKey GraphPictureCommands::KeyOf(const Recording& recording)
{
    RowsKey key;
    key.rows = recording.m_pSamples.data();
    key.count = recording.RowCount();
    key.logged = recording.m_pFreeFallEvents.size();
    key.start = CalendarTime::FromLocal(HeaderStart(recording.m_header)).seconds();
    if (key.count > 0) {
        key.first = recording.m_pSamples.front();
        key.last = recording.m_pSamples[key.count - 1];
    }
    return key;
}

const std::vector<EventRow>& GraphPictureCommands::Events()
{
    const Recording& recording = m_view.Document();
    const RowsKey key = KeyOf(recording);
    if (m_eventsKey != key) {
        m_events = recording.HasRows() ? GraphEventRows(recording, m_eventOptions) : std::vector<EventRow>{};
        m_eventsKey = key;
    }
    return m_events;
}

void GraphPictureCommands::SetEventOptions(const vibration::EventOptions& options)
{
    m_eventOptions = options;
    m_eventsKey.reset();
    if (m_marks->isChecked())
        m_view.InvalidatePlot();
}

const GraphExtras* GraphPictureCommands::ScreenExtras()
{
    if (!m_legend->isChecked() && !m_marks->isChecked())
        return nullptr;
    m_screenExtras.legend = m_legend->isChecked();
    m_screenExtras.events = m_marks->isChecked() ? Events() : std::vector<EventRow>{};
    return &m_screenExtras;
}

GraphPictureChoice GraphPictureCommands::StoredChoice() const
{
    const auto profile = OpenProgramProfile(m_profilePath);
    GraphPictureChoice choice;
    choice.paneSize = profile->value(QLatin1String(kProfilePicturePaneSizeKey), true).toBool();
    const QSize size = profile->value(QLatin1String(kProfilePictureSizeKey)).toSize();
    if (size.width() >= CGraphPictureDlg::kSmallestSide && size.height() >= CGraphPictureDlg::kSmallestSide &&
        size.width() <= CGraphPictureDlg::kLargestSide && size.height() <= CGraphPictureDlg::kLargestSide)
        choice.size = size;
    choice.lightTheme = profile->value(QLatin1String(kProfilePictureLightThemeKey), false).toBool();
    choice.legend = m_legend->isChecked();
    choice.eventMarks = m_marks->isChecked();
    return choice;
}

PictureOptions GraphPictureCommands::OptionsFor(const GraphPictureChoice& choice)
{
    PictureOptions options;
    options.size = choice.paneSize ? PaneGraphSize(m_view.size(), m_view.SummaryHeight()) : choice.size;
    options.colors = m_view.Colors();
    options.panelColor = m_view.palette().color(QPalette::Button);
    options.lightTheme = choice.lightTheme;
    options.extras.legend = choice.legend;
    if (choice.eventMarks)
        options.extras.events = Events();
    return options;
}

bool GraphPictureCommands::ExportPicture(const QString& path, const GraphPictureChoice& choice, QString* error)
{
    return WriteGraphPicture(m_view.Model(), path, OptionsFor(choice), error);
}

void GraphPictureCommands::OnExportPicture()
{
    if (m_view.DisplayMode() == 0)
        return;
    CGraphPictureDlg dialog(StoredChoice(), PaneGraphSize(m_view.size(), m_view.SummaryHeight()), m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const GraphPictureChoice choice = dialog.Choice();
    {
        const auto profile = OpenProgramProfile(m_profilePath);
        profile->setValue(QLatin1String(kProfilePicturePaneSizeKey), choice.paneSize);
        profile->setValue(QLatin1String(kProfilePictureSizeKey), choice.size);
        profile->setValue(QLatin1String(kProfilePictureLightThemeKey), choice.lightTheme);
    }
    const QString path = m_prompter.ChooseSaveFile(
        m_parent, QStringLiteral("PNG picture (*.png);;SVG drawing (*.svg);;PDF document (*.pdf)"),
        QStringLiteral("png"), QStringLiteral("graph.png"));
    if (path.isEmpty())
        return;
    QString error;
    if (!ExportPicture(path, choice, &error))
        m_prompter.Tell(m_parent, error, PromptIcon::None);
}

bool GraphPictureCommands::PrintsLight() const
{
    return Option(kProfilePrintLightThemeKey);
}

void GraphPictureCommands::ApplyPrintTheme(PaintParams& params) const
{
    if (PrintsLight())
        ApplyTheme(params, LightTheme());
}

QWidget* GraphPictureCommands::MakePrintOptionsTab() const
{
    auto* tab = new QWidget;
    tab->setWindowTitle(QStringLiteral("Graph"));
    auto* light = new QCheckBox(QStringLiteral("&Light theme (white background, dark traces)"), tab);
    light->setChecked(PrintsLight());
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(light);
    layout->addStretch();
    connect(light, &QCheckBox::toggled, this, [path = m_profilePath](bool on) {
        OpenProgramProfile(path)->setValue(QLatin1String(kProfilePrintLightThemeKey), on);
    });
    return tab;
}

}  // namespace shakemeter
