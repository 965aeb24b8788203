#include "shell/widgets/PsdWindowLink.h"

#include "analysis/widgets/PsdWindow.h"
#include "graph/core/VisibleRows.h"
#include "graph/widgets/CVxView.h"
#include "shell/widgets/CMainFrame.h"
#include "shell/widgets/DataExportCommands.h"
#include "shell/widgets/FrameLinkHost.h"

namespace shakemeter {

namespace {

// The unit of the analysis windows; g until the program keeps a choice of it.
vibration::Unit AnalysisWindowUnit()
{
    return vibration::Unit::G;
}

}  // namespace

PsdWindow* CreatePsdWindow(CMainFrame& frame, FrameLinkHost& spectrumHost)
{
    PsdWindow::Inputs inputs;
    inputs.recording = [&frame]() -> const Recording* { return &frame.Doc().recording(); };
    inputs.visibleRows = [&frame] { return VisibleRows(frame.GraphView()->Model()); };
    inputs.unit = AnalysisWindowUnit;
    auto* window = new PsdWindow(std::move(inputs), &frame);
    QObject::connect(window, &PsdWindow::exportRequested, window,
                     [window, &frame] { frame.DataExports().ExportPsd(window->Shown()); });
    QObject::connect(&spectrumHost, &FrameLinkHost::spectrumCaptured, window,
                     [window, &frame] { window->AddCapture(frame.Doc().recording()); });
    return window;
}

}  // namespace shakemeter
