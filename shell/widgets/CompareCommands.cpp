#include "shell/widgets/CompareCommands.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <memory>

#include "analysis/vibration/TimeRows.h"
#include "controls/ProgramProfile.h"
#include "controls/Prompter.h"
#include "graph/core/OverlayEvents.h"
#include "graph/widgets/AlignComparisonDialog.h"
#include "graph/widgets/CVxView.h"
#include "shell/CommandIds.h"
#include "shell/CommandState.h"
#include "shell/widgets/CMainFrame.h"
#include "shell/widgets/CVxDoc.h"

namespace shakemeter {

namespace {

constexpr int kTenSamples = 10;

QString CompareFailureText(const QString& path, const QString& reason)
{
    return QStringLiteral("Cannot compare with \"%1\": %2.").arg(QDir::toNativeSeparators(path), reason);
}

}  // namespace

CompareCommands::CompareCommands(CMainFrame& frame, CVxDoc& doc, CVxView& view, Prompter& prompter, QMenu* analysisMenu,
                                 QString profilePath)
    : QObject(&frame),
      m_frame(frame),
      m_doc(doc),
      m_view(view),
      m_prompter(prompter),
      m_profilePath(std::move(profilePath))
{
    analysisMenu->addSeparator();
    AddCommand(analysisMenu, ID_COMPARE_WITH, QStringLiteral("Compare &with..."),
               QStringLiteral("Draw a second recording over the shown one"));
    AddCommand(analysisMenu, ID_ALIGN_COMPARISON, QStringLiteral("&Align Comparison..."),
               QStringLiteral("Place the compared recording by clock, by first sample or by an event of each"));
    AddCommand(analysisMenu, ID_NUDGE_COMPARISON_EARLIER, QStringLiteral("Move Comparison Earl&ier"),
               QStringLiteral("Move the compared recording one sample interval earlier (with Shift, ten)"));
    AddCommand(analysisMenu, ID_NUDGE_COMPARISON_LATER, QStringLiteral("Move Comparison La&ter"),
               QStringLiteral("Move the compared recording one sample interval later (with Shift, ten)"));
    AddCommand(analysisMenu, ID_REMOVE_COMPARISON, QStringLiteral("Remo&ve Comparison"),
               QStringLiteral("Take the compared recording off the graph"));
    // Ten samples at a time: keys only, the menu names the single step.
    AddCommand(nullptr, ID_NUDGE_COMPARISON_EARLIER_TEN, QString(), QString());
    AddCommand(nullptr, ID_NUDGE_COMPARISON_LATER_TEN, QString(), QString());
    const std::pair<int, QKeySequence> keys[] = {
        {ID_NUDGE_COMPARISON_EARLIER, QKeySequence(Qt::ALT | Qt::Key_Left)},
        {ID_NUDGE_COMPARISON_LATER, QKeySequence(Qt::ALT | Qt::Key_Right)},
        {ID_NUDGE_COMPARISON_EARLIER_TEN, QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_Left)},
        {ID_NUDGE_COMPARISON_LATER_TEN, QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_Right)}};
    for (const auto& [id, sequence] : keys) {
        QAction* action = m_actions.at(id);
        action->setShortcut(sequence);
        action->setShortcutContext(Qt::WindowShortcut);
        m_frame.addAction(action);
    }
    FollowView();
}

void CompareCommands::AddCommand(QMenu* menu, int id, const QString& text, const QString& prompt)
{
    auto* action = new QAction(text, this);
    action->setData(id);
    action->setStatusTip(prompt);
    action->setToolTip(QString(text).remove(QLatin1Char('&')).remove(QStringLiteral("...")));
    connect(action, &QAction::triggered, this, [this, id] { Run(id); });
    m_actions[id] = action;
    if (menu != nullptr)
        menu->addAction(action);
}

QAction* CompareCommands::Action(int commandId) const
{
    const auto it = m_actions.find(commandId);
    return it == m_actions.end() ? nullptr : it->second;
}

bool CompareCommands::Comparing() const
{
    return m_view.Model().Overlay() != nullptr;
}

CompareCommands::ShownKey CompareCommands::KeyOfShown() const
{
    const Recording& shown = m_doc.recording();
    return {shown.m_pSamples.data(), shown.RowCount(), shown.m_header};
}

QString CompareCommands::ShownName() const
{
    return m_doc.PathName().isEmpty() ? QString() : QFileInfo(m_doc.PathName()).fileName();
}

