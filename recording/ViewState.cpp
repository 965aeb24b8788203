#include "recording/ViewState.h"

namespace shakemeter {

void ViewState::SetValueRange(double low, double high, bool automatic)
{
    m_dYMin = low;
    m_dYMax = high;
    m_bAutoScaleY = automatic;
}

void ViewState::ShowFirstRecording()
{
    if (m_nDisplayMode == 0)
        m_nDisplayMode = 1;
}

void ViewState::StartRtWindow(int firstSize)
{
    if (m_nRtWindow.empty())
        m_nRtWindow.push_back(firstSize);
}

void ViewState::SetRtWindowEntry(std::size_t index, int size)
{
    if (index >= m_nRtWindow.size())
        m_nRtWindow.resize(index + 1, 0);
    m_nRtWindow[index] = size;
}

}  // namespace shakemeter
