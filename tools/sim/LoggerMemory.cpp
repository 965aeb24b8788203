#include "tools/sim/LoggerMemory.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "tools/sim/SampleEncoder.h"

namespace shakemeter {

namespace {

constexpr std::uint16_t kGeneratedIntervalCode = 50 * 4 + RATE_UNIT_MS;  // 50 ms
constexpr std::uint32_t kMotionBurstLength = 25;

// Calendar arithmetic without a time zone: the logger's clock has no notion of one.
CalendarFields AddSeconds(const CalendarFields& start, std::int64_t seconds)
{
    using namespace std::chrono;
    const sys_days day = year_month_day{year{start.year}, month{static_cast<unsigned>(start.month)},
                                        std::chrono::day{static_cast<unsigned>(start.day)}};
    const sys_seconds when =
        day + hours{start.hour} + minutes{start.minute} + std::chrono::seconds{start.second + seconds};
    const sys_days whenDay = floor<days>(when);
    const year_month_day ymd{whenDay};
    const hh_mm_ss<std::chrono::seconds> time{when - whenDay};
    return CalendarFields{static_cast<int>(ymd.year()),
                          static_cast<int>(static_cast<unsigned>(ymd.month())),
                          static_cast<int>(static_cast<unsigned>(ymd.day())),
                          static_cast<int>(time.hours().count()),
                          static_cast<int>(time.minutes().count()),
                          static_cast<int>(time.seconds().count())};
}

bool PlausibleDate(const CalendarFields& f)
{
    if (f.year < 2000 || f.year > 2255 || f.month < 1 || f.month > 12 || f.day < 1 || f.day > 31)
        return false;
    const std::chrono::year_month_day day{std::chrono::year{f.year}, std::chrono::month{static_cast<unsigned>(f.month)},
                                          std::chrono::day{static_cast<unsigned>(f.day)}};
    return day.ok() && f.hour >= 0 && f.hour <= 23 && f.minute >= 0 && f.minute <= 59 && f.second >= 0 &&
           f.second <= 59;
}

// "dd/mm/yy HH:MM:SS" as the program writes event texts; years are 2000 + yy.
std::optional<CalendarFields> ParseEventText(const std::string& text)
{
    CalendarFields f;
    int yy = 0;
    int consumed = 0;
    if (std::sscanf(text.c_str(), "%2d/%2d/%2d %2d:%2d:%2d%n", &f.day, &f.month, &yy, &f.hour, &f.minute, &f.second,
                    &consumed) != 6 ||
        static_cast<std::size_t>(consumed) != text.size() || yy < 0)
        return std::nullopt;
    f.year = 2000 + yy;
    if (!PlausibleDate(f))
        return std::nullopt;
    return f;
}

// Live intervals are plain milliseconds; the logger stores an interval code.
std::optional<std::uint16_t> intervalCodeFromMilliseconds(std::uint32_t ms)
{
    constexpr std::uint32_t maxCount = 0x3FFF;
    if (ms == 0)
        return std::nullopt;
    if (ms % 3600000 == 0 && ms / 3600000 <= maxCount)
        return static_cast<std::uint16_t>(ms / 3600000 * 4 + RATE_UNIT_HOUR);
    if (ms % 60000 == 0 && ms / 60000 <= maxCount)
        return static_cast<std::uint16_t>(ms / 60000 * 4 + RATE_UNIT_MINUTE);
    if (ms % 1000 == 0 && ms / 1000 <= maxCount)
        return static_cast<std::uint16_t>(ms / 1000 * 4 + RATE_UNIT_SECOND);
    if (ms <= maxCount)
        return static_cast<std::uint16_t>(ms * 4 + RATE_UNIT_MS);
    return std::nullopt;
}

std::uint32_t decodeTick(const std::uint8_t* record)
{
    return static_cast<std::uint32_t>(record[6]) | (static_cast<std::uint32_t>(record[7]) << 8) |
           (static_cast<std::uint32_t>(record[8]) << 16) | (static_cast<std::uint32_t>(record[1] & 0x07) << 24);
}

double Wave(double amplitude, double hz, double seconds, double phase = 0.0)
{
    return amplitude * std::sin(2.0 * std::numbers::pi * hz * seconds + phase);
}

}  // namespace

LoggerMemory::LoggerMemory()
{
    m_header.wInterval = kGeneratedIntervalCode;
    m_header.byLedCycle = 10;
    m_header.byStartMode = 1;
    StampHeaderStart(m_header, GeneratedMemorySettings{}.start);
}

LoggerMemory::LoggerMemory(const RecordingHeader& header, std::vector<std::uint8_t> samples,
                           std::vector<std::uint8_t> events)
    : m_header(header), m_samples(std::move(samples)), m_events(std::move(events))
{
    m_samples.resize(std::min(m_samples.size(), kLoggerMaxBlocks * LOGGER_BLOCK_SIZE));
    const std::size_t wholeEvents = std::min<std::size_t>(m_events.size() / LOGGER_EVENT_SIZE, 0xFFFF);
    m_events.resize(wholeEvents * LOGGER_EVENT_SIZE);
}

std::uint32_t LoggerMemory::MaxSamples(bool motion)
{
    return static_cast<std::uint32_t>(kLoggerMaxBlocks * LOGGER_BLOCK_SIZE /
                                      (motion ? LOGGER_MOTION_SAMPLE_SIZE : LOGGER_SAMPLE_SIZE));
}

LoggerMemory LoggerMemory::Generate(const GeneratedMemorySettings& settings)
{
    RecordingHeader header;
    header.wInterval = kGeneratedIntervalCode;
    header.byMode = settings.motion ? MODE_MOTION : 0;
    if (settings.motion)
        header.byThresholdX = header.byThresholdY = header.byThresholdZ = 2;
    StampHeaderStart(header, settings.start);
    header.byLedCycle = 10;
    header.byStartMode = 1;

    const std::uint32_t samples = std::min(settings.samples, MaxSamples(settings.motion));
    const double interval = SecondsPerSample(header, false);
    std::vector<std::uint8_t> stream;
    stream.reserve(static_cast<std::size_t>(samples) *
                   (settings.motion ? LOGGER_MOTION_SAMPLE_SIZE : LOGGER_SAMPLE_SIZE));
    std::uint32_t tick = 0;
    for (std::uint32_t k = 0; k < samples; ++k) {
        if (settings.motion) {
            // The logger keeps samples only while it moves: bursts of movement, quiet gaps.
            const std::uint32_t burst = k / kMotionBurstLength;
            if (k > 0 && k % kMotionBurstLength == 0)
                tick += 1 + 40 + 17 * (burst % 5);
            else if (k > 0)
                tick += 1;
            const double t = tick * interval;
            SampleEncoder::AppendMotionSample(
                stream,
                SampleEncoder::CountsFromG(Wave(1.8, 3.1, t), Wave(0.9, 1.7, t, 0.5), 1.0 + Wave(1.2, 2.3, t, 1.0)),
                tick);
        } else {
            const double t = k * interval;
            SampleEncoder::AppendSample(stream, SampleEncoder::CountsFromG(Wave(0.12, 1.3, t), Wave(0.08, 0.7, t, 1.0),
                                                                           1.0 + Wave(0.05, 2.1, t)));
        }
    }
    LoggerMemory memory(header, std::move(stream), {});
    if (settings.events > 0)
        memory.ReplaceEvents(settings.events);
    return memory;
}

std::optional<LoggerMemory> LoggerMemory::FromRecording(const Recording& recording, std::string& error)
{
    RecordingHeader header = recording.m_header;
    switch (recording.Kind()) {
    case RecordingKind::Spectrum:
        error = "a spectrum capture (interval 0) cannot be served as logger memory";
        return std::nullopt;
    case RecordingKind::RealTime: {
        const auto code = intervalCodeFromMilliseconds(header.wInterval);
        if (!code) {
            error = "a live interval of " + std::to_string(header.wInterval) + " ms has no logger interval code";
            return std::nullopt;
        }
        header.wInterval = *code;
        break;
    }
    case RecordingKind::Logged:
        break;
    }

    const bool motion = recording.IsMotion();
    const std::size_t rows = recording.RowCount();
    if (rows > MaxSamples(motion)) {
        error = "the recording has " + std::to_string(rows) + " samples; a download reaches at most " +
                std::to_string(MaxSamples(motion));
        return std::nullopt;
    }
    if (motion && recording.m_pSampleTicks.size() < rows) {
        error = "the motion-detection recording lacks ticks for its samples";
        return std::nullopt;
    }

    std::vector<std::uint8_t> samples;
    samples.reserve(rows * (motion ? LOGGER_MOTION_SAMPLE_SIZE : LOGGER_SAMPLE_SIZE));
    for (std::size_t k = 0; k < rows; ++k) {
        const SampleRow& row = recording.m_pSamples[k];
        const AxisCounts counts = SampleEncoder::CountsFromRow(row);
        if (motion) {
            const std::int32_t tick = recording.m_pSampleTicks[k];
            if (tick < 0 || static_cast<std::uint32_t>(tick) > kLoggerTickMax) {
                error = "tick " + std::to_string(tick) + " of sample " + std::to_string(k + 1) +
                        " does not fit the logger's 27 bits";
                return std::nullopt;
            }
            SampleEncoder::AppendMotionSample(samples, counts, static_cast<std::uint32_t>(tick));
        } else {
            SampleEncoder::AppendSample(samples, counts);
        }
    }

    const std::size_t eventTexts = std::min<std::size_t>(recording.m_pFreeFallEvents.size(), 0xFFFF);
    std::vector<std::uint8_t> events;
    events.reserve(eventTexts * LOGGER_EVENT_SIZE);
    for (std::size_t j = 0; j < eventTexts; ++j) {
        const std::string& text = recording.m_pFreeFallEvents[j];
        const auto when = ParseEventText(text);
        if (!when || !SampleEncoder::AppendEvent(events, *when)) {
            error = "free-fall event " + std::to_string(j + 1) + " '" + text + "' is not a date dd/mm/yy HH:MM:SS";
            return std::nullopt;
        }
    }
    return LoggerMemory(header, std::move(samples), std::move(events));
}

double LoggerMemory::RunSeconds() const
{
    const bool motion = m_header.IsMotion();
    const std::size_t recordSize = motion ? LOGGER_MOTION_SAMPLE_SIZE : LOGGER_SAMPLE_SIZE;
    const std::size_t count = m_samples.size() / recordSize;
    if (count == 0)
        return 0.0;
    const double lastTick = motion ? decodeTick(&m_samples[(count - 1) * recordSize]) : double(count - 1);
    return (lastTick + 1) * SecondsPerSample(m_header, false);
}

void LoggerMemory::ReplaceEvents(std::uint16_t count)
{
    m_events.clear();
    if (count == 0)
        return;
    m_header.byMode |= MODE_FREEFALL;
    CalendarFields start = HeaderStart(m_header);
    if (!PlausibleDate(start))
        start = GeneratedMemorySettings{}.start;  // the stored header stays as it was
    // Spread over the run, but at least a second apart so that every event has its own text.
    const double span = std::max(RunSeconds(), static_cast<double>(count) + 1.0);
    m_events.reserve(std::size_t{count} * LOGGER_EVENT_SIZE);
    for (std::uint32_t j = 0; j < count; ++j) {
        const auto offset = static_cast<std::int64_t>(std::floor(span * (j + 1) / (count + 1.0)));
        CalendarFields when = AddSeconds(start, offset);
        if (!SampleEncoder::AppendEvent(m_events, when))
            SampleEncoder::AppendEvent(m_events, start);
    }
}

HeaderBlock LoggerMemory::HeaderReply() const
{
    HeaderBlock reply{};
    const auto stored = m_header.ToBytes();
    std::copy(stored.begin() + 6, stored.end(), reply.begin() + 6);
    const std::uint32_t d = DataBytes();
    const std::uint16_t e = EventCount();
    reply[0] = static_cast<std::uint8_t>(d & 0xFF);
    reply[1] = static_cast<std::uint8_t>((d >> 8) & 0xFF);
    reply[2] = static_cast<std::uint8_t>((d >> 16) & 0xFF);
    reply[3] = static_cast<std::uint8_t>((d >> 24) & 0xFF);
    reply[4] = static_cast<std::uint8_t>(e & 0xFF);
    reply[5] = static_cast<std::uint8_t>(e >> 8);
    reply[21] = 0;
    return reply;
}

std::vector<std::uint8_t> LoggerMemory::Block(const std::vector<std::uint8_t>& stream, std::size_t n)
{
    if (n == 0 || n > BlockCount(stream.size()))
        return {};
    const std::size_t begin = (n - 1) * LOGGER_BLOCK_SIZE;
    const std::size_t end = std::min(begin + LOGGER_BLOCK_SIZE, stream.size());
    return std::vector<std::uint8_t>(stream.begin() + static_cast<std::ptrdiff_t>(begin),
                                     stream.begin() + static_cast<std::ptrdiff_t>(end));
}

}  // namespace shakemeter
