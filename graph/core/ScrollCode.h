#pragma once
// Scroll bar requests, one value per kind of user action on a bar.

namespace shakemeter {

enum class ScrollCode {
    LineBack,     // line left / line up
    LineForward,  // line right / line down
    PageBack,     // page left / page up
    PageForward,  // page right / page down
    ThumbTrack,
    Start,        // to the first sample (Home)
    End,          // to the last sample (End)
    Other,
};

}  // namespace shakemeter
