#pragma once
// The main window's PSD window: it reads the shown recording and the rows the graph shows, and
// gets each capture of a spectrum reading from the link host that installs it; while another
// recording is laid over the graph, it reads that recording's rows in the same time span too. Made once with
// the main window, so a reading's captures are kept whether or not the window is open.

namespace shakemeter {

class CMainFrame;
class FrameLinkHost;
class PsdWindow;

PsdWindow* CreatePsdWindow(CMainFrame& frame, FrameLinkHost& spectrumHost);

}  // namespace shakemeter
