#pragma once
// Every capture of a spectrum reading: the density of each capture alone (the waterfall's lines
// and the last capture), and the Welch estimate over all of them (mean and max hold), both kept
// as they arrive so that the thousandth capture costs what the first did.

#include <cstddef>
#include <memory>
#include <vector>

#include "analysis/vibration/WelchPsd.h"

namespace shakemeter::vibration {

class CaptureHistory {
public:
    // Captures are transformed whole; their length must be a valid segment (a power of two).
    explicit CaptureHistory(std::size_t captureLength = kDefaultSegment);

    std::size_t captureLength() const { return m_length; }
    std::size_t size() const { return m_count; }
    bool empty() const { return m_count == 0; }
    std::size_t bins() const { return captureLength() / 2 + 1; }
    double fs() const { return m_fs; }

    // Adds one capture of rows sampled at fs, in g. Returns false, and keeps nothing, when it holds
    // fewer rows than one capture or its rate differs from that of the captures before.
    bool Append(const SampleRow* rows, std::size_t count, double fs);
    // Forgets every capture: a new reading starts.
    void Clear();

    // The density of capture i alone for one axis (bins() values, g^2/Hz).
    const double* Line(std::size_t i, int axis) const;
    // Mean and max hold over every capture, with the Grms of the mean.
    const PsdResult& Average() const { return m_average; }
    // The last capture alone (its mean and max hold are the same line).
    const PsdResult& Last() const { return m_last; }

private:
    std::size_t m_length;
    std::unique_ptr<WelchPsd> m_welch;
    std::size_t m_count = 0;
    double m_fs = 0.0;
    // Capture after capture, bins() values each, one array per axis.
    std::vector<double> m_lines[3];
    PsdResult m_average;
    PsdResult m_last;
};

}  // namespace shakemeter::vibration
