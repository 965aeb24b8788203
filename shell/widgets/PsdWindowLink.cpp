#include "shell/widgets/PsdWindowLink.h"

#include "analysis/widgets/PsdWindow.h"
#include "controls/ProgramProfile.h"
#include "graph/core/GraphOverlay.h"
#include "graph/core/VisibleRows.h"
#include "graph/widgets/CVxView.h"
#include "shell/widgets/CMainFrame.h"
#include "shell/widgets/DataExportCommands.h"
#include "shell/widgets/FrameLinkHost.h"

namespace shakemeter {

PsdWindow* CreatePsdWindow(CMainFrame& frame, FrameLinkHost& spectrumHost)
{
    PsdWindow::Inputs inputs;
    inputs.recording = [&frame]() -> const Recording* { return &frame.Doc().recording(); };
    inputs.visibleRows = [&frame] { return VisibleRows(frame.GraphView()->Model()); };
    // The unit chosen in the Analysis menu, as the program profile keeps it.
    inputs.unit = [&frame] { return AnalysisUnit(frame.ProfilePath()); };
    auto* window = new PsdWindow(std::move(inputs), &frame);
    window->SetComparedInput([&frame]() -> std::optional<PsdWindow::Compared> {
        const GraphModel& model = frame.GraphView()->Model();
        const GraphOverlay* overlay = model.Overlay();
        if (overlay == nullptr)
            return std::nullopt;
        return PsdWindow::Compared{overlay->recording.get(), VisibleOverlayRows(model),
                                   QString::fromStdString(overlay->comparedName)};
    });
    QObject::connect(window, &PsdWindow::exportRequested, window, [window, &frame] {
        const auto& comparison = window->Comparison();
        frame.DataExports().ExportPsd(window->Shown(), comparison ? &*comparison : nullptr);
    });
    QObject::connect(&spectrumHost, &FrameLinkHost::spectrumCaptured, window,
                     [window, &frame] { window->AddCapture(frame.Doc().recording()); });
    return window;
}

}  // namespace shakemeter
