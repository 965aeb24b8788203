#pragma once
// One connection to the logger and every transfer over it: setup, download, real-time reading and
// spectrum reading. It finds the logger among the bridges of its DeviceLibrary, opens it, does
// each read and write with its own time-out (the library's time-outs are restored afterwards,
// whatever the outcome) and installs what it reads through its LoggerHost.
//
// Promises: m_hDevice is INVALID_DEVICE_HANDLE whenever no connection is open; every failed
// transfer closes the connection, shows exactly one message and leaves the recording shown before
// untouched (a real-time reading keeps the samples it already has); m_pBlock is empty between
// transfers. Owns its handle and scratch buffer; borrows the library and the host.

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "logger/DeviceLibrary.h"
#include "logger/LoggerHost.h"
#include "logger/LoggerProtocol.h"
#include "recording/CalendarTime.h"
#include "recording/RecordingHeader.h"

namespace shakemeter {

inline constexpr const char* kReadFailedMessage = "Failed reading data from the shakemeter.";
inline constexpr const char* kMemoryEmptyMessage = "Shakemeter internal memory is currently empty.";
inline constexpr const char* kWriteFailedMessage = "Failed writing data to the shakemeter.";
inline constexpr const char* kConnectFailedMessage = "Connecting failed. Ensure logger inserted and try again.";
inline constexpr const char* kSetupRunningMessage = "The DATA LOGGER is running... ";
inline constexpr const char* kSetupPressButtonMessage =
    "To start logging,you must press and hold until green LED flash.";

// Time-outs of the exchanges, in milliseconds.
constexpr std::uint32_t kTimeoutSetupWrite = 1000;
constexpr std::uint32_t kTimeoutDownloadWrite = 1000;
constexpr std::uint32_t kTimeoutDownloadRead = 3000;
constexpr std::uint32_t kTimeoutRtStartWrite = 5000;
constexpr std::uint32_t kTimeoutRtStartRead = 5000;
constexpr std::uint32_t kTimeoutRtSampleWrite = 5000;
constexpr std::uint32_t kTimeoutRtSampleRead = 20000;
constexpr std::uint32_t kTimeoutSpectrumWrite = 1000;
constexpr std::uint32_t kTimeoutSpectrumRead = 3000;

// The real-time rates offered (milliseconds), in the order of the run dialog's list.
inline constexpr std::array<std::uint16_t, 6> kRealTimeIntervals = {500, 1000, 2000, 5000, 10000, 60000};
constexpr int kRealTimeMaxPoints = 100000;
constexpr int kRealTimeTimerId = 1;
constexpr int kSpectrumPeriodMs = 2000;

// How the last real-time reading stands.
enum class RealTimeState {
    Idle,       // none started yet
    Reading,    // timer running, connection open
    Completed,  // the requested number of points arrived
    Stopped,    // ended from outside (Stop Reading)
    Failed,     // an exchange failed; the samples read so far are kept
};

class CLoggerLink {
public:
    using Clock = std::function<CalendarTime()>;

    CLoggerLink(DeviceLibrary& library, LoggerHost& host);
    ~CLoggerLink();
    CLoggerLink(const CLoggerLink&) = delete;
    CLoggerLink& operator=(const CLoggerLink&) = delete;

    // ---- transport ----
    // Index of the first bridge whose device string can be read, or -1.
    int FindDevice();
    // True when the logger can be opened now; leaves no connection open.
    bool ProbeDevice();
    bool ReadTimed(std::uint8_t* buffer, std::uint32_t count, std::uint32_t& got, std::uint32_t ms);
    bool WriteTimed(const std::uint8_t* buffer, std::uint32_t count, std::uint32_t& written, std::uint32_t ms);
    // Closes the connection if one is open; harmless on a closed link.
    void CloseDevice();
    // Device-change notifications have no effect on behaviour; kept for the owners' call order.
    void RegisterDeviceChange() {}
    void UnregisterDeviceChange() {}
    bool IsOpen() const { return m_hDevice != INVALID_DEVICE_HANDLE; }

    // ---- setup ----
    // The block the next WriteSetup sends.
    void SetSetupBlock(const HeaderBlock& block);
    bool SendSetupBlock();
    // Open, send the setup command and block, close. No message.
    bool WriteSetup();
    // What the setup dialog does after it closed: send the block, close, and tell the user
    // (the start-mode text on success, the write failure otherwise).
    bool WriteSetupAndReport(const HeaderBlock& block);

    // ---- download ----
    bool ReadMemory();
    // Open, ReadMemory, close. Finding or opening failures return false without a message. On
    // success the caller marks the shown data as unsaved.
    bool Download();
    // Asks the download under way to stop before its next block: the connection is closed, the
    // shown recording stays, nothing is told, and the logger is sent no other command (its
    // memory stays as it was). Read by the transfer between blocks, so the progress window's
    // button (handled while the host shows progress) can set it.
    void RequestCancel() { m_bCancelRequested = true; }
    // Whether the last download ended at such a request.
    bool DownloadCancelled() const { return m_bDownloadCancelled; }

    // ---- real-time reading ----
    // The rate of the next reading, one of kRealTimeIntervals; the points requested are the
    // view's m_nRtRequested.
    void SetRealTimeInterval(std::uint16_t intervalMs) { m_headerBlock.wInterval = intervalMs; }
    bool StartRealTime();
    // Open and StartRealTime; the connection stays open while the reading goes on. Refuses,
    // before anything is sent, a rate outside kRealTimeIntervals or points outside 1..100000.
    bool RunRealTime();
    // One tick of timer 1: one more sample.
    void OnTimer(int id);
    // "Stop Reading": the reading ends without a word to the logger.
    void StopRealTime();
    RealTimeState RealTimeStatus() const { return m_realTime; }

    // ---- spectrum reading ----
    // Open and send the capture start; the connection stays open on success. No message.
    bool StartSpectrum();
    bool ReadSpectrumBlocks();
    // ReadSpectrumBlocks over the open connection, when the logger is still attached; a logger
    // gone from an open connection is a failed read (closed, one message).
    bool ReadSpectrum();
    // The local time that dates the next spectrum recording.
    void SetSpectrumTime(const CalendarTime& time) { m_timeSpectrum = time; }
    void StampSpectrumTime() { m_timeSpectrum = m_clock(); }

    // Local time source (tests fix it).
    void SetClock(Clock clock) { m_clock = std::move(clock); }

    const RecordingHeader& HeaderBlockState() const { return m_headerBlock; }

private:
    bool Open();
    bool WriteCommand(const Command& command, std::uint32_t ms);
    // Zeroes the destination first; true only when the whole count arrived.
    bool ReadInto(std::uint8_t* buffer, std::uint32_t count, std::uint32_t ms);
    bool FailRead();  // close, the read-failure message, false
    void FinishRealTime(RealTimeState state);
    // A complete recording read from the logger: the scratch buffer goes, the recording is
    // installed, copied to the temporary file and announced to the host.
    void InstallRead(Recording&& fresh, RecordingSource source);

    DeviceLibrary& m_library;
    LoggerHost& m_host;
    Clock m_clock;

    RecordingHeader m_headerBlock;       // bytes 0-20 of the current header block
    std::vector<std::uint8_t> m_pBlock;  // setup block or scratch buffer of one transfer
    DeviceHandle m_hDevice = INVALID_DEVICE_HANDLE;

    CalendarTime m_timeSpectrum;
    RealTimeState m_realTime = RealTimeState::Idle;
    bool m_bCancelRequested = false;
    bool m_bDownloadCancelled = false;
};

}  // namespace shakemeter
