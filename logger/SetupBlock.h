#pragma once
// The setup block the logger gets for its next logging run, edited the way the setup dialog
// edits it: started from the last block sent, changed by the dialog's choices (rate count and
// unit, LED cycle, record mode, thresholds, start mode) with the same clamps, and finished with
// the local time stamp. Pure state, no widgets: the setup dialog and shakemeter-cli share it.

#include <cstdint>
#include <string>

#include "logger/LoggerProtocol.h"
#include "recording/CalendarTime.h"
#include "recording/RecordingHeader.h"

namespace shakemeter {

inline constexpr const char* kRateTooSmallMessage = "The sampling rate must be larger than 50ms!";
// A logger told to detect motion without a threshold per axis would run without the thresholds the
// user meant to set, so "Setup" asks for all three instead of sending the saved ones.
inline constexpr const char* kThresholdsMissingMessage =
    "Please choose all three thresholds (X, Y and Z) for motion detection.";

constexpr int THRESHOLD_NONE = -1;     // no selection in a threshold list
constexpr int THRESHOLD_CHOICES = 18;  // "1g" ... "18g"

enum class SetupOutcome {
    Ready,         // the block is stamped and may be sent
    RateTooSmall,  // a millisecond rate below 50: kRateTooSmallMessage, nothing is sent
};

class SetupBlockEditor {
public:
    // Starts from the last block sent: bytes 0-5 are cleared, bytes 6-20 kept.
    explicit SetupBlockEditor(const HeaderBlock& lastSetup);

    // The rate edit's text changed: the number is clamped for the unit (ms 1..999, Second and
    // Minute 1..59, Hour 1..12; no number reads as 0) and becomes the interval count.
    void SetRateText(const std::string& text);
    // The unit list's choice changed (RATE_UNIT_*); a count that does not fit is moved to the
    // nearest value the unit offers (50 for ms).
    void SetRateUnit(int unit);
    // One step of the spin control (+1 up, -1 down); in ms it does not go below 50.
    void StepRate(int delta);

    void SetLedCycle(std::uint8_t seconds);  // 10, 20, 30, or 0 for no light
    void SetStartMode(std::uint8_t mode);    // 0 manual, 1 automatic
    void SetNormalMode();
    void SetMotionMode();
    // Selections of the three threshold lists, 0-based ("1g" is 0), THRESHOLD_NONE for none.
    void SetThresholdSelections(int x, int y, int z);
    // The dialog's "Default": 50 ms, normal mode without free fall, LED 10 s, manual start.
    void Default();

    // "Setup": refuses a millisecond rate below 50; otherwise takes the thresholds when all three
    // are chosen, the free-fall flag and the local time stamp, and gives the block to send.
    SetupOutcome Finish(const CalendarFields& now, HeaderBlock& block);

    const RecordingHeader& Setup() const { return m_setup; }
    const std::string& RateText() const { return m_strRate; }
    int RateUnit() const { return m_nRateUnit; }
    int ThresholdX() const { return m_nThresholdX; }
    int ThresholdY() const { return m_nThresholdY; }
    int ThresholdZ() const { return m_nThresholdZ; }
    bool FreeFall() const { return m_bFreeFall; }
    bool ThresholdsEnabled() const { return m_setup.IsMotion(); }
    // Motion detection is chosen but a threshold list has no selection.
    bool ThresholdsIncomplete() const;
    // The LED radio shown checked: 0 "No Light", 20, 30, and 10 for every other byte value.
    int CheckedLedRadio() const;

private:
    void ClampRateToUnit();

    RecordingHeader m_setup;
    int m_nRateUnit = RATE_UNIT_MS;
    std::string m_strRate;
    int m_nThresholdX = THRESHOLD_NONE;
    int m_nThresholdY = THRESHOLD_NONE;
    int m_nThresholdZ = THRESHOLD_NONE;
    bool m_bFreeFall = false;
};

// The leading signed decimal number of a text, 0 when it does not begin with one.
long ParseLeadingInteger(const std::string& text);

}  // namespace shakemeter
