#pragma once

#include <array>
#include <string_view>

namespace calc {

struct NoteLength {
    std::string_view text;
    double beats;
};

// The Simple page's note lengths in list order. The thirds are the decimals
// that musicians have always been shown, not exact thirds.
inline constexpr std::array<NoteLength, 14> kNoteLengths {{
    {"1 beat", 1},
    {"1/2 beat", 0.5},
    {"1/3 beat", 0.333333333333},
    {"1/4 beat", 0.25},
    {"2 beats", 2},
    {"3 beats", 3},
    {"4 beats", 4},
    {"5 beats", 5},
    {"6 beats", 6},
    {"8 beats", 8},
    {"2/3 beat", 0.666666},
    {"3/4 beat", 0.75},
    {"4/3 beat", 1.333333},
    {"5/4 beat", 1.25},
}};

// The length in beats of a list index; any index outside the list,
// including -1 for no selection, counts as one beat.
double NoteLengthBeats(int index);

} // namespace calc
