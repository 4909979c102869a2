#pragma once

namespace tk {

// Codes of a vertical-scroll notification, from sliders and up-downs.
enum ScrollCode {
    ScrollLineUp = 0,
    ScrollLineDown = 1,
    ScrollPageUp = 2,
    ScrollPageDown = 3,
    ScrollThumbPosition = 4,
    ScrollThumbTrack = 5,
    ScrollTop = 6,
    ScrollBottom = 7,
    ScrollEnd = 8,
};

} // namespace tk
