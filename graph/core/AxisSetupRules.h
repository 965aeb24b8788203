#pragma once
// The rules behind the axis setup dialog, without any widget: the texts its four fields start
// with, how each field's text is normalised while the user types, the checks made on OK with the
// two messages they show, and what OK stores, including the real-time window that fits the rows
// now shown. The dialog only moves texts between these functions and its edit boxes.

#include <span>
#include <string>
#include <string_view>

namespace shakemeter {

constexpr double AXIS_VALUE_LIMIT = 20000.0;

constexpr const char* AXIS_MESSAGE_Y_ORDER = "The started Y Axis must be lower than the ended Y Axis";
constexpr const char* AXIS_MESSAGE_X_ORDER = "The started X Axis must be lower than the ended X Axis";

// What the dialog edits: the preset and current value range and the shown rows (view members),
// and the real-time window in force.
struct AxisSetupValues {
    double m_dPresetYMin = -20.0;
    double m_dPresetYMax = 20.0;
    double m_dYMin = 0.0;
    double m_dYMax = 0.0;
    int m_nRangeFirst = 1;
    int m_nRangeLast = 0;
    int m_nRtWindowIdx = 0;
    bool operator==(const AxisSetupValues&) const = default;
};

// What the dialog reads but never changes. The window table is only looked at, never kept.
struct AxisSetupContext {
    int m_nShownCount = 0;
    bool m_bReading = false;  // a reading is under way: the last row is always the newest
    int m_nRtRequested = 0;
    std::span<const int> m_nRtWindow;
};

// The four field texts: value range "%.2f", rows "%d".
struct AxisSetupTexts {
    std::string m_strYMin;
    std::string m_strYMax;
    std::string m_strXMin;
    std::string m_strXMax;
    bool operator==(const AxisSetupTexts&) const = default;
};

// The texts the dialog opens with (before any normalisation of the fields).
AxisSetupTexts AxisSetupInitialTexts(const AxisSetupValues& values);

// Normalisation of a field's text after every change. A text that is empty or exactly "-" is
// left as it is, so a field can be cleared and a negative number begun.
// Value axis: the number, in single precision, limited to -20000 ... 20000, as "%.2f".
std::string NormaliseValueAxisText(std::string_view text);
// First row: at least 1. Last row: at most the number of shown rows.
std::string NormaliseFirstRowText(std::string_view text);
std::string NormaliseLastRowText(std::string_view text, int shownCount);

// A decimal number at the start of the text (leading blanks, sign, digits, point, exponent);
// 0 when the text does not begin with one. Far too large numbers give an infinity of their sign.
double ParseLeadingDecimal(std::string_view text);
// An integer at the start of the text (leading blanks, sign, digits), held at the limits of int.
int ParseLeadingInt(std::string_view text);

struct AxisSetupOutcome {
    bool m_bYOrderMessage = false;  // show AXIS_MESSAGE_Y_ORDER
    bool m_bXOrderMessage = false;  // then AXIS_MESSAGE_X_ORDER
    int m_nFoundRtWindowIdx = -1;   // the real-time window OK picked, -1 when it kept the one in force
    bool Accepted() const { return !m_bYOrderMessage && !m_bXOrderMessage; }
};

// OK: reads the four texts, checks the value range and the row range, and when both are in
// order stores them into values (the preset and the current range alike) and picks the real-time
// window. values stays untouched when a message is due.
// With fewer than two rows shown there is no row range to order: the unseen row fields cannot
// be corrected by the user, so they are carried over as filled and only the value range counts.
AxisSetupOutcome ApplyAxisSetup(const AxisSetupTexts& texts, const AxisSetupContext& context, AxisSetupValues& values);

// The index of the first real-time window of at least `needed` samples, looking at no more than
// `requested` entries and never past the end of the table; -1 when none qualifies.
int FindRtWindowIndex(std::span<const int> table, int requested, int needed);

}  // namespace shakemeter
