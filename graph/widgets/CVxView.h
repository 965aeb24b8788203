#pragma once
// The right-hand pane of the main window. Before anything is shown it is the start screen (a
// picture, the maker's logo and the instrument panel's buttons); once a recording is shown it is
// the summary panel across the top and the graph below it. It owns the view companions of the
// shown recording and the graph model; the document's recording is borrowed.
//
// The graph screen is composed into an image and copied to the window. The cursor line and the
// zoom band are drawn over the copy, and the read-out line and the newest real-time segment are
// drawn into the image, so moving the mouse or adding a sample costs one copy of a few pixels,
// not a new composition. InvalidatePlot (or any repaint the view did not ask for itself)
// composes the picture again.
//
// Timers: 1 (100 ms) takes the cursor line away once the pointer has left the plot; 2 (50 ms)
// repaints the plot after a resize; 3 (10 ms) cancels a zoom band whose pointer left the zone
// around the plot; 4 (100 ms) returns to the whole recording after the first graph paint.
//
// Keyboard: Backspace and Ctrl+Z undo the zoom; the arrow keys, Page Up/Down and Home/End run the
// scroll bars' own actions while the bars are enabled.
//
// The graph can also be painted by one function (SetGraphPainter), so the drawing can be
// plugged in without touching the pane's layout.

#include <QImage>
#include <QRegion>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>

#include "graph/core/GraphModel.h"
#include "graph/widgets/GraphPainter.h"
#include "recording/Recording.h"
#include "recording/RecordingView.h"

class QScrollBar;
class QAction;

namespace shakemeter {

class CSummaryBar;
class CInstrumentPanel;
class CPictureToolBar;
class CColorSetupDlg;
class Prompter;

class CVxView : public QWidget {
    Q_OBJECT
public:
    // Paints the graph area (everything below the summary panel) of a view showing data.
    using GraphPainter = std::function<void(QPainter&, CVxView&, const QRect& area)>;

    CVxView(Recording& document, QWidget* parent = nullptr);
    ~CVxView() override;

    Recording& Document() { return m_document; }
    // The facts and view state of the shown recording, to read. Only the paths that change them
    // (installing a recording, the link's host, the frame's commands, the data list) take the
    // changeable companions, and change them through their methods.
    const RecordingView& Companions() const { return m_companions; }
    RecordingView& MutableCompanions() { return m_companions; }
    GraphModel& Model() { return m_model; }
    // The graph's state, to read; it is changed through the model's calls.
    const GraphState& State() const { return m_model.state(); }
    GraphColors& Colors() { return m_colors; }

    int DisplayMode() const { return m_companions.m_nDisplayMode; }
    int SummaryHeight() const { return m_model.state().m_nSummaryHeight; }
    // Moves the summary panel to the top with the given height (0 hides it in effect).
    void SetSummaryHeight(int height);
    void SetSummaryFullHeight(int height) { m_model.state().m_nSummaryFullHeight = height; }
    int SummaryFullHeight() const { return m_model.state().m_nSummaryFullHeight; }

    // The companions' summary of the document, then the panel's texts.
    void RefreshSummary();
    // The panel's fields from the companions' texts, when the panel exists.
    void UpdateSummaryPanel();
    // Back to the whole recording.
    void OnZoomOut();
    // Zooms onto rows firstRow..lastRow (0-based) as a band over them would; true when zoomed.
    bool ZoomOntoRows(int firstRow, int lastRow);
    // Whether the shown recording is a spectrum recording (interval of exactly 1/256 s).
    bool ShowsSpectrumRecording() const;

    // Children as they exist now (null before the first paint that needs them).
    CSummaryBar* SummaryBar() const { return m_summaryBar; }
    CInstrumentPanel* InstrumentPanel() const { return m_instrumentPanel; }

    // Replaces the graph drawing (the default draws the graph of the model).
    void SetGraphPainter(GraphPainter painter) { m_graphPainter = std::move(painter); }
    // What the graph shows besides its own picture (legend, event marks); asked at each
    // composition, null for nothing.
    void SetExtrasSource(std::function<const GraphExtras*()> source) { m_extrasSource = std::move(source); }
    // The main window's reading flag, which the drawing of a growing recording needs.
    void SetFrameReading(bool reading) { m_bFrameReading = reading; }
    // Who answers the axis setup's questions.
    void SetPrompter(Prompter* prompter) { m_prompter = prompter; }

