#pragma once
// One printed page of a test report as plain values: texts at device positions with the font
// they use, and lines. The painter only draws what it is given, so every position and text is
// decided (and tested) here.

#include <string>
#include <vector>

namespace shakemeter {

enum class ReportFont { Title, Body };

struct ReportText {
    int x = 0;
    int y = 0;  // top of the text cell
    std::string text;
    ReportFont font = ReportFont::Body;

    bool operator==(const ReportText&) const = default;
};

struct ReportLine {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;

    bool operator==(const ReportLine&) const = default;
};

struct ReportPageLayout {
    int titleFontHeight = 0;  // cell heights in device pixels
    int bodyFontHeight = 0;
    std::vector<ReportText> texts;
    std::vector<ReportLine> lines;
};

}  // namespace shakemeter
