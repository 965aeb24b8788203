#include "recording/RecordingHeader.h"

namespace shakemeter {

namespace {
void put16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = static_cast<std::uint8_t>(v & 0xFF);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
std::uint16_t get16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
}  // namespace

RecordingHeader::Bytes RecordingHeader::ToBytes() const
{
    Bytes b{};
    b[0] = static_cast<std::uint8_t>(dwSampleCount & 0xFF);
    b[1] = static_cast<std::uint8_t>((dwSampleCount >> 8) & 0xFF);
    b[2] = static_cast<std::uint8_t>((dwSampleCount >> 16) & 0xFF);
    b[3] = static_cast<std::uint8_t>((dwSampleCount >> 24) & 0xFF);
    put16(&b[4], wFreeFallCount);
    put16(&b[6], wInterval);
    b[8] = byMode;
    b[9] = byThresholdX;
    b[10] = byThresholdY;
    b[11] = byThresholdZ;
    put16(&b[12], wYear);
    b[14] = byMonth;
    b[15] = byDay;
    b[16] = byHour;
    b[17] = byMinute;
    b[18] = bySecond;
    b[19] = byLedCycle;
    b[20] = byStartMode;
    return b;
}

RecordingHeader RecordingHeader::FromBytes(const std::uint8_t* b)
{
    RecordingHeader h;
    h.dwSampleCount = static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
                      (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    h.wFreeFallCount = get16(&b[4]);
    h.wInterval = get16(&b[6]);
    h.byMode = b[8];
    h.byThresholdX = b[9];
    h.byThresholdY = b[10];
    h.byThresholdZ = b[11];
    h.wYear = get16(&b[12]);
    h.byMonth = b[14];
    h.byDay = b[15];
    h.byHour = b[16];
    h.byMinute = b[17];
    h.bySecond = b[18];
    h.byLedCycle = b[19];
    h.byStartMode = b[20];
    return h;
}

CalendarFields HeaderStart(const RecordingHeader& header)
{
    return CalendarFields{header.wYear, header.byMonth, header.byDay, header.byHour, header.byMinute, header.bySecond};
}

void StampHeaderStart(RecordingHeader& header, const CalendarFields& start)
{
    header.wYear = static_cast<std::uint16_t>(start.year);
    header.byMonth = static_cast<std::uint8_t>(start.month);
    header.byDay = static_cast<std::uint8_t>(start.day);
    header.byHour = static_cast<std::uint8_t>(start.hour);
    header.byMinute = static_cast<std::uint8_t>(start.minute);
    header.bySecond = static_cast<std::uint8_t>(start.second);
}

}  // namespace shakemeter