    // Graph toolbar commands.
    static constexpr int ID_GRAPH_ZOOM_OUT = 32792;
    static constexpr int ID_GRAPH_AUTO_SCALE = 32901;
    static constexpr int ID_GRAPH_FULL_SCALE = 32902;
    static constexpr int ID_GRAPH_AXIS_SETUP = 32868;
    static constexpr int ID_GRAPH_COLOR_SETUP = 32845;
    static constexpr int ID_GRAPH_VIEW_OPTIONS = 32881;
    void OnGraphCommand(int commandId);
    CPictureToolBar* GraphBar() const { return m_wndGraphBar; }
    QScrollBar* HorizontalBar() const { return m_hScroll; }
    QScrollBar* VerticalBar() const { return m_vScroll; }
    // The texts of the read-out line under the graph.
    QString ReadoutText() const;
    // The read-out names a point of the graph on the screen: once another recording or the other
    // domain is shown it would describe data that are gone, so it is emptied until the mouse
    // picks a point of the new graph.
    void ClearReadout();
    // Creates, places or removes the child windows for the current display mode, as a paint does.
    void SyncChildren();

    // The plot panel is composed again at the next paint (scroll bars excluded).
    void InvalidatePlot();
    // The model's measuring cursors; the screen redraws only their columns over the composed picture.
    void SetCursors(std::optional<CursorPair> cursors);
    // After a row was appended during a real-time reading: draws only the newest segment unless
    // the picture must move, the time axis grew or the segment leaves the plot.
    void UpdateRealTimePlot();

    // Timers 1 to 4 (see above); null for other ids.
    const QTimer* ViewTimer(int id) const;
    // The composed picture, and how often it was composed and how often a real-time segment was
    // drawn into it without composing.
    const QImage& ComposedImage() const { return m_composed; }
    int CompositionCount() const { return m_nCompositions; }
    int SegmentDrawCount() const { return m_nSegmentDraws; }

signals:
    // A button of the instrument panel: the main window runs the command's handler directly.
    void commandRequested(int commandId);
    // A double-click: the main window switches between the normal and the enlarged graph.
    void layoutToggleRequested();
    // The read-out was emptied because another recording or the other domain is shown.
    void readoutCleared();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // The pointer gone from the view, or onto one of its children (toolbar, scroll bars, summary
    // panel), takes the cursor line with it: no move over the plot would take it away later.
    void leaveEvent(QEvent* event) override;
    void childEvent(QChildEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PaintStartScreen(QPainter& painter);
    void PlaceInstrumentPanel();
    void PlaceGraphChildren();
    void SyncScrollBars();
    void OnHorizontalAction(int action);
    void OnHorizontalValue(int value);
    void OnVerticalAction(int action);
    void OnVerticalValue(int value);
    void HideCursorLine();
    void OnBandWatchdog();
    void OnCursorTimer();
    void Compose();
    // Repaints the given pixels from the composed picture without composing it again.
    void UpdateOverlay(const QRegion& region);
    void DrawOverlays(QPainter& painter) const;
    QRect CursorColumn(int x) const;
    QRegion BandOutline() const;
    QRect ReadoutStrip() const;
    void RedrawReadout();

    Recording& m_document;
    RecordingView m_companions;
    GraphModel m_model;
    GraphColors m_colors;
    GraphPainter m_graphPainter;
    std::function<const GraphExtras*()> m_extrasSource;
    CSummaryBar* m_summaryBar = nullptr;
    CInstrumentPanel* m_instrumentPanel = nullptr;
    bool m_bFrameReading = false;
    Prompter* m_prompter = nullptr;

    // Children of the graph screen, made by the first paint that shows data.
    CPictureToolBar* m_wndGraphBar = nullptr;
    QScrollBar* m_hScroll = nullptr;
    QScrollBar* m_vScroll = nullptr;
    CColorSetupDlg* m_colorSetupDlg = nullptr;
    bool m_bSyncingBars = false;
    QTimer m_cursorTimer;   // 1
    QTimer m_resizeTimer;   // 2
    QTimer m_bandTimer;     // 3
    QTimer m_zoomOutTimer;  // 4

    QImage m_composed;
    bool m_bComposedValid = false;
    PaintParams m_lastParams;
    QRegion m_overlayRegion;  // asked-for repaints that the composed picture already holds
    QRegion m_bandDrawn;      // the band outline on the screen
    int m_nCompositions = 0;
    int m_nSegmentDraws = 0;
};

}  // namespace shakemeter
