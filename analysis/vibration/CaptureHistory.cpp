#include "analysis/vibration/CaptureHistory.h"

#include <cmath>

namespace shakemeter::vibration {

CaptureHistory::CaptureHistory(std::size_t captureLength)
    : m_length(captureLength), m_welch(std::make_unique<WelchPsd>(captureLength))
{
}

bool CaptureHistory::Append(const SampleRow* rows, std::size_t count, double fs)
{
    const std::size_t length = captureLength();
    if (rows == nullptr || count < length || !(fs > 0.0))
        return false;
    if (m_count > 0 && std::fabs(fs - m_fs) > 1e-9 * m_fs)
        return false;
    const RowRange whole{0, length - 1};
    // The capture's own density is a Welch estimate of one segment; the pooled estimate gets the
    // same segment, so its mean over captures is the Welch mean and its max hold theirs.
    WelchPsd alone(length);
    alone.AddSegments(rows, whole);
    m_welch->AddSegments(rows, whole);
    m_fs = fs;
    ++m_count;
    m_last = alone.Result(fs);
    m_average = m_welch->Result(fs);
    for (int axis = 0; axis < 3; ++axis) {
        const std::vector<double>& psd = m_last.axes[axis].psd;
        m_lines[axis].insert(m_lines[axis].end(), psd.begin(), psd.end());
    }
    return true;
}

void CaptureHistory::Clear()
{
    m_welch = std::make_unique<WelchPsd>(m_length);
    m_count = 0;
    m_fs = 0.0;
    for (std::vector<double>& lines : m_lines)
        lines.clear();
    m_average = PsdResult{};
    m_last = PsdResult{};
}

const double* CaptureHistory::Line(std::size_t i, int axis) const
{
    return m_lines[axis].data() + i * bins();
}

}  // namespace shakemeter::vibration
