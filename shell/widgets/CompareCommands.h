#pragma once
// The comparison of the shown recording with a second one: Analysis > "Compare with..." reads a
// recording file through the same reader as File > Open and draws it over the shown graph,
// "Align Comparison..." places it in time, Alt+Left and Alt+Right (with Shift, ten at a time) move
// it by one sample interval of the shown recording, and "Remove Comparison" takes it away. A new
// shown recording (a file opened, a download, a reading) ends the comparison: its alignment was
// made for the recording that went.

#include <QObject>
#include <QString>
#include <functional>
#include <map>

#include "graph/core/GraphOverlay.h"
#include "recording/RecordingHeader.h"

class QAction;
class QMenu;

namespace shakemeter {

class AlignComparisonDialog;
class CMainFrame;
class CVxDoc;
class CVxView;
class Prompter;

class CompareCommands : public QObject {
    Q_OBJECT
public:
    // Adds the commands after the Analysis menu's items; profilePath is the program profile (the
    // event levels the alignment's events are found by; empty: the user's).
    CompareCommands(CMainFrame& frame, CVxDoc& doc, CVxView& view, Prompter& prompter, QMenu* analysisMenu,
                    QString profilePath);

    QAction* Action(int commandId) const;
    bool Comparing() const;

    // The commands' states after a change; a comparison made over another recording than the one
    // now shown is removed, and the legend follows the shown file's name.
    void FollowView();

    // The file dialog, then CompareWith.
    void OnCompareWith();
    // Reads the file and draws it over the shown recording, aligned by clock; a failure is told
    // naming the file and leaves the shown recording and any comparison as they were.
    bool CompareWith(const QString& path);
    void OnAlign();
    void SetAlignment(const OverlayAlignment& alignment);
    // The compared traces `samples` sampling intervals of the shown recording later (or earlier).
    void Nudge(int samples);
    void Remove();

    // Tests answer the alignment dialog themselves; the answer is what exec() would return.
    void SetDialogRunner(std::function<int(AlignComparisonDialog&)> runner) { m_dialogRunner = std::move(runner); }

private:
    // What tells the recording a comparison was made over from another one.
    struct ShownKey {
        const void* rows = nullptr;
        std::size_t count = 0;
        RecordingHeader header;
        bool operator==(const ShownKey&) const = default;
    };
    ShownKey KeyOfShown() const;
    QString ShownName() const;
    void AddCommand(QMenu* menu, int id, const QString& text, const QString& prompt);
    void Run(int commandId);
    void Changed();

    CMainFrame& m_frame;
    CVxDoc& m_doc;
    CVxView& m_view;
    Prompter& m_prompter;
    QString m_profilePath;
    std::map<int, QAction*> m_actions;
    ShownKey m_comparedOver;
    std::function<int(AlignComparisonDialog&)> m_dialogRunner;
};

}  // namespace shakemeter
