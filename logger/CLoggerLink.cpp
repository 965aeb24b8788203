#include "logger/CLoggerLink.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <utility>

#include "recording/RtWindowTable.h"
#include "recording/FixedText.h"

namespace shakemeter {

namespace {

constexpr std::size_t DEVICE_STRING_SIZE = 256;

// "%.2f" as the C locale writes it: a GUI process runs under the user's numeric locale, where
// printf would write a decimal comma into the summary, the report and the saved files.
std::string Fixed2(double value)
{
    std::string text;
    AppendFixed2(text, value);
    return text;
}

// "%.2f @" followed by a time text, as the summary's maximum and minimum read.
std::string ValueAt(double value, const std::string& timeText)
{
    std::string out;
    out.reserve(16 + timeText.size());
    AppendFixed2(out, value);
    out.append(" @");
    out.append(timeText);
    return out;
}

bool IsRealTimeInterval(std::uint16_t ms)
{
    return std::find(kRealTimeIntervals.begin(), kRealTimeIntervals.end(), ms) != kRealTimeIntervals.end();
}

}  // namespace

CLoggerLink::CLoggerLink(DeviceLibrary& library, LoggerHost& host)
    : m_library(library), m_host(host), m_clock([] { return CalendarTime::Now(); })
{
}

CLoggerLink::~CLoggerLink()
{
    CloseDevice();
}

// ---------------------------------------------------------------- transport

int CLoggerLink::FindDevice()
{
    std::uint32_t count = 0;
    if (m_library.GetNumDevices(count) != DEVICE_SUCCESS)
        return -1;
    for (std::uint32_t i = 0; i < count; ++i) {
        char deviceString[DEVICE_STRING_SIZE] = {};
        if (m_library.GetProductString(i, deviceString, 0) == DEVICE_SUCCESS)
            return static_cast<int>(i);
    }
    return -1;
}

bool CLoggerLink::Open()
{
    // A connection left open by an earlier transfer is not leaked by a new one.
    CloseDevice();
    const int index = FindDevice();
    if (index < 0)
        return false;
    DeviceHandle handle = INVALID_DEVICE_HANDLE;
    if (m_library.Open(static_cast<std::uint32_t>(index), handle) != DEVICE_SUCCESS) {
        m_hDevice = INVALID_DEVICE_HANDLE;
        return false;
    }
    m_hDevice = handle;
    return true;
}

bool CLoggerLink::ProbeDevice()
{
    RegisterDeviceChange();
    if (!Open())
        return false;
    m_library.Close(m_hDevice);
    m_hDevice = INVALID_DEVICE_HANDLE;
    return true;
}

bool CLoggerLink::ReadTimed(std::uint8_t* buffer, std::uint32_t count, std::uint32_t& got, std::uint32_t ms)
{
    std::uint32_t keptRead = 0;
    std::uint32_t keptWrite = 0;
    const bool kept = m_library.GetTimeouts(keptRead, keptWrite) == DEVICE_SUCCESS;
    m_library.SetTimeouts(ms, 0);
    got = 0;
    const DeviceStatus status = m_library.Read(m_hDevice, buffer, count, got);
    if (kept)
        m_library.SetTimeouts(keptRead, keptWrite);
    return status == DEVICE_SUCCESS;
}

bool CLoggerLink::WriteTimed(const std::uint8_t* buffer, std::uint32_t count, std::uint32_t& written,
                             std::uint32_t ms)
{
    std::uint32_t keptRead = 0;
    std::uint32_t keptWrite = 0;
    const bool kept = m_library.GetTimeouts(keptRead, keptWrite) == DEVICE_SUCCESS;
    m_library.SetTimeouts(0, ms);
    written = 0;
    const DeviceStatus status = m_library.Write(m_hDevice, buffer, count, written);
    if (kept)
        m_library.SetTimeouts(keptRead, keptWrite);
    return status == DEVICE_SUCCESS;
}

void CLoggerLink::CloseDevice()
{
    if (m_hDevice != INVALID_DEVICE_HANDLE) {
        m_library.Close(m_hDevice);
        m_hDevice = INVALID_DEVICE_HANDLE;
    }
    UnregisterDeviceChange();
}

bool CLoggerLink::WriteCommand(const Command& command, std::uint32_t ms)
{
    std::uint32_t written = 0;
    return WriteTimed(command.data(), static_cast<std::uint32_t>(command.size()), written, ms);
}

bool CLoggerLink::ReadInto(std::uint8_t* buffer, std::uint32_t count, std::uint32_t ms)
{
    std::memset(buffer, 0, count);
    std::uint32_t got = 0;
    // Every reply has a known length: one cut short within its time-out is a failed read, not
    // samples of zero that the user would take for measured ones.
    return ReadTimed(buffer, count, got, ms) && got == count;
}

bool CLoggerLink::FailRead()
{
    CloseDevice();
    m_host.ShowMessage(MessageKind::Plain, kReadFailedMessage);
    return false;
}

// ---------------------------------------------------------------- setup

void CLoggerLink::SetSetupBlock(const HeaderBlock& block)
{
    m_pBlock.assign(block.begin(), block.end());
}

bool CLoggerLink::SendSetupBlock()
{
    if (m_pBlock.size() != LOGGER_HEADER_BLOCK_SIZE)
        return false;
    const Command command = SetupCommand();
    std::uint32_t written = 0;
    if (!WriteTimed(command.data(), LOGGER_COMMAND_SIZE, written, TIMEOUT_SETUP_WRITE)
        || written != LOGGER_COMMAND_SIZE)
        return false;
    // A block the bridge took only in part never reached the logger as a setup.
    return WriteTimed(m_pBlock.data(), LOGGER_HEADER_BLOCK_SIZE, written, TIMEOUT_SETUP_WRITE)
        && written == LOGGER_HEADER_BLOCK_SIZE;
}

bool CLoggerLink::WriteSetup()
{
    bool ok = false;
    if (Open())
        ok = SendSetupBlock();
    CloseDevice();
    return ok;
}

bool CLoggerLink::WriteSetupAndReport(const HeaderBlock& block)
{
    SetSetupBlock(block);
    const bool ok = WriteSetup();
    m_pBlock.clear();
    m_pBlock.shrink_to_fit();
    CloseDevice();
    if (!ok) {
        m_host.ShowMessage(MessageKind::Plain, kWriteFailedMessage);
        return false;
    }
    const bool automatic = block[20] == 1;
    m_host.ShowMessage(MessageKind::Information, automatic ? kSetupRunningMessage : kSetupPressButtonMessage);
    return true;
}

// ---------------------------------------------------------------- download

bool CLoggerLink::ReadMemory()
{
    HeaderBlock reply{};
    if (!WriteCommand(ReadBlockCommand(0), TIMEOUT_DOWNLOAD_WRITE)
        || !ReadInto(reply.data(), LOGGER_HEADER_BLOCK_SIZE, TIMEOUT_DOWNLOAD_READ))
        return FailRead();
    m_headerBlock = DecodeHeaderBlock(reply);

    const std::uint32_t dataBytes = m_headerBlock.dwSampleCount;
    const std::uint32_t events = m_headerBlock.wFreeFallCount;
    if (dataBytes == 0 && events == 0) {
        CloseDevice();
        m_host.ShowMessage(MessageKind::Information, kMemoryEmptyMessage);
        return false;
    }
    const BlockPlan dataPlan = PlanBlocks(dataBytes);
    const std::uint64_t eventBytes = static_cast<std::uint64_t>(events) * LOGGER_EVENT_SIZE;
    const BlockPlan eventPlan = PlanBlocks(eventBytes);
    // A count no logger memory can hold (or that 16-bit block numbers cannot reach) is a damaged
    // reply, not a reason to allocate gigabytes or read for hours.
    if (dataBytes > LOGGER_MAX_MEMORY_BYTES || dataPlan.count > 0xFFFF || eventPlan.count > 0xFFFF)
        return FailRead();
    try {
        m_pBlock.assign(static_cast<std::size_t>(dataBytes) + static_cast<std::size_t>(eventBytes), 0);
    } catch (const std::bad_alloc&) {
        m_pBlock.clear();
        return FailRead();
    }

    const int totalBlocks = static_cast<int>(dataPlan.count + eventPlan.count);
    m_host.ShowProgress(totalBlocks);
    m_host.SetProgress(0);

    const bool motion = m_headerBlock.isMotion();
    const std::uint32_t sampleCount = SampleCountOf(dataBytes, motion);
    m_headerBlock.dwSampleCount = sampleCount;

    auto fetch = [&](const BlockPlan& plan, std::uint8_t* stream, int progressBase) {
        if (plan.count > 0)
            m_host.SetProgress(progressBase + 1);
        for (std::uint32_t n = 1; n <= plan.count; ++n) {
            std::uint8_t* slot = stream + static_cast<std::size_t>(n - 1) * LOGGER_BLOCK_SIZE;
            const std::uint32_t size = plan.sizeOf(n);
            std::memset(slot, 0, size);
            if (!WriteCommand(ReadBlockCommand(static_cast<std::uint16_t>(n)), TIMEOUT_DOWNLOAD_WRITE)
                || !ReadInto(slot, size, TIMEOUT_DOWNLOAD_READ))
                return false;
            m_host.SetProgress(progressBase + static_cast<int>(n));
        }
        return true;
    };
    std::uint8_t* const sampleStream = m_pBlock.data();
    std::uint8_t* const eventStream = sampleStream + dataBytes;
    if (!fetch(dataPlan, sampleStream, 0) || !fetch(eventPlan, eventStream, static_cast<int>(dataPlan.count))) {
        CloseDevice();
        m_host.ShowMessage(MessageKind::Plain, kReadFailedMessage);
        m_host.EndProgress();
        m_pBlock.clear();
        m_pBlock.shrink_to_fit();
        return false;
    }
    m_host.EndProgress();

    Recording fresh;
    fresh.m_header = m_headerBlock;
    fresh.m_bRealTime = 0;
    fresh.m_pSamples.resize(sampleCount);
    if (motion)
        fresh.m_pSampleTicks.resize(sampleCount);
    const std::size_t recordSize = motion ? LOGGER_MOTION_SAMPLE_SIZE : LOGGER_SAMPLE_SIZE;
    for (std::uint32_t k = 0; k < sampleCount; ++k) {
        const std::uint8_t* record = sampleStream + static_cast<std::size_t>(k) * recordSize;
        fresh.m_pSamples[k] = DecodeMemorySample(record);
        if (motion)
            fresh.m_pSampleTicks[k] = DecodeTick(record);
    }
    fresh.m_pFreeFallEvents.reserve(events);
    for (std::uint32_t j = 0; j < events; ++j)
        fresh.m_pFreeFallEvents.push_back(DecodeEventText(eventStream + static_cast<std::size_t>(j) * LOGGER_EVENT_SIZE));
    m_pBlock.clear();
    m_pBlock.shrink_to_fit();

    RecordingView& view = m_host.View();
    // Installed and refreshed even with no samples (events only), so nothing keeps showing the
    // previous recording's rows.
    InstallCompleteRecording(m_host.Document(), view, std::move(fresh));
    view.m_bListDirty = true;
    if (m_host.IsDataListOpen()) {
        if (sampleCount >= 1)
            m_host.RefreshDataList();
        else
            m_host.CloseDataList();
    }
    m_host.WriteTempCopy();
    m_host.OnZoomOut();
    m_host.UpdateAllViews();
    return true;
}

bool CLoggerLink::Download()
{
    if (!Open())
        return false;
    const bool ok = ReadMemory();
    CloseDevice();
    return ok;
}

// ---------------------------------------------------------------- real-time reading

bool CLoggerLink::RunRealTime()
{
    const int requested = m_host.View().m_nRtRequested;
    if (!IsRealTimeInterval(m_headerBlock.wInterval) || requested < 1 || requested > REALTIME_MAX_POINTS)
        return false;
    if (!Open())
        return false;
    if (StartRealTime())
        return true;
    CloseDevice();
    return false;
}

bool CLoggerLink::StartRealTime()
{
    RecordingView& view = m_host.View();
    Recording& document = m_host.Document();
    const std::uint16_t interval = m_headerBlock.wInterval;
    const int requested = view.m_nRtRequested;
    if (requested < 1 || requested > REALTIME_MAX_POINTS)
        return false;
    view.m_bPlotReady = false;

    std::array<std::uint8_t, LOGGER_SAMPLE_SIZE> sample{};
    if (!WriteCommand(RealTimeStartCommand(interval), TIMEOUT_RT_START_WRITE)
        || !ReadInto(sample.data(), LOGGER_SAMPLE_SIZE, TIMEOUT_RT_START_READ)) {
        m_host.ShowMessage(MessageKind::Plain, kReadFailedMessage);
        return false;
    }

    const SampleRow row = DecodeRealTimeSample(sample.data());
    const CalendarFields now = m_clock().localFields();
    const CalendarTime start = CalendarTime::FromLocal(now);
    m_headerBlock = RecordingHeader{};
    m_headerBlock.wInterval = interval;
    StampHeaderStart(m_headerBlock, now);
    m_headerBlock.dwSampleCount = 1;

    Recording fresh;
    fresh.m_header = m_headerBlock;
    fresh.m_pSamples.resize(static_cast<std::size_t>(requested));
    fresh.m_pSamples[0] = row;
    fresh.m_bRealTime = 1;
    ReplaceRecording(document, view, std::move(fresh));
    document.m_header = m_headerBlock;
    view.m_recHeader = m_headerBlock;

    view.m_timeStart = start;
    view.m_nShownCount = 1;
    view.m_dInterval = interval * 0.001;
    view.m_bFrequencyMode = false;
    m_host.RestoreTimeDomainSummary();

    view.m_nRangeLast = 1;
    view.m_nRangeFirst = 1;
    // A plot not laid out yet has no width; one pixel keeps the table growing (its sizes do not
    // depend on the width but through rounding).
    const int plotWidth = std::max(1, m_host.PlotWidth());
    view.m_nRtWindow = BuildRtWindowTable(plotWidth, requested);
    m_host.SetPlotScale(RtNarrowedScale(plotWidth, view.m_nRtWindow[view.m_nRtWindow.size() - 2]));

    for (std::size_t i = 0; i < 4; ++i) {
        m_dSum[i] = row[i];
        m_dMax[i] = row[i];
        m_dMin[i] = row[i];
    }

    view.m_bAutoScaleY = true;
    const double top = *std::max_element(m_dMax.begin(), m_dMax.end());
    const double bottom = *std::min_element(m_dMin.begin(), m_dMin.end());
    if (top + 0.1 != view.m_dAutoMax || bottom - 0.1 != view.m_dAutoMin) {
        view.m_dAutoMax = view.m_dYMax = top + 0.1;
        view.m_dAutoMin = view.m_dYMin = bottom - 0.1;
        m_host.InvalidateView();
    }

    SummaryTexts& texts = view.m_summary;
    texts.startTime = start.format("%d/%m/%y %H:%M:%S");
    texts.unit = std::string("g");
    texts.samplingRate = Fixed2(view.m_dInterval);
    texts.samples = std::string("1");
    texts.mode = std::string("Normal");
    texts.threshold = {"NONE", "NONE", "NONE"};
    for (std::size_t i = 0; i < 4; ++i) {
        texts.max[i] = ValueAt(row[i], texts.startTime);
        texts.min[i] = ValueAt(row[i], texts.startTime);
        texts.avg[i] = Fixed2(row[i]);
    }
    m_host.UpdateSummaryPanel();
    if (m_host.IsDataListOpen()) {
        view.m_bListDirty = true;
        m_host.RefreshDataList();
    }

    document.m_header.wFreeFallCount = 0;
    if (view.m_nDisplayMode == 0)
        view.m_nDisplayMode = 1;
    m_host.SetReading(true);
    document.m_bRealTime = 1;
    view.m_bListDirty = true;
    m_realTime = RealTimeState::Reading;
    m_host.UpdateRealTimePlot();

    if (view.m_nShownCount >= requested) {
        m_host.SetReading(false);
        m_host.InvalidateView();
        m_host.WriteTempCopy();
        m_realTime = RealTimeState::Completed;
        return false;
    }
    m_host.StartTimer(interval);
    return true;
}

void CLoggerLink::FinishRealTime(RealTimeState state)
{
    m_host.KillTimer();
    m_host.InvalidateView();
    m_host.WriteTempCopy();
    CloseDevice();
    m_realTime = state;
}

void CLoggerLink::OnTimer(int id)
{
    if (id != REALTIME_TIMER_ID)
        return;
    // A tick that was already queued when the reading ended has nothing to ask for.
    if (m_realTime != RealTimeState::Reading || !IsOpen()) {
        m_host.KillTimer();
        return;
    }
    RecordingView& view = m_host.View();
    Recording& document = m_host.Document();

    std::array<std::uint8_t, LOGGER_SAMPLE_SIZE> sample{};
    if (!WriteCommand(RealTimeSampleCommand(), TIMEOUT_RT_SAMPLE_WRITE)
        || !ReadInto(sample.data(), LOGGER_SAMPLE_SIZE, TIMEOUT_RT_SAMPLE_READ)) {
        m_host.SetReading(false);
        m_host.KillTimer();
        m_host.ShowMessage(MessageKind::Plain, kReadFailedMessage);
        CloseDevice();
        m_realTime = RealTimeState::Failed;
        return;
    }

    const std::uint32_t n = m_headerBlock.dwSampleCount;
    if (n >= document.m_pSamples.size()) {
        // No room left (the request shrank meanwhile): the reading is complete.
        m_host.SetReading(false);
        FinishRealTime(RealTimeState::Completed);
        return;
    }
    const SampleRow row = DecodeRealTimeSample(sample.data());
    document.m_pSamples[n] = row;
    const std::uint32_t count = n + 1;
    // The row counts before its time text is formed, so the text is that of a stored row.
    m_headerBlock.dwSampleCount = count;
    document.m_header.dwSampleCount = count;
    view.m_recHeader.dwSampleCount = count;

    SummaryTexts& texts = view.m_summary;
    for (std::size_t i = 0; i < 4; ++i) {
        const double value = row[i];
        if (m_dMax[i] < value) {
            m_dMax[i] = value;
            texts.max[i] = ValueAt(value, view.FormatSampleTime(document, static_cast<int>(n)));
        }
        if (m_dMin[i] > value) {
            m_dMin[i] = value;
            texts.min[i] = ValueAt(value, view.FormatSampleTime(document, static_cast<int>(n)));
        }
        m_dSum[i] += value;
    }

    const double top = *std::max_element(m_dMax.begin(), m_dMax.end()) + 1;
    const double bottom = *std::min_element(m_dMin.begin(), m_dMin.end()) - 1;
    if (view.m_dAutoMax - top < -0.0001 || view.m_dAutoMin - bottom > 0.0001) {
        view.m_dAutoMax = top;
        view.m_dAutoMin = bottom;
        if (view.m_bAutoScaleY) {
            view.m_dYMax = top;
            view.m_dYMin = bottom;
            if (!m_host.IsBandDragging())
                m_host.InvalidatePlot();
        }
    }

    view.m_nShownCount = static_cast<int>(count);
    view.m_nRangeLast = static_cast<int>(count);

    for (std::size_t i = 0; i < 4; ++i)
        texts.avg[i] = Fixed2(m_dSum[i] / count);
    texts.samples = std::to_string(count);
    m_host.UpdateSummaryPanel();
    document.m_bRealTime = 1;
    if (m_host.IsDataListOpen()) {
        view.m_bListDirty = true;
        m_host.RefreshDataList();
    }

    if (m_host.IsReading()) {
        m_host.UpdateRealTimePlot();
        m_host.SetDataUnsaved();
    } else {
        FinishRealTime(RealTimeState::Stopped);
        return;
    }
    if (view.m_nShownCount >= view.m_nRtRequested) {
        m_host.SetReading(false);
        FinishRealTime(RealTimeState::Completed);
    }
}

void CLoggerLink::StopRealTime()
{
    m_host.SetReading(false);
    m_host.KillTimer();
    m_host.InvalidateView();
    m_host.WriteTempCopy();
    CloseDevice();
    if (m_realTime == RealTimeState::Reading)
        m_realTime = RealTimeState::Stopped;
}

// ---------------------------------------------------------------- spectrum reading

bool CLoggerLink::StartSpectrum()
{
    if (!Open())
        return false;
    if (WriteCommand(SpectrumCommand(0), TIMEOUT_SPECTRUM_WRITE))
        return true;
    CloseDevice();
    return false;
}

bool CLoggerLink::ReadSpectrumBlocks()
{
    m_headerBlock = RecordingHeader{};
    m_headerBlock.dwSampleCount = SPECTRUM_CAPTURE_BYTES;
    m_pBlock.assign(SPECTRUM_BLOCK_COUNT * LOGGER_BLOCK_SIZE, 0);
    for (std::uint16_t n = 1; n <= SPECTRUM_BLOCK_COUNT; ++n) {
        const auto size = static_cast<std::uint32_t>(n < SPECTRUM_BLOCK_COUNT ? LOGGER_BLOCK_SIZE : SPECTRUM_LAST_BLOCK_SIZE);
        std::uint8_t* slot = m_pBlock.data() + static_cast<std::size_t>(n - 1) * LOGGER_BLOCK_SIZE;
        if (!WriteCommand(SpectrumCommand(n), TIMEOUT_SPECTRUM_WRITE)
            || !ReadInto(slot, size, TIMEOUT_SPECTRUM_READ)) {
            m_pBlock.clear();
            m_pBlock.shrink_to_fit();
            return FailRead();
        }
    }

    const std::uint32_t samples = SPECTRUM_CAPTURE_BYTES / LOGGER_SAMPLE_SIZE;
    m_headerBlock.dwSampleCount = samples;
    StampHeaderStart(m_headerBlock, m_timeSpectrum.localFields());

    Recording fresh;
    fresh.m_header = m_headerBlock;
    fresh.m_bRealTime = 0;
    fresh.m_pSamples.resize(samples);
    for (std::uint32_t k = 0; k < samples; ++k)
        fresh.m_pSamples[k] = DecodeSpectrumSample(m_pBlock.data() + static_cast<std::size_t>(k) * LOGGER_SAMPLE_SIZE);
    m_pBlock.clear();
    m_pBlock.shrink_to_fit();

    RecordingView& view = m_host.View();
    InstallCompleteRecording(m_host.Document(), view, std::move(fresh));
    view.m_bListDirty = true;
    if (m_host.IsDataListOpen())
        m_host.RefreshDataList();
    m_host.WriteTempCopy();
    m_host.OnZoomOut();
    return true;
}

bool CLoggerLink::ReadSpectrum()
{
    if (FindDevice() < 0) {
        // The logger went away while its reading was going on: the reading ends, and the user
        // is told why rather than left with a reading that silently stopped.
        if (IsOpen())
            return FailRead();
        return false;
    }
    if (ReadSpectrumBlocks())
        return true;
    CloseDevice();
    return false;
}

}  // namespace shakemeter
