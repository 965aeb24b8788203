#pragma once
// What the view has made of the shown recording: which window shows it, whether the plot and the
// list are up to date, the value range of the graph and the window sizes of a real-time reading.
// Read by everyone who draws; changed only through these methods.

#include <cstddef>
#include <utility>
#include <vector>

namespace shakemeter {

class ViewState {
public:
    // The graph's value range and whether it follows the recording's automatic range.
    double m_dYMin = 0.0;
    double m_dYMax = 0.0;
    bool m_bAutoScaleY = true;

    int m_nDisplayMode = 0;  // 0 nothing shown yet, 1 graph, 2 list
    bool m_bPlotReady = false;
    bool m_bListDirty = false;

    // Real-time reading: points requested and the window-size table of the graph.
    int m_nRtRequested = 0;
    std::vector<int> m_nRtWindow;

    void SetValueRange(double low, double high, bool automatic);
    void SetDisplayMode(int mode) { m_nDisplayMode = mode; }
    // The first recording shown goes to the graph; a window chosen before stays.
    void ShowFirstRecording();
    void SetPlotReady(bool ready) { m_bPlotReady = ready; }
    void MarkListDirty() { m_bListDirty = true; }
    void MarkListShown() { m_bListDirty = false; }
    void SetRtRequested(int points) { m_nRtRequested = points; }
    void SetRtWindow(std::vector<int> table) { m_nRtWindow = std::move(table); }
    // The table starts with firstSize when it is empty.
    void StartRtWindow(int firstSize);
    // Sets the window size at index, growing the table when a reading outlasts it.
    void SetRtWindowEntry(std::size_t index, int size);
};

}  // namespace shakemeter
