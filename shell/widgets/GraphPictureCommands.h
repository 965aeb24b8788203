#pragma once
// The graph's pictures and options: File > Export > "Graph as Picture..." (PNG, SVG or PDF of
// what the graph pane shows), the Analysis menu's checkable "Trace Legend" and "Event Marks",
// and the light theme of pictures and printed pages. Every choice is kept in the program's
// profile; the legend and the marks are off until chosen.

#include <QObject>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/vibration/EventDetector.h"
#include "graph/core/GraphPaintPlan.h"
#include "graph/widgets/CGraphPictureDlg.h"
#include "recording/Recording.h"

class QAction;
class QMenu;
class QWidget;

namespace shakemeter {

class CVxView;
class Prompter;
struct PaintParams;
struct PictureOptions;

class GraphPictureCommands : public QObject {
    Q_OBJECT
public:
    // Adds the commands to the menus; profilePath is the program profile (empty: the user's).
    GraphPictureCommands(QMenu* exportMenu, QMenu* analysisMenu, CVxView& view, Prompter& prompter, QString profilePath,
                         QWidget* parent);

    QAction* ExportAction() const { return m_export; }
    QAction* LegendAction() const { return m_legend; }
    QAction* MarksAction() const { return m_marks; }

    // The commands' states after a change of the view (the main window's enable rules run it).
    void FollowView();

    // The dialog, the file dialog, then the picture; a failure is told naming the file.
    void OnExportPicture();
    // Writes the picture as chosen; false with the reason (naming the file) in error.
    bool ExportPicture(const QString& path, const GraphPictureChoice& choice, QString* error = nullptr);
    // The picture's options for a choice, with the pane's colours and events.
    PictureOptions OptionsFor(const GraphPictureChoice& choice);
    // The choice as the profile keeps it.
    GraphPictureChoice StoredChoice() const;

    // What the pane shows besides its picture, as chosen in the Analysis menu.
    const GraphExtras* ScreenExtras();
    // The levels the shocks and falls are marked by: those of the event list, so that the marks
    // and the list name the same events.
    void SetEventOptions(const vibration::EventOptions& options);

    // The printed graph page's theme, and the print dialog's tab that chooses it.
    bool PrintsLight() const;
    void ApplyPrintTheme(PaintParams& params) const;
    QWidget* MakePrintOptionsTab() const;

private:
    // The events of the shown recording, found again when the recording changed.
    const std::vector<EventRow>& Events();
    void SetOption(const char* key, bool on);
    bool Option(const char* key) const;

    CVxView& m_view;
    Prompter& m_prompter;
    QString m_profilePath;
    QWidget* m_parent;
    QAction* m_export = nullptr;
    QAction* m_legend = nullptr;
    QAction* m_marks = nullptr;

    GraphExtras m_screenExtras;
    // What tells one recording's rows from another's without reading them all: where they are,
    // how many, the logger's events, the start and the ends (a capture may replace rows in place).
    struct RowsKey {
        const void* rows = nullptr;
        std::size_t count = 0;
        std::size_t logged = 0;
        std::int64_t start = 0;
        SampleRow first{};
        SampleRow last{};
        bool operator==(const RowsKey&) const = default;
    };
    static RowsKey KeyOf(const Recording& recording);

    std::vector<EventRow> m_events;
    std::optional<RowsKey> m_eventsKey;  // the rows the events were found in
    vibration::EventOptions m_eventOptions;
};

}  // namespace shakemeter
