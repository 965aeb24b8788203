#include "logger/CLoggerLink.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <utility>

namespace shakemeter {

namespace {

constexpr std::size_t kDeviceStringSize = 256;

bool IsRealTimeInterval(std::uint16_t ms)
{
    return std::find(kRealTimeIntervals.begin(), kRealTimeIntervals.end(), ms) != kRealTimeIntervals.end();
}

// One transfer under its own time-outs; the library's time-outs are put back afterwards, whatever
// the outcome (when they could be read at all).
template <typename Transfer>
bool WithTimeouts(DeviceLibrary& library, std::uint32_t readMs, std::uint32_t writeMs, Transfer transfer)
{
    std::uint32_t keptRead = 0;
    std::uint32_t keptWrite = 0;
    const bool kept = library.GetTimeouts(keptRead, keptWrite) == DEVICE_SUCCESS;
    library.SetTimeouts(readMs, writeMs);
    const DeviceStatus status = transfer();
    if (kept)
        library.SetTimeouts(keptRead, keptWrite);
    return status == DEVICE_SUCCESS;
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
        char deviceString[kDeviceStringSize] = {};
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
    return WithTimeouts(m_library, ms, 0, [&] {
        got = 0;
        return m_library.Read(m_hDevice, buffer, count, got);
    });
}

bool CLoggerLink::WriteTimed(const std::uint8_t* buffer, std::uint32_t count, std::uint32_t& written, std::uint32_t ms)
{
    return WithTimeouts(m_library, 0, ms, [&] {
        written = 0;
        return m_library.Write(m_hDevice, buffer, count, written);
    });
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

void CLoggerLink::InstallRead(Recording&& fresh, RecordingSource source)
{
    m_pBlock.clear();
    m_pBlock.shrink_to_fit();
    InstallCompleteRecording(m_host.Document(), m_host.View(), std::move(fresh));
    m_host.WriteTempCopy();
    m_host.RecordingInstalled({source});
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
    if (!WriteTimed(command.data(), LOGGER_COMMAND_SIZE, written, kTimeoutSetupWrite) || written != LOGGER_COMMAND_SIZE)
        return false;
    // A block the bridge took only in part never reached the logger as a setup.
    return WriteTimed(m_pBlock.data(), LOGGER_HEADER_BLOCK_SIZE, written, kTimeoutSetupWrite) &&
           written == LOGGER_HEADER_BLOCK_SIZE;
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
    // A request left from before this transfer does not end it.
    m_bCancelRequested = false;
    m_bDownloadCancelled = false;
    HeaderBlock reply{};
    if (!WriteCommand(ReadBlockCommand(0), kTimeoutDownloadWrite) ||
        !ReadInto(reply.data(), LOGGER_HEADER_BLOCK_SIZE, kTimeoutDownloadRead))
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

    const bool motion = m_headerBlock.IsMotion();
    const std::uint32_t sampleCount = SampleCountOf(dataBytes, motion);
    m_headerBlock.dwSampleCount = sampleCount;

    auto fetch = [&](const BlockPlan& plan, std::uint8_t* stream, int progressBase) {
        if (plan.count > 0)
            m_host.SetProgress(progressBase + 1);
        for (std::uint32_t n = 1; n <= plan.count; ++n) {
            if (m_bCancelRequested)
                return false;
            std::uint8_t* slot = stream + static_cast<std::size_t>(n - 1) * LOGGER_BLOCK_SIZE;
            const std::uint32_t size = plan.sizeOf(n);
            std::memset(slot, 0, size);
            if (!WriteCommand(ReadBlockCommand(static_cast<std::uint16_t>(n)), kTimeoutDownloadWrite) ||
                !ReadInto(slot, size, kTimeoutDownloadRead))
                return false;
            m_host.SetProgress(progressBase + static_cast<int>(n));
        }
        return true;
    };
    std::uint8_t* const sampleStream = m_pBlock.data();
    std::uint8_t* const eventStream = sampleStream + dataBytes;
    const bool read =
        fetch(dataPlan, sampleStream, 0) && fetch(eventPlan, eventStream, static_cast<int>(dataPlan.count));
    // A request that came with the last block still ends the transfer: the user asked for the
    // recording shown to stay.
    if (!read || m_bCancelRequested) {
        CloseDevice();
        m_bDownloadCancelled = m_bCancelRequested;
        m_bCancelRequested = false;
        if (!m_bDownloadCancelled)
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
        fresh.m_pFreeFallEvents.push_back(
            DecodeEventText(eventStream + static_cast<std::size_t>(j) * LOGGER_EVENT_SIZE));
    // Installed and refreshed even with no samples (events only), so nothing keeps showing the
    // previous recording's rows.
    InstallRead(std::move(fresh), RecordingSource::Download);
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
    if (!IsRealTimeInterval(m_headerBlock.wInterval) || requested < 1 || requested > kRealTimeMaxPoints)
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
    if (requested < 1 || requested > kRealTimeMaxPoints)
        return false;
    view.SetPlotReady(false);

    std::array<std::uint8_t, LOGGER_SAMPLE_SIZE> sample{};
    if (!WriteCommand(RealTimeStartCommand(interval), kTimeoutRtStartWrite) ||
        !ReadInto(sample.data(), LOGGER_SAMPLE_SIZE, kTimeoutRtStartRead)) {
        m_host.ShowMessage(MessageKind::Plain, kReadFailedMessage);
        return false;
    }

    const SampleRow row = DecodeRealTimeSample(sample.data());
    const CalendarFields now = m_clock().localFields();
    m_headerBlock = RecordingHeader{};
    m_headerBlock.wInterval = interval;
    StampHeaderStart(m_headerBlock, now);
    m_headerBlock.dwSampleCount = 1;
    const bool rangeChanged =
        BeginRealTimeRecording(document, view, m_headerBlock, CalendarTime::FromLocal(now), row, requested);
    m_host.SetReading(true);
    m_realTime = RealTimeState::Reading;
    m_host.RecordingInstalled({RecordingSource::RealTime, rangeChanged});

    if (view.m_nShownCount >= requested) {
        m_host.SetReading(false);
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
    m_host.WriteTempCopy();
    CloseDevice();
    m_realTime = state;
}

void CLoggerLink::OnTimer(int id)
{
    if (id != kRealTimeTimerId)
        return;
    // A tick that was already queued when the reading ended has nothing to ask for.
    if (m_realTime != RealTimeState::Reading || !IsOpen()) {
        m_host.KillTimer();
        return;
    }
    RecordingView& view = m_host.View();
    Recording& document = m_host.Document();

    std::array<std::uint8_t, LOGGER_SAMPLE_SIZE> sample{};
    if (!WriteCommand(RealTimeSampleCommand(), kTimeoutRtSampleWrite) ||
        !ReadInto(sample.data(), LOGGER_SAMPLE_SIZE, kTimeoutRtSampleRead)) {
        m_host.SetReading(false);
        m_host.KillTimer();
        m_host.ShowMessage(MessageKind::Plain, kReadFailedMessage);
        CloseDevice();
        m_realTime = RealTimeState::Failed;
        return;
    }

    const RowAppend appended = AppendRealTimeRow(document, view, DecodeRealTimeSample(sample.data()));
    if (appended == RowAppend::NoRoom) {
        // No room left (the request shrank meanwhile): the reading is complete.
        m_host.SetReading(false);
        FinishRealTime(RealTimeState::Completed);
        return;
    }
    m_headerBlock.dwSampleCount = document.m_header.dwSampleCount;
    m_host.RowAppended(appended == RowAppend::RangeGrown);
    if (!m_host.IsReading()) {
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
    FinishRealTime(m_realTime == RealTimeState::Reading ? RealTimeState::Stopped : m_realTime);
}

// ---------------------------------------------------------------- spectrum reading

bool CLoggerLink::StartSpectrum()
{
    if (!Open())
        return false;
    if (WriteCommand(SpectrumCommand(0), kTimeoutSpectrumWrite))
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
        const auto size =
            static_cast<std::uint32_t>(n < SPECTRUM_BLOCK_COUNT ? LOGGER_BLOCK_SIZE : SPECTRUM_LAST_BLOCK_SIZE);
        std::uint8_t* slot = m_pBlock.data() + static_cast<std::size_t>(n - 1) * LOGGER_BLOCK_SIZE;
        if (!WriteCommand(SpectrumCommand(n), kTimeoutSpectrumWrite) || !ReadInto(slot, size, kTimeoutSpectrumRead)) {
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
    InstallRead(std::move(fresh), RecordingSource::Spectrum);
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
