#include "calc/notelengths.h"

namespace calc {

double NoteLengthBeats(int index)
{
    if (index < 0 || index >= static_cast<int>(kNoteLengths.size()))
        return 1.0;
    return kNoteLengths[static_cast<size_t>(index)].beats;
}

} // namespace calc
