#pragma once
// A hand-written bridge library for link tests: one or more bridges, a logger that answers every
// read from a script of replies, and a log of every byte written, every read asked for and the
// time-outs in force at each of them. Faults: a failing string query, a failing open, the n-th
// read or write failing, short replies.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
#include <set>
#include <string>
#include <vector>

#include "logger/DeviceLibrary.h"
#include "logger/LoggerProtocol.h"

namespace shakemeter::test {

class FakeDeviceLibrary : public DeviceLibrary {
public:
    struct Exchange {
        enum Kind { Write, Read } kind;
        std::vector<std::uint8_t> bytes;  // written bytes, or the bytes handed back by a read
        std::uint32_t asked = 0;          // bytes asked for (reads) or to write
        std::uint32_t readTimeout = 0;    // time-outs in force during the call
        std::uint32_t writeTimeout = 0;
        bool ok = true;
    };

    // ---- the world ----
    std::uint32_t bridges = 1;
    std::set<std::uint32_t> stringFails;  // bridges whose device string query fails
    bool numDevicesFails = false;
    bool openFails = false;
    int failWriteAt = -1;                 // 0-based index among writes that fails (-1: none)
    int failReadAt = -1;                  // 0-based index among reads that fails
    bool failAllAfterFault = true;        // an unplugged logger fails everything after the first fault
    std::uint32_t writeReportsShort = 0;  // report this many bytes written instead (0: all)

    // Replies handed out by the reads, one per read, in order; a reply shorter than asked leaves
    // the rest of the caller's buffer alone (the link zeroes it); a read with no reply left fails.
    std::deque<std::vector<std::uint8_t>> replies;

    // ---- what happened ----
    std::vector<Exchange> exchanges;
    std::vector<std::uint32_t> opened;  // indexes opened
    int closes = 0;
    int openHandles = 0;
    std::uint32_t readTimeout = 111;  // distinctive values that must come back after every call
    std::uint32_t writeTimeout = 222;
    int setTimeoutCalls = 0;

    DeviceStatus GetNumDevices(std::uint32_t& count) override
    {
        count = numDevicesFails ? 0 : bridges;
        return numDevicesFails ? 1 : DEVICE_SUCCESS;
    }
    DeviceStatus GetProductString(std::uint32_t index, char* buffer, int kind) override
    {
        if (index >= bridges || stringFails.count(index) || kind != 0)
            return 1;
        std::snprintf(buffer, 256, "fake%u", index);
        return DEVICE_SUCCESS;
    }
    DeviceStatus Open(std::uint32_t index, DeviceHandle& handle) override
    {
        if (openFails || index >= bridges)
            return 1;
        opened.push_back(index);
        ++openHandles;
        handle = kHandle;
        return DEVICE_SUCCESS;
    }
    DeviceStatus Close(DeviceHandle handle) override
    {
        ++closes;
        if (handle == kHandle && openHandles > 0)
            --openHandles;
        return DEVICE_SUCCESS;
    }
    DeviceStatus Read(DeviceHandle handle, void* buffer, std::uint32_t toRead, std::uint32_t& read) override
    {
        Exchange e{Exchange::Read, {}, toRead, readTimeout, writeTimeout, false};
        const int index = readCount++;
        read = 0;
        if (handle != kHandle || openHandles == 0 || faulted || index == failReadAt || replies.empty()) {
            if (index == failReadAt && failAllAfterFault)
                faulted = true;
            exchanges.push_back(e);
            return 1;
        }
        std::vector<std::uint8_t> reply = std::move(replies.front());
        replies.pop_front();
        const std::uint32_t n = std::min<std::uint32_t>(toRead, static_cast<std::uint32_t>(reply.size()));
        std::memcpy(buffer, reply.data(), n);
        read = n;
        e.bytes.assign(reply.begin(), reply.begin() + n);
        e.ok = true;
        exchanges.push_back(e);
        return DEVICE_SUCCESS;
    }
    DeviceStatus Write(DeviceHandle handle, const void* buffer, std::uint32_t toWrite, std::uint32_t& written) override
    {
        const auto* p = static_cast<const std::uint8_t*>(buffer);
        Exchange e{
            Exchange::Write, std::vector<std::uint8_t>(p, p + toWrite), toWrite, readTimeout, writeTimeout, false};
        const int index = writeCount++;
        written = 0;
        if (handle != kHandle || openHandles == 0 || faulted || index == failWriteAt) {
            if (index == failWriteAt && failAllAfterFault)
                faulted = true;
            exchanges.push_back(e);
            return 1;
        }
        written = writeReportsShort ? writeReportsShort : toWrite;
        e.ok = true;
        exchanges.push_back(e);
        return DEVICE_SUCCESS;
    }
    DeviceStatus SetTimeouts(std::uint32_t readMs, std::uint32_t writeMs) override
    {
        readTimeout = readMs;
        writeTimeout = writeMs;
        ++setTimeoutCalls;
        return DEVICE_SUCCESS;
    }
    DeviceStatus GetTimeouts(std::uint32_t& readMs, std::uint32_t& writeMs) override
    {
        readMs = readTimeout;
        writeMs = writeTimeout;
        return DEVICE_SUCCESS;
    }
    std::string BackendOf(std::uint32_t) override { return "fake"; }

    // ---- helpers for assertions ----
    std::vector<std::vector<std::uint8_t>> Written() const
    {
        std::vector<std::vector<std::uint8_t>> out;
        for (const Exchange& e : exchanges)
            if (e.kind == Exchange::Write)
                out.push_back(e.bytes);
        return out;
    }
    std::vector<std::uint32_t> ReadSizes() const
    {
        std::vector<std::uint32_t> out;
        for (const Exchange& e : exchanges)
            if (e.kind == Exchange::Read)
                out.push_back(e.asked);
        return out;
    }

    // Queues the replies of a download: the header block, then the sample stream and the event
    // stream cut into 252-byte blocks.
    void ScriptDownload(const HeaderBlock& header, const std::vector<std::uint8_t>& data,
                        const std::vector<std::uint8_t>& events)
    {
        replies.emplace_back(header.begin(), header.end());
        QueueBlocks(data);
        QueueBlocks(events);
    }
    void QueueBlocks(const std::vector<std::uint8_t>& stream)
    {
        for (std::size_t at = 0; at < stream.size(); at += LOGGER_BLOCK_SIZE) {
            const std::size_t end = std::min(stream.size(), at + LOGGER_BLOCK_SIZE);
            replies.emplace_back(stream.begin() + static_cast<long>(at), stream.begin() + static_cast<long>(end));
        }
    }

    static constexpr DeviceHandle kHandle = 7;

private:
    int readCount = 0;
    int writeCount = 0;
    bool faulted = false;
};

}  // namespace shakemeter::test
