#include "recording/RecordingView.h"

#include <utility>

namespace shakemeter {

void RecordingView::RefreshSummary(const Recording& recording)
{
    Refresh(recording);
    UseAutomaticValueRange();
    MarkListDirty();
}

void ReplaceRecording(Recording& document, RecordingView& view, Recording&& fresh)
{
    // The old arrays go with the assignment.
    document = std::move(fresh);
    view.AdoptHeader(document.m_header);
    view.ShowFirstRecording();
}

void InstallCompleteRecording(Recording& document, RecordingView& view, Recording&& fresh)
{
    ReplaceRecording(document, view, std::move(fresh));
    if (document.m_header.wInterval == 0)
        view.ComputeSpectrum(document);
    view.RefreshSummary(document);
}

bool BeginRealTimeRecording(Recording& document, RecordingView& view, const RecordingHeader& header,
                            const CalendarTime& start, const SampleRow& first, int requested)
{
    Recording fresh;
    fresh.m_header = header;
    fresh.m_pSamples.resize(static_cast<std::size_t>(requested));
    fresh.m_pSamples[0] = first;
    fresh.m_bRealTime = 1;
    ReplaceRecording(document, view, std::move(fresh));

    view.SetValueRange(view.m_dYMin, view.m_dYMax, true);
    const bool changed = view.BeginRealTime(header, start, first);
    if (changed)
        view.UseAutomaticValueRange();
    view.MarkListDirty();
    return changed;
}

RowAppend AppendRealTimeRow(Recording& document, RecordingView& view, const SampleRow& row)
{
    const std::uint32_t n = document.m_header.dwSampleCount;
    if (n >= document.m_pSamples.size())
        return RowAppend::NoRoom;
    document.m_pSamples[n] = row;
    // The row counts before its time text is formed, so the text is that of a stored row.
    document.m_header.dwSampleCount = n + 1;
    document.m_bRealTime = 1;
    const bool grew = view.AddRealTimeRow(document, static_cast<int>(n), row);
    view.MarkListDirty();
    if (!grew)
        return RowAppend::Added;
    if (!view.m_bAutoScaleY)
        return RowAppend::Added;
    view.UseAutomaticValueRange();
    return RowAppend::RangeGrown;
}

}  // namespace shakemeter
