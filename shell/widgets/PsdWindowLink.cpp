#include "shell/widgets/PsdWindowLink.h"

#include "analysis/widgets/PsdWindow.h"
#include "controls/ProgramProfile.h"
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
    QObject::connect(window, &PsdWindow::exportRequested, window,
                     [window, &frame] { frame.DataExports().ExportPsd(window->Shown()); });
    QObject::connect(&spectrumHost, &FrameLinkHost::spectrumCaptured, window,
                     [window, &frame] { window->AddCapture(frame.Doc().recording()); });
    return window;
}

}  // namespace shakemeter
