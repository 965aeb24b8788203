#include "logger/SetupBlock.h"

#include <algorithm>
#include <cctype>
#include <climits>

namespace shakemeter {

namespace {

int SelectionFromThreshold(std::uint8_t threshold)
{
    const int selection = threshold - 1;
    return selection >= 0 && selection < THRESHOLD_CHOICES ? selection : THRESHOLD_NONE;
}

int NormalisedSelection(int selection)
{
    return selection >= 0 && selection < THRESHOLD_CHOICES ? selection : THRESHOLD_NONE;
}

}  // namespace

long ParseLeadingInteger(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        if (value > (LONG_MAX - 9) / 10) {
            value = LONG_MAX;  // saturate: the caller clamps to a small range anyway
            break;
        }
        value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

SetupBlockEditor::SetupBlockEditor(const HeaderBlock& lastSetup)
{
    HeaderBlock block = lastSetup;
    std::fill(block.begin(), block.begin() + 6, 0);
    m_setup = DecodeHeaderBlock(block);
    m_strRate = std::to_string(IntervalCount(m_setup.wInterval));
    m_nRateUnit = IntervalUnit(m_setup.wInterval);
    if (m_setup.IsMotion()) {
        m_nThresholdX = SelectionFromThreshold(m_setup.byThresholdX);
        m_nThresholdY = SelectionFromThreshold(m_setup.byThresholdY);
        m_nThresholdZ = SelectionFromThreshold(m_setup.byThresholdZ);
    }
    m_bFreeFall = (m_setup.byMode & MODE_FREEFALL) != 0;
    // The edit shows the count through the same clamp as typing does, so what is shown is what
    // is sent.
    ClampRateToUnit();
}

void SetupBlockEditor::ClampRateToUnit()
{
    long v = ParseLeadingInteger(m_strRate);
    long top = 999;
    if (m_nRateUnit == RATE_UNIT_SECOND || m_nRateUnit == RATE_UNIT_MINUTE)
        top = 59;
    else if (m_nRateUnit == RATE_UNIT_HOUR)
        top = 12;
    v = std::clamp(v, 1L, top);
    m_strRate = std::to_string(v);
    m_setup.wInterval = IntervalCode(static_cast<int>(v), m_nRateUnit);
}

void SetupBlockEditor::SetRateText(const std::string& text)
{
    m_strRate = text;
    ClampRateToUnit();
}

void SetupBlockEditor::SetRateUnit(int unit)
{
    m_nRateUnit = std::clamp(unit, RATE_UNIT_MS, RATE_UNIT_HOUR);
    const long value = ParseLeadingInteger(m_strRate);
    if (m_nRateUnit == RATE_UNIT_MS && value < 50)
        m_strRate = "50";
    else if ((m_nRateUnit == RATE_UNIT_SECOND || m_nRateUnit == RATE_UNIT_MINUTE) && value > 59)
        m_strRate = "59";
    else if (m_nRateUnit == RATE_UNIT_HOUR && value > 12)
        m_strRate = "12";
    ClampRateToUnit();
}

void SetupBlockEditor::StepRate(int delta)
{
    long value = ParseLeadingInteger(m_strRate);
    if (m_nRateUnit == RATE_UNIT_MS && value <= 50) {
        value = 50;
        if (delta < 0)
            delta = 0;
    }
    // The spin control's own range is 1..1000; the edit's clamp then applies the unit's range.
    value = std::clamp(value + delta, 1L, 1000L);
    m_strRate = std::to_string(value);
    ClampRateToUnit();
}

void SetupBlockEditor::SetLedCycle(std::uint8_t seconds)
{
    m_setup.byLedCycle = seconds;
}

void SetupBlockEditor::SetStartMode(std::uint8_t mode)
{
    m_setup.byStartMode = mode ? 1 : 0;
}

void SetupBlockEditor::SetNormalMode()
{
    m_setup.byMode = static_cast<std::uint8_t>(m_setup.byMode & ~MODE_MOTION);
    m_nThresholdX = m_nThresholdY = m_nThresholdZ = THRESHOLD_NONE;
}

void SetupBlockEditor::SetMotionMode()
{
    m_setup.byMode = static_cast<std::uint8_t>(m_setup.byMode | MODE_MOTION);
    m_nThresholdX = SelectionFromThreshold(m_setup.byThresholdX);
    m_nThresholdY = SelectionFromThreshold(m_setup.byThresholdY);
    m_nThresholdZ = SelectionFromThreshold(m_setup.byThresholdZ);
}

void SetupBlockEditor::SetThresholdSelections(int x, int y, int z)
{
    // The lists can only be chosen from while motion detection is on.
    if (!m_setup.IsMotion())
        return;
    m_nThresholdX = NormalisedSelection(x);
    m_nThresholdY = NormalisedSelection(y);
    m_nThresholdZ = NormalisedSelection(z);
}

void SetupBlockEditor::Default()
{
    m_setup.byMode = static_cast<std::uint8_t>(m_setup.byMode & ~(MODE_MOTION | MODE_FREEFALL));
    m_bFreeFall = false;
    m_setup.byStartMode = 0;
    m_setup.byLedCycle = 10;
    m_strRate = "50";
    m_nRateUnit = RATE_UNIT_MS;
    m_setup.wInterval = 200;
    m_nThresholdX = m_nThresholdY = m_nThresholdZ = THRESHOLD_NONE;
}

int SetupBlockEditor::CheckedLedRadio() const
{
    switch (m_setup.byLedCycle) {
    case 0:
        return 0;
    case 20:
        return 20;
    case 30:
        return 30;
    default:
        return 10;
    }
}

bool SetupBlockEditor::ThresholdsIncomplete() const
{
    return m_setup.IsMotion() &&
           (m_nThresholdX == THRESHOLD_NONE || m_nThresholdY == THRESHOLD_NONE || m_nThresholdZ == THRESHOLD_NONE);
}

SetupOutcome SetupBlockEditor::Finish(const CalendarFields& now, HeaderBlock& block)
{
    if (IntervalUnit(m_setup.wInterval) == RATE_UNIT_MS && (m_setup.wInterval & ~3) < 200)
        return SetupOutcome::RateTooSmall;
    if (m_nThresholdX != THRESHOLD_NONE && m_nThresholdY != THRESHOLD_NONE && m_nThresholdZ != THRESHOLD_NONE) {
        m_setup.byThresholdX = static_cast<std::uint8_t>(m_nThresholdX + 1);
        m_setup.byThresholdY = static_cast<std::uint8_t>(m_nThresholdY + 1);
        m_setup.byThresholdZ = static_cast<std::uint8_t>(m_nThresholdZ + 1);
    }
    if (m_bFreeFall)
        m_setup.byMode = static_cast<std::uint8_t>(m_setup.byMode | MODE_FREEFALL);
    else
        m_setup.byMode = static_cast<std::uint8_t>(m_setup.byMode & ~MODE_FREEFALL);
    StampHeaderStart(m_setup, now);
    block = EncodeHeaderBlock(m_setup);  // byte 21 is 0
    return SetupOutcome::Ready;
}

}  // namespace shakemeter