void CompareCommands::FollowView()
{
    if (const GraphOverlay* overlay = m_view.Model().Overlay()) {
        if (!(KeyOfShown() == m_comparedOver)) {
            Remove();
        } else if (overlay->shownName != ShownName().toStdString()) {
            GraphOverlay renamed = *overlay;
            renamed.shownName = ShownName().toStdString();
            m_view.Model().SetOverlay(std::move(renamed));
            m_view.InvalidatePlot();
        }
    }
    const ShellState state = m_frame.CurrentState();
    for (const auto& [id, action] : m_actions)
        action->setEnabled(CommandUiFor(id, state).enabled);
}

void CompareCommands::Run(int commandId)
{
    // A key may arrive while the menu item is greyed.
    if (!CommandUiFor(commandId, m_frame.CurrentState()).enabled)
        return;
    switch (commandId) {
    case ID_COMPARE_WITH:
        OnCompareWith();
        break;
    case ID_ALIGN_COMPARISON:
        OnAlign();
        break;
    case ID_REMOVE_COMPARISON:
        Remove();
        break;
    case ID_NUDGE_COMPARISON_EARLIER:
        Nudge(-1);
        break;
    case ID_NUDGE_COMPARISON_LATER:
        Nudge(1);
        break;
    case ID_NUDGE_COMPARISON_EARLIER_TEN:
        Nudge(-kTenSamples);
        break;
    case ID_NUDGE_COMPARISON_LATER_TEN:
        Nudge(kTenSamples);
        break;
    default:
        break;
    }
}

void CompareCommands::OnCompareWith()
{
    const QString path = m_prompter.ChooseOpenFile(
        &m_frame, QStringLiteral("Shakemeter Files (*.Vibration);;All Files (*)"), QStringLiteral("Vibration"));
    if (!path.isEmpty())
        CompareWith(path);
}

bool CompareCommands::CompareWith(const QString& path)
{
    auto compared = std::make_shared<Recording>();
    QString error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const LoadStatus status = CVxDoc::Read(path, *compared, error);
    QApplication::restoreOverrideCursor();
    if (status == LoadStatus::InvalidFormat)
        error = QStringLiteral("it is not a recording file");
    else if (status == LoadStatus::Loaded && vibration::TimeRowsOf(*compared).count == 0)
        error = QStringLiteral("it holds no samples");
    if (!error.isEmpty()) {
        m_prompter.Tell(&m_frame, CompareFailureText(path, error), PromptIcon::None);
        return false;
    }
    GraphOverlay overlay;
    overlay.recording = std::move(compared);
    overlay.shownName = ShownName().toStdString();
    overlay.comparedName = QFileInfo(path).fileName().toStdString();
    overlay.comparedPath = QFileInfo(path).absoluteFilePath().toStdString();
    m_comparedOver = KeyOfShown();
    m_view.Model().ShowComparison(std::move(overlay));
    Changed();
    return true;
}

void CompareCommands::SetAlignment(const OverlayAlignment& alignment)
{
    const GraphOverlay* current = m_view.Model().Overlay();
    if (current == nullptr || current->alignment == alignment)
        return;
    GraphOverlay aligned = *current;
    aligned.alignment = alignment;
    m_view.Model().ShowComparison(std::move(aligned));
    Changed();
}

void CompareCommands::OnAlign()
{
    const GraphOverlay* overlay = m_view.Model().Overlay();
    if (overlay == nullptr)
        return;
    const vibration::EventOptions levels = AnalysisEventOptions(m_profilePath);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::vector<AlignmentEvent> shownEvents = AlignmentEventsOf(m_doc.recording(), levels);
    std::vector<AlignmentEvent> comparedEvents = AlignmentEventsOf(*overlay->recording, levels);
    QApplication::restoreOverrideCursor();
    const QString shownName = overlay->shownName.empty() ? QString::fromLatin1("the shown recording")
                                                         : QString::fromStdString(overlay->shownName);
    AlignComparisonDialog dialog(overlay->alignment, std::move(shownEvents), std::move(comparedEvents), shownName,
                                 QString::fromStdString(overlay->comparedName), &m_frame);
    const int answer = m_dialogRunner ? m_dialogRunner(dialog) : dialog.exec();
    if (answer == QDialog::Accepted)
        SetAlignment(dialog.Alignment());
}

void CompareCommands::Nudge(int samples)
{
    const GraphOverlay* overlay = m_view.Model().Overlay();
    const double dt = vibration::TimeRowsOf(m_doc.recording()).dt;
    if (overlay == nullptr || !(dt > 0.0))
        return;
    OverlayAlignment alignment = overlay->alignment;
    alignment.offsetSeconds += samples * dt;
    SetAlignment(alignment);
}

void CompareCommands::Remove()
{
    if (!Comparing())
        return;
    m_view.Model().ShowComparison(std::nullopt);
    m_comparedOver = {};
    Changed();
}

void CompareCommands::Changed()
{
    m_view.InvalidatePlot();
    FollowView();
}

}  // namespace shakemeter
