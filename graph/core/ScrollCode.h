#pragma once
// Scroll bar requests, one value per kind of user action on a bar.

namespace shakemeter {

enum class ScrollCode {
    LineBack,       // line left / line up
    LineForward,    // line right / line down
    PageBack,       // page left / page up
    PageForward,    // page right / page down
    ThumbTrack,     // the thumb dragged with the mouse
    ThumbPosition,  // the thumb set to a position otherwise (the wheel, "Scroll here")
    Start,          // to the first sample (Home)
    End,            // to the last sample (End)
    Other,
};

}  // namespace shakemeter
